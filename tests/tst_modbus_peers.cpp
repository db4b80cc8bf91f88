// Third-party Modbus implementations on both sides of the register mapping: Debian's mbpoll (a
// Modbus master) reads and writes the virtual device's registers, and a libmodbus RTU server
// answers the tool's register-mapped read request.

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "codec/Framing.h"
#include "codec/HexText.h"
#include "tests/support/WindowOnPty.h"

namespace {

// A helper process of this test, ended by its pid (SIGTERM, then SIGKILL) when done.
class Helper {
public:
    ~Helper() { stop(); }
    void stop() {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(2000);
    }
    // Starts the program and waits for a line of standard output that starts with `ready`.
    QString start(const QString &program, const QStringList &arguments, const QString &ready) {
        process.start(program, arguments);
        if (!process.waitForStarted(10000))
            return {};
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            while (process.canReadLine()) {
                const QString line = QString::fromLocal8Bit(process.readLine()).trimmed();
                if (line.startsWith(ready))
                    return line;
            }
            if (process.state() != QProcess::Running)
                return {};
            process.waitForReadyRead(50);
        }
        return {};
    }
    QProcess process;
};

QString tool(const char *name) {
    return QStandardPaths::findExecutable(QLatin1String(name));
}

// mbpoll's output lines "[39]: 	0x0064" as register -> text.
QMap<int, QString> mbpollValues(const QString &output) {
    QMap<int, QString> values;
    static const QRegularExpression line(QStringLiteral(R"(^\[(\d+)\]:\s+(\S+)\s*$)"),
                                         QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(output); it.hasNext();) {
        const auto match = it.next();
        values[match.captured(1).toInt()] = match.captured(2);
    }
    return values;
}

} // namespace

class TestModbusPeers : public QObject {
    Q_OBJECT

    // mbpoll against the device's pty; -r is 1-based, so register 0x26 is reference 39. Values
    // to write follow the path.
    QString mbpoll(const QString &path, const QStringList &arguments,
                   const QStringList &values = {}) {
        QProcess process;
        process.start(tool("mbpoll"),
                      QStringList{"-m", "rtu", "-a", "1", "-b", "9600", "-P", "none"} + arguments +
                          QStringList{path} + values);
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
            return QStringLiteral("mbpoll did not finish");
        }
        return QString::fromLocal8Bit(process.readAllStandardOutput() +
                                      process.readAllStandardError()) +
               QStringLiteral("\nexit %1").arg(process.exitCode());
    }

private slots:
    void mbpollReadsAndWritesTheDevice() {
        if (tool("mbpoll").isEmpty())
            QSKIP("mbpoll is not installed (Debian package mbpoll; scripts/install-deps.sh)");
        Helper sim;
        const QString first = sim.start(QStringLiteral(R7260_SIM_PATH), {}, QStringLiteral("PTY "));
        QVERIFY2(!first.isEmpty(), "r7260-sim did not start");
        const QString path = first.mid(4);

        // Start speed (default 100) in the two registers of its query code 0x26.
        QString output = mbpoll(path, {"-t", "4:hex", "-r", "39", "-c", "2", "-1"});
        QMap<int, QString> values = mbpollValues(output);
        QCOMPARE(values.value(39), QStringLiteral("0x0000"));
        QVERIFY2(values.value(40) == QStringLiteral("0x0064"), qPrintable(output));

        // Written as a standard 0x10 at the set code 0x25 (reference 38), read back at 0x26.
        output = mbpoll(path, {"-t", "4", "-r", "38"}, {"1", "34464"});
        QVERIFY2(output.contains(QStringLiteral("Written 2 references")), qPrintable(output));
        values = mbpollValues(mbpoll(path, {"-t", "4:hex", "-r", "39", "-c", "2", "-1"}));
        QCOMPARE(values.value(39), QStringLiteral("0x0001"));
        QCOMPARE(values.value(40), QStringLiteral("0x86A0")); // 100000

        // A register outside the mapping is refused with a standard exception.
        output = mbpoll(path, {"-t", "4:hex", "-r", "1", "-c", "2", "-1"});
        QVERIFY2(!output.contains(QStringLiteral("[1]:")), qPrintable(output));
        QVERIFY2(output.contains(QStringLiteral("Illegal data address"), Qt::CaseInsensitive),
                 qPrintable(output));
    }

    void libmodbusServerAnswersTheToolsMappedRead() {
#ifndef R7260_MODBUS_SERVER_PATH
        QSKIP("libmodbus was not found when this was configured (Debian package libmodbus-dev)");
#else
        if (tool("socat").isEmpty())
            QSKIP("socat is not installed (Debian package socat; scripts/install-deps.sh)");
        QTemporaryDir dir;
        const QString toolEnd = dir.filePath(QStringLiteral("ttyTool"));
        const QString serverEnd = dir.filePath(QStringLiteral("ttyServer"));
        Helper socat;
        socat.process.setProcessChannelMode(QProcess::MergedChannels);
        socat.process.start(tool("socat"), {"-d", "-d", "pty,raw,echo=0,link=" + toolEnd,
                                            "pty,raw,echo=0,link=" + serverEnd});
        QVERIFY(socat.process.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(toolEnd) && QFileInfo::exists(serverEnd), 10000);

        Helper server;
        QVERIFY2(!server
                      .start(QStringLiteral(R7260_MODBUS_SERVER_PATH), {serverEnd, "1"},
                             QStringLiteral("READY"))
                      .isEmpty(),
                 "the libmodbus server did not start");

        WindowOnPty window(false);
        wireComPort(1, toolEnd);
        window.click(QStringLiteral("Command32"));
        QVERIFY(window.isOpen());
        window.control<QCheckBox>(QStringLiteral("Check2"))->setChecked(true);
        window.control<QRadioButton>(QStringLiteral("Option3"))->setChecked(true);
        window.control<QLineEdit>(QStringLiteral("Text34"))->setText(QStringLiteral("100"));
        // Set start speed 10000, mapped onto a read of registers 0x89, 0x8A.
        window.window->SendFrame(QByteArray::fromHex("01250400002710E709"));

        // The server holds r in register r: 00 89 00 8A.
        QTRY_VERIFY_WITH_TIMEOUT(window.receivePane().contains(QStringLiteral("RecHex:01 03 04")),
                                 5000);
        static const QRegularExpression hexLine(QStringLiteral("RecHex:([0-9A-F ]+)"));
        const QByteArray reply =
            codec::ParseHexText(hexLine.match(window.receivePane()).captured(1));
        QCOMPARE(reply.first(7).toHex(' '), QByteArray("01 03 04 00 89 00 8a"));
        QCOMPARE(reply.size(), 9);
        QVERIFY(codec::hasValidCrc(reply));
        QVERIFY(window.sendPane().contains(QStringLiteral("SndHex:01 03 00 89 00 02 15 E1 ")));

        server.stop();
        socat.stop();
#endif
    }
};

QTEST_MAIN(TestModbusPeers)
#include "tst_modbus_peers.moc"
