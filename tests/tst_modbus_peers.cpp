// Third-party Modbus implementations on both sides of the register mapping: Debian's mbpoll (a
// master) reads and writes the virtual device's registers, and a libmodbus RTU server answers the
// tool's register-mapped read. CRCs written here come from Python's crcmod, not from the codec.

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>

#include "tests/support/Hex.h"
#include "tests/support/SimProcess.h"
#include "tests/support/WindowOnPty.h"

class TestModbusPeers : public QObject {
    Q_OBJECT

private slots:
    void mbpollReadsAndWritesTheDevice() {
        const QString mbpoll = QStandardPaths::findExecutable(QStringLiteral("mbpoll"));
        if (mbpoll.isEmpty())
            QSKIP("mbpoll is not installed (Debian package mbpoll; scripts/install-deps.sh)");
        Sim sim;
        QVERIFY(sim.start({}));
        // One poll (address 1, 9600 baud, no parity; -r counts from 1) must print `pattern`.
        const auto poll = [&](const QStringList &arguments, const QString &pattern) {
            QProcess process;
            process.setProcessChannelMode(QProcess::MergedChannels);
            process.start(mbpoll, QStringList{"-m", "rtu", "-a", "1", "-b", "9600", "-P", "none",
                                              "-1", "-t", "4:hex", "-r"} +
                                      arguments);
            process.waitForFinished(30000);
            const QString output = QString::fromLocal8Bit(process.readAll());
            QVERIFY2(output.contains(QRegularExpression(pattern)), qPrintable(output));
        };
        // The start speed written as 100000 at its set code 0x25, read back at its query code.
        poll({"38", sim.path, "0x0001", "0x86A0"}, "Written 2 references");
        poll({"39", "-c", "2", sim.path}, R"(\[39\]:\s+0x0001\s+\[40\]:\s+0x86A0\s)");
        // A register outside the mapping is refused with a standard exception.
        poll({"1", "-c", "2", sim.path}, "(?i)illegal data address");
    }

    void libmodbusServerAnswersTheToolsMappedRead() {
#ifndef R7260_MODBUS_SERVER_PATH
        QSKIP("libmodbus was not found when this was configured (Debian package libmodbus-dev)");
#else
        Pty serverLine; // the server's serial device; the test carries bytes between the two
        Sim server;     // holds any helper process, ended by its pid
        server.process.start(QStringLiteral(R7260_MODBUS_SERVER_PATH), {serverLine.slavePath()});
        QVERIFY(server.process.waitForReadyRead(10000) && server.readLine() == "READY");
        WindowOnPty window;
        window.control<QCheckBox>(QStringLiteral("Check2"))->setChecked(true);
        window.control<QRadioButton>(QStringLiteral("Option3"))->setChecked(true);
        window.control<QLineEdit>(QStringLiteral("Text34"))->setText(QStringLiteral("100"));
        // Start speed 10000 set at register base 100: a read of registers 0x89 and 0x8A.
        window.window->SendFrame(hex("01 25 04 00002710 E709"));
        const QByteArray request = window.sent(8);
        QCOMPARE(request, hex("01 03 0089 0002 15E1"));
        QVERIFY(serverLine.write(request));
        const QByteArray reply = serverLine.readAtLeast(9);
        QCOMPARE(reply, hex("01 03 04 0089 008A AA7E")); // it holds r in register r
        QVERIFY(window.pty.write(reply));
        QTRY_VERIFY_WITH_TIMEOUT(window.receivePane().contains("RecHex:01 03 04 00 89 00 8A"),
                                 5000);
#endif
    }
};

QTEST_MAIN(TestModbusPeers)
#include "tst_modbus_peers.moc"
