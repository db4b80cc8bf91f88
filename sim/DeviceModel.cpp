#include "sim/DeviceModel.h"

#include "codec/HexText.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace sim {

namespace {

constexpr std::array<qint64, kParameterCount> kDefaultParameters{100,   10000, 1000,
                                                                 10000, 10000, 10000};
constexpr std::array<int, 6> kBaudRates{2400, 4800, 9600, 14400, 19200, 38400}; // codes 4 to 9
constexpr qint64 kFirstBaudCode = 4;
constexpr qint64 kCanBaudCodes = 18;
constexpr double kStepSeconds = 0.001; // the axis is integrated in steps of one millisecond

// Counters of 32 bits wrap around as the device's registers do.
qint32 wrap32(double value) {
    return static_cast<qint32>(static_cast<quint32>(static_cast<quint64>(std::llround(value))));
}

bool isSwitch(qint64 value) {
    return value == 0 || value == 1;
}

} // namespace

const char *errorName(Error error) {
    switch (error) {
    case Error::None:
        return "ok";
    case Error::UnknownFunction:
        return "unknown function code";
    case Error::InvalidAddress:
        return "invalid data address";
    case Error::InvalidValue:
        return "invalid data value";
    case Error::NotPossible:
        return "cannot be carried out";
    case Error::Busy:
        return "busy";
    }
    return "?";
}

std::optional<int> baudRateOf(qint64 code) {
    if (code < kFirstBaudCode || code >= kFirstBaudCode + qint64(kBaudRates.size()))
        return std::nullopt;
    return kBaudRates[std::size_t(code - kFirstBaudCode)];
}

QString patternText(quint8 pattern) {
    QString text;
    for (int input = 5; input >= 1; --input)
        text += (pattern >> (input - 1)) & 1 ? u'1' : u'0';
    return text;
}

DeviceModel::DeviceModel(quint8 address, Switches switches)
    : m_address(address), m_parameters(kDefaultParameters), m_switches(switches) {}

// ---- Communication and parameters -----------------------------------------------------------

Error DeviceModel::setAddress(qint64 address) {
    if (address < 1 || address > 255) // 0 is the broadcast address
        return Error::InvalidValue;
    if (moving())
        return Error::Busy;
    m_address = quint8(address);
    return Error::None;
}

Error DeviceModel::setBaudCode(qint64 code) {
    if (!baudRateOf(code))
        return Error::InvalidValue;
    if (moving())
        return Error::Busy;
    m_baudCode = quint8(code);
    return Error::None;
}

Error DeviceModel::setRegisterBase(qint64 base) {
    if (base < 0 || base > kMaxRegisterBase)
        return Error::InvalidValue;
    m_registerBase = quint16(base);
    return Error::None;
}

Error DeviceModel::setParameter(Parameter which, qint64 value) {
    if (value < 1 || value > kMaxSpeed)
        return Error::InvalidValue;
    m_parameters[int(which)] = value; // a running move follows the new value at once
    return Error::None;
}

Error DeviceModel::setSpeedFactor(qint64 factor) {
    if (factor < 0 || factor > kMaxSpeed)
        return Error::InvalidValue;
    m_speedFactor = factor;
    return Error::None;
}

Error DeviceModel::restoreFactorySettings() {
    if (moving())
        return Error::Busy;
    m_address = 1;
    m_baudCode = kDefaultBaudCode;
    m_registerBase = 0;
    m_parameters = kDefaultParameters;
    m_speedFactor = kDefaultSpeedFactor;
    m_bindings.clear();
    m_can = CanSettings{};
    return Error::None;
}

// ---- Motion ---------------------------------------------------------------------------------

Error DeviceModel::moveBy(qint64 pulses) {
    if (moving())
        return Error::Busy;
    const int direction = pulses < 0 ? -1 : 1;
    if (pulses != 0 && limitActiveTowards(direction))
        return Error::NotPossible;
    m_relativeZero = m_axis;
    if (pulses == 0)
        return Error::None;
    start(Motion::PositionMove, direction, param(Parameter::MaxSpeed));
    m_target = m_axis + double(pulses);
    return Error::None;
}

Error DeviceModel::runAt(qint64 speed) {
    if (speed == 0 || std::abs(speed) > kMaxSpeed)
        return Error::InvalidValue;
    if (moving())
        return Error::Busy;
    const int direction = speed < 0 ? -1 : 1;
    if (limitActiveTowards(direction))
        return Error::NotPossible;
    start(Motion::ConstantRun, direction, double(std::abs(speed)));
    return Error::None;
}

Error DeviceModel::changeRunSpeed(qint64 speed) {
    if (speed < 1 || speed > kMaxSpeed)
        return Error::InvalidValue;
    if (m_motion != Motion::ConstantRun)
        return Error::NotPossible;
    m_runSpeed = double(speed);
    return Error::None;
}

Error DeviceModel::stepRunSpeed(int sign) {
    if (m_motion != Motion::ConstantRun)
        return Error::NotPossible;
    m_runSpeed = std::clamp(m_runSpeed + sign * double(m_speedFactor), 1.0, double(kMaxSpeed));
    return Error::None;
}

Error DeviceModel::home(qint64 direction) {
    if (!isSwitch(direction))
        return Error::InvalidValue;
    if (moving())
        return Error::Busy;
    const int towards = direction == 0 ? 1 : -1;
    if (atOrigin()) { // already on the switch: nothing to search
        m_axis = double(m_switches.origin);
        m_absoluteZero = m_axis;
        m_relativeZero = m_axis;
        return Error::None;
    }
    if (limitActiveTowards(towards))
        return Error::NotPossible;
    start(Motion::Homing, towards, param(Parameter::HomingSpeed));
    return Error::None;
}

void DeviceModel::stopNow() {
    if (moving())
        stopAt(std::round(m_axis));
}

void DeviceModel::stopDecelerated() {
    if (!moving())
        return;
    if (m_speed <= param(Parameter::EndSpeed))
        stopAt(std::round(m_axis));
    else
        m_motion = Motion::Stopping;
}

void DeviceModel::clearAbsolute() {
    m_absoluteZero = m_axis;
}
void DeviceModel::clearRelative() {
    m_relativeZero = m_axis;
}

void DeviceModel::start(Motion motion, int direction, double cruiseSpeed) {
    m_motion = motion;
    m_direction = direction;
    m_runSpeed = cruiseSpeed;
    m_speed = std::min(param(Parameter::StartSpeed), cruiseSpeed);
    m_target.reset();
    m_relativeZero = m_axis;
}

void DeviceModel::stopAt(double position) {
    m_axis = position;
    m_speed = 0;
    m_motion = Motion::Stopped;
    m_target.reset();
}

void DeviceModel::advanceTo(qint64 ms) {
    while (m_now < ms && moving()) {
        step(kStepSeconds);
        ++m_now;
    }
    m_now = std::max(m_now, ms);
}

void DeviceModel::step(double seconds) {
    const double acceleration = param(Parameter::Acceleration) * seconds;
    const double deceleration = param(Parameter::Deceleration) * seconds;
    const auto approach = [&](double goal) {
        m_speed = m_speed < goal ? std::min(goal, m_speed + acceleration)
                                 : std::max(goal, m_speed - deceleration);
    };

    switch (m_motion) {
    case Motion::Stopped:
        return;
    case Motion::PositionMove: {
        // Accelerate towards the maximum speed until the rest of the way is the braking distance
        // down to the end speed, then brake.
        const double cruise = param(Parameter::MaxSpeed);
        const double end = std::min(param(Parameter::EndSpeed), cruise);
        const double remaining = (*m_target - m_axis) * m_direction;
        const double braking =
            (m_speed * m_speed - end * end) / (2 * param(Parameter::Deceleration));
        if (remaining <= braking)
            m_speed = std::max(end, m_speed - deceleration);
        else
            approach(cruise);
        break;
    }
    case Motion::ConstantRun:
        approach(m_runSpeed);
        break;
    case Motion::Homing:
        approach(param(Parameter::HomingSpeed));
        break;
    case Motion::Stopping:
        m_speed -= deceleration;
        if (m_speed <= param(Parameter::EndSpeed)) {
            stopAt(std::round(m_axis));
            return;
        }
        break;
    }

    // The first point this step reaches where the motion ends: the origin while homing, the
    // target of a position move, the limit ahead.
    const double next = m_axis + m_direction * m_speed * seconds;
    std::optional<double> halt;
    bool homed = false;
    const auto consider = [&](std::optional<double> at, bool isOrigin) {
        if (!at)
            return;
        const double ahead = (*at - m_axis) * m_direction;
        if (ahead < 0 || (next - *at) * m_direction < 0)
            return;
        if (!halt || ahead < (*halt - m_axis) * m_direction) {
            halt = at;
            homed = isOrigin;
        }
    };
    if (m_motion == Motion::Homing)
        consider(double(m_switches.origin), true);
    consider(m_target, false);
    const auto limit = m_direction < 0 ? m_switches.leftLimit : m_switches.rightLimit;
    consider(limit ? std::optional<double>(double(*limit)) : std::nullopt, false);

    if (!halt) {
        m_axis = next;
        return;
    }
    stopAt(*halt);
    if (homed)
        m_absoluteZero = m_axis;
}

quint32 DeviceModel::speed() const {
    return quint32(std::lround(m_speed));
}
qint32 DeviceModel::absolutePosition() const {
    return wrap32(m_axis - m_absoluteZero);
}
qint32 DeviceModel::relativePosition() const {
    return wrap32(m_axis - m_relativeZero);
}
qint64 DeviceModel::axisPosition() const {
    return std::llround(m_axis);
}

bool DeviceModel::leftLimitActive() const {
    return m_switches.leftLimit && m_axis <= double(*m_switches.leftLimit);
}
bool DeviceModel::rightLimitActive() const {
    return m_switches.rightLimit && m_axis >= double(*m_switches.rightLimit);
}
bool DeviceModel::atOrigin() const {
    return std::abs(m_axis - double(m_switches.origin)) < 0.5;
}

bool DeviceModel::limitActiveTowards(int direction) const {
    return direction < 0 ? leftLimitActive() : rightLimitActive();
}

// ---- Inputs, bindings, CAN ------------------------------------------------------------------

bool DeviceModel::setInputs(quint8 pattern) {
    pattern &= 0x1F;
    const bool changed = pattern != m_inputs;
    m_inputs = pattern;
    return changed;
}

std::optional<QByteArray> DeviceModel::binding(quint8 pattern) const {
    const auto it = m_bindings.find(pattern);
    return it == m_bindings.end() ? std::nullopt : std::optional<QByteArray>(it->second);
}

Error DeviceModel::setCanChecksumOff(qint64 value) {
    if (!isSwitch(value))
        return Error::InvalidValue;
    m_can.checksumOff = quint8(value);
    return Error::None;
}

Error DeviceModel::setCanEightByteReplies(qint64 value) {
    if (!isSwitch(value))
        return Error::InvalidValue;
    m_can.eightByteReplies = quint8(value);
    return Error::None;
}

Error DeviceModel::setCanExtendedFrame(qint64 value) {
    if (!isSwitch(value))
        return Error::InvalidValue;
    m_can.extendedFrame = quint8(value);
    return Error::None;
}

Error DeviceModel::setCanBaudCode(qint64 code) {
    if (code < 1 || code > kCanBaudCodes)
        return Error::InvalidValue;
    m_can.baudCode = quint8(code);
    return Error::None;
}

// ---- Status ---------------------------------------------------------------------------------

QString DeviceModel::statusText() const {
    static const char *const kMotion[] = {"stopped", "position move", "constant-speed run",
                                          "homing", "decelerating to a stop"};
    const auto switchText = [](const std::optional<qint64> &at, bool active) {
        return at ? QStringLiteral("%1 (%2)").arg(*at).arg(active ? "active" : "off")
                  : QStringLiteral("none");
    };
    QStringList bindings;
    for (const auto &[pattern, body] : m_bindings)
        bindings << patternText(pattern) + QStringLiteral(" = ") +
                        codec::FormatHexText(body).trimmed();

    QStringList lines;
    lines << QStringLiteral("address %1 (hex %2), baud code %3 (%4), register base %5")
                 .arg(m_address)
                 .arg(m_address, 2, 16, QChar(u'0'))
                 .arg(m_baudCode)
                 .arg(baudRateOf(m_baudCode).value_or(0))
                 .arg(m_registerBase);
    lines << QStringLiteral("parameters: start %1, max %2, end %3, acceleration %4, "
                            "deceleration %5, homing %6; speed factor %7")
                 .arg(m_parameters[0])
                 .arg(m_parameters[1])
                 .arg(m_parameters[2])
                 .arg(m_parameters[3])
                 .arg(m_parameters[4])
                 .arg(m_parameters[5])
                 .arg(m_speedFactor);
    lines << QStringLiteral("motion: %1, speed %2, axis %3, absolute %4, relative %5")
                 .arg(QLatin1String(kMotion[int(m_motion)]))
                 .arg(speed())
                 .arg(axisPosition())
                 .arg(absolutePosition())
                 .arg(relativePosition());
    lines << QStringLiteral("switches: left limit %1, origin %2 (%3), right limit %4")
                 .arg(switchText(m_switches.leftLimit, leftLimitActive()))
                 .arg(m_switches.origin)
                 .arg(atOrigin() ? "active" : "off")
                 .arg(switchText(m_switches.rightLimit, rightLimitActive()));
    lines << QStringLiteral("inputs IN5..IN1: %1").arg(patternText(m_inputs));
    lines << QStringLiteral("bindings: %1")
                 .arg(bindings.isEmpty() ? QStringLiteral("none") : bindings.join(u"; "));
    lines << QStringLiteral("CAN: checksum check %1, replies %2, %3 frame, baud code %4, "
                            "last sent: %5")
                 .arg(m_can.checksumOff ? "off" : "on")
                 .arg(m_can.eightByteReplies ? "8 bytes long" : "at protocol length")
                 .arg(m_can.extendedFrame ? "extended" : "standard")
                 .arg(m_can.baudCode)
                 .arg(m_can.lastSent.isEmpty()
                          ? QStringLiteral("nothing")
                          : codec::FormatHexText(m_can.lastSent).trimmed());
    return lines.join(u'\n');
}

} // namespace sim
