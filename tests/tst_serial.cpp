// The serial link and the send/receive engine through the real window over a pseudo-terminal:
// opening and closing, failures that must be told, a far side that goes away, what SendFrame
// puts on the line and in the pane, and how received bytes are polled, shown and counted. What a
// reply means in the boxes and lamps is tst_endtoend's business.

#include <QElapsedTimer>
#include <QSerialPort>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <atomic>
#include <thread>

#include "app/WindowTimer.h"
#include "serial/MSComm.h"
#include "serial/PortMap.h"
#include "tests/support/Hex.h"
#include "tests/support/TestFiles.h"
#include "tests/support/WindowOnPty.h"

namespace {

// Pane text of an exact length, in lines as a pane holds them.
QString filler(int length) {
    return QStringLiteral("x\n").repeated(length / 2) + QString(length % 2, u'x');
}

const QByteArray kHandshake = hex("01200039C0");
const QString kHandshakeLines =
    QStringLiteral("SndAsc:. .9.\nSndHex:01 20 00 39 C0 \n请求握手命令:\n\r");

bool pollRuns(const WindowOnPty &t) {
    return t.window->findChild<WindowTimer *>("Timer1")->enabled();
}
QString status(const WindowOnPty &t) {
    return t.window->statusBar()->currentMessage();
}

} // namespace

class TestSerial : public QObject {
    Q_OBJECT

private slots:
    void openAndClose() {
        WindowOnPty t;
        QVERIFY(t.isOpen() && pollRuns(t) && t.control("Command33")->isEnabled());
        QVERIFY(!t.control("Combo1")->isEnabled() && !t.control("Combo2")->isEnabled());
        QVERIFY(status(t).contains(t.pty.slavePath()));
        QCOMPARE(t.control<QComboBox>("Combo1")->itemData(0, Qt::ToolTipRole).toString(),
                 QStringLiteral("COM1 = ") + t.pty.slavePath());
        t.click("Command33");
        QVERIFY(!t.isOpen() && t.control("Combo1")->isEnabled());
        QVERIFY(!t.control("Command33")->isEnabled() && t.prompts->messages.isEmpty());
        t.click("Command32");
        QVERIFY(t.isOpen());
    }

    // An open that fails says so, naming port, device and reason, and stays closed; sending then
    // does nothing and says why.
    void failedOpen_data() {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("device"); // "pty": the test's own; "locked": held by another
        QTest::addColumn<QString>("baud");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("COM10") << "COM10" << "pty" << "9600" << "请选择正确的串口名";
        QTest::newRow("lower case") << "com1" << "pty" << "9600" << "请选择正确的串口名";
        QTest::newRow("no such device") << "COM1" << "/nonexistent/ttyUSB9" << "9600" << "设备不存在";
        QTest::newRow("empty baud") << "COM1" << "pty" << "" << "串口参数无效";
        QTest::newRow("baud not a number") << "COM1" << "pty" << "fast" << "串口参数无效";
        QTest::newRow("locked by another program") << "COM1" << "locked" << "9600" << "占用";
        QTest::newRow("no device behind COM9") << "COM9" << "none" << "9600" << "没有对应的串口设备";
        // clang-format on
    }
    void failedOpen() {
        QFETCH(QString, port);
        QFETCH(QString, device);
        QFETCH(QString, baud);
        QFETCH(QString, message);
        WindowOnPty t(false);
        if (device == u"none" && !serial::deviceForComPort(9).isEmpty())
            QSKIP("this machine has a ninth serial port");
        QSerialPort holder(t.pty.slavePath());
        if (device == u"locked")
            QVERIFY(holder.open(QIODevice::ReadWrite));
        else if (device.startsWith(u'/'))
            wireComPort(1, device);
        t.setText("Combo1", port);
        t.setText("Combo2", baud);
        t.click("Command32");
        QCOMPARE(t.prompts->messages.size(), 1);
        const QString text = t.prompts->messages[0].text;
        QVERIFY2(text.contains(message), qPrintable(text));
        if (port == u"COM1")
            QVERIFY2(text.contains(device.startsWith(u'/') ? device : t.pty.slavePath()),
                     qPrintable(text));
        QVERIFY(!t.isOpen() && !pollRuns(t) && t.control("Combo1")->isEnabled());
        t.window->SendFrame(kHandshake);
        QCOMPARE(t.sendPane() + t.text("Label44"), QStringLiteral("0"));
        QVERIFY(status(t).contains(u"未打开"));
        QVERIFY(t.pty.readFor(50).isEmpty());
    }

    // The far side goes away: closed at once, buttons back to closed, one status message, no
    // error loop; a new device behind the name opens again.
    void farSideGoesAway() {
        WindowOnPty t;
        auto *port = t.window->findChild<serial::MSComm *>("MSComm1");
        QSignalSpy lost(port, &serial::MSComm::portLost);
        t.pty.closeMaster();
        QTRY_VERIFY_WITH_TIMEOUT(!t.isOpen(), 3000);
        QTest::qWait(300);
        QCOMPARE(lost.size(), 1);
        QVERIFY(!port->PortOpen());
        QVERIFY(status(t).contains(u"已断开"));
        QVERIFY(t.prompts->messages.isEmpty());

        Pty replugged;
        wireComPort(1, replugged.slavePath());
        t.click("Command32");
        QVERIFY(t.isOpen());
        t.window->SendFrame(kHandshake);
        QCOMPARE(replugged.readAtLeast(5), kHandshake);
    }

    void sendFrameWritesShowsAndCounts() {
        WindowOnPty t;
        t.window->SendFrame(kHandshake);
        QCOMPARE(t.sent(5), kHandshake);
        QCOMPARE(t.sendPane(), kHandshakeLines);
        QCOMPARE(t.text("Label44"), QStringLiteral("5"));
        // Newest first; codes without a caption add none; the counter keeps adding.
        t.window->SendFrame(hex("0141010150A0"));
        QCOMPARE(t.sent(6), hex("0141010150A0"));
        QCOMPARE(t.sendPane(),
                 QStringLiteral("SndAsc:.A..P.\nSndHex:01 41 01 01 50 A0 \n") + kHandshakeLines);
        QCOMPARE(t.text("Label44"), QStringLiteral("11"));
        // A counter that is not a number counts as 0.
        t.setText("Label44", "abc");
        t.window->SendFrame(kHandshake);
        QCOMPARE(t.text("Label44"), QStringLiteral("5"));
        t.click("Command6");
        QCOMPARE(t.sendPane() + t.text("Label44"), QStringLiteral("0"));
    }

    // A pane of more than 10000 characters is emptied, and its counter reset, before the next
    // entry; one of exactly 10000 is not. The clear buttons empty pane and counter.
    void panesAndCounters() {
        WindowOnPty t;
        auto *sent = t.control("RichTextBox2");
        sent->setProperty("Text", filler(10000));
        t.setText("Label44", "99");
        t.window->SendFrame(kHandshake);
        QCOMPARE(t.sendPane(), kHandshakeLines + filler(10000));
        QCOMPARE(t.text("Label44"), QStringLiteral("104"));
        sent->setProperty("Text", filler(10001));
        t.window->SendFrame(kHandshake);
        QCOMPARE(t.sendPane(), kHandshakeLines);
        QCOMPARE(t.text("Label44"), QStringLiteral("5"));

        // A received reply: its bytes, then the message line naming it; the counter counts them.
        t.control("RichTextBox1")->setProperty("Text", filler(10001));
        t.setText("Label45", "77");
        t.pty.write(hex("013704FFFFFFFE3E13"));
        QTRY_COMPARE_WITH_TIMEOUT(t.text("Label45"), QStringLiteral("9"), 2000);
        QCOMPARE(t.receivePane(),
                 QStringLiteral("RecAsc:.7.....>.\nRecHex:01 37 04 FF FF FF FE 3E 13 \n"
                                "查询运动绝对位置:\n\r"));
        t.click("Command36");
        QCOMPARE(t.receivePane() + t.text("Label45"), QStringLiteral("0"));
    }

    // A burst bigger than one read is handed over in reads of at most 512 bytes within one
    // poll: nothing is lost, nothing is read past the end of a read.
    void burstLargerThanOneRead() {
        WindowOnPty t;
        t.pty.write(QByteArray(1300, 'x'));
        QTRY_COMPARE_WITH_TIMEOUT(t.text("Label45"), QStringLiteral("1300"), 3000);
        const QString pane = t.receivePane();
        QCOMPARE(pane.count(u"RecHex:"), 3);
        for (const QString &line : pane.split(u'\n'))
            if (line.startsWith(u"RecHex:"))
                QVERIFY(line.size() <= 7 + 3 * 512);
    }

    // The window's thread is kept busy for 300 ms while 20 KB arrive in a steady stream, as a
    // UART delivers them (what the line cannot take is gone): the port's own thread takes them as
    // they come, every byte is counted and handed on, in order, and the stream's end is not taken
    // for a lost port.
    void busyWindowLosesNothing() {
        WindowOnPty t;
        QTemporaryDir dir;
        const QString record = dir.filePath(QStringLiteral("busy.txt"));
        QVERIFY(t.window->startTrafficRecord(record));
        QByteArray data(20480, Qt::Uninitialized);
        for (int i = 0; i < data.size(); ++i)
            data[i] = char(i * 7 % 251);
        qint64 handed = 0;
        connect(t.window.get(), &FrmMain::replyHandled, this, [&](int n) { handed += n; });
        std::atomic<qsizetype> lost = 0;
        std::thread device([&] {
            for (qsizetype at = 0; at < data.size(); at += 160) {
                lost += 160 - t.pty.writeWhatFits(data.mid(at, 160));
                QThread::msleep(2);
            }
        });
        QThread::msleep(300);
        device.join();
        QCOMPARE(lost.load(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(handed, qint64(data.size()), 3000);
        QByteArray recorded;
        for (const QString &line : QString::fromUtf8(readBytes(record)).split(u'\n'))
            if (line.section(u'\t', 1, 1) == u"RX")
                recorded += QByteArray::fromHex(line.section(u'\t', 2, 2).toLatin1());
        QCOMPARE(recorded, data);
        QVERIFY(t.isOpen());
    }

    // Sends every 50 ms restart the poll each time; the overdue poll still runs, so replies are
    // shown meanwhile.
    void repliesShownWhileSendingFast() {
        WindowOnPty t;
        t.pty.write(hex("013604000186A0CC4E"));
        QElapsedTimer sending;
        sending.start();
        while (sending.elapsed() < 1000 && t.text("Text17") != u"100000") {
            t.window->SendFrame(hex("0136000000"));
            QTest::qWait(50);
        }
        QCOMPARE(t.text("Text17"), QStringLiteral("100000"));
    }
};

QTEST_MAIN(TestSerial)
#include "tst_serial.moc"
