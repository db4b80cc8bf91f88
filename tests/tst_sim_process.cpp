// The r7260-sim executable as engineers and scripts use it: the "PTY" line, requests over the
// pseudo-terminal, the link, the console on standard input, clean ends, a real tty given with
// --device, split and delayed replies.

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "sim/LineSpeed.h"
#include "tests/support/Pty.h"
#include "tests/support/SimProcess.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(QByteArray(text));
}

// The tool's end of the line, opened as any serial program opens it.
class Line {
public:
    explicit Line(const QString &path) {
        m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios raw{};
        if (m_fd >= 0 && ::tcgetattr(m_fd, &raw) == 0) {
            ::cfmakeraw(&raw);
            ::tcsetattr(m_fd, TCSANOW, &raw);
        }
    }
    ~Line() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Line(const Line &) = delete;
    Line &operator=(const Line &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    bool write(const QByteArray &bytes) {
        return ::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
    QByteArray readAtLeast(qsizetype count, int timeoutMs = 5000) {
        QByteArray out = available();
        QDeadlineTimer deadline(timeoutMs);
        while (out.size() < count && !deadline.hasExpired()) {
            QTest::qWait(5);
            out += available();
        }
        return out;
    }
    QByteArray readFor(int ms) {
        QByteArray out;
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired()) {
            QTest::qWait(5);
            out += available();
        }
        return out;
    }
    QByteArray ask(const QByteArray &request, qsizetype replyLength) {
        available();
        return write(request) ? readAtLeast(replyLength) : QByteArray();
    }

private:
    QByteArray available() {
        QByteArray out;
        char buffer[512];
        for (ssize_t n; (n = ::read(m_fd, buffer, sizeof buffer)) > 0;)
            out.append(buffer, n);
        return out;
    }
    int m_fd = -1;
};

} // namespace

class TestSimProcess : public QObject {
    Q_OBJECT

private slots:
    void handshakeOverThePty() {
        Sim sim;
        QVERIFY(sim.start({}));
        QVERIFY2(sim.path.startsWith(QLatin1String("/dev/")), qPrintable(sim.firstLine));
        Line line(sim.path);
        QVERIFY(line.isOpen());
        QCOMPARE(line.ask(hex("01 20 00 39 C0"), 5).toHex(' '), hex("01 20 00 39 C0").toHex(' '));
        QCOMPARE(line.ask(hex("00 21 00 69 90"), 6).toHex(' '),
                 hex("01 21 01 01 91 82").toHex(' '));
    }

    void otherAddress() {
        Sim sim;
        QVERIFY(sim.start({QStringLiteral("--address"), QStringLiteral("1F")}));
        Line line(sim.path);
        QVERIFY(line.write(hex("01 20 00 39 C0")));
        QVERIFY(line.readFor(300).isEmpty());
        QCOMPARE(line.ask(hex("00 21 00 69 90"), 6).toHex(' '), QByteArray("1f 21 01 1f 17 a2"));
    }

    void linkAndCleanEnd() {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("ttyR7260"));
        Sim sim;
        QVERIFY(sim.start({QStringLiteral("--link"), link}));
        QCOMPARE(QFileInfo(link).symLinkTarget(), sim.path);
        {
            Line line(link);
            QCOMPARE(line.ask(hex("01 20 00 39 C0"), 5), hex("01 20 00 39 C0"));
        }
        // The tool closing its end does not end the line: a new open is answered too.
        {
            Line line(link);
            QCOMPARE(line.ask(hex("01 20 00 39 C0"), 5), hex("01 20 00 39 C0"));
        }
        sim.process.terminate(); // SIGTERM
        QVERIFY(sim.process.waitForFinished(10000));
        QCOMPARE(sim.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.process.exitCode(), 0);
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    void linkRefusesToReplaceAFile() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("precious"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("keep me");
        f.close();
        QProcess process;
        process.start(QStringLiteral(R7260_SIM_PATH), {QStringLiteral("--link"), file});
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 2);
        QVERIFY(process.readAllStandardError().contains("not a symbolic link"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("keep me"));
    }

    void badOptions_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("address 0") << QStringList{"--address", "0"} << "--address";
        QTest::newRow("address 100") << QStringList{"--address", "100"} << "--address";
        QTest::newRow("inputs") << QStringList{"--inputs", "12"} << "--inputs";
        QTest::newRow("baud") << QStringList{"--baud", "57600"} << "--baud";
        QTest::newRow("limits") << QStringList{"--left-limit", "10", "--right-limit", "5"}
                                << "--left-limit";
        QTest::newRow("delay") << QStringList{"--reply-delay", "soon"} << "--reply-delay";
        QTest::newRow("link with a device")
            << QStringList{"--device", "/dev/null", "--link", "/tmp/r7260-never"} << "--link";
    }

    void badOptions() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QProcess process;
        process.start(QStringLiteral(R7260_SIM_PATH), arguments);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 2);
        QVERIFY(QString::fromLocal8Bit(process.readAllStandardError()).contains(message));
        QVERIFY(process.readAllStandardOutput().isEmpty());
    }

    void consoleInputsAndBindings() {
        Sim sim;
        QVERIFY(sim.start({QStringLiteral("--inputs"), QStringLiteral("00001")}));
        Line line(sim.path);
        QCOMPARE(line.ask(hex("01 42 00 10 A0"), 10).toHex(' '),
                 hex("01 42 05 00 01 01 01 01 73 FA").toHex(' '));

        sim.command("in3 1");
        QVERIFY(!sim.waitForOutput(QStringLiteral("inputs IN5..IN1: 00101")).isEmpty());
        QCOMPARE(line.ask(hex("01 42 00 10 A0"), 10).toHex(' '),
                 hex("01 42 05 00 01 00 01 01 22 3A").toHex(' '));

        // Pattern 00111 runs at 1000 pulses/s once IN2 comes on as well.
        QCOMPARE(line.ask(hex("01 40 07 07 33 04 00 00 03 E8 D3 9A"), 5), hex("01 40 00 11 C0"));
        sim.command("in2 1");
        QVERIFY(!sim.waitForOutput(QStringLiteral("binding 00111 ran: ok")).isEmpty());
        QCOMPARE(line.ask(hex("01 3B 00 33 30"), 9).mid(3, 1), hex("01")); // moving

        sim.command("status");
        QVERIFY(!sim.waitForOutput(QStringLiteral("motion: constant-speed run")).isEmpty());
        sim.command("bogus");
        QVERIFY(!sim.waitForOutput(QStringLiteral("error: unknown command")).isEmpty());
        sim.command("quit");
        QVERIFY(sim.process.waitForFinished(10000));
        QCOMPARE(sim.process.exitCode(), 0);
    }

    void endOfInput() {
        Sim keeps;
        QVERIFY(keeps.start({}));
        keeps.process.closeWriteChannel();
        QVERIFY(!keeps.process.waitForFinished(300));
        Line line(keeps.path);
        QCOMPARE(line.ask(hex("01 20 00 39 C0"), 5), hex("01 20 00 39 C0"));

        Sim ends;
        QVERIFY(ends.start({QStringLiteral("--exit-on-eof")}));
        ends.process.closeWriteChannel();
        QVERIFY(ends.process.waitForFinished(10000));
        QCOMPARE(ends.process.exitCode(), 0);
    }

    void splitAndDelayedReplies() {
        Sim split;
        QVERIFY(split.start(
            {QStringLiteral("--split"), QStringLiteral("--seed"), QStringLiteral("3")}));
        Line line(split.path);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(line.ask(hex("01 26 00 3A 60"), 9).toHex(' '),
                     hex("01 26 04 00 00 00 64 FC ED").toHex(' '));

        Sim delayed;
        QVERIFY(delayed.start({QStringLiteral("--reply-delay"), QStringLiteral("400")}));
        Line slow(delayed.path);
        QVERIFY(slow.write(hex("01 20 00 39 C0")));
        QVERIFY(slow.readFor(100).isEmpty()); // not before the delay, however busy the machine
        QCOMPARE(slow.readAtLeast(5), hex("01 20 00 39 C0"));
    }

    void realTtyWithDevice() {
        // A pseudo-terminal stands in for a serial adapter: the simulator opens its slave as a
        // device, sets its speed and changes it after the reply to a baud change.
        Pty adapter;
        QVERIFY(adapter.isValid());
        Sim sim;
        QVERIFY(sim.start({QStringLiteral("--device"), adapter.slavePath(),
                           QStringLiteral("--baud"), QStringLiteral("14400")}));
        QCOMPARE(sim.firstLine, QStringLiteral("DEVICE %1 14400").arg(adapter.slavePath()));
        Line probe(adapter.slavePath());
        QVERIFY(probe.isOpen());
        QCOMPARE(sim::lineSpeed(probe.fd()), 14400);
        QVERIFY(adapter.write(hex("01 23 00 39 30")));
        QCOMPARE(adapter.readAtLeast(6).toHex(' '), hex("01 23 01 07 B0 40").toHex(' '));
        QVERIFY(adapter.write(hex("01 24 01 08 41 85")));
        QCOMPARE(adapter.readAtLeast(5).toHex(' '), hex("01 24 00 3B 00").toHex(' '));
        // The new speed follows the reply.
        QTRY_COMPARE_WITH_TIMEOUT(sim::lineSpeed(probe.fd()), 19200, 5000);
    }
};

QTEST_MAIN(TestSimProcess)
#include "tst_sim_process.moc"
