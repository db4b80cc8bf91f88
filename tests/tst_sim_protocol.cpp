// The virtual device's serial side without I/O: the reply bytes of every command in RTU and
// ASCII, what goes unanswered, register access, frames found in a noisy or split byte stream,
// changes that take effect after the reply, IO bindings, reply shaping and console commands.
// The CRC and LRC bytes in the tables were computed with an independent implementation
// (Python's crcmod, "modbus"), not with the codec under test.

#include <QTest>

#include "sim/ConsoleCommand.h"
#include "sim/DeviceModel.h"
#include "sim/ProtocolServer.h"
#include "sim/ReplyShaper.h"

using namespace sim;

namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(QByteArray(text));
}

// Requests fed one by one; `before` at time 0, the request a minute later (moves have ended,
// constant-speed runs still run).
struct Device {
    DeviceModel model;
    ProtocolServer server{model};
    qint64 now = 0;

    explicit Device(quint8 address = 1, Switches switches = {}) : model(address, switches) {}

    std::vector<Exchange> send(const QByteArray &bytes, qint64 at) {
        now = at;
        return server.feed(bytes, at);
    }
    // Every reply byte the request brought, in order.
    QByteArray reply(const QByteArray &bytes, qint64 at) {
        QByteArray out;
        for (const Exchange &e : send(bytes, at))
            out += e.reply;
        return out;
    }
    QByteArray reply(const QByteArray &bytes) { return reply(bytes, now + 1); }
};

constexpr qint64 kMinute = 60000;

} // namespace

class TestSimProtocol : public QObject {
    Q_OBJECT

private slots:
    void rtuReplies_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char *name, const char *before, const char *request,
                            const char *expected) {
            QTest::newRow(name) << hex(before) << hex(request) << hex(expected);
        };
        const char *run1000 = "01 33 04 00 00 03 E8 FF 7D";
        const char *base100 = "01 3F 04 00 00 00 64 FE E4";

        // Base commands.
        row("handshake", "", "01 20 00 39 C0", "01 20 00 39 C0");
        row("address query at 0", "", "00 21 00 69 90", "01 21 01 01 91 82");
        row("address query at own address", "", "01 21 00 38 50", "01 21 01 01 91 82");
        row("change address", "", "01 22 01 02 21 83", "01 22 00 38 A0");
        row("change address to 0", "", "01 22 01 00 A0 42", "01 A2 03 19 61");
        row("change address while moving", run1000, "01 22 01 02 21 83", "01 A2 05 99 63");
        row("baud query", "", "01 23 00 39 30", "01 23 01 06 71 80");
        row("change baud", "", "01 24 01 08 41 85", "01 24 00 3B 00");
        row("change baud, code 0 (57600)", "", "01 24 01 00 40 43", "01 A4 03 1A C1");
        row("change baud while moving", run1000, "01 24 01 08 41 85", "01 A4 05 9A C3");

        // Parameters.
        row("set start speed", "", "01 25 04 00 00 27 10 E7 09", "01 25 00 3A 90");
        row("set homing speed", "", "01 2F 04 00 00 27 10 E7 A3", "01 2F 00 3C 30");
        row("set start speed 0", "", "01 25 04 00 00 00 00 FD 35", "01 A5 03 1B 51");
        row("set with one data byte", "", "01 25 01 05 D1 80", "01 A5 03 1B 51");
        row("start speed default", "", "01 26 00 3A 60", "01 26 04 00 00 00 64 FC ED");
        row("max speed default", "", "01 28 00 3E 00", "01 28 04 00 00 27 10 E6 14");
        row("end speed default", "", "01 2A 00 3F 60", "01 2A 04 00 00 03 E8 FD 74");
        row("acceleration default", "", "01 2C 00 3C C0", "01 2C 04 00 00 27 10 E7 90");
        row("deceleration default", "", "01 2E 00 3D A0", "01 2E 04 00 00 27 10 E6 72");
        row("homing speed default", "", "01 30 00 34 00", "01 30 04 00 00 27 10 E5 CC");
        row("start speed kept", "01 25 04 00 00 27 10 E7 09", "01 26 00 3A 60",
            "01 26 04 00 00 27 10 E7 3A");

        // Motion.
        row("32-bit move", "", "01 31 04 00 00 27 10 E4 1D", "01 31 00 35 90");
        row("24-bit move, direction 2", "", "01 32 04 02 00 03 E8 FF 14", "01 B2 03 14 A1");
        row("move while moving", run1000, "01 31 04 00 00 27 10 E4 1D", "01 B1 05 94 53");
        row("run at speed 0", "", "01 33 04 00 00 00 00 FF C3", "01 B3 03 15 31");
        row("speed change while stopped", "", "01 35 04 00 00 27 10 E5 99", "01 B5 04 57 53");
        row("speed when stopped", "", "01 36 00 37 A0", "01 36 04 00 00 00 00 FF 96");
        row("speed while running", run1000, "01 36 00 37 A0", "01 36 04 00 00 03 E8 FF 28");
        row("absolute position", "", "01 37 00 36 30", "01 37 04 00 00 00 00 FE 47");
        row("absolute position after -1000", "01 31 04 FF FF FC 18 BF 0F", "01 37 00 36 30",
            "01 37 04 FF FF FC 18 BF 69");
        row("clear absolute position", "", "01 38 00 33 C0", "01 38 00 33 C0");
        row("relative position", "", "01 39 00 32 50", "01 39 04 00 00 00 00 FF 69");
        row("clear relative position", "", "01 3A 00 32 A0", "01 3A 00 32 A0");
        row("state at the origin", "", "01 3B 00 33 30", "01 3B 04 00 01 00 01 6E 8B");
        row("state while running", run1000, "01 3B 00 33 30", "01 3B 04 01 01 01 01 6E E7");
        row("immediate stop", "", "01 3C 00 31 00", "01 3C");
        row("decelerated stop", run1000, "01 3D 00 30 90", "01 3D");
        row("homing on the origin", "", "01 3E 01 00 61 84", "01 3E");
        row("homing, direction 2", "", "01 3E 01 02 E0 45", "01 BE 03 11 A1");
        row("homing while moving", run1000, "01 3E 01 01 A0 44", "01 BE 05 91 A3");

        // Register base, IO bindings, inputs.
        row("register base", "", base100, "01 3F 00 31 F0");
        row("register base 65504", "", "01 3F 04 00 00 FF E0 BF 77", "01 BF 03 10 31");
        row("binding download", "", "01 40 07 01 31 04 00 00 27 10 AE FA", "01 40 00 11 C0");
        row("binding query", "01 40 07 01 31 04 00 00 27 10 AE FA", "01 41 01 01 91 9C",
            "01 41 07 01 31 04 00 00 27 10 A3 6A");
        row("binding query without binding", "", "01 41 01 02 D1 9D", "01 C1 02 F0 51");
        row("binding body cut short", "", "01 40 03 01 31 04 45 D2", "01 C0 03 30 01");
        row("binding of a binding command", "", "01 40 05 03 40 02 01 01 F0 06", "01 C0 03 30 01");
        row("binding body with a wrong count", "", "01 40 08 03 31 05 00 00 00 00 00 07 8F",
            "01 C0 03 30 01");
        row("inputs", "", "01 42 00 10 A0", "01 42 05 01 01 01 01 01 4E 3A");
        row("inputs, second code", "", "01 43 00 11 30", "01 43 05 01 01 01 01 01 5E FA");

        // Others and CAN.
        row("speed factor", "", "01 44 04 00 00 01 F4 F5 53", "01 44");
        row("step up while stopped", "", "01 45 00 12 90", "01 C5 04 72 93");
        row("step up while running", run1000, "01 45 00 12 90", "01 45");
        row("step down while running", run1000, "01 46 00 12 60", "01 46");
        row("factory settings", "", "01 47 00 13 F0", "01 47");
        row("factory settings while moving", run1000, "01 47 00 13 F0", "01 C7 05 B2 33");
        row("CAN checksum check off", "", "01 48 01 01 41 9E", "01 48 00 16 00");
        row("CAN eight-byte replies", "", "01 49 01 01 10 5E", "01 49 00 17 90");
        row("CAN extended frame", "", "01 4A 01 01 E0 5E", "01 4A 00 17 60");
        row("CAN baud 100K", "", "01 4B 01 0C 70 5B", "01 4B 00 16 F0");
        row("CAN baud code 0", "", "01 4B 01 00 70 5E", "01 CB 03 37 31");
        row("send to CAN", "", "01 4C 05 01 02 03 04 05 02 ED", "01 4C 00 14 C0");
        row("send six bytes to CAN", "", "01 4C 06 01 02 03 04 05 06 DF C3", "01 CC 03 35 01");
        row("unknown device code", "", "01 50 00 1C 00", "01 D0 01 BC 00");
        row("standard write single register", "", "01 06 00 01 00 03 98 0B", "01 86 01 83 A0");

        // Register mapping.
        row("read at a query code", "", "01 03 00 26 00 02 25 C0", "01 03 04 00 00 00 64 FB D8");
        row("read at a set code", "", "01 03 00 25 00 02 D5 C0", "01 03 04 00 00 00 64 FB D8");
        row("read at base 100", base100, "01 03 00 89 00 02 15 E1", "01 03 04 00 00 00 64 FB D8");
        row("read two codes", "", "01 03 00 25 00 04 55 C2",
            "01 03 08 00 00 00 64 00 00 00 64 E5 F4");
        row("read one register", "01 31 04 FF FF FC 18 BF 0F", "01 03 00 37 00 01 35 C4",
            "01 03 02 FF FF B9 F4");
        row("read the motion state", "", "01 03 00 3B 00 02 B5 C6", "01 03 04 00 01 00 01 6A 33");
        row("read below the mapping", "", "01 03 00 00 00 02 C4 0B", "01 83 02 C0 F1");
        row("read past the last code", "", "01 03 00 4C 00 04 85 DE", "01 83 02 C0 F1");
        row("read no registers", "", "01 03 00 26 00 00 A4 01", "01 83 03 01 31");
        row("write start speed", "", "01 10 00 25 00 02 04 00 00 27 10 2B B4",
            "01 10 00 25 00 02 50 03");
        row("write, then read", "01 10 00 25 00 02 04 00 00 27 10 2B B4", "01 03 00 25 00 02 D5 C0",
            "01 03 04 00 00 27 10 E0 0F");
        row("write one data byte (change address)", "", "01 10 00 22 00 02 04 02 4A C0",
            "01 10 00 22 00 02 E1 C2");
        row("write no data (handshake)", "", "01 10 00 20 00 00 00 02 90",
            "01 10 00 20 00 00 C1 C3");
        row("write at base 100", base100, "01 10 00 89 00 02 04 00 00 27 10 21 99",
            "01 10 00 89 00 02 90 22");
        row("write an invalid value", "", "01 10 00 25 00 02 04 00 00 00 00 31 88",
            "01 90 03 0C 01");
        row("write address 0", "", "01 10 00 22 00 02 04 00 CB 01", "01 90 03 0C 01");
        row("write two bytes to a query", "", "01 10 00 26 00 02 04 00 00 41 13", "01 90 03 0C 01");
        row("write a command that cannot run", "", "01 10 00 35 00 02 04 00 00 27 10 2A B8",
            "01 90 04 4D C3");
        row("write while busy", run1000, "01 10 00 31 00 02 04 00 00 27 10 2B 4B",
            "01 90 06 CC 02");
    }

    void rtuReplies() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, expected);
        Device device;
        if (!before.isEmpty())
            QVERIFY(!device.reply(before, 0).isEmpty());
        QCOMPARE(device.reply(request, kMinute).toHex(' '), expected.toHex(' '));
    }

    void asciiReplies_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char *name, const char *before, const char *request,
                            const char *expected) {
            QTest::newRow(name) << hex(before) << QByteArray(request) + "\r\n"
                                << QByteArray(expected) + "\r\n";
        };
        row("handshake", "", ":012000DF", ":012000DF");
        row("address query at 0", "", ":002100DF", ":01210101DC");
        row("value", "", ":012600D9", ":0126040000006471");
        row("set, lower-case digits", "", ":012f040000271095", ":012F00D0");
        row("state", "", ":013B00C4", ":013B0400010001BE");
        row("binding query", "01 40 07 01 31 04 00 00 27 10 AE FA", ":01410101BC",
            ":014107013104000027104A");
        row("short reply", "", ":013C00C3", ":013CC3");
        row("failure", "", ":013E0102BE", ":01BE033E");
        row("register read", "", ":010300260002D4", ":0103040000006494");
        row("register write, short data", "", ":0110002200020402C5", ":011000220002CB");
    }

    void asciiReplies() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, expected);
        Device device;
        if (!before.isEmpty())
            QVERIFY(!device.reply(before, 0).isEmpty());
        QCOMPARE(device.reply(request, kMinute), expected);
    }

    void unanswered_data() {
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("bad CRC") << hex("01 20 00 39 C1");
        QTest::newRow("CRC bytes swapped") << hex("01 20 00 C0 39");
        QTest::newRow("another address") << hex("02 20 00 C9 C0");
        QTest::newRow("handshake at address 0") << hex("00 20 00 68 00");
        QTest::newRow("register read for another address") << hex("02 03 00 26 00 02 25 F3");
        QTest::newRow("bad LRC") << QByteArray(":012000DE\r\n");
        QTest::newRow("ASCII for another address") << QByteArray(":022000DE\r\n");
        QTest::newRow("garbage") << hex("FF 00 FF 3A 0D 0A");
        QTest::newRow("incomplete frame") << hex("01 25 04 00 00 27");
    }

    void unanswered() {
        QFETCH(QByteArray, request);
        Device device;
        QVERIFY(device.reply(request, 0).isEmpty());
        // The device still answers what follows once the line has been quiet.
        QCOMPARE(device.reply(hex("01 20 00 39 C0"), 1000).toHex(' '),
                 hex("01 20 00 39 C0").toHex(' '));
    }

    void addressQueryAtZeroNamesTheDevice() {
        Device device(0x05);
        QCOMPARE(device.reply(hex("00 21 00 69 90"), 0).toHex(' '),
                 hex("05 21 01 05 91 71").toHex(' '));
        QVERIFY(device.reply(hex("01 20 00 39 C0")).isEmpty());
    }

    // ---- The byte stream -----------------------------------------------------------------------

    void twoFramesInOneRead() {
        Device device;
        QCOMPARE(device.reply(hex("01 20 00 39 C0 01 26 00 3A 60"), 0).toHex(' '),
                 hex("01 20 00 39 C0 01 26 04 00 00 00 64 FC ED").toHex(' '));
    }

    void asciiAndRtuInOneRead() {
        Device device;
        QCOMPARE(device.reply(":012000DF\r\n" + hex("01 20 00 39 C0"), 0),
                 QByteArray(":012000DF\r\n") + hex("01 20 00 39 C0"));
    }

    void frameSplitOverReads_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("device command")
            << hex("01 25 04 00 00 27 10 E7 09") << hex("01 25 00 3A 90");
        QTest::newRow("register write")
            << hex("01 10 00 25 00 02 04 00 00 27 10 2B B4") << hex("01 10 00 25 00 02 50 03");
        QTest::newRow("short register write")
            << hex("01 10 00 22 00 02 04 02 4A C0") << hex("01 10 00 22 00 02 E1 C2");
        QTest::newRow("ASCII") << QByteArray(":012504000027109F\r\n")
                               << QByteArray(":012500DA\r\n");
    }

    void frameSplitOverReads() {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, expected);
        // Every way of cutting the frame in two, the halves 10 ms apart.
        for (qsizetype cut = 1; cut < frame.size(); ++cut) {
            Device device;
            QVERIFY2(device.reply(frame.first(cut), 0).isEmpty(), qPrintable(QString::number(cut)));
            QCOMPARE(device.reply(frame.sliced(cut), 10), expected);
        }
    }

    void noiseBeforeAFrame_data() {
        QTest::addColumn<QByteArray>("noise");
        QTest::newRow("one byte") << hex("FF");
        QTest::newRow("a count that promises a long frame") << hex("55 01 20");
        QTest::newRow("a colon") << QByteArray(":");
        QTest::newRow("an unfinished ASCII frame") << QByteArray(":0120");
        QTest::newRow("a frame with a bad CRC") << hex("01 20 00 39 C1");
        QTest::newRow("zeros") << hex("00 00 00 00");
    }

    void noiseBeforeAFrame() {
        QFETCH(QByteArray, noise);
        Device device;
        const std::vector<Exchange> exchanges = device.send(noise + hex("01 26 00 3A 60"), 0);
        QByteArray replies;
        for (const Exchange &e : exchanges)
            replies += e.reply;
        QCOMPARE(replies.toHex(' '), hex("01 26 04 00 00 00 64 FC ED").toHex(' '));
    }

    void pauseDropsAnIncompleteFrame() {
        Device device;
        QVERIFY(device.reply(hex("01 25 04 00"), 0).isEmpty());
        // The rest comes after a pause: the start was dropped, the rest is noise.
        QVERIFY(device.reply(hex("00 27 10 E7 09"), ProtocolServer::kIdleGapMs + 20).isEmpty());
        QCOMPARE(device.model.parameter(Parameter::StartSpeed), 100);
        QCOMPARE(device.reply(hex("01 20 00 39 C0"), 1000), hex("01 20 00 39 C0"));
    }

    void garbageFloodIsBounded() {
        Device device;
        // A long "frame" promised by its count byte never arrives; the buffer stays bounded
        // and a good request after a pause is answered.
        QByteArray flood = hex("01 4C FF");
        flood += QByteArray(4000, char(0x4C));
        QVERIFY(device.reply(flood, 0).isEmpty());
        QCOMPARE(device.reply(hex("01 20 00 39 C0"), 1000), hex("01 20 00 39 C0"));
    }

    // ---- Changes that take effect after the reply ----------------------------------------------

    void addressChangeAnswersFromTheOldAddress() {
        Device device;
        QCOMPARE(device.reply(hex("01 22 01 02 21 83"), 0), hex("01 22 00 38 A0"));
        QVERIFY(device.reply(hex("01 20 00 39 C0")).isEmpty());
        QCOMPARE(device.reply(hex("02 20 00 C9 C0")), hex("02 20 00 C9 C0"));
    }

    void baudChangeFollowsTheReply() {
        Device device;
        const std::vector<Exchange> exchanges = device.send(hex("01 24 01 08 41 85"), 0);
        QCOMPARE(exchanges.size(), std::size_t(1));
        QCOMPARE(exchanges[0].reply, hex("01 24 00 3B 00"));
        QCOMPARE(exchanges[0].newBaudCode, std::optional<quint8>(8));
        QCOMPARE(device.reply(hex("01 23 00 39 30")), hex("01 23 01 08 F0 44"));
        // The same code again changes nothing on the line.
        QVERIFY(!device.send(hex("01 24 01 08 41 85"), 10)[0].newBaudCode);
    }

    void factorySettingsRestoreDefaults() {
        Device device;
        for (const char *request :
             {"01 25 04 00 00 27 10 E7 09", "01 24 01 08 41 85", "01 3F 04 00 00 00 64 FE E4",
              "01 40 07 01 31 04 00 00 27 10 AE FA", "01 4B 01 01 B1 9E", "01 22 01 02 21 83"})
            QVERIFY(!device.reply(hex(request)).isEmpty());
        const std::vector<Exchange> exchanges = device.send(hex("02 47 00 E3 F0"), 100);
        QCOMPARE(exchanges[0].reply, hex("02 47")); // from the address it had
        QCOMPARE(exchanges[0].newBaudCode, std::optional<quint8>(6));
        QCOMPARE(device.reply(hex("01 26 00 3A 60")), hex("01 26 04 00 00 00 64 FC ED"));
        QCOMPARE(device.reply(hex("01 41 01 01 91 9C")), hex("01 C1 02 F0 51"));
        QCOMPARE(device.model.registerBase(), 0);
        QCOMPARE(device.model.can().baudCode, 12);
    }

    // ---- IO bindings
    // -----------------------------------------------------------------------------

    void bindingRunsWhenTheInputsChange() {
        Device device;
        // Pattern 00101 (IN3 and IN1 on) runs at 1000 pulses/s; pattern 00010 stops at once.
        QCOMPARE(device.reply(hex("01 40 07 05 33 04 00 00 03 E8 F0 5A"), 0),
                 hex("01 40 00 11 C0"));
        QCOMPARE(device.reply(hex("01 40 03 02 3C 00 B0 81")), hex("01 40 00 11 C0"));

        QVERIFY(!device.server.setInputs(0x01, 10)); // no binding for 00001
        QVERIFY(!device.model.moving());
        const auto ran = device.server.setInputs(0x05, 20);
        QVERIFY(ran);
        QVERIFY(ran->reply.isEmpty()); // nothing goes on the line
        QCOMPARE(ran->request, hex("33 04 00 00 03 E8"));
        QVERIFY(device.model.moving());
        QVERIFY(!device.server.setInputs(0x05, 30)); // no change, no second run
        QCOMPARE(device.reply(hex("01 42 00 10 A0"), 40),
                 hex("01 42 05 00 01 00 01 01 22 3A")); // IN1 and IN3 on
        QCOMPARE(device.reply(hex("01 03 00 42 00 02 64 1F"), 50),
                 hex("01 03 04 00 00 00 05 3A 30"));

        QVERIFY(device.server.setInputs(0x02, 2000));
        QVERIFY(!device.model.moving());
        QVERIFY(device.model.axisPosition() > 0);
    }

    // ---- Reply shaping
    // ---------------------------------------------------------------------------

    void shapingKeepsTheBytes_data() {
        QTest::addColumn<bool>("split");
        QTest::addColumn<int>("delay");
        QTest::newRow("as is") << false << 0;
        QTest::newRow("delayed") << false << 250;
        QTest::newRow("split") << true << 0;
        QTest::newRow("split and delayed") << true << 40;
    }

    void shapingKeepsTheBytes() {
        QFETCH(bool, split);
        QFETCH(int, delay);
        ReplyShaper shaper({delay, split, false}, 1);
        const QByteArray reply = hex("01 26 04 00 00 00 64 FC ED");
        for (int i = 0; i < 50; ++i) {
            const auto pieces = shaper.shape(reply);
            QByteArray joined;
            for (const auto &piece : pieces) {
                QVERIFY(!piece.bytes.isEmpty());
                joined += piece.bytes;
            }
            QCOMPARE(joined, reply);
            QCOMPARE(pieces.front().delayMs, delay);
            if (split) {
                QVERIFY(pieces.size() >= 2 && pieces.size() <= 3);
                QCOMPARE(pieces.back().delayMs, ReplyShaper::kSplitGapMs);
            } else {
                QCOMPARE(pieces.size(), std::size_t(1));
            }
        }
        // A two-byte short reply still splits into two single bytes.
        if (split)
            QCOMPARE(shaper.shape(hex("01 3C")).size(), std::size_t(2));
    }

    void noiseIsSeeded() {
        const QByteArray reply = hex("01 20 00 39 C0");
        const auto run = [&reply](quint32 seed) {
            ReplyShaper shaper({0, true, true}, seed);
            QList<QByteArray> out;
            for (int i = 0; i < 200; ++i) {
                QByteArray bytes;
                for (const auto &piece : shaper.shape(reply))
                    bytes += piece.bytes;
                out << bytes;
            }
            return out;
        };
        const QList<QByteArray> first = run(42);
        QCOMPARE(run(42), first);
        QVERIFY(run(43) != first);
        // Some replies carry noise, most come through untouched.
        const auto clean = first.count(reply);
        QVERIFY2(clean > 100 && clean < 200, qPrintable(QString::number(clean)));
        QVERIFY(std::any_of(first.begin(), first.end(),
                            [&](const QByteArray &b) { return b.size() > reply.size(); }));
        QVERIFY(std::any_of(first.begin(), first.end(), [&](const QByteArray &b) {
            return b.size() == reply.size() && b != reply;
        }));
    }

    // ---- Console commands
    // ------------------------------------------------------------------------

    void consoleLines_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("inputs");
        using K = ConsoleCommand::Kind;
        const auto row = [](const char *line, int current, K kind, int inputs) {
            QTest::newRow(line) << QString::fromLatin1(line) << current << int(kind) << inputs;
        };
        row("in 00101", 0, K::SetInputs, 0x05);
        row("in 10000", 0x1F, K::SetInputs, 0x10);
        row("  IN   11111  ", 0, K::SetInputs, 0x1F);
        row("in3 1", 0x01, K::SetInputs, 0x05);
        row("in1 0", 0x05, K::SetInputs, 0x04);
        row("in5 1", 0, K::SetInputs, 0x10);
        row("in 0101", 0, K::Invalid, 0);
        row("in 00201", 0, K::Invalid, 0);
        row("in6 1", 0, K::Invalid, 0);
        row("in2 2", 0, K::Invalid, 0);
        row("status", 0, K::Status, 0);
        row("help", 0, K::Help, 0);
        row("quit", 0, K::Quit, 0);
        row("", 0, K::Nothing, 0);
        row("launch", 0, K::Invalid, 0);
    }

    void consoleLines() {
        QFETCH(QString, line);
        QFETCH(int, current);
        QFETCH(int, kind);
        QFETCH(int, inputs);
        const ConsoleCommand command = parseConsoleLine(line, quint8(current));
        QCOMPARE(int(command.kind), kind);
        if (command.kind == ConsoleCommand::Kind::SetInputs)
            QCOMPARE(int(command.inputs), inputs);
        if (command.kind == ConsoleCommand::Kind::Invalid)
            QVERIFY(!command.error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSimProtocol)
#include "tst_sim_protocol.moc"
