// The language switch: every text of the window in English and back to exactly the Chinese it
// was, values kept and messages shown anew, the choice kept across a restart of the real
// executable, the device captions named like the protocol table's commands, and the tool tab on a
// 1366x768 laptop (1366x680 left by taskbar and title bar).

#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "app/FrmMain.h"
#include "app/TrafficPanes.h"
#include "device/Protocol.h"
#include "tests/support/RunningTool.h"

namespace {

// CJK punctuation, CJK Unified Ideographs (with extension A), full-width forms.
const QRegularExpression kChinese(QStringLiteral("[\\x{3000}-\\x{303F}\\x{3400}-\\x{9FFF}"
                                                 "\\x{FF00}-\\x{FFEF}]"));

// Every text the window shows, one entry per control (or action) and property, in a fixed order.
QStringList textsOf(QWidget *window) {
    QStringList texts;
    QList<QObject *> objects = window->findChildren<QObject *>();
    objects.prepend(window);
    for (QObject *o : objects) {
        if (!o->isWidgetType() && !qobject_cast<QAction *>(o))
            continue;
        const QString who = QLatin1String(o->metaObject()->className()) + u' ' + o->objectName();
        for (const char *p :
             {"text", "title", "toolTip", "statusTip", "placeholderText", "windowTitle", "Text"})
            if (const QVariant value = o->property(p); value.isValid())
                texts << who + u'.' + QLatin1String(p) + u'=' + value.toString();
        if (const auto *combo = qobject_cast<QComboBox *>(o))
            for (int i = 0; i < combo->count(); ++i)
                texts << who + u'=' + combo->itemText(i) + u'|' +
                             combo->itemData(i, Qt::ToolTipRole).toString();
        if (const auto *tabs = qobject_cast<QTabWidget *>(o))
            for (int i = 0; i < tabs->count(); ++i)
                texts << who + u'=' + tabs->tabText(i) + u'|' + tabs->tabToolTip(i);
    }
    return texts;
}

// What the window's boxes, traffic panes and byte counters hold.
QStringList valuesOf(QWidget *window) {
    QStringList values;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        const QString name = w->objectName();
        // A spin box's own line shows its special text ("最快"), a caption rather than a value.
        const bool spinBoxLine = qobject_cast<QAbstractSpinBox *>(w->parentWidget());
        if ((qobject_cast<QLineEdit *>(w) && !spinBoxLine) ||
            name.contains(QRegularExpression("^Label4[45]$")))
            values << name + u'=' + w->property("text").toString();
        else if (name.contains(QRegularExpression("^RichTextBox[12]$")))
            values << name + u'=' + w->property("Text").toString();
    }
    return values;
}

} // namespace

class TestLanguage : public QObject {
    Q_OBJECT

    std::unique_ptr<FrmMain> window;
    QStringList chinese, english;

    QRadioButton *option(const char *name) { return window->findChild<QRadioButton *>(name); }
    // Windows hear of a language change, and lay themselves out, through posted events: each
    // pass may post the next (a sanitized build takes too long for a fixed wait).
    static void settle() {
        for (int pass = 0; pass < 20; ++pass)
            QCoreApplication::sendPostedEvents();
    }
    void choose(const char *name) {
        QTest::mouseClick(option(name), Qt::LeftButton);
        settle();
    }
    void restart() {
        window.reset(); // its translation leaves with it, as at the end of a run
        window = std::make_unique<FrmMain>();
        window->show();
        settle();
    }

private slots:
    void initTestCase() {
        restart();
        QVERIFY(!option("Option1")->isChecked() && !option("Option2")->isChecked());
        chinese = textsOf(window.get());
    }

    // The device captions are the table's command names: "set-start-speed" is "Set start speed:",
    // and a reply message begins with its command's caption.
    void everyTextInEnglishAndBack() {
        choose("Option2");
        english = textsOf(window.get());
        const QStringList left = english.filter(kChinese);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(u'\n')));
        QVERIFY(english.filter(QStringLiteral("RichTextBox3.Text=R7260S communication")).size());
        for (const device::Command &c : device::commands()) {
            if (!c.caption)
                continue;
            QString name = QString::fromLatin1(c.name).replace(u'-', u' ') + u':';
            name[0] = name[0].toUpper();
            QCOMPARE(device::translated(c.caption), name);
            QVERIFY2(device::translated(device::replyMessage(c)).startsWith(name), c.name);
        }
        choose("Option1");
        QCOMPARE(textsOf(window.get()), chinese);
    }

    // The real executable, ended and started again, comes back in the language chosen.
    void choiceKeptAcrossRestart() {
        for (const auto &[choice, texts] :
             {std::pair{"Option2", &english}, {"Option1", &chinese}}) {
            RunningTool before(false);
            before.click(choice);
            QVERIFY(before.quit());
            RunningTool after(false);
            QVERIFY(after.property(choice, "checked").toBool());
            for (const char *control : {"Command12", "Label15", "Frame1"}) {
                const QStringList shown = texts->filter(QRegularExpression(
                    QStringLiteral(" %1\\.(text|title)=").arg(QLatin1String(control))));
                QVERIFY2(shown.size() == 1, control);
                QCOMPARE(after.text(control), shown[0].section(u'=', 1));
            }
            QVERIFY(after.quit());
        }
    }

    // A switch changes texts, never values; the status bar's message and the response time are
    // shown anew in the new language.
    void valuesKeptMessagesFollow_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("to English") << "Option1"
                                    << "Option2";
        QTest::newRow("to Chinese") << "Option2"
                                    << "Option1";
    }
    void valuesKeptMessagesFollow() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        restart();
        choose(qPrintable(from));
        window->HandleReply(QByteArray("\x01\x20\x00\x39\xC0", 5), 5);
        window->findChild<QLabel *>("Label44")->setText("17");
        window->findChild<QLineEdit *>("Text23")->setText("2F");
        window->SendFrame("\x01\x20\x00\x39\xC0"); // the port is closed: a message
        emit window->engine().responseTime(3);
        const QStringList values = valuesOf(window.get());
        QVERIFY(values.contains("Label45=5") && values.contains("Label44=17"));
        choose(qPrintable(to));
        QCOMPARE(valuesOf(window.get()), values);
        QCOMPARE(window->statusBar()->currentMessage(),
                 QCoreApplication::translate("FrmMain", "串口未打开，命令未发送"));
        QCOMPARE(window->findChild<QLabel *>("ResponseTime")->text(),
                 QCoreApplication::translate("FrmMain", "响应时间：%1 ms").arg(3));
    }

    // Every control inside the tool tab's scroll area, no caption cut, no scrolling needed.
    void toolTabFitsLaptop_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("height");
        // clang-format off
        QTest::newRow("English 1366x680") << "Option2" << 680;
        QTest::newRow("Chinese 1366x680") << "Option1" << 680;
        QTest::newRow("Chinese 1366x740") << "Option1" << 740;
        // clang-format on
    }
    void toolTabFitsLaptop() {
        QFETCH(QString, language);
        QFETCH(int, height);
        choose(qPrintable(language));
        window->resize(1366, height);
        settle();
        if (const QString dir = qEnvironmentVariable("R7260_SCREENSHOT_DIR"); !dir.isEmpty())
            QVERIFY(window->grab().save(QStringLiteral("%1/tool-%2.png")
                                            .arg(dir, QTest::currentDataTag())
                                            .replace(u' ', u'-')));
        auto *scroll = window->findChild<QScrollArea *>("ToolScroll");
        QWidget *content = scroll->widget();
        QVERIFY(scroll->viewport()->rect().contains(content->geometry()));
        for (QWidget *w : content->findChildren<QWidget *>()) {
            if (!w->isVisible() || w->objectName().isEmpty())
                continue;
            QVERIFY2(content->rect().contains(QRect(w->mapTo(content, QPoint()), w->size())),
                     qPrintable(w->objectName()));
            if (auto *b = qobject_cast<QAbstractButton *>(w))
                QVERIFY2(b->width() >= b->fontMetrics().horizontalAdvance(b->text()),
                         qPrintable(b->objectName() + u' ' + b->text()));
        }
    }
};

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
