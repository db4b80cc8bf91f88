#pragma once
// The simulated R7260S: its communication settings, the six motion parameters, one axis with a
// left limit, a right limit and an origin switch, five digital inputs with their IO bindings, and
// the settings of its CAN side. Time only moves when the caller says so (advanceTo), in whole
// milliseconds, so the same calls always give the same positions.
//
// Coordinates: the axis position is counted in pulses from where the device was at power-up; the
// switch positions are given in that coordinate. The absolute position is the axis position minus
// the point where it was last cleared (0x38) or homed (0x3E); the relative position is the axis
// position minus the point where the latest move started or the relative position was cleared
// (0x3A), whichever came later.

#include <QByteArray>
#include <QString>
#include <array>
#include <map>
#include <optional>

namespace sim {

// The error byte of the device's failure reply (address, code | 0x80, error).
enum class Error : quint8 {
    None = 0x00,
    UnknownFunction = 0x01,
    InvalidAddress = 0x02, // a register outside the mapping; a pattern without a binding
    InvalidValue = 0x03,   // a wrong data count, or a value the device cannot use
    NotPossible = 0x04,    // e.g. a move into an active limit
    Busy = 0x05,           // refused while the axis moves
};

// "invalid value" and the like, for logs.
const char *errorName(Error error);

enum class Parameter { StartSpeed, MaxSpeed, EndSpeed, Acceleration, Deceleration, HomingSpeed };
inline constexpr int kParameterCount = 6;

// The largest speed a 24-bit command can carry; every speed and parameter lies in 1 to this.
inline constexpr qint64 kMaxSpeed = 0xFFFFFF;
// The largest register base: base + 0x20 still addresses a 16-bit register.
inline constexpr qint64 kMaxRegisterBase = 65503;
inline constexpr quint8 kDefaultBaudCode = 6; // 9600
inline constexpr qint64 kDefaultSpeedFactor = 500;

// The line speed of a baud-rate code (4 = 2400 ... 9 = 38400); nothing for other codes.
std::optional<int> baudRateOf(qint64 code);
// Five characters for IN5..IN1, "1" for an input that is on, as the tool's pattern texts read.
QString patternText(quint8 pattern);

// Switch positions on the axis; a limit that is not given never triggers.
struct Switches {
    std::optional<qint64> leftLimit;  // active at and below this position
    std::optional<qint64> rightLimit; // active at and above this position
    qint64 origin = 0;                // active exactly here
};

struct CanSettings {
    quint8 checksumOff = 0;      // 0x48: 0 checks the checksum, 1 does not
    quint8 eightByteReplies = 0; // 0x49: 0 replies at protocol length, 1 always eight bytes
    quint8 extendedFrame = 0;    // 0x4A: 0 standard frame, 1 extended frame
    quint8 baudCode = 12;        // 0x4B: 1 (1M) to 18 (5K); 12 is 100K
    QByteArray lastSent;         // the bytes of the latest 0x4C
};

class DeviceModel {
public:
    explicit DeviceModel(quint8 address = 1, Switches switches = {});

    // Runs the axis up to `ms` (milliseconds on the caller's clock); earlier times do nothing.
    void advanceTo(qint64 ms);
    qint64 now() const { return m_now; }

    // Communication.
    quint8 address() const { return m_address; }
    Error setAddress(qint64 address);
    quint8 baudCode() const { return m_baudCode; }
    Error setBaudCode(qint64 code);
    quint16 registerBase() const { return m_registerBase; }
    Error setRegisterBase(qint64 base);

    // Motion parameters.
    qint64 parameter(Parameter which) const { return m_parameters[int(which)]; }
    Error setParameter(Parameter which, qint64 value);
    qint64 speedFactor() const { return m_speedFactor; }
    Error setSpeedFactor(qint64 factor);

    // Motion. A new move is refused while the axis moves (Busy) and towards an active limit.
    Error moveBy(qint64 pulses);        // position move, the sign gives the direction
    Error runAt(qint64 speed);          // constant-speed run, the sign gives the direction
    Error changeRunSpeed(qint64 speed); // only during a constant-speed run
    Error stepRunSpeed(int sign);       // adds (+1) or subtracts (-1) the speed factor
    Error home(qint64 direction);       // 0 positive, 1 negative
    void stopNow();
    void stopDecelerated(); // down to the end speed, then stop
    void clearAbsolute();
    void clearRelative();

    bool moving() const { return m_motion != Motion::Stopped; }
    quint32 speed() const;           // pulses per second, rounded
    qint32 absolutePosition() const; // 32-bit counters wrap as the device's do
    qint32 relativePosition() const;
    qint64 axisPosition() const;
    bool leftLimitActive() const;
    bool rightLimitActive() const;
    bool atOrigin() const;

    // Inputs IN1..IN5 as a pattern: bit 0 is IN1, 1 means on. Returns whether they changed.
    quint8 inputs() const { return m_inputs; }
    bool setInputs(quint8 pattern);
    // IO bindings: pattern (1 to 31) to a command body (function code, count, data).
    void bind(quint8 pattern, const QByteArray &body) { m_bindings[pattern] = body; }
    std::optional<QByteArray> binding(quint8 pattern) const;
    const std::map<quint8, QByteArray> &bindings() const { return m_bindings; }

    const CanSettings &can() const { return m_can; }
    Error setCanChecksumOff(qint64 value);
    Error setCanEightByteReplies(qint64 value);
    Error setCanExtendedFrame(qint64 value);
    Error setCanBaudCode(qint64 code);
    void recordCanSend(const QByteArray &bytes) { m_can.lastSent = bytes; }

    // Parameters, address 1, baud code 6, register base 0, speed factor 500, CAN defaults, no
    // bindings. Positions and inputs are the machine's and stay. Refused while moving.
    Error restoreFactorySettings();

    // One line per topic, for the console's "status".
    QString statusText() const;

private:
    enum class Motion { Stopped, PositionMove, ConstantRun, Homing, Stopping };

    void step(double seconds);
    void start(Motion motion, int direction, double cruiseSpeed);
    void stopAt(double position);
    double param(Parameter which) const { return double(m_parameters[int(which)]); }
    bool limitActiveTowards(int direction) const;

    quint8 m_address;
    quint8 m_baudCode = kDefaultBaudCode;
    quint16 m_registerBase = 0;
    std::array<qint64, kParameterCount> m_parameters;
    qint64 m_speedFactor = kDefaultSpeedFactor;
    Switches m_switches;
    quint8 m_inputs = 0;
    std::map<quint8, QByteArray> m_bindings;
    CanSettings m_can;

    qint64 m_now = 0;
    Motion m_motion = Motion::Stopped;
    int m_direction = 1;
    double m_axis = 0;              // pulses
    double m_speed = 0;             // pulses per second, never negative
    std::optional<double> m_target; // where a position move ends
    double m_runSpeed = 0;          // what a constant-speed run or homing heads for
    double m_absoluteZero = 0;
    double m_relativeZero = 0;
};

} // namespace sim
