// The tool's window against the virtual device over a pseudo-terminal, as an engineer uses them:
// handshake, queries, parameters set and read back, moves watched through position and state,
// stops, homing, input lamps, the command list runner, the IO binding download and the register
// mapping. Nothing here is a script of expected bytes: the device answers.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

#include "app/LampShape.h"
#include "tests/support/SimProcess.h"
#include "tests/support/WindowOnPty.h"

namespace {

constexpr quint32 kRed = LampShape::kRed;
constexpr quint32 kDark = LampShape::kWindowText;

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT

    std::unique_ptr<Sim> sim;
    std::unique_ptr<FrmMain> window;
    ScriptedPrompts *prompts = nullptr;

    template <class T = QWidget> T *control(const char *name) {
        return window->findChild<T *>(QLatin1String(name));
    }
    QLineEdit *box(const char *name) { return control<QLineEdit>(name); }
    QString receivePane() { return control("RichTextBox1")->property("Text").toString(); }
    quint32 lamp(const char *name) { return control(name)->property("BackColor").toUInt(); }
    void click(const char *name) { QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton); }

    // Clears the receive pane, clicks, and waits until the reply's text shows.
    bool clickAndSee(const char *button, const QString &text, int timeoutMs = 3000) {
        click("Command36");
        click(button);
        QDeadlineTimer deadline(timeoutMs);
        while (!receivePane().contains(text) && !deadline.hasExpired())
            QTest::qWait(20);
        if (!receivePane().contains(text))
            qWarning().noquote() << "waiting for" << text << "after" << button << "got"
                                 << receivePane();
        return receivePane().contains(text);
    }
    bool query(const char *button, const char *box, const QString &expected, int timeoutMs = 3000) {
        click(button);
        QDeadlineTimer deadline(timeoutMs);
        while (this->box(box)->text() != expected && !deadline.hasExpired())
            QTest::qWait(20);
        return this->box(box)->text() == expected;
    }
    // The absolute position as the device reports it now (the box's text after the reply).
    qint64 absolutePosition() {
        if (!clickAndSee("Command30", QString::fromUtf8("查询运动绝对位置:")))
            return std::numeric_limits<qint64>::min();
        return box("Text18")->text().toLongLong();
    }
    // Sets the device's inputs from its console and waits until it has taken them.
    void setInputs(const char *bits) {
        sim->command(qPrintable(QStringLiteral("in %1").arg(QLatin1String(bits))));
        sim->command("status");
        QVERIFY(
            !sim->waitForOutput(QStringLiteral("IN5..IN1: %1").arg(QLatin1String(bits))).isEmpty());
    }
    bool waitUntilStopped(int timeoutMs) {
        QDeadlineTimer deadline(timeoutMs);
        do {
            clickAndSee("Command29", QString::fromUtf8("查询运动状态:"));
            if (control<QLabel>("Label15")->text() == QString::fromUtf8("停止"))
                return true;
            QTest::qWait(100);
        } while (!deadline.hasExpired());
        return false;
    }

private slots:
    void init() {
        sim = std::make_unique<Sim>();
        QVERIFY(sim->start({QStringLiteral("--left-limit"), QStringLiteral("-100000"),
                            QStringLiteral("--right-limit"), QStringLiteral("100000"),
                            QStringLiteral("--origin"), QStringLiteral("-3000")}));
        wireComPort(1, sim->path);
        window = std::make_unique<FrmMain>();
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        window->setPrompts(std::move(scripted));
        click("Command32");
        QVERIFY(!control<QPushButton>("Command32")->isEnabled());
    }
    void cleanup() {
        window.reset();
        sim.reset();
    }

    void handshakeAddressAndBaud() {
        QVERIFY(clickAndSee("Command12", QString::fromUtf8("请求握手命令:")));
        QVERIFY(receivePane().contains(QStringLiteral("RecHex:01 20 00 ")));
        QVERIFY(clickAndSee("Command13", QString::fromUtf8("查询设备地址:当前地址为1\n\r")));
        QVERIFY(
            clickAndSee("Command15", QString::fromUtf8("查询当前波特率:当前波特率设置为6\n\r")));
        // The same in ASCII framing.
        control<QComboBox>("Combo7")->setCurrentText(QStringLiteral("Modbus ASC"));
        QVERIFY(
            clickAndSee("Command15", QString::fromUtf8("查询当前波特率:当前波特率设置为6\n\r")));
        QVERIFY(receivePane().contains(QStringLiteral("RecAsc::")));
    }

    void parametersSetThenQueried_data() {
        QTest::addColumn<QString>("set");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("result");
        QTest::newRow("start speed") << "Command17/Text12"
                                     << "2500"
                                     << "Command57"
                                     << "Text27";
        QTest::newRow("max speed") << "Command24/Text13"
                                   << "30000"
                                   << "Command58"
                                   << "Text26";
        QTest::newRow("end speed") << "Command25/Text14"
                                   << "700"
                                   << "Command59"
                                   << "Text25";
        QTest::newRow("acceleration") << "Command26/Text15"
                                      << "40000"
                                      << "Command60"
                                      << "Text24";
        QTest::newRow("deceleration") << "Command27/Text16"
                                      << "45000"
                                      << "Command61"
                                      << "Text6";
        QTest::newRow("homing speed") << "Command64/Text29"
                                      << "12345"
                                      << "Command62"
                                      << "Text28";
    }
    void parametersSetThenQueried() {
        QFETCH(QString, set);
        QFETCH(QString, value);
        QFETCH(QString, query);
        QFETCH(QString, result);
        const QStringList parts = set.split(u'/');
        window->findChild<QLineEdit *>(parts[1])->setText(value);
        QVERIFY(clickAndSee(qPrintable(parts[0]), QStringLiteral("RecHex:01 ")));
        QVERIFY(this->query(qPrintable(query), qPrintable(result), value));
        // Read back in ASCII framing as well.
        window->findChild<QLineEdit *>(result)->setText(QStringLiteral("0"));
        control<QComboBox>("Combo7")->setCurrentText(QStringLiteral("Modbus ASC"));
        QVERIFY(this->query(qPrintable(query), qPrintable(result), value));
    }

    void positionMoveAdvancesAndStops() {
        box("Text13")->setText(QStringLiteral("20000"));
        box("Text15")->setText(QStringLiteral("50000"));
        box("Text16")->setText(QStringLiteral("50000"));
        for (const char *set : {"Command24", "Command26", "Command27"})
            QVERIFY(clickAndSee(set, QStringLiteral("RecHex:01 ")));
        box("Text8")->setText(QStringLiteral("20000"));
        QVERIFY(clickAndSee("Command18", QString::fromUtf8("设置32位运动脉冲数并开始运动:")));

        QVERIFY(clickAndSee("Command29", QString::fromUtf8("查询运动状态:")));
        QCOMPARE(control<QLabel>("Label15")->text(), QString::fromUtf8("运动中"));
        QCOMPARE(lamp("Shape1"), kRed);
        const qint64 first = absolutePosition();
        QTest::qWait(300);
        const qint64 second = absolutePosition();
        QVERIFY2(first > 0 && second > first,
                 qPrintable(QStringLiteral("%1 %2").arg(first).arg(second)));

        QVERIFY(waitUntilStopped(10000));
        QCOMPARE(lamp("Shape1"), kDark);
        QCOMPARE(absolutePosition(), 20000);
        QVERIFY(query("Command31", "Text19", QStringLiteral("20000")));
        QVERIFY(query("Command28", "Text17", QStringLiteral("0")));
    }

    void runsAndStops() {
        box("Text10")->setText(QStringLiteral("-5000"));
        QVERIFY(clickAndSee("Command20", QString::fromUtf8("设置32位运动速度，并恒速运动:")));
        QTest::qWait(300);
        QVERIFY(absolutePosition() < 0);
        QVERIFY(clickAndSee("Command23", QString::fromUtf8("急停命令:")));
        QVERIFY(waitUntilStopped(2000));

        QVERIFY(clickAndSee("Command21", QString::fromUtf8("设置24位运动速度，并恒速运动:")));
        QTest::qWait(300);
        QVERIFY(clickAndSee("Command22", QString::fromUtf8("减速停止命令:")));
        QVERIFY(waitUntilStopped(5000));
    }

    void homingFindsTheOrigin() {
        box("Text29")->setText(QStringLiteral("20000"));
        QVERIFY(clickAndSee("Command64", QStringLiteral("RecHex:01 ")));
        control<QComboBox>("Combo5")->setCurrentText(QStringLiteral("1"));
        QVERIFY(clickAndSee("Command7", QString::fromUtf8("查找原点命令:")));
        QVERIFY(waitUntilStopped(5000));
        QCOMPARE(absolutePosition(), 0);
        QCOMPARE(lamp("Shape3"), kRed); // on the origin switch
        QCOMPARE(lamp("Shape2"), kDark);
        QCOMPARE(lamp("Shape4"), kDark);
    }

    void inputLampsFollowTheDevice() {
        setInputs("00101");
        QVERIFY(clickAndSee("Command94", QString::fromUtf8("查询 IN 1-5 状态:")));
        QCOMPARE(lamp("Shape5"), kRed);
        QCOMPARE(lamp("Shape6"), kDark);
        QCOMPARE(lamp("Shape7"), kRed);
        QCOMPARE(lamp("Shape8"), kDark);
        QCOMPARE(lamp("Shape9"), kDark);
        setInputs("10000");
        QVERIFY(clickAndSee("Command94", QString::fromUtf8("查询 IN 1-5 状态:")));
        QCOMPARE(lamp("Shape5"), kDark);
        QCOMPARE(lamp("Shape9"), kRed);
    }

    void commandListPlayedByTheRunner() {
        auto *list = control<QListWidget>("List1");
        click("Command46"); // ">" start speed: captured and sent
        list->addItem(QStringLiteral("Delay:400"));
        click("Command52"); // ">" absolute position query
        QCOMPARE(list->count(), 3);
        // A period well above the 200 ms receive poll: each reply is polled before the next send
        // (a poll's bytes are read as one reply, so closer frames could share one).
        box("Text22")->setText(QStringLiteral("400"));
        QTest::qWait(300);
        click("Command36");
        control<QCheckBox>("Check1")->click();
        QTest::qWait(2600);
        control<QCheckBox>("Check1")->click();
        const QString pane = receivePane();
        QVERIFY2(pane.count(QString::fromUtf8("设置运动初速度:")) >= 2, qPrintable(pane));
        QVERIFY2(pane.count(QString::fromUtf8("查询运动绝对位置:")) >= 2, qPrintable(pane));
    }

    void ioBindingDownloadQueryAndFire() {
        control<QComboBox>("Combo8")->setCurrentText(QStringLiteral("00100"));
        box("Text8")->setText(QStringLiteral("1000"));
        // "↓" beside the position move: the body into the IO box, and the move itself.
        QVERIFY(clickAndSee("Command82", QString::fromUtf8("设置32位运动脉冲数并开始运动:")));
        QCOMPARE(box("Text31")->text(), QStringLiteral("31 04 00 00 03 E8 "));
        QVERIFY(waitUntilStopped(5000));
        const qint64 before = absolutePosition();

        QVERIFY(clickAndSee("Command81", QStringLiteral("RecHex:01 40 00 ")));
        QVERIFY(clickAndSee("Command88", QStringLiteral("RecHex:01 41 07 04 31 04 00 00 03 E8 ")));
        // The bound move runs when the inputs show the pattern.
        setInputs("00100");
        QVERIFY(waitUntilStopped(5000));
        QCOMPARE(absolutePosition(), before + 1000);
    }

    void registerMappingReadAndWrite() {
        box("Text34")->setText(QStringLiteral("100"));
        QVERIFY(clickAndSee("Command3", QStringLiteral("RecHex:01 3F 00 ")));
        control<QCheckBox>("Check2")->setChecked(true);
        control<QRadioButton>("Option3")->setChecked(true);
        // Read: 01 03 (100 + 0x26) 2 registers; the device answers the start speed.
        QVERIFY(clickAndSee("Command57", QStringLiteral("RecHex:01 03 04 00 00 00 64 ")));
        QVERIFY(control("RichTextBox2")
                    ->property("Text")
                    .toString()
                    .contains(QStringLiteral("SndHex:01 03 00 8A 00 02 ")));
        // Write: the set command's data go to register 100 + 0x25.
        control<QRadioButton>("Option4")->setChecked(true);
        box("Text12")->setText(QStringLiteral("777"));
        QVERIFY(clickAndSee("Command17", QStringLiteral("RecHex:01 10 00 89 00 02 ")));
        control<QCheckBox>("Check2")->setChecked(false);
        QVERIFY(query("Command57", "Text27", QStringLiteral("777")));
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
