// The serial link and the send/receive engine through the real window over a pseudo-terminal:
// opening and closing, failures that must be told, a far side that goes away, what SendFrame
// puts on the line and in the pane, and replies reaching the value boxes and lamps.

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

#include "app/WindowTimer.h"
#include "codec/Framing.h"
#include "serial/MSComm.h"
#include "serial/PortMap.h"
#include "tests/support/WindowOnPty.h"

namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

// Pane text of an exact length, in lines as a pane holds them.
QString filler(int length) {
    return QStringLiteral("x\n").repeated(length / 2) + QString(length % 2, u'x');
}

const QString kHandshakeLines = QStringLiteral("SndAsc:. .9.\n"
                                               "SndHex:01 20 00 39 C0 \n") +
                                QString::fromUtf8("请求握手命令:") + QStringLiteral("\n\r");

} // namespace

class TestSerial : public QObject {
    Q_OBJECT

private slots:
    void init() {
        for (int n = 1; n <= 9; ++n)
            qunsetenv(qPrintable(QStringLiteral("R7260_COM%1").arg(n)));
    }

    void openAndClose() {
        WindowOnPty t;
        QVERIFY(t.isOpen());
        auto *timer1 = t.window->findChild<WindowTimer *>("Timer1");
        QVERIFY(timer1->enabled());
        QVERIFY(!t.control<QComboBox>("Combo1")->isEnabled());
        QVERIFY(!t.control<QComboBox>("Combo2")->isEnabled());
        QVERIFY(t.control<QPushButton>("Command33")->isEnabled());
        QVERIFY(t.window->statusBar()->currentMessage().contains(t.pty.slavePath()));
        QVERIFY(t.prompts->messages.isEmpty());

        t.click("Command33");
        QVERIFY(!t.isOpen());
        QVERIFY(t.control<QComboBox>("Combo1")->isEnabled());
        QVERIFY(!t.control<QPushButton>("Command33")->isEnabled());
        QVERIFY(timer1->enabled()); // the poll keeps running and reads nothing
        QTest::qWait(450);
        QCOMPARE(t.receivePane(), QString());

        // Opening again works, with the current settings.
        t.click("Command32");
        QVERIFY(t.isOpen());
    }

    void wrongPortName_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("COM10") << "COM10";
        QTest::newRow("lower case") << "com1";
        QTest::newRow("blank after") << "COM1 ";
        QTest::newRow("empty") << "";
    }
    void wrongPortName() {
        QFETCH(QString, name);
        WindowOnPty t(false);
        t.control<QComboBox>("Combo1")->setCurrentText(name);
        t.click("Command32");
        QCOMPARE(t.prompts->messages.size(), 1);
        QCOMPARE(t.prompts->messages[0].text, QString::fromUtf8("请选择正确的串口名"));
        QVERIFY(!t.isOpen());
        QVERIFY(!t.window->findChild<WindowTimer *>("Timer1")->enabled());
    }

    // An open that fails says so, naming port, device and reason, and leaves the closed state.
    void failedOpen_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("baud");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no such device") << "/nonexistent/ttyUSB9"
                                        << "9600" << QString::fromUtf8("设备不存在");
        QTest::newRow("empty baud") << ""
                                    << "" << QString::fromUtf8("串口参数无效");
        QTest::newRow("baud not a number") << ""
                                           << "fast" << QString::fromUtf8("串口参数无效");
    }
    void failedOpen() {
        QFETCH(QString, device);
        QFETCH(QString, baud);
        QFETCH(QString, expected);
        WindowOnPty t(false);
        if (!device.isEmpty())
            wireComPort(1, device);
        t.control<QComboBox>("Combo2")->setCurrentText(baud);
        t.click("Command32");
        QCOMPARE(t.prompts->messages.size(), 1);
        const QString text = t.prompts->messages[0].text;
        QVERIFY2(text.contains(QStringLiteral("COM1")), qPrintable(text));
        QVERIFY2(text.contains(device.isEmpty() ? t.pty.slavePath() : device), qPrintable(text));
        QVERIFY2(text.contains(expected), qPrintable(text));
        QVERIFY(!t.isOpen());
        QVERIFY(t.control<QComboBox>("Combo1")->isEnabled());
        QVERIFY(!t.window->findChild<WindowTimer *>("Timer1")->enabled());
        // Sending does nothing, and says why.
        t.window->SendFrame(hex("01200039C0"));
        QCOMPARE(t.sendPane(), QString());
        QVERIFY(t.window->statusBar()->currentMessage().contains(QString::fromUtf8("未打开")));
    }

    void noDeviceBehindTheName() {
        WindowOnPty t(false);
        // COM9 has no override; on a test machine there are rarely nine serial ports.
        if (!serial::deviceForComPort(9).isEmpty())
            QSKIP("this machine has a ninth serial port");
        t.control<QComboBox>("Combo1")->setCurrentText(QStringLiteral("COM9"));
        t.click("Command32");
        QCOMPARE(t.prompts->messages.size(), 1);
        QVERIFY(t.prompts->messages[0].text.contains(QString::fromUtf8("没有对应的串口设备")));
        QVERIFY(t.control<QComboBox>("Combo1")
                    ->itemData(8, Qt::ToolTipRole)
                    .toString()
                    .contains(QString::fromUtf8("没有对应的串口设备")));
        QVERIFY(!t.isOpen());
    }

    void lockedDevice() {
        Pty pty;
        QSerialPort holder(pty.slavePath());
        QVERIFY(holder.open(QIODevice::ReadWrite));
        WindowOnPty t(false);
        wireComPort(1, pty.slavePath());
        t.click("Command32");
        QCOMPARE(t.prompts->messages.size(), 1);
        QVERIFY2(t.prompts->messages[0].text.contains(QString::fromUtf8("占用")),
                 qPrintable(t.prompts->messages[0].text));
        QVERIFY(!t.isOpen());
    }

    void tooltipsNameTheDevices() {
        WindowOnPty t(false);
        QCOMPARE(t.control<QComboBox>("Combo1")->itemData(0, Qt::ToolTipRole).toString(),
                 QStringLiteral("COM1 = ") + t.pty.slavePath());
        QVERIFY(t.control<QComboBox>("Combo1")->toolTip().contains(t.pty.slavePath()));
    }

    // The far side goes away: closed at once, buttons back to closed, one status message, no
    // error loop; a new device behind the name opens again.
    void farSideGoesAway() {
        WindowOnPty t;
        QVERIFY(t.isOpen());
        QSignalSpy lost(t.window->findChild<serial::MSComm *>("MSComm1"), &serial::MSComm::portLost);
        t.pty.closeMaster();
        QTRY_VERIFY_WITH_TIMEOUT(!t.isOpen(), 3000);
        QTest::qWait(300);
        QCOMPARE(lost.size(), 1);
        QVERIFY(!t.window->findChild<serial::MSComm *>("MSComm1")->PortOpen());
        QVERIFY(t.window->statusBar()->currentMessage().contains(QString::fromUtf8("已断开")));
        QVERIFY(t.prompts->messages.isEmpty());

        Pty replugged;
        wireComPort(1, replugged.slavePath());
        t.click("Command32");
        QVERIFY(t.isOpen());
        t.window->SendFrame(hex("01200039C0"));
        QCOMPARE(replugged.readAtLeast(5), hex("01200039C0"));
    }

    void sendFrameWritesShowsAndCounts() {
        WindowOnPty t;
        t.window->SendFrame(hex("01200039C0"));
        QCOMPARE(t.sent(5), hex("01200039C0"));
        QCOMPARE(t.sendPane(), kHandshakeLines);
        QCOMPARE(t.control<QLabel>("Label44")->text(), QString("5"));
        QVERIFY(t.window->findChild<WindowTimer *>("Timer1")->enabled());

        // Newest first; codes without a caption add none; the counter keeps adding.
        t.window->SendFrame(hex("0141010150A0"));
        QCOMPARE(t.sent(6), hex("0141010150A0"));
        QVERIFY(t.sendPane().startsWith(
            QStringLiteral("SndAsc:.A..P.\nSndHex:01 41 01 01 50 A0 \nSndAsc:")));
        QCOMPARE(t.control<QLabel>("Label44")->text(), QString("11"));

        // A caption that is not a number counts as 0.
        t.control<QLabel>("Label44")->setText(QStringLiteral("abc"));
        t.window->SendFrame(hex("01200039C0"));
        QCOMPARE(t.control<QLabel>("Label44")->text(), QString("5"));
    }

    void sendPaneLimit() {
        WindowOnPty t;
        auto *pane = t.control("RichTextBox2");
        pane->setProperty("Text", filler(10000));
        t.control<QLabel>("Label44")->setText(QStringLiteral("99"));
        t.window->SendFrame(hex("01200039C0"));
        QVERIFY(t.sendPane().endsWith(filler(10000)));
        QCOMPARE(t.control<QLabel>("Label44")->text(), QString("104"));

        pane->setProperty("Text", filler(10001));
        t.window->SendFrame(hex("01200039C0"));
        QCOMPARE(t.sendPane(), kHandshakeLines);
        QCOMPARE(t.control<QLabel>("Label44")->text(), QString("5"));
    }

    void closedPortSendsNothing() {
        WindowOnPty t(false);
        t.window->SendFrame(hex("01200039C0"));
        QCOMPARE(t.sendPane(), QString());
        QCOMPARE(t.control<QLabel>("Label44")->text(), QString("0"));
        QCOMPARE(t.pty.readFor(100), QByteArray());
    }

    void mappedFramesOnTheLine_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<bool>("write");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("read") << hex("01250400002710E709") << false << hex("01030089000215E1");
        QTest::newRow("write") << hex("01250400002710E709") << true
                               << hex("01100089000204000027102199");
        QTest::newRow("handshake write") << hex("01200039C0") << true << hex("01100084000000 21A0");
        QTest::newRow("ascii read") << codec::asciiFrame(hex("01250400002710")) << false
                                    << codec::asciiFrame(hex("010300890002"));
    }
    void mappedFramesOnTheLine() {
        QFETCH(QByteArray, frame);
        QFETCH(bool, write);
        QFETCH(QByteArray, wire);
        WindowOnPty t;
        t.control<QCheckBox>("Check2")->setChecked(true);
        t.control<QLineEdit>("Text34")->setText(QStringLiteral("100"));
        t.control<QRadioButton>(write ? "Option4" : "Option3")->setChecked(true);
        t.window->SendFrame(frame);
        QCOMPARE(t.sent(wire.size()).toHex(' '), wire.toHex(' '));
        // The counter and both raw lines show the mapped frame.
        QCOMPARE(t.control<QLabel>("Label44")->text(), QString::number(wire.size()));
        const QString pane = t.sendPane();
        QVERIFY(pane.contains(QStringLiteral("SndHex:") + wire.toHex(' ').toUpper() + u' '));
        QVERIFY(pane.contains(QString::fromUtf8("西门子标准格式:\n\r")));
    }

    void repliesReachTheWindow() {
        WindowOnPty t;
        t.pty.write(hex("013704FFFFFFFE1234"));
        QTRY_COMPARE_WITH_TIMEOUT(t.control<QLineEdit>("Text18")->text(), QString("-2"), 2000);
        QCOMPARE(t.control<QLabel>("Label45")->text(), QString("9"));
        QCOMPARE(t.receivePane(),
                 QStringLiteral("RecAsc:.7......4\nRecHex:01 37 04 FF FF FF FE 12 34 \n") +
                     QString::fromUtf8("查询运动绝对位置:") + QStringLiteral("\n\r"));

        t.pty.write(hex("013B04010001020000"));
        QTRY_COMPARE_WITH_TIMEOUT(t.control<QLabel>("Label15")->text(), QString::fromUtf8("运动中"),
                                  2000);
        QCOMPARE(t.control("Shape1")->property("BackColor").toUInt(), 0x000000FFu);
        QCOMPARE(t.control("Shape3")->property("BackColor").toUInt(), 0x80000008u);

        t.pty.write(codec::asciiFrame(hex("013604000186A0")));
        QTRY_COMPARE_WITH_TIMEOUT(t.control<QLineEdit>("Text17")->text(), QString("100000"), 2000);
    }

    // Pieces that arrive in different polls are handed over in as many calls.
    void splitReply() {
        WindowOnPty t;
        t.pty.write(hex("0126040000"));
        QTRY_VERIFY_WITH_TIMEOUT(t.receivePane().contains(QStringLiteral("RecHex:")), 2000);
        t.pty.write(hex("27100000"));
        QTRY_COMPARE_WITH_TIMEOUT(t.receivePane().count(QStringLiteral("RecHex:")), 2, 2000);
        QCOMPARE(t.control<QLineEdit>("Text27")->text(), QString("0"));
        QCOMPARE(t.control<QLabel>("Label45")->text(), QString("9"));
    }

    // A burst bigger than one read is handed over in 512-byte batches within one poll: nothing
    // is lost and nothing waits for the next tick.
    void burstLargerThanOneRead() {
        WindowOnPty t;
        QByteArray burst;
        for (int i = 0; i < 1300; ++i)
            burst += char(i % 251);
        // The pane limit would drop lines of an earlier batch; count what was handed over.
        t.pty.write(burst);
        QTRY_COMPARE_WITH_TIMEOUT(t.control<QLabel>("Label45")->text(), QString("1300"), 3000);
        const QString pane = t.receivePane();
        QCOMPARE(pane.count(QStringLiteral("RecHex:")), 3);
        for (const QString &line : pane.split(u'\n'))
            if (line.startsWith(QStringLiteral("RecHex:")))
                QVERIFY(line.size() <= 7 + 3 * 512);
    }

    // Sends every 50 ms restart the poll each time; replies must still be shown meanwhile.
    void repliesShownWhileSendingFast() {
        WindowOnPty t;
        t.pty.write(hex("013604000186A00000"));
        QElapsedTimer sending;
        sending.start();
        while (sending.elapsed() < 1000 && t.control<QLineEdit>("Text17")->text() != "100000") {
            t.window->SendFrame(hex("0136000000"));
            QTest::qWait(50);
        }
        QCOMPARE(t.control<QLineEdit>("Text17")->text(), QString("100000"));
    }

    void receivePaneLimit() {
        WindowOnPty t;
        t.control("RichTextBox1")->setProperty("Text", filler(10001));
        t.control<QLabel>("Label45")->setText(QStringLiteral("77"));
        t.pty.write(hex("0120"));
        QTRY_COMPARE_WITH_TIMEOUT(t.receivePane(), QStringLiteral("RecAsc:. \nRecHex:01 20 \n"),
                                  2000);
        QCOMPARE(t.control<QLabel>("Label45")->text(), QString("2"));
    }
};

QTEST_MAIN(TestSerial)
#include "tst_serial.moc"
