// r7260-cli as scripts run it: the real program against the virtual device over a
// pseudo-terminal; what it prints, its JSON, its exit statuses and what the device saw.
// Frames here were computed with python3.

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/Hex.h"
#include "tests/support/Pty.h"
#include "tests/support/Ser2net.h"
#include "tests/support/SimProcess.h"
#include "tests/support/TestFiles.h"

#include <sys/stat.h>

namespace {

struct Result {
    int status = -1;
    QString out;
    QString err;
};

Result cli(const QStringList &arguments) {
    QProcess program;
    program.start(QStringLiteral(R7260_CLI_PATH), arguments);
    if (!program.waitForFinished(30000))
        program.kill();
    return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            QString::fromUtf8(program.readAllStandardOutput()),
            QString::fromUtf8(program.readAllStandardError())};
}

// --json output: one object per line; an empty object for a line that is no JSON object.
QList<QJsonObject> objects(const QString &out) {
    QList<QJsonObject> list;
    for (const QString &line : out.split(u'\n', Qt::SkipEmptyParts)) {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8(), &error);
        list << (error.error == QJsonParseError::NoError ? document.object() : QJsonObject());
    }
    return list;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

    Sim sim;
    QTemporaryDir files; // a named pipe and a list file over 1 MiB

    // A generous timeout: a loaded machine must not turn a slow reply into a missing one (rows
    // about timeouts give their own, which comes later and wins).
    QStringList on(const QStringList &arguments) {
        return QStringList{QStringLiteral("-p"), sim.path, QStringLiteral("--timeout"),
                           QStringLiteral("2000")} +
               arguments;
    }
    // What the device logged since the last call (--verbose: a "<- " line per request it got).
    QString deviceLog() {
        while (sim.process.waitForReadyRead(200)) {
        }
        return QString::fromUtf8(sim.process.readAllStandardError());
    }

private slots:
    void initTestCase() {
        QVERIFY(sim.start({QStringLiteral("--verbose")}));
        qputenv("R7260_COM1", sim.path.toLocal8Bit());
        QCOMPARE(::mkfifo(qPrintable(files.filePath("fifo")), 0600), 0);
        QVERIFY(writeBytes(files.filePath("big.txt"), QByteArray(1024 * 1024 + 1, '0')));
    }
    void init() { deviceLog(); }

    // Directly, and across the network through a real ser2net in front of the device.
    void setThenGet_data() {
        QTest::addColumn<QStringList>("framing");
        QTest::addColumn<int>("speed");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("remote"); // 0: the device's pty, 1: tcp://, 2: rfc2217://
        // clang-format off
        QTest::newRow("RTU") << QStringList{} << 12345 << hex("01 27 04 00 00 30 39 28 C5") << 0;
        QTest::newRow("ASCII") << QStringList{"--ascii"} << 777 << QByteArray(":01270400000309C8\r\n") << 0;
        QTest::newRow("RTU over tcp") << QStringList{} << 12345 << hex("01 27 04 00 00 30 39 28 C5") << 1;
        QTest::newRow("ASCII over rfc2217") << QStringList{"--ascii"} << 777 << QByteArray(":01270400000309C8\r\n") << 2;
        // clang-format on
    }
    void setThenGet() {
        QFETCH(QStringList, framing);
        QFETCH(int, speed);
        QFETCH(QByteArray, request);
        QFETCH(int, remote);
        Ser2net server;
        if (remote) {
            QVERIFY(server.start(sim.path));
            framing += {QStringLiteral("-p"), server.url(remote == 2)};
        }
        const Result set =
            cli(on(framing + QStringList{"--json", "set-max-speed", QString::number(speed)}));
        QCOMPARE(set.status, 0);
        const QJsonObject sent = objects(set.out).value(0);
        QCOMPARE(sent.value("tx").toString(), hexLine(request).trimmed());
        QVERIFY(sent.value("error").isNull());
        const Result get = cli(on(framing + QStringList{"--json", "get-max-speed"}));
        QCOMPARE(get.status, 0);
        QCOMPARE(objects(get.out).value(0).value("value").toInt(), speed);
    }

    void exitStatuses_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        QTest::addColumn<int>("requests"); // how many the device received
        // clang-format off
        QTest::newRow("raw with CRC") << QStringList{"raw", "01 20 00", "--crc"} << 0 << "rx: 01 20 00 39 C0" << 1;
        QTest::newRow("raw with LRC") << QStringList{"raw", "01", "20", "00", "--lrc"} << 0 << "rx: 3A 30 31 32 30 30 30 44 46 0D 0A" << 1;
        QTest::newRow("short reply, no CRC") << QStringList{"stop"} << 0 << "message: Stop:" << 1;
        QTest::newRow("failure reply") << QStringList{"set-start-speed", "0"} << 1 << "error: failure reply, error 03" << 1;
        QTest::newRow("absent address") << QStringList{"-a", "5", "--timeout", "200", "handshake"} << 2 << "no reply within 200 ms" << 1;
        QTest::newRow("missing port") << QStringList{"-p", "/nonexistent/ttyR", "handshake"} << 3 << "does not exist" << 0;
        QTest::newRow("nobody serves it") << QStringList{"-p", QStringLiteral("tcp://127.0.0.1:%1").arg(freePort()), "handshake"} << 3 << "refused" << 0;
        QTest::newRow("names no port") << QStringList{"-p", "com1", "handshake"} << 64 << "names no port" << 0;
        QTest::newRow("COM1 named with its device") << QStringList{"-p", "COM1", "-a", "5", "--timeout", "200", "handshake"} << 2 << "error: COM1 (PTY): no reply within 200 ms" << 1;
        QTest::newRow("argument missing") << QStringList{"move-relative", "0"} << 64 << "move-relative takes 2" << 0;
        QTest::newRow("unknown command") << QStringList{"jump"} << 64 << "unknown command" << 0;
        QTest::newRow("option of another command") << QStringList{"--loops", "2", "stop"} << 64 << "belong to the run" << 0;
        // clang-format on
    }
    void exitStatuses() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, says);
        QFETCH(int, requests);
        says.replace(QLatin1String("PTY"), sim.path);
        const Result result = cli(on(arguments));
        QCOMPARE(result.status, status);
        QVERIFY2((result.out + result.err).contains(says), qPrintable(result.out + result.err));
        QCOMPARE(deviceLog().count(QLatin1String("<- ")), requests);
    }

    // Each value not written exactly in its form, or outside its range: refused in English only,
    // the value named, nothing sent. DIR/ is a folder holding a named pipe and a large file.
    void refused_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("says");
        // clang-format off
        QTest::newRow("move abc") << QStringList{"move", "abc"} << "move: PULSES wants a decimal integer, such as 100 or -100, not \"abc\"; nothing sent";
        QTest::newRow("fraction") << QStringList{"set-start-speed", "1.6"} << "SPEED wants a decimal integer";
        QTest::newRow("empty") << QStringList{"move", ""} << "PULSES wants a decimal integer";
        QTest::newRow("sign on a direction") << QStringList{"move-relative", "-1", "5"} << "DIRECTION wants a decimal integer without sign";
        QTest::newRow("plus sign") << QStringList{"can-checksum", "+1"} << "0|1 wants a decimal integer without sign";
        QTest::newRow("home 1G") << QStringList{"home", "1G"} << "DIRECTION wants hex digits";
        QTest::newRow("hex prefix") << QStringList{"set-address", "&H1F"} << "ADDRESS wants hex digits";
        QTest::newRow("baud rate") << QStringList{"set-baud-rate", "9601"} << "RATE wants one of 2400, 4800, 9600, 14400, 19200, 38400, 57600";
        QTest::newRow("CAN rate") << QStringList{"can-baud-rate", "100k"} << "RATE wants one of 1M, 900K";
        QTest::newRow("short pattern") << QStringList{"get-binding", "1012"} << "PATTERN wants five characters 0 or 1";
        QTest::newRow("binding pattern") << QStringList{"bind-inputs", "10120", "01 20 00"} << "PATTERN wants five";
        QTest::newRow("odd hex digits") << QStringList{"bind-inputs", "10010", "01 2"} << "COMMAND wants hex bytes";
        QTest::newRow("CAN bytes cut") << QStringList{"can-send", "01 02 03 04 05 06"} << "HEX holds at most 5 bytes, not 6";
        QTest::newRow("raw 1G") << QStringList{"raw", "1G", "--crc"} << "raw wants hex bytes";
        QTest::newRow("-a ZZ") << QStringList{"-a", "ZZ", "handshake"} << "-a wants hex digits, such as 1F, not \"ZZ\"";
        QTest::newRow("-b 9601") << QStringList{"-b", "9601", "handshake"} << "-b wants one of 300, 600";
        QTest::newRow("--timeout x") << QStringList{"--timeout", "x", "handshake"} << "--timeout wants whole milliseconds";
        QTest::newRow("-o below 1 ms") << QStringList{"-o", "0.0015", "handshake"} << "-o wants seconds";
        QTest::newRow("--loops -1") << QStringList{"--loops", "-1", "run", "list.txt"} << "--loops wants a whole number";
        QTest::newRow("--interval 1e3") << QStringList{"--interval", "1e3", "run", "list.txt"} << "--interval wants whole milliseconds";
        QTest::newRow("out of range") << QStringList{"set-start-speed", "2147483648"} << "SPEED must lie between -2147483648 and 2147483647; nothing sent";
        QTest::newRow("address out of range") << QStringList{"-a", "100", "get-speed"} << "the address (-a) must lie between 0 and FF (hex)";
        QTest::newRow("named pipe") << QStringList{"run", "DIR/fifo"} << "cannot read DIR/fifo: a named pipe, not a regular file";
        QTest::newRow("over 1 MiB") << QStringList{"run", "DIR/big.txt"} << "cannot read DIR/big.txt: 1048577 bytes, above the 1048576";
        // clang-format on
    }
    void refused() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, says);
        arguments.replaceInStrings(QLatin1String("DIR/"), files.path() + u'/');
        says.replace(QLatin1String("DIR/"), files.path() + u'/');
        const Result result = cli(on(arguments));
        QCOMPARE(result.status, 64);
        QVERIFY2(result.err.contains(says), qPrintable(result.err));
        QVERIFY2(std::all_of(result.err.cbegin(), result.err.cend(),
                             [](QChar c) { return c.unicode() < 0x80; }),
                 qPrintable(result.err));
        QCOMPARE(deviceLog().count(QLatin1String("<- ")), 0);
    }

    void runList_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("loops");
        QTest::addColumn<QList<int>>("lines"); // the lines sent, in order
        // clang-format off
        QTest::newRow("two passes") << QByteArray("01 20 00 39 C0\r\nDelay:50\r\n01 26 00 3A 60\r\n") << "2" << QList<int>{0, 2, 0, 2};
        QTest::newRow("a jump that loops for ever") << QByteArray("01 20 00 39 C0\r\n01 26 00 3A 60\r\nGoIdx:1") << "3" << QList<int>{0, 1, 1, 1};
        // clang-format on
    }
    void runList() {
        QFETCH(QByteArray, file);
        QFETCH(QString, loops);
        QFETCH(QList<int>, lines);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.txt"));
        QVERIFY(writeBytes(path, file));
        const Result result = cli(on({"--json", "run", path, "--loops", loops, "-l", "20"}));
        QCOMPARE(result.status, 0);
        QList<int> sent;
        for (const QJsonObject &exchange : objects(result.out)) {
            QVERIFY2(exchange.value("error").isNull(), qPrintable(result.out));
            sent << exchange.value("line").toInt(-1);
        }
        QCOMPARE(sent, lines);
        QCOMPARE(deviceLog().count(QLatin1String("<- ")), lines.size());
    }

    // Noise that looks like the start of a failure reply, then the real reply in two pieces.
    void replyBehindNoise() {
        Pty line;
        QProcess program;
        program.start(QStringLiteral(R7260_CLI_PATH),
                      {"-p", line.slavePath(), "--json", "get-start-speed"});
        QCOMPARE(line.readAtLeast(5, 10000), hex("01 26 00 3A 60"));
        line.write(hex("E7 E0 B4 01 26 04"));
        QTest::qWait(50);
        line.write(hex("00 00 00 64 FC ED"));
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        const QJsonObject reply =
            objects(QString::fromUtf8(program.readAllStandardOutput())).value(0);
        QCOMPARE(reply.value("value").toInt(), 100);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
