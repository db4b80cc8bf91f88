// The r7260-sim executable as engineers and scripts use it, over its pseudo-terminal opened as a
// serial port: the "PTY" line, the console, the link, delayed and split replies, clean ends, bad
// options, a real tty given with --device, a line of several drives, and line timing.

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include "sim/LineSpeed.h"
#include "tests/support/Hex.h"
#include "tests/support/Pty.h"
#include "tests/support/SimProcess.h"

namespace {

// Writes the request and reads until `count` bytes are in or 5 s pass without a byte.
QByteArray ask(QSerialPort &port, const QByteArray &request, qsizetype count) {
    QByteArray out;
    port.write(request);
    while (out.size() < count && port.waitForReadyRead(5000))
        out += port.readAll();
    return out;
}

} // namespace

class TestSimProcess : public QObject {
    Q_OBJECT

private slots:
    void consoleAndSplitReplies() {
        Sim sim;
        QVERIFY(sim.start({"--address", "1F", "--inputs", "00001", "--split", "--seed", "3"}));
        QVERIFY2(sim.firstLine.startsWith(QLatin1String("PTY /dev/")), qPrintable(sim.firstLine));
        QSerialPort port(sim.path);
        QVERIFY(port.open(QIODevice::ReadWrite));
        // Address 1 is not answered; the address query at 0 is, in pieces that join up.
        QCOMPARE(ask(port, hex("01 21 00 3850 00 21 00 6990"), 6), hex("1F 21 01 1F 17A2"));
        QCOMPARE(ask(port, hex("1F 42 00 70A6"), 10), hex("1F 42 05 00 01 01 01 01 F37A"));
        sim.command("in3 1");
        QVERIFY(!sim.waitForOutput(QStringLiteral("inputs IN5..IN1: 00101")).isEmpty());
        QCOMPARE(ask(port, hex("1F 42 00 70A6"), 10), hex("1F 42 05 00 01 00 01 01 A2BA"));
        sim.command("status");
        QVERIFY(!sim.waitForOutput(QStringLiteral("motion: stopped")).isEmpty());
        sim.command("in6 1");
        QVERIFY(!sim.waitForOutput(QStringLiteral("error: ")).isEmpty());
        sim.command("quit");
        QVERIFY(sim.process.waitForFinished(10000) && sim.process.exitCode() == 0);
    }

    void linkDelayAndEnds() {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("ttyR7260"));
        Sim sim;
        QVERIFY(sim.start({"--link", link, "--reply-delay", "400"}));
        QCOMPARE(QFileInfo(link).symLinkTarget(), sim.path);
        for (int open = 0; open < 2; ++open) { // the tool closing its end does not end the line
            QSerialPort port(link);
            QVERIFY(port.open(QIODevice::ReadWrite));
            port.write(hex("01 20 00 39C0"));
            QVERIFY(!port.waitForReadyRead(100)); // not before the delay, however busy the machine
            QCOMPARE(ask(port, {}, 5), hex("01 20 00 39C0"));
        }
        sim.process.closeWriteChannel(); // serves on without its console
        QVERIFY(!sim.process.waitForFinished(300));
        sim.process.terminate();
        QVERIFY(sim.process.waitForFinished(10000) &&
                sim.process.exitStatus() == QProcess::NormalExit);
        QCOMPARE(sim.process.exitCode(), 0);
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    // Drives 1, 5, 5 and 1F, the last at 19200: each keeps its own state and answers its own
    // address at its own speed; drives answering together damage each other's replies (each a
    // byte after the one before, OR-ed where they overlap).
    void lineOfDrives() {
        Sim sim;
        QVERIFY(sim.start({"--address", "1,5,5,1F", "--baud", "9600,9600,9600,19200"}));
        QSerialPort port(sim.path);
        QVERIFY(port.open(QIODevice::ReadWrite));
        QCOMPARE(ask(port, hex("01 25 04 00000141 3C95"), 5), hex("01 25 00 3A90"));
        // 1F does not hear 9600 baud.
        QCOMPARE(ask(port, hex("1F 20 00 59C6 01 26 00 3A60"), 9), hex("01 26 04 00000141 3CA6"));
        QCOMPARE(ask(port, hex("05 20 00 7801"), 6), hex("05 25 20 78 79 01"));
        QCOMPARE(ask(port, hex("00 21 00 6990"), 8), hex("01 25 25 21 95 97 F1 71"));
        sim.command("@5 status");
        QVERIFY(!sim.waitForOutput(QStringLiteral("parameters: start 100,")).isEmpty());
        sim.command("@1f in 00011");
        QVERIFY(!sim.waitForOutput(QStringLiteral("drive 4: inputs IN5..IN1: 00011")).isEmpty());
        QVERIFY(port.setBaudRate(19200));
        QCOMPARE(ask(port, hex("01 20 00 39C0 1F 20 00 59C6"), 5), hex("1F 20 00 59C6"));
    }

    // Never sooner than the line allows at 2400 baud: the request's 5 bytes take 20.8 ms to
    // arrive, then the 2 ms turnaround, then 4.2 ms for each byte of the reply.
    void lineTiming() {
        Sim sim;
        QVERIFY(sim.start({"--line-timing", "--baud", "2400"}));
        QSerialPort port(sim.path);
        QVERIFY(port.open(QIODevice::ReadWrite) && port.setBaudRate(2400));
        QElapsedTimer clock;
        clock.start();
        port.write(hex("01 20 00 39C0"));
        QVERIFY(port.waitForReadyRead(5000));
        QVERIFY2(clock.nsecsElapsed() >= 27'000'000, qPrintable(QString::number(clock.elapsed())));
        const QByteArray first = port.readAll();
        QCOMPARE(first + ask(port, {}, 5 - first.size()), hex("01 20 00 39C0"));
        QVERIFY2(clock.nsecsElapsed() >= 43'666'000, qPrintable(QString::number(clock.elapsed())));
    }

    void badOptions_data() {
        QTest::addColumn<QStringList>("arguments"); // FILE: a file that must stay a file
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("address 0") << QStringList{"--address", "0"} << "--address";
        QTest::newRow("inputs") << QStringList{"--inputs", "12"} << "--inputs";
        QTest::newRow("baud") << QStringList{"--baud", "57600"} << "--baud";
        QTest::newRow("a rate for some drives") << QStringList{"--address", "1,2,3", "--baud", "9600,4800"} << "--baud";
        QTest::newRow("limits") << QStringList{"--left-limit", "10", "--right-limit", "5"} << "--left-limit";
        QTest::newRow("link with a device") << QStringList{"--device", "/dev/null", "--link", "FILE"} << "--link";
        QTest::newRow("link over a file") << QStringList{"--link", "FILE"} << "not a symbolic link";
        // clang-format on
    }
    void badOptions() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QTemporaryFile file;
        QVERIFY(file.open());
        Sim sim;
        QVERIFY(!sim.start(arguments.replaceInStrings(QStringLiteral("FILE"), file.fileName())));
        sim.process.waitForFinished(10000); // ended already, with nothing on standard output
        QCOMPARE(sim.process.exitCode(), 2);
        QVERIFY(QString::fromLocal8Bit(sim.process.readAllStandardError()).contains(message));
        QVERIFY(!QFileInfo(file.fileName()).isSymLink());
    }

    void realTtyWithDevice() {
        // A pseudo-terminal stands in for a serial adapter: the simulator opens its slave as a
        // device at the given speed, and changes the speed once the reply to 0x24 or 0x47 is out.
        Pty adapter;
        Sim sim;
        QVERIFY(sim.start({"--device", adapter.slavePath(), "--baud", "14400", "--exit-on-eof"}));
        QCOMPARE(sim.firstLine, QStringLiteral("DEVICE %1 14400").arg(adapter.slavePath()));
        QFile probe(adapter.slavePath()); // reads the line speed only
        QVERIFY(probe.open(QIODevice::ReadOnly));
        QCOMPARE(sim::lineSpeed(probe.handle()), 14400);
        QVERIFY(adapter.write(hex("01 23 00 3930 01 24 01 08 4185")));
        QCOMPARE(adapter.readAtLeast(11), hex("01 23 01 07 B040 01 24 00 3B00"));
        QTRY_COMPARE_WITH_TIMEOUT(sim::lineSpeed(probe.handle()), 19200, 5000);
        QVERIFY(adapter.write(hex("01 47 00 13F0")));
        QCOMPARE(adapter.readAtLeast(2), hex("01 47"));
        QTRY_COMPARE_WITH_TIMEOUT(sim::lineSpeed(probe.handle()), 9600, 5000);
        sim.process.closeWriteChannel();
        QVERIFY(sim.process.waitForFinished(10000) && sim.process.exitCode() == 0);
    }
};

QTEST_MAIN(TestSimProcess)
#include "tst_sim_process.moc"
