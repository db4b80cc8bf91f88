// Ports across the network: a real ser2net in front of a pseudo-terminal or the virtual device,
// reached as tcp:// and rfc2217://, and servers that are not there, turn us away or talk nonsense.

#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <termios.h>

#include "serial/MSComm.h"
#include "serial/Rfc2217Transport.h"
#include "tests/support/Hex.h"
#include "tests/support/Pty.h"
#include "tests/support/Ser2net.h"
#include "tests/support/SimProcess.h"

using serial::MSComm;
using serial::OpenError;

namespace {

// A port with everything it says recorded.
struct Port {
    explicit Port(const QString &name, const QString &settings = QStringLiteral("9600,n,8,1")) {
        port.setPortName(name);
        port.setSettings(settings);
        QObject::connect(&port, &MSComm::openFailed, [this](const OpenError &e) { failure = e; });
    }
    bool startOpen() { return !port.open() && port.isConnecting() && !port.PortOpen(); }
    bool open() {
        return startOpen() && QTest::qWaitFor([this] { return !port.isConnecting(); }, 7000) &&
               opened.count() == 1 && port.PortOpen();
    }
    QByteArray read(qsizetype count) {
        (void)QTest::qWaitFor([&] { return port.InBufferCount() >= count; });
        return port.Input();
    }

    MSComm port;
    std::optional<OpenError> failure;
    QSignalSpy opened{&port, &MSComm::opened};
    QSignalSpy arrived{&port, &MSComm::bytesArrived};
    QSignalSpy lost{&port, &MSComm::portLost};
    QSignalSpy notices{&port, &MSComm::notice};
};

} // namespace

class TestNetwork : public QObject {
    Q_OBJECT

private slots:
    void lineThroughSer2net_data() {
        QTest::addColumn<bool>("overRfc2217");
        QTest::addColumn<speed_t>("speed"); // set by us, or by the server
        QTest::addColumn<bool>("twoStopBits");
        QTest::newRow("tcp") << false << speed_t(B9600) << false; // ser2net's 9600n81
        QTest::newRow("rfc2217") << true << speed_t(B19200) << true;
    }
    void lineThroughSer2net() {
        QFETCH(bool, overRfc2217);
        Pty pty;
        Ser2net server;
        QVERIFY(server.start(pty.slavePath()));
        Port port(server.url(overRfc2217), QStringLiteral("19200,n,8,2"));
        QVERIFY(port.open());
        port.port.setPrompt(true);
        // Telnet's own bytes (IAC, SB, SE, CR NUL) are plain data on the line, both ways.
        const QByteArray out = hex("FF 01 FF FF 0D 00 F0 FA 2C 20");
        QVERIFY(port.port.Output(out));
        QCOMPARE(pty.readAtLeast(out.size()), out);
        const QByteArray in = hex("FF FF 00 FF FA 2C 65 FF F0 0D 00");
        QVERIFY(pty.write(in));
        QTRY_VERIFY(!port.arrived.isEmpty());
        QCOMPARE(port.read(in.size()), in);
        termios line{};
        QVERIFY(pty.lineSettings(&line));
        QTEST(cfgetospeed(&line), "speed");
        QTEST(bool(line.c_cflag & CSTOPB), "twoStopBits");
        if (overRfc2217) { // ser2net confirms every setting as asked
            QTest::qWait(serial::Rfc2217Transport::kConfirmWaitMs + 300);
            QCOMPARE(port.notices.count(), 0);
        }
        // ser2net turns a second client away with a word and a close.
        Port second(server.url(overRfc2217));
        QVERIFY(second.startOpen());
        QTRY_VERIFY(second.failure);
        QCOMPARE(second.failure->kind, OpenError::Kind::Closed);
        QCOMPARE(second.failure->reason, QStringLiteral("Port already in use"));
        // The server goes: the port is lost once, and what came before it stays.
        QVERIFY(pty.write(hex("55 AA")));
        QTRY_COMPARE(port.port.InBufferCount(), 2);
        server.stop();
        QTRY_VERIFY(!port.lost.isEmpty() && !port.port.PortOpen());
        QCOMPARE(port.port.Input(), hex("55 AA"));
        QVERIFY(!port.port.Output(hex("01")));
        QCOMPARE(port.lost.count(), 1);
        QVERIFY(!port.lost.first().first().toString().isEmpty());
    }

    void handshakeWithDevice_data() { lineThroughSer2net_data(); }
    void handshakeWithDevice() {
        QFETCH(bool, overRfc2217);
        Sim sim;
        QVERIFY(sim.start({}));
        Ser2net server;
        QVERIFY(server.start(sim.path));
        Port port(server.url(overRfc2217));
        QVERIFY(port.open());
        QVERIFY(port.port.Output(hex("01 20 00 39C0")));
        QCOMPARE(port.read(5), hex("01 20 00 39C0"));
    }

    // A server that accepts and turns us away: see lineThroughSer2net.
    void openFails_data() {
        QTest::addColumn<QString>("name"); // %1: a port nobody listens on
        QTest::addColumn<OpenError::Kind>("kind");
        QTest::newRow("unknown host")
            << "tcp://no-such-host.invalid:%1" << OpenError::Kind::HostNotFound;
        QTest::newRow("refused tcp") << "tcp://127.0.0.1:%1" << OpenError::Kind::Refused;
        QTest::newRow("refused rfc2217") << "rfc2217://127.0.0.1:%1" << OpenError::Kind::Refused;
        QTest::newRow("COM9 named a server") << "COM9" << OpenError::Kind::Refused;
    }
    void openFails() {
        QFETCH(QString, name);
        const quint16 nobody = freePort();
        wireComPort(9, QStringLiteral("rfc2217://127.0.0.1:%1").arg(nobody));
        Port port(name.contains(u'%') ? name.arg(nobody) : name);
        QVERIFY(port.startOpen());
        QTRY_VERIFY(port.failure);
        QTEST(port.failure->kind, "kind");
        QVERIFY(!port.failure->reason.isEmpty());
        QVERIFY(!port.port.PortOpen() && !port.port.isConnecting() && port.opened.isEmpty());
    }

    // A server that speaks out of turn: raw, it is only bytes; over RFC 2217, stray telnet words
    // (cut between reads, unknown options, an unasked speed) leave the line's bytes whole.
    void strayServerWords_data() {
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("answer"); // what we must say before the rest comes
        QTest::addColumn<QByteArray>("rest");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QStringList>("notice");
        // clang-format off
        QTest::newRow("tcp") << "tcp" << hex("FF FA 2C 65 00 FF FB 18 41 FF") << QByteArray()
            << hex("F0 42") << hex("FF FA 2C 65 00 FF FB 18 41 FF F0 42") << QStringList();
        QTest::newRow("rfc2217") << "rfc2217" << hex("41 FF FF 42 FF F1 FF FB 18 FF FD 01 FF FA 2C 65 00 00")
            << hex("FF FE 18 FF FC 01") << hex("12 C0 FF F0 43 FF FA 00 01 FF FF FF F0 44 FF FA 2C 66 08")
            << hex("41 FF 42 43 44") << QStringList{"4800（所选 9600）", "数据位 8"};
        // clang-format on
    }
    void strayServerWords() {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, rest);
        QFETCH(QByteArray, line);
        QFETCH(QStringList, notice);
        QTcpServer server;
        QTcpSocket *peer = nullptr;
        QObject::connect(&server, &QTcpServer::newConnection, [&] {
            peer = server.nextPendingConnection();
            peer->write(first);
        });
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QFETCH(QString, scheme);
        Port port(QStringLiteral("%1://127.0.0.1:%2").arg(scheme).arg(server.serverPort()));
        QVERIFY(port.open());
        QByteArray heard; // the rest comes once we answered: a command cut between two reads
        QTRY_VERIFY(peer && (heard += peer->readAll()).contains(answer));
        peer->write(rest);
        QCOMPARE(port.read(line.size()), line);
        QVERIFY(port.port.PortOpen());
        QTRY_COMPARE(port.notices.count(), notice.isEmpty() ? 0 : 1);
        for (const QString &words : notice)
            QVERIFY(port.notices.first().first().toString().contains(words));
    }
};

QTEST_GUILESS_MAIN(TestNetwork)
#include "tst_network.moc"
