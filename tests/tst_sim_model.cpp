// The virtual device's axis on model time: position moves that end exactly at their target on a
// trapezoid, constant-speed runs and their speed changes, stops, limits, homing, the position
// counters, and which commands are refused while the axis moves.

#include <QTest>

#include "sim/DeviceModel.h"

using namespace sim;

namespace {

// Advances one millisecond at a time until the axis stops (or the time is up); returns the time
// it stopped at and checks the profile on the way.
struct Trace {
    qint64 stoppedAt = -1;
    quint32 topSpeed = 0;
    bool overshot = false;
};

Trace runUntilStopped(DeviceModel &model, qint64 target, qint64 limitMs = 600000) {
    Trace trace;
    const qint64 from = model.axisPosition();
    const qint64 low = std::min(from, target);
    const qint64 high = std::max(from, target);
    for (qint64 t = model.now() + 1; t <= limitMs; ++t) {
        model.advanceTo(t);
        trace.topSpeed = std::max(trace.topSpeed, model.speed());
        if (model.axisPosition() < low || model.axisPosition() > high)
            trace.overshot = true;
        if (!model.moving()) {
            trace.stoppedAt = t;
            break;
        }
    }
    return trace;
}

} // namespace

class TestSimModel : public QObject {
    Q_OBJECT

private slots:
    void positionMoveEndsAtTarget_data() {
        QTest::addColumn<qint64>("pulses");
        QTest::newRow("one pulse") << qint64(1);
        QTest::newRow("minus one pulse") << qint64(-1);
        QTest::newRow("short, never at full speed") << qint64(3000);
        QTest::newRow("10000") << qint64(10000);
        QTest::newRow("-1000") << qint64(-1000);
        QTest::newRow("long, with a cruise") << qint64(123457);
        QTest::newRow("a million") << qint64(1000000);
    }

    void positionMoveEndsAtTarget() {
        QFETCH(qint64, pulses);
        DeviceModel model;
        QCOMPARE(model.moveBy(pulses), Error::None);
        QVERIFY(model.moving());
        QCOMPARE(model.speed(), 100u); // starts at the start speed
        const Trace trace = runUntilStopped(model, pulses);
        QVERIFY(trace.stoppedAt > 0);
        QVERIFY(!trace.overshot);
        QVERIFY(trace.topSpeed <= 10000);
        QCOMPARE(model.axisPosition(), pulses);
        QCOMPARE(model.absolutePosition(), qint32(pulses));
        QCOMPARE(model.relativePosition(), qint32(pulses));
        QCOMPARE(model.speed(), 0u);
    }

    void trapezoidProfile() {
        // Start 100, max 10000, end 1000, acceleration and deceleration 10000 pulses/s²:
        // about 1 s up (about 5000 pulses), 0.9 s down (about 4950 pulses), the rest cruising.
        DeviceModel model;
        QCOMPARE(model.moveBy(100000), Error::None);
        model.advanceTo(500);
        QVERIFY(model.speed() > 4000 && model.speed() < 6000);
        model.advanceTo(2000);
        QCOMPARE(model.speed(), 10000u);
        model.advanceTo(10000);
        QVERIFY(model.speed() < 10000); // braking
        QVERIFY(model.speed() >= 1000);
        const Trace trace = runUntilStopped(model, 100000);
        QVERIFY2(trace.stoppedAt > 10500 && trace.stoppedAt < 11500,
                 qPrintable(QString::number(trace.stoppedAt)));
        QCOMPARE(model.axisPosition(), 100000);
    }

    void parametersShapeTheMove() {
        DeviceModel model;
        QCOMPARE(model.setParameter(Parameter::StartSpeed, 500), Error::None);
        QCOMPARE(model.setParameter(Parameter::MaxSpeed, 2000), Error::None);
        QCOMPARE(model.moveBy(20000), Error::None);
        QCOMPARE(model.speed(), 500u);
        const Trace trace = runUntilStopped(model, 20000);
        QCOMPARE(trace.topSpeed, 2000u);
        QVERIFY(trace.stoppedAt > 10000); // 20000 pulses at no more than 2000 pulses/s
        QCOMPARE(model.axisPosition(), 20000);
    }

    void parameterRange_data() {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("0") << qint64(0) << false;
        QTest::newRow("1") << qint64(1) << true;
        QTest::newRow("-5") << qint64(-5) << false;
        QTest::newRow("16777215") << qint64(16777215) << true;
        QTest::newRow("16777216") << qint64(16777216) << false;
    }

    void parameterRange() {
        QFETCH(qint64, value);
        QFETCH(bool, accepted);
        for (int i = 0; i < kParameterCount; ++i) {
            DeviceModel model;
            const qint64 before = model.parameter(Parameter(i));
            QCOMPARE(model.setParameter(Parameter(i), value),
                     accepted ? Error::None : Error::InvalidValue);
            QCOMPARE(model.parameter(Parameter(i)), accepted ? value : before);
        }
    }

    void constantRunAndSpeedChanges() {
        DeviceModel model;
        QCOMPARE(model.changeRunSpeed(2000), Error::NotPossible); // nothing runs
        QCOMPARE(model.runAt(-5000), Error::None);
        model.advanceTo(2000);
        QCOMPARE(model.speed(), 5000u);
        QVERIFY(model.axisPosition() < -5000);
        QCOMPARE(model.changeRunSpeed(2000), Error::None);
        model.advanceTo(4000);
        QCOMPARE(model.speed(), 2000u);
        QCOMPARE(model.setSpeedFactor(500), Error::None);
        QCOMPARE(model.stepRunSpeed(+1), Error::None);
        model.advanceTo(5000);
        QCOMPARE(model.speed(), 2500u);
        QCOMPARE(model.stepRunSpeed(-1), Error::None);
        QCOMPARE(model.stepRunSpeed(-1), Error::None);
        model.advanceTo(6000);
        QCOMPARE(model.speed(), 1500u);
        QVERIFY(model.moving());
        QCOMPARE(model.changeRunSpeed(0), Error::InvalidValue);
        QCOMPARE(model.runAt(0), Error::InvalidValue);
        QCOMPARE(model.runAt(16777216), Error::InvalidValue);
    }

    void stepsStayWithinTheSpeedRange() {
        DeviceModel model;
        QCOMPARE(model.runAt(100), Error::None);
        QCOMPARE(model.setSpeedFactor(16777215), Error::None);
        QCOMPARE(model.stepRunSpeed(-1), Error::None);
        model.advanceTo(1000);
        QCOMPARE(model.speed(), 1u);
        QVERIFY(model.moving());
    }

    void stops() {
        DeviceModel model;
        QCOMPARE(model.runAt(10000), Error::None);
        model.advanceTo(3000);
        model.stopDecelerated();
        QVERIFY(model.moving()); // braking takes about 0.9 s
        const qint64 braking = model.axisPosition();
        model.advanceTo(3500);
        QVERIFY(model.moving());
        model.advanceTo(5000);
        QVERIFY(!model.moving());
        QVERIFY(model.axisPosition() > braking + 3000);

        QCOMPARE(model.runAt(10000), Error::None);
        model.advanceTo(8000);
        const qint64 at = model.axisPosition();
        model.stopNow();
        QVERIFY(!model.moving());
        model.advanceTo(9000);
        QCOMPARE(model.axisPosition(), at);
        model.stopNow(); // stopping a stopped axis is fine
        model.stopDecelerated();
    }

    void decelerationStopNeverPassesTheTarget() {
        DeviceModel model;
        QCOMPARE(model.setParameter(Parameter::Deceleration, 1), Error::None);
        QCOMPARE(model.moveBy(20000), Error::None);
        model.advanceTo(2500);
        model.stopDecelerated();
        runUntilStopped(model, 20000);
        QCOMPARE(model.axisPosition(), 20000);
    }

    void limits() {
        DeviceModel model(1, Switches{-1000, 5000, 0});
        QVERIFY(!model.leftLimitActive() && !model.rightLimitActive());
        QCOMPARE(model.moveBy(10000), Error::None);
        runUntilStopped(model, 10000);
        QCOMPARE(model.axisPosition(), 5000); // the limit stopped it
        QVERIFY(model.rightLimitActive());
        QCOMPARE(model.moveBy(1), Error::NotPossible);
        QCOMPARE(model.runAt(100), Error::NotPossible);
        QCOMPARE(model.home(0), Error::NotPossible);
        QCOMPARE(model.moveBy(-10), Error::None); // away from the limit
        runUntilStopped(model, 4990);
        QVERIFY(!model.rightLimitActive());
        QCOMPARE(model.runAt(-3000), Error::None);
        model.advanceTo(model.now() + 10000);
        QVERIFY(!model.moving());
        QCOMPARE(model.axisPosition(), -1000);
        QVERIFY(model.leftLimitActive());
        QCOMPARE(model.runAt(-1), Error::NotPossible);
    }

    void homing() {
        DeviceModel model(1, Switches{std::nullopt, std::nullopt, 2000});
        QVERIFY(!model.atOrigin());
        QCOMPARE(model.home(2), Error::InvalidValue);
        QCOMPARE(model.home(0), Error::None);
        model.advanceTo(100);
        QVERIFY(model.moving());
        QCOMPARE(model.moveBy(5), Error::Busy);
        model.advanceTo(10000);
        QVERIFY(!model.moving());
        QCOMPARE(model.axisPosition(), 2000);
        QVERIFY(model.atOrigin());
        QCOMPARE(model.absolutePosition(), 0);
        QCOMPARE(model.relativePosition(), 2000);
        QCOMPARE(model.moveBy(-300), Error::None);
        model.advanceTo(20000);
        QCOMPARE(model.absolutePosition(), -300);
        QCOMPARE(model.axisPosition(), 1700);
        // Homing on the switch itself needs no motion.
        QCOMPARE(model.moveBy(300), Error::None);
        model.advanceTo(30000);
        QCOMPARE(model.home(1), Error::None);
        QVERIFY(!model.moving());
        QCOMPARE(model.absolutePosition(), 0);
    }

    void homingTheWrongWayEndsAtTheLimit() {
        DeviceModel model(1, Switches{-500, std::nullopt, 2000});
        QCOMPARE(model.home(1), Error::None); // negative: away from the origin
        model.advanceTo(10000);
        QVERIFY(!model.moving());
        QCOMPARE(model.axisPosition(), -500);
        QVERIFY(model.leftLimitActive());
        QCOMPARE(model.absolutePosition(), -500); // not homed
    }

    void positionCounters() {
        DeviceModel model;
        QCOMPARE(model.moveBy(1000), Error::None);
        model.advanceTo(5000);
        model.clearAbsolute();
        QCOMPARE(model.absolutePosition(), 0);
        QCOMPARE(model.relativePosition(), 1000);
        QCOMPARE(model.moveBy(500), Error::None); // a new move restarts the relative count
        QCOMPARE(model.relativePosition(), 0);
        model.advanceTo(10000);
        QCOMPARE(model.absolutePosition(), 500);
        QCOMPARE(model.relativePosition(), 500);
        model.clearRelative();
        QCOMPARE(model.relativePosition(), 0);
        QCOMPARE(model.absolutePosition(), 500);
        QCOMPARE(model.axisPosition(), 1500);
        QCOMPARE(model.moveBy(0), Error::None);
        QVERIFY(!model.moving());
    }

    void countersWrapAt32Bits() {
        DeviceModel model;
        QCOMPARE(model.setParameter(Parameter::Acceleration, 16777215), Error::None);
        QCOMPARE(model.runAt(16777215), Error::None);
        model.advanceTo(130000); // 16777215 pulses/s for 130 s passes 2^31
        QVERIFY(model.axisPosition() > 0x7FFFFFFFLL);
        QVERIFY(model.absolutePosition() < 0);
        QCOMPARE(qint64(quint32(model.absolutePosition())), model.axisPosition() % 0x100000000LL);
    }

    void refusedWhileMoving() {
        DeviceModel model;
        QCOMPARE(model.runAt(1000), Error::None);
        model.advanceTo(100);
        QCOMPARE(model.setAddress(2), Error::Busy);
        QCOMPARE(model.setBaudCode(8), Error::Busy);
        QCOMPARE(model.moveBy(10), Error::Busy);
        QCOMPARE(model.runAt(10), Error::Busy);
        QCOMPARE(model.home(0), Error::Busy);
        QCOMPARE(model.restoreFactorySettings(), Error::Busy);
        // Parameters, counters and the register base may change on the move.
        QCOMPARE(model.setParameter(Parameter::MaxSpeed, 5000), Error::None);
        QCOMPARE(model.setRegisterBase(10), Error::None);
        model.clearAbsolute();
        model.clearRelative();
        QCOMPARE(model.address(), 1);
        QCOMPARE(model.baudCode(), 6);
    }

    void communicationSettings_data() {
        QTest::addColumn<int>("which"); // 0 address, 1 baud code, 2 register base, 3 CAN baud
        QTest::addColumn<qint64>("value");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("address 0") << 0 << qint64(0) << false;
        QTest::newRow("address 1") << 0 << qint64(1) << true;
        QTest::newRow("address 255") << 0 << qint64(255) << true;
        QTest::newRow("baud code 3") << 1 << qint64(3) << false;
        QTest::newRow("baud code 4") << 1 << qint64(4) << true;
        QTest::newRow("baud code 9") << 1 << qint64(9) << true;
        QTest::newRow("baud code 10") << 1 << qint64(10) << false;
        QTest::newRow("base -1") << 2 << qint64(-1) << false;
        QTest::newRow("base 65503") << 2 << qint64(65503) << true;
        QTest::newRow("base 65504") << 2 << qint64(65504) << false;
        QTest::newRow("CAN baud 0") << 3 << qint64(0) << false;
        QTest::newRow("CAN baud 18") << 3 << qint64(18) << true;
        QTest::newRow("CAN baud 19") << 3 << qint64(19) << false;
    }

    void communicationSettings() {
        QFETCH(int, which);
        QFETCH(qint64, value);
        QFETCH(bool, accepted);
        DeviceModel model;
        const Error error = which == 0   ? model.setAddress(value)
                            : which == 1 ? model.setBaudCode(value)
                            : which == 2 ? model.setRegisterBase(value)
                                         : model.setCanBaudCode(value);
        QCOMPARE(error, accepted ? Error::None : Error::InvalidValue);
    }

    void factorySettingsKeepThePosition() {
        DeviceModel model;
        QCOMPARE(model.moveBy(700), Error::None);
        model.advanceTo(5000);
        QCOMPARE(model.setAddress(9), Error::None);
        QCOMPARE(model.setParameter(Parameter::EndSpeed, 7), Error::None);
        model.bind(3, QByteArray::fromHex("3C00"));
        QVERIFY(model.setInputs(0x03));
        QCOMPARE(model.restoreFactorySettings(), Error::None);
        QCOMPARE(model.address(), 1);
        QCOMPARE(model.parameter(Parameter::EndSpeed), 1000);
        QVERIFY(model.bindings().empty());
        QCOMPARE(model.axisPosition(), 700);
        QCOMPARE(model.inputs(), 0x03);
    }

    void baudRates() {
        QCOMPARE(baudRateOf(4), std::optional<int>(2400));
        QCOMPARE(baudRateOf(7), std::optional<int>(14400));
        QCOMPARE(baudRateOf(9), std::optional<int>(38400));
        QVERIFY(!baudRateOf(0));
        QVERIFY(!baudRateOf(10));
        QCOMPARE(patternText(0x05), QStringLiteral("00101"));
        QCOMPARE(patternText(0x10), QStringLiteral("10000"));
    }
};

QTEST_GUILESS_MAIN(TestSimModel)
#include "tst_sim_model.moc"
