// The command list through the window: inserting Delay and Jump lines, the delay box's range,
// the pop-up menu, and opening and saving list files with their dialogs and messages.

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/CommandListPanel.h"
#include "app/FrmMain.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TestFiles.h"

#include <unistd.h>

namespace {

QStringList linesOf(const QListWidget *list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

const QString kOpenFilter = QString::fromUtf8("txt文件(*.txt)|*.txt|所有文件(*.*)|*.*||");
const QString kSaveFilter = QString::fromUtf8("TXT文件(*.TXT)|*.TXT|所有文件(*.*)|*.*||");
const QString kOverwrite = QString::fromUtf8("是否覆盖文件？");
const QString kSaveTitle = QString::fromUtf8("文件保存");

} // namespace

class TestCommandList : public QObject {
    Q_OBJECT

    std::unique_ptr<FrmMain> window;
    ScriptedPrompts *prompts = nullptr;
    QListWidget *list = nullptr;
    QTemporaryDir dir;

    template <class T = QWidget> T *control(const char *name) const {
        return window->findChild<T *>(QLatin1String(name));
    }
    void click(const char *button) const {
        QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton);
    }
    void setList(const QStringList &lines) const {
        list->clear();
        list->addItems(lines);
    }
    QString path(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }
    // Presses "打开文件" and answers the dialog with `name`.
    void open(const QString &name) const {
        prompts->fileNames.enqueue(name);
        click("Command54");
    }
    // Presses "命令另存为", answers the dialog with `name` and the overwrite question with `yes`.
    void saveAs(const QString &name, bool yes = false) const {
        prompts->fileNames.enqueue(name);
        prompts->yesNoAnswers.enqueue(yes);
        click("Command55");
        prompts->yesNoAnswers.clear();
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void init() {
        window = std::make_unique<FrmMain>();
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        window->setPrompts(std::move(scripted));
        list = control<QListWidget>("List1");
        QVERIFY(list);
    }
    void cleanup() { window.reset(); }

    // ---- Editing ---------------------------------------------------------------------------

    void insertButtonsAppendAtTheEnd() {
        setList({"01 20 00 39 C0 ", "AA"});
        list->setCurrentRow(0);
        control<QLineEdit>("Text20")->setText("500");
        click("Command34");
        control<QLineEdit>("Text21")->setText("1");
        click("Command35");
        // The jump box is not checked: its text goes in as it stands.
        control<QLineEdit>("Text21")->setText("x");
        click("Command35");
        QCOMPARE(linesOf(list),
                 (QStringList{"01 20 00 39 C0 ", "AA", "Delay:500", "GoIdx:1", "GoIdx:x"}));
        QCOMPARE(list->currentRow(), 0);
    }

    void delayBoxRange_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("in range") << "1000"
                                  << "1000";
        QTest::newRow("lowest") << "50"
                                << "50";
        QTest::newRow("highest") << "60000"
                                 << "60000";
        QTest::newRow("above") << "60001"
                               << "60000";
        QTest::newRow("far above") << "1e9"
                                   << "60000";
        QTest::newRow("fraction above") << "60000.5"
                                        << "60000";
        QTest::newRow("below") << "49.9"
                               << "50";
        QTest::newRow("negative") << "-100"
                                  << "50";
        QTest::newRow("cleared") << ""
                                 << "50";
        QTest::newRow("no number") << "abc"
                                   << "50";
        QTest::newRow("blanks skipped") << "1 000"
                                        << "1 000";
        QTest::newRow("hex") << "&H100"
                             << "&H100";
    }

    // Text set by code is held to the range too.
    void delayBoxRange() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        auto *box = control<QLineEdit>("Text20");
        box->setText(typed);
        QCOMPARE(box->text(), shown);
    }

    void delayBoxWhileTyping() {
        auto *box = control<QLineEdit>("Text20");
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), QStringLiteral("50"));
        box->selectAll();
        QTest::keyClicks(box, "2"); // a single digit is below 50 at once
        QCOMPARE(box->text(), QStringLiteral("50"));
        QTest::keyClicks(box, "0");
        QCOMPARE(box->text(), QStringLiteral("500"));
        QTest::keyClicks(box, "00");
        QCOMPARE(box->text(), QStringLiteral("50000"));
        QTest::keyClicks(box, "0");
        QCOMPARE(box->text(), QStringLiteral("60000"));
    }

    void rightPressOpensTheMenuAndKeepsTheSelection() {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        setList({"AA", "BB", "CC"});
        list->setCurrentRow(0);
        auto *menu = control<QMenu>("MenuCMD");
        QVERIFY(!menu->isVisible());

        const QPoint onC = list->visualItemRect(list->item(2)).center();
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, onC);
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(list->selectedItems(), QList<QListWidgetItem *>{list->item(0)});
        // At the pointer: the press inside the list, in window coordinates.
        auto *panel = window->findChild<CommandListPanel *>();
        QVERIFY(panel);
        const QPoint expected = list->viewport()->mapTo(window.get(), onC);
        QCOMPARE(panel->menuPoint(onC), expected);
        // The menu opens there, moved left only as far as the screen requires.
        const QPoint global = window->mapToGlobal(expected);
        const QRect screen = window->screen()->availableGeometry();
        QCOMPARE(menu->y(), global.y());
        QVERIFY(menu->x() == global.x() || menu->geometry().right() == screen.right());
        menu->close();
        QTRY_VERIFY(!menu->isVisible());

        // A right double click does not select either; a left click still does.
        QTest::mouseDClick(list->viewport(), Qt::RightButton, {}, onC);
        QCOMPARE(list->currentRow(), 0);
        menu->close();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onC);
        QCOMPARE(list->currentRow(), 2);
        QVERIFY(!menu->isVisible());
    }

    void deleteRemovesTheSelectedLine() {
        setList({"AA", "BB", "CC"});
        window->findChild<QAction *>("DelectList")->trigger(); // nothing selected: nothing happens
        QCOMPARE(list->count(), 3);
        list->setCurrentRow(1);
        window->findChild<QAction *>("DelectList")->trigger();
        QCOMPARE(linesOf(list), (QStringList{"AA", "CC"}));
        window->findChild<QAction *>("DelectAll")->trigger();
        QCOMPARE(list->count(), 0);
        window->findChild<QAction *>("DelectAll")->trigger();
        QCOMPARE(list->count(), 0);
    }

    // ---- Open --------------------------------------------------------------------------------

    void openCancelled() {
        setList({"AA"});
        open(QString());
        QCOMPARE(prompts->fileDialogs.size(), 1);
        QCOMPARE(prompts->fileDialogs[0].title, QString::fromUtf8("打开文件"));
        QCOMPARE(prompts->fileDialogs[0].text, kOpenFilter);
        QCOMPARE(linesOf(list), QStringList{"AA"});
        QVERIFY(prompts->messages.isEmpty());
    }

    void openMissingFile() {
        setList({"AA"});
        open(path("missing.txt"));
        QCOMPARE(prompts->messages.size(), 1);
        QCOMPARE(prompts->messages[0].title, Prompts::applicationTitle());
        QCOMPARE(prompts->messages[0].text, QString::fromUtf8("文件名无效,请重新打开!"));
        QCOMPARE(linesOf(list), QStringList{"AA"});
    }

    void openReplacesTheList() {
        // A file from another installation: GBK, CR LF, a lone CR, a lone LF, empty lines.
        const QString file = path("other.txt");
        QVERIFY(writeBytes(file, "01 20 00 39 C0 \r\n\r\nDelay:500\rGoIdx:0\r\n"
                                 "\xD6\xD0\xCE\xC4\nAB\r\n"));
        setList({"old 1", "old 2", "old 3", "old 4", "old 5", "old 6", "old 7"});
        open(file);
        QVERIFY(prompts->messages.isEmpty());
        QCOMPARE(linesOf(list), (QStringList{"01 20 00 39 C0 ", "", "Delay:500", "GoIdx:0",
                                             QString::fromUtf8("中文\nAB")}));
    }

    void openEmptyFileEmptiesTheList() {
        const QString file = path("empty.txt");
        QVERIFY(writeBytes(file, {}));
        setList({"AA"});
        open(file);
        QCOMPARE(list->count(), 0);
    }

    void openUnreadableKeepsTheList() {
        setList({"AA", "BB"});
        open(dir.path()); // exists, but is a folder
        QCOMPARE(prompts->messages.size(), 1);
        QCOMPARE(prompts->messages[0].title, Prompts::applicationTitle());
        QVERIFY(prompts->messages[0].text.contains(QString::fromUtf8("命令列表保持不变")));
        QCOMPARE(linesOf(list), (QStringList{"AA", "BB"}));
    }

    // ---- Save --------------------------------------------------------------------------------

    void saveCancelled() {
        setList({"AA"});
        saveAs(QString());
        QCOMPARE(prompts->fileDialogs.size(), 1);
        QCOMPARE(prompts->fileDialogs[0].title, QString::fromUtf8("保存文件"));
        QCOMPARE(prompts->fileDialogs[0].text, kSaveFilter);
        QVERIFY(prompts->questions.isEmpty());
        QVERIFY(prompts->messages.isEmpty());
    }

    void saveAndReload() {
        const QString file = path("roundtrip.txt");
        const QStringList lines{"01 20 00 39 C0 ",           "Delay:1000", "",
                                QString::fromUtf8("中文行"), "GoIdx:0",    "A\nB"};
        setList(lines);
        saveAs(file);
        QVERIFY(prompts->questions.isEmpty()); // a new file: nothing to ask
        QVERIFY(prompts->messages.isEmpty());
        QCOMPARE(readBytes(file), QByteArray("01 20 00 39 C0 \r\nDelay:1000\r\n"
                                             "\xD6\xD0\xCE\xC4\xD0\xD0\r\nGoIdx:0\r\nA\nB\r\n"));
        setList({});
        open(file);
        QStringList withoutEmpty = lines;
        withoutEmpty.removeAll(QString());
        QCOMPARE(linesOf(list), withoutEmpty);
    }

    void overwriteDeclined() {
        const QString file = path("keep.txt");
        QVERIFY(writeBytes(file, "old\r\n"));
        setList({"AA"});
        saveAs(file, false);
        QCOMPARE(prompts->questions.size(), 1);
        QCOMPARE(prompts->questions[0].title, kSaveTitle);
        QCOMPARE(prompts->questions[0].text, kOverwrite);
        QCOMPARE(readBytes(file), QByteArray("old\r\n"));
    }

    void overwriteAccepted() {
        const QString file = path("replace.txt");
        QVERIFY(writeBytes(file, "old line\r\nold line\r\nold line\r\n"));
        setList({"AA", "BB"});
        saveAs(file, true);
        QCOMPARE(prompts->questions.size(), 1);
        QVERIFY(prompts->messages.isEmpty());
        QCOMPARE(readBytes(file), QByteArray("AA\r\nBB\r\n"));
    }

    void emptyListOverAFileRemovesIt() {
        const QString file = path("gone.txt");
        QVERIFY(writeBytes(file, "old\r\n"));
        setList({});
        saveAs(file, true);
        QCOMPARE(prompts->questions.size(), 1);
        QVERIFY(!QFile::exists(file));
        QVERIFY(prompts->messages.isEmpty());
    }

    void emptyListToANewNameCreatesNothing() {
        const QString file = path("never.txt");
        setList({"", ""});
        saveAs(file);
        QVERIFY(!QFile::exists(file));
        QVERIFY(prompts->questions.isEmpty());
        QVERIFY(prompts->messages.isEmpty());
    }

    void failedSaveLeavesTheOldFile() {
        // A read-only folder holding the old file. Where permissions do not bite (root), the
        // target is a folder named like the file instead: it cannot be replaced either.
        QTemporaryDir locked;
        QVERIFY(locked.isValid());
        const QString file = locked.filePath("list.txt");
        QVERIFY(writeBytes(file, "old\r\n"));
        QVERIFY(QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::ExeOwner));
        const bool permissionsBite = ::geteuid() != 0;
        QString target = file;
        if (!permissionsBite) {
            qInfo("running as root: a folder named like the file stands in for the read-only "
                  "folder");
            QVERIFY(QFile::setPermissions(locked.path(),
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
            target = locked.filePath("folder.txt");
            QVERIFY(QDir(locked.path()).mkdir("folder.txt"));
            QVERIFY(writeBytes(target + "/inside", "old\r\n"));
        }
        setList({"AA", "BB"});
        saveAs(target, true);
        QCOMPARE(prompts->questions.size(), 1);
        QCOMPARE(prompts->messages.size(), 1);
        QCOMPARE(prompts->messages[0].title, kSaveTitle);
        QVERIFY2(prompts->messages[0].text.startsWith(QString::fromUtf8("文件未保存")),
                 qPrintable(prompts->messages[0].text));
        QVERIFY(prompts->messages[0].text.contains(QString::fromUtf8("原文件保持不变")));
        QCOMPARE(readBytes(permissionsBite ? file : target + "/inside"), QByteArray("old\r\n"));
        QCOMPARE(QDir(locked.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(),
                 permissionsBite ? 1 : 2); // no temporary file left behind
        QFile::setPermissions(locked.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void failedSaveToANewName() {
        setList({"AA"});
        saveAs(path("no-such-folder/list.txt"));
        QCOMPARE(prompts->messages.size(), 1);
        QCOMPARE(prompts->messages[0].title, kSaveTitle);
        QVERIFY(prompts->messages[0].text.startsWith(QString::fromUtf8("文件未保存")));
        QVERIFY(!prompts->messages[0].text.contains(QString::fromUtf8("原文件")));
    }
};

QTEST_MAIN(TestCommandList)
#include "tst_commandlist.moc"
