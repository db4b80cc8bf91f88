// The virtual device without I/O: the axis on model time, and the serial side (replies in RTU and
// ASCII, what it ignores, frames split over reads). The CRCs and LRCs in the tables
// come from Python's crcmod ("modbus") and a plain LRC sum, not from the codec under test.

#include <QTest>

#include "sim/ProtocolServer.h"
#include "tests/support/Hex.h"

using namespace sim;

namespace {

// The axis run a millisecond at a time until it stops (ten minutes at most): its speed at each
// millisecond from now on, and whether it stayed between where it was and `target`.
struct Run {
    std::vector<quint32> speeds;
    bool inside = true;
};

Run runToStop(DeviceModel &model, qint64 target) {
    Run run{{model.speed()}};
    const auto [low, high] = std::minmax({model.axisPosition(), target});
    for (qint64 t = model.now() + 1; model.moving() && t <= 600000; ++t) {
        model.advanceTo(t);
        run.speeds.push_back(model.speed());
        run.inside = run.inside && model.axisPosition() >= low && model.axisPosition() <= high;
    }
    return run;
}

struct Device {
    DeviceModel model;
    ProtocolServer server{model};
    // Every reply byte that bytes arriving at `at` (ms) bring, in order.
    QByteArray replies(const QByteArray &bytes, qint64 at) {
        QByteArray out;
        for (const Exchange &exchange : server.feed(bytes, at))
            out += exchange.reply;
        return out;
    }
};

} // namespace

using Setter = std::function<Error(DeviceModel &, qint64)>;
Q_DECLARE_METATYPE(Setter)

class TestSim : public QObject {
    Q_OBJECT

private slots:
    void moveEndsOnTarget_data() {
        QTest::addColumn<qint64>("pulses");
        QTest::newRow("one pulse") << qint64(1);
        QTest::newRow("short, never at full speed") << qint64(3000);
        QTest::newRow("long and back, with a cruise") << qint64(-123457);
        QTest::newRow("a million") << qint64(1000000);
    }
    void moveEndsOnTarget() {
        QFETCH(qint64, pulses);
        DeviceModel model;
        QCOMPARE(model.moveBy(pulses), Error::None);
        const Run run = runToStop(model, pulses);
        QVERIFY(!model.moving() && run.inside && run.speeds[0] == 100 &&
                std::ranges::max(run.speeds) <= 10000);
        QCOMPARE(model.axisPosition(), pulses);
        QVERIFY(model.absolutePosition() == pulses && model.relativePosition() == pulses);
    }

    void trapezoid() {
        // From 500 up at 5000 pulses/s² to 5000 pulses/s in 0.9 s (2475 pulses), down at 2000
        // pulses/s² to the end speed 1000 in 2 s (6000 pulses): 11525 pulses cruise for 2.3 s.
        DeviceModel model;
        QCOMPARE(model.setParameter(Parameter::StartSpeed, 500), Error::None);
        QCOMPARE(model.setParameter(Parameter::MaxSpeed, 5000), Error::None);
        QCOMPARE(model.setParameter(Parameter::Acceleration, 5000), Error::None);
        QCOMPARE(model.setParameter(Parameter::Deceleration, 2000), Error::None);
        QCOMPARE(model.moveBy(20000), Error::None);
        const Run run = runToStop(model, 20000);
        QVERIFY(run.speeds.size() > 5150 && run.speeds.size() < 5300); // in ms
        QCOMPARE(run.speeds[0], 500u);
        QVERIFY(qAbs(int(run.speeds[400]) - 2500) <= 10);
        QCOMPARE(std::ranges::max(run.speeds), 5000u);
        QCOMPARE(run.speeds[2000], 5000u);
        QVERIFY(qAbs(int(run.speeds[4205]) - 3000) <= 100); // a second into braking
        QVERIFY(run.inside && run.speeds.rbegin()[1] >= 1000 && run.speeds.rbegin()[1] < 1100);
        QCOMPARE(model.axisPosition(), 20000);
    }

    void ranges_data() {
        QTest::addColumn<Setter>("set");
        QTest::addColumn<qint64>("low"); // the lowest and the highest value it takes
        QTest::addColumn<qint64>("high");
        // clang-format off
        for (int p = 0; p < kParameterCount; ++p) // the six motion parameters
            QTest::newRow(qPrintable(QStringLiteral("parameter %1").arg(p))) << Setter([p](DeviceModel &m, qint64 v) { return m.setParameter(Parameter(p), v); }) << qint64(1) << qint64(16777215);
        QTest::newRow("speed factor") << Setter(&DeviceModel::setSpeedFactor) << qint64(0) << qint64(16777215);
        QTest::newRow("address") << Setter(&DeviceModel::setAddress) << qint64(1) << qint64(255);
        QTest::newRow("baud code") << Setter(&DeviceModel::setBaudCode) << qint64(4) << qint64(9);
        QTest::newRow("register base") << Setter(&DeviceModel::setRegisterBase) << qint64(0) << qint64(65503);
        QTest::newRow("CAN baud code") << Setter(&DeviceModel::setCanBaudCode) << qint64(1) << qint64(18);
        // clang-format on
    }
    void ranges() {
        QFETCH(Setter, set);
        QFETCH(qint64, low);
        QFETCH(qint64, high);
        for (const qint64 value : {low - 1, low, high, high + 1}) {
            DeviceModel model;
            QCOMPARE(set(model, value),
                     value < low || value > high ? Error::InvalidValue : Error::None);
        }
    }

    void runsAndStops() {
        DeviceModel model;
        QCOMPARE(model.changeRunSpeed(2000), Error::NotPossible); // nothing runs
        QCOMPARE(model.runAt(0), Error::InvalidValue);
        QCOMPARE(model.runAt(-5000), Error::None);
        model.advanceTo(2000);
        QCOMPARE(model.speed(), 5000u);
        QCOMPARE(model.changeRunSpeed(2000), Error::None);
        model.advanceTo(4000);
        QCOMPARE(model.speed(), 2000u);
        QCOMPARE(model.stepRunSpeed(+1), Error::None); // by the speed factor, 500 by default
        model.advanceTo(5000);
        QCOMPARE(model.speed(), 2500u);
        QCOMPARE(model.setSpeedFactor(16777215), Error::None);
        QCOMPARE(model.stepRunSpeed(-1), Error::None); // not below 1 pulse/s
        model.advanceTo(6000);
        QCOMPARE(model.speed(), 1u);
        model.stopNow();
        QVERIFY(!model.moving());
        QCOMPARE(model.runAt(10000), Error::None);
        model.advanceTo(9000);
        const qint64 from = model.axisPosition();
        // Down to the end speed 1000 at 10000 pulses/s²: 0.9 s and 4950 pulses.
        model.stopDecelerated();
        QVERIFY(qAbs(int(runToStop(model, from + 5000).speeds.size()) - 900) < 50);
        QVERIFY(qAbs(model.axisPosition() - from - 4950) < 50);
        // Braking too gently to stop in time, a move still ends on its target.
        DeviceModel gentle;
        QCOMPARE(gentle.setParameter(Parameter::Deceleration, 1), Error::None);
        QCOMPARE(gentle.moveBy(20000), Error::None);
        gentle.advanceTo(2500);
        gentle.stopDecelerated();
        QVERIFY(runToStop(gentle, 20000).inside);
        QCOMPARE(gentle.axisPosition(), 20000);
    }

    void switches() {
        DeviceModel model(1, Switches{-1000, 5000, 2000});
        QCOMPARE(model.moveBy(10000), Error::None);
        runToStop(model, 10000);
        QCOMPARE(model.axisPosition(), 5000); // stopped by the right limit
        QVERIFY(model.rightLimitActive() && !model.leftLimitActive() && !model.atOrigin());
        QCOMPARE(model.moveBy(1), Error::NotPossible);
        QCOMPARE(model.home(0), Error::NotPossible); // 0 positive, 1 negative
        QCOMPARE(model.home(2), Error::InvalidValue);
        QCOMPARE(model.runAt(-3000), Error::None);
        runToStop(model, -1000);
        QVERIFY(model.axisPosition() == -1000 && model.leftLimitActive());
        QCOMPARE(model.absolutePosition(), -1000); // passing the origin does not home a run
        QCOMPARE(model.runAt(-1), Error::NotPossible);
        QCOMPARE(model.home(0), Error::None);
        model.advanceTo(model.now() + 100);
        QCOMPARE(model.moveBy(5), Error::Busy);
        runToStop(model, 2000);
        QVERIFY(model.atOrigin() && !model.leftLimitActive());
        QCOMPARE(model.absolutePosition(), 0);
        QCOMPARE(model.moveBy(-300), Error::None); // counted from the origin now
        runToStop(model, 1700);
        QCOMPARE(model.absolutePosition(), -300);
        model.clearAbsolute();
        QCOMPARE(model.home(1), Error::None); // away from the origin: ends at the limit, unhomed
        runToStop(model, -1000);
        QCOMPARE(model.absolutePosition(), -2700);
        QCOMPARE(model.moveBy(3000), Error::None);
        runToStop(model, 2000);
        QCOMPARE(model.home(1), Error::None); // on the switch: homed where it stands
        QVERIFY(!model.moving());
        QCOMPARE(model.absolutePosition(), 0);
    }

    void counters() {
        DeviceModel model;
        QCOMPARE(model.moveBy(1000), Error::None);
        runToStop(model, 1000);
        model.clearAbsolute();
        QCOMPARE(model.moveBy(500), Error::None); // a move restarts the relative count
        runToStop(model, 1500);
        QVERIFY(model.absolutePosition() == 500 && model.relativePosition() == 500);
        model.clearRelative();
        QVERIFY(model.absolutePosition() == 500 && model.relativePosition() == 0);
        // 16777215 pulses/s for 130 s pass 2^31: the 32-bit counters wrap.
        QCOMPARE(model.setParameter(Parameter::Acceleration, 16777215), Error::None);
        QCOMPARE(model.runAt(16777215), Error::None);
        model.advanceTo(model.now() + 130000);
        QVERIFY(model.axisPosition() > 0x7FFFFFFFLL && model.absolutePosition() < 0);
        QCOMPARE(quint32(model.absolutePosition()), quint32(model.axisPosition() - 1000));
        QCOMPARE(quint32(model.relativePosition()), quint32(model.axisPosition() - 1500));
    }

    void replies_data() {
        QTest::addColumn<QByteArray>("before");   // requests ten seconds ahead of the request
        QTest::addColumn<QByteArray>("request");  // also cut in two (in 40 bytes), 10 ms apart
        QTest::addColumn<QByteArray>("expected"); // every reply byte, in order
        // RTU: address, code, count (for 03 and 10: register, quantity, byte count), data, CRC
        // low byte first. Short replies (address, code) carry no CRC; a failure sets bit 7 of the
        // code and gives the error. ASCII: ":", the same bytes in hex, the LRC, CR LF.
        const QByteArray run = hex("01 33 04 000003E8 FF7D");   // at 1000 pulses/s
        const QByteArray back = hex("01 32 04 01 0003E8 FF50"); // 24-bit, 1000 pulses back
        const QByteArray reset = hex("01 47 00 13F0");          // factory settings
        const QByteArray query = hex("01 26 00 3A60");          // the start speed, 100 by default
        const QByteArray answer = hex("01 26 04 00000064 FCED");
        // clang-format off
        QTest::newRow("set with one data byte") << QByteArray() << hex("01 25 01 05 D180") << hex("01 A5 03 1B51");
        QTest::newRow("state at the origin") << QByteArray() << hex("01 3B 00 3330") << hex("01 3B 04 00 01 00 01 6E8B");
        QTest::newRow("six bytes to CAN") << QByteArray() << hex("01 4C 06 010203040506 DFC3") << hex("01 CC 03 3501");
        QTest::newRow("unknown device code") << QByteArray() << hex("01 50 00 1C00") << hex("01 D0 01 BC00");
        QTest::newRow("write single register") << QByteArray() << hex("01 06 0001 0003 980B") << hex("01 86 01 83A0");
        QTest::newRow("read two codes") << QByteArray() << hex("01 03 0025 0004 55C2") << hex("01 03 08 00000064 00000064 E5F4");
        QTest::newRow("read one register") << back << hex("01 03 0037 0001 35C4") << hex("01 03 02 FFFF B9F4");
        QTest::newRow("read past the last code") << QByteArray() << hex("01 03 004C 0004 85DE") << hex("01 83 02 C0F1");
        QTest::newRow("write one data byte") << QByteArray() << hex("01 10 0022 0002 04 02 4AC0") << hex("01 10 0022 0002 E1C2");
        QTest::newRow("write an invalid value") << QByteArray() << hex("01 10 0025 0002 04 00000000 3188") << hex("01 90 03 0C01");
        QTest::newRow("write what cannot run") << QByteArray() << hex("01 10 0035 0002 04 00002710 2AB8") << hex("01 90 04 4DC3");
        QTest::newRow("write while busy") << run << hex("01 10 0031 0002 04 00002710 2B4B") << hex("01 90 06 CC02");
        QTest::newRow("ASCII lower-case set") << QByteArray() << QByteArray(":012f040000271095\r\n") << QByteArray(":012F00D0\r\n");
        QTest::newRow("ASCII short write") << QByteArray() << QByteArray(":0110002200020402C5\r\n") << QByteArray(":011000220002CB\r\n");
        QTest::newRow("ASCII and RTU in one read") << QByteArray() << ":012000DF\r\n" + hex("01 20 00 39C0") << ":012000DF\r\n" + hex("01 20 00 39C0");
        QTest::newRow("new address after the reply") << QByteArray() << hex("01 22 01 02 2183 01 20 00 39C0 02 20 00 C9C0") << hex("01 22 00 38A0 02 20 00 C9C0");
        QTest::newRow("a pause drops a frame's start") << hex("01 25 04 00") << hex("00 27 10 E709") + query << answer;
        QTest::newRow("ignores a bad CRC") << QByteArray() << hex("01 20 00 39C1") + query << answer;
        QTest::newRow("ignores another address") << QByteArray() << hex("02 20 00 C9C0") + query << answer;
        QTest::newRow("ignores a handshake to address 0") << QByteArray() << hex("00 20 00 6800") + query << answer;
        QTest::newRow("ignores a bad LRC") << QByteArray() << ":012000DE\r\n" + query << answer;
        QTest::newRow("ignores ASCII for another address") << QByteArray() << ":022000DE\r\n" + query << answer;
        QTest::newRow("ignores a count promising a long frame") << QByteArray() << hex("55 01 20") + query << answer;
        QTest::newRow("ignores an unfinished ASCII frame") << QByteArray() << ":0120" + query << answer;
        QTest::newRow("ignores an incomplete frame") << QByteArray() << hex("01 25 04 00 0027") + query << answer;
        QTest::newRow("ignores a flood") << QByteArray() << hex("01 4C FF") + QByteArray(4000, '\x4C') + query << answer;
        QTest::newRow("factory register base") << hex("01 3F 04 00000064 FEE4") << reset + hex("01 03 0026 0002 25C0") << hex("01 47 01 03 04 00000064 FBD8");
        QTest::newRow("factory address, replies from the old") << hex("01 22 01 02 2183") << hex("02 47 00 E3F0 01 20 00 39C0") << hex("02 47 01 20 00 39C0");
        // clang-format on
    }
    void replies() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, expected);
        for (qsizetype cut = 0; cut < std::min<qsizetype>(request.size(), 40); ++cut) {
            Device device;
            device.replies(before, 0);
            const QByteArray first = device.replies(request.first(cut), 10000);
            QCOMPARE((first + device.replies(request.sliced(cut), 10010)).toHex(' '),
                     expected.toHex(' '));
        }
    }
};

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
