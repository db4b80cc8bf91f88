// Every command of the protocol table through the tool's request builder, the virtual device's
// protocol server and the tool's reply reader, in process and in both framings: what a reply says
// must be what the device holds, and a value the device refuses comes back as its failure reply
// with the error code.

#include <QTest>

#include "device/RequestBuilder.h"
#include "sim/ConsoleCommand.h"
#include "sim/DeviceCommands.h"
#include "sim/ProtocolServer.h"
#include "transmission/Reply.h"

using device::Carries;
using transmission::Reply;
using transmission::ReplyFrame;

namespace {

// Steps 10 s apart: "command ARG|ARG", "inputs 00101" (the device's inputs change), "held 3F" (the
// value code 3F holds in the register mapping); "= text" checks what the reply says. A step
// without a check must not be refused.
// clang-format off
const char *const kRows[] = {
    "handshake = ; get-address = 1; set-address 2A; get-address = 42",
    "get-baud-rate = 6; set-baud-rate 57600 = failure 03; set-baud-rate 19200; get-baud-rate = 8; factory-settings; get-baud-rate = 6",
    "set-start-speed 0 = failure 03; set-start-speed 321; get-start-speed = 321; factory-settings; get-start-speed = 100",
    "set-max-speed 20000; get-max-speed = 20000; set-end-speed 16777216 = failure 03; set-end-speed 16777215; get-end-speed = 16777215",
    "set-acceleration 5000; get-acceleration = 5000; set-deceleration 7000; get-deceleration = 7000; set-homing-speed 900; get-homing-speed = 900",
    "get-motion-state = stopped origin; move 1000; get-absolute-position = 1000; move-relative 2|500 = failure 03; move-relative 1|500; get-relative-position = -500; get-absolute-position = 500; factory-settings; get-absolute-position = 500",
    "run-speed 0 = failure 03; run-speed -3000; get-speed = 3000; get-motion-state = moving; move 10 = failure 05; run-speed 10 = failure 05; home 0 = failure 05",
    "run-speed 1000; set-address 2 = failure 05; set-baud-rate 19200 = failure 05; factory-settings = failure 05; set-max-speed 5000; get-max-speed = 5000",
    "change-speed 2000 = failure 04; speed-step-up = failure 04; run-direction 1|1000; change-speed 2000; get-speed = 2000; speed-step-down; get-speed = 1500",
    "set-speed-factor 16777216 = failure 03; set-speed-factor 100; run-speed 1000; speed-step-up; get-speed = 1100; stop; get-motion-state = stopped",
    "run-speed 5000; stop-decelerating; get-speed = 0; clear-relative-position; get-relative-position = 0; clear-absolute-position; get-absolute-position = 0",
    "home 2 = failure 03; move 1000; clear-absolute-position; home 1; get-absolute-position = 0; get-motion-state = stopped origin",
    "get-binding 00010 = failure 02; bind-inputs 00101|40 00 = failure 03; bind-inputs 00101|31 05 00 00 00 00 00 = failure 03; bind-inputs 00101|31 04 00 00 03 E8; get-binding 00101 = 05 31 04 00 00 03 e8; factory-settings; get-binding 00101 = failure 02",
    "bind-inputs 00101|31 04 00 00 03 E8; inputs 00001; get-motion-state = stopped origin; inputs 00101; inputs 00101; get-absolute-position = 1000; held 42 = 5; get-inputs = 00101; get-input-state = 00 01 00 01 01",
    "set-register-base 100; held 3F = 100; can-checksum 2 = failure 03; can-checksum 1; held 48 = 1; can-reply-length 1; held 49 = 1; can-frame 1; held 4A = 1",
    "can-baud-rate 7M = failure 03; can-baud-rate 500K; held 4B = 6; can-send 0A 0B = ",
};
// clang-format on

QString motionText(bool moving, bool left, bool origin, bool right) {
    return QLatin1String(moving ? "moving" : "stopped") + QLatin1String(left ? " left" : "") +
           QLatin1String(origin ? " origin" : "") + QLatin1String(right ? " right" : "");
}

// "failure 03", a value, the motion state, the inputs IN5..IN1 (1 active), or the data in hex.
QString says(const Reply &reply, const ReplyFrame &frame) {
    if (reply.status == Reply::Status::Failure)
        return QStringLiteral("failure %1").arg(*reply.error, 2, 16, QChar(u'0'));
    if (reply.value)
        return QString::number(*reply.value);
    if (const auto &m = reply.motion)
        return motionText(m->moving, m->leftLimit, m->origin, m->rightLimit);
    if (reply.inputs) {
        QString text;
        for (int in = 4; in >= 0; --in)
            text += (*reply.inputs)[in] ? u'1' : u'0';
        return text;
    }
    return QString::fromLatin1(frame.body.mid(3).toHex(' '));
}

// The same of what the device holds.
QString holds(const sim::DeviceModel &m, Carries carries) {
    if (carries == Carries::MotionState)
        return motionText(m.moving(), m.leftLimitActive(), m.atOrigin(), m.rightLimitActive());
    if (carries == Carries::Inputs)
        return sim::patternText(m.inputs());
    using P = sim::Parameter; // indexed as Carries counts
    // clang-format off
    const qint64 values[] = {0, m.address(), m.baudCode(), m.parameter(P::StartSpeed), m.parameter(P::MaxSpeed),
                             m.parameter(P::EndSpeed), m.parameter(P::Acceleration), m.parameter(P::Deceleration),
                             m.parameter(P::HomingSpeed), m.speed(), m.absolutePosition(), m.relativePosition()};
    // clang-format on
    return carries == Carries::Nothing ? QString() : QString::number(values[int(carries)]);
}

struct Device {
    sim::DeviceModel model;
    sim::ProtocolServer server{model};
    qint64 now = 0;

    // What one step's reply says, or "fault: ..." when the way there is broken.
    QString step(const QString &text, codec::Framing framing) {
        now += 10000;
        const QString name = text.section(u' ', 0, 0);
        const QString rest = text.section(u' ', 1);
        if (name == u"inputs") { // a binding that runs puts nothing on the line
            const auto ran = server.setInputs(sim::parsePattern(rest).value_or(0), now);
            return ran && !ran->reply.isEmpty() ? QStringLiteral("fault: a run answered")
                                                : QString();
        }
        if (name == u"held")
            return QString::number(sim::registerValue(model, quint8(rest.toUInt(nullptr, 16))));
        const device::Command *command = device::findCommand(name);
        const auto built = command
                               ? device::buildRequest(*command, u"1",
                                                      rest.split(u'|', Qt::SkipEmptyParts), framing)
                               : device::BuildResult{device::NoRequest{}};
        const auto *request = std::get_if<device::Request>(&built);
        if (!request)
            return QStringLiteral("fault: not built");
        transmission::ReplyReader reader;
        reader.expectFrom(quint8(request->body[0]));
        QByteArray sent;
        for (const sim::Exchange &exchange : server.feed(request->frame, now))
            sent += exchange.reply;
        std::vector<ReplyFrame> frames = reader.feed(sent);
        std::ranges::move(reader.flush(), std::back_inserter(frames));
        if (frames.size() != 1 || frames[0].bytes != sent)
            return QStringLiteral("fault: %1 read from %2").arg(frames.size()).arg(sent.toHex(' '));
        const Reply reply = transmission::readReply(frames[0]);
        const QString said = says(reply, frames[0]);
        if (reply.command != command)
            return QStringLiteral("fault: a reply to another command");
        if (reply.status == Reply::Status::Good && said != holds(model, command->carries) &&
            command->carries != Carries::Nothing)
            return QStringLiteral("fault: %1 while the device holds %2")
                .arg(said, holds(model, command->carries));
        return said;
    }
};

} // namespace

class TestDevice : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        for (const device::Command &command : device::commands()) {
            bool used = false;
            for (const char *row : kRows)
                for (const QString &step : QString::fromLatin1(row).split(QStringLiteral("; ")))
                    used = used || step.section(u' ', 0, 0) == QLatin1String(command.name);
            QVERIFY2(used, command.name);
        }
    }

    void commands_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("ascii");
        for (const char *row : kRows)
            for (const bool ascii : {false, true})
                QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(
                    ascii ? "ASCII" : "RTU", QString::fromLatin1(row).section(u';', 0, 0))))
                    << QString::fromLatin1(row) << ascii;
    }
    void commands() {
        QFETCH(QString, steps);
        QFETCH(bool, ascii);
        Device device;
        for (const QString &step : steps.split(QStringLiteral("; "))) {
            const QString said = device.step(step.section(u'=', 0, 0).trimmed(),
                                             ascii ? codec::Framing::Ascii : codec::Framing::Rtu);
            QVERIFY2(!said.startsWith(u"fault") &&
                         (step.contains(u'=') || !said.startsWith(u"failure")),
                     qPrintable(step + QStringLiteral(": ") + said));
            if (step.contains(u'='))
                QCOMPARE(said, step.section(u'=', 1).trimmed());
        }
    }
};

QTEST_APPLESS_MAIN(TestDevice)
#include "tst_device.moc"
