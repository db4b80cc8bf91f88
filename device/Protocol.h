#pragma once
// The R7260S protocol in one table: for every function code its English command name, the caption
// the send pane shows, the layout and limits of its request data, the form of the device's reply
// and what the reply carries. The request builder, the reply reader, the panes' captions, the
// command line's names and the translations all read this table.
//
// Every request body is address, function code, data count, data (the count is there also when
// there is no data). Texts are the tool's Chinese source texts, marked for translation in the
// context "device".

#include <QtGlobal>
#include <optional>
#include <span>

class QString;
class QStringView;

namespace device {

enum class FunctionCode : quint8 {
    Handshake = 0x20,
    GetAddress = 0x21,
    SetAddress = 0x22,
    GetBaudRate = 0x23,
    SetBaudRate = 0x24,
    SetStartSpeed = 0x25,
    GetStartSpeed = 0x26,
    SetMaxSpeed = 0x27,
    GetMaxSpeed = 0x28,
    SetEndSpeed = 0x29,
    GetEndSpeed = 0x2A,
    SetAcceleration = 0x2B,
    GetAcceleration = 0x2C,
    SetDeceleration = 0x2D,
    GetDeceleration = 0x2E,
    SetHomingSpeed = 0x2F,
    GetHomingSpeed = 0x30,
    Move = 0x31,         // a signed 32-bit pulse count
    MoveRelative = 0x32, // a direction and a 24-bit pulse count
    Run = 0x33,          // constant speed, signed 32-bit
    RunDirection = 0x34, // constant speed, a direction and a 24-bit speed
    ChangeSpeed = 0x35,
    GetSpeed = 0x36,
    GetAbsolutePosition = 0x37,
    ClearAbsolutePosition = 0x38,
    GetRelativePosition = 0x39,
    ClearRelativePosition = 0x3A,
    GetMotionState = 0x3B,
    Stop = 0x3C,
    StopDecelerating = 0x3D,
    Home = 0x3E,
    SetRegisterBase = 0x3F,
    BindInputs = 0x40,
    GetBinding = 0x41,
    GetInputs = 0x42,
    GetInputState = 0x43,
    SetSpeedFactor = 0x44,
    SpeedStepUp = 0x45,
    SpeedStepDown = 0x46,
    FactorySettings = 0x47,
    CanChecksum = 0x48,
    CanReplyLength = 0x49,
    CanFrame = 0x4A,
    CanBaudRate = 0x4B,
    CanSend = 0x4C,
};

// The standard Modbus functions the register mapping sends, and the bit a failure reply sets in
// the echoed code.
constexpr quint8 kReadHoldingRegisters = 0x03;
constexpr quint8 kWriteMultipleRegisters = 0x10;
constexpr quint8 kFailureBit = 0x80;
// The error codes a failure reply carries (Modbus exception codes).
constexpr quint8 kFirstErrorCode = 0x01;
constexpr quint8 kLastErrorCode = 0x0B;

// Frame sizes in RTU bytes. A long frame is address, code, count, data and CRC; a short reply
// address and code; a failure reply address, code | 0x80, error and CRC; the reply to a register
// write (0x10) address, code, start, quantity and CRC.
constexpr int kLongFrameOverhead = 5;
constexpr int kShortReplyBytes = 2;
constexpr int kFailureReplyBytes = 5;
constexpr int kWriteRegistersReplyBytes = 8;
constexpr int kMaxDataCount = 255;

// How a request's data are read from the texts given for them and laid out.
enum class Layout {
    None,            // no data
    Byte,            // one byte, decimal 0..255
    HexByte,         // one byte, hex digits 0..FF
    BaudRateCode,    // one byte: the baud-rate code of the text, 0 for a text not in the table
    CanBaudRateCode, // one byte: the CAN baud-rate code of the text, 0 for a text not in the table
    InputPattern,    // one byte: five characters for IN5..IN1, "1" = on
    Int32,           // a signed 32-bit value, most significant byte first
    Direction24,     // a direction byte (0..255), then the low 24 bits of a signed 32-bit value
    HexBytes,        // hex text, at most maxBytes bytes (more are dropped); an empty text: nothing
    Binding,         // an input pattern, then a command body as hex text (at most maxBytes bytes)
};

// The two forms of the device's replies.
enum class ReplyForm {
    Long,  // address, code, count, count data bytes, CRC: 5 + count bytes (ASCII likewise)
    Short, // address, code: two bytes and no CRC (in ASCII ":" address code LRC CR LF)
};

// What a reply's data carry. Values are big-endian from the fourth byte on.
enum class Carries {
    Nothing,
    Address,  // the device's address, the reply's first byte
    BaudCode, // the baud-rate code, one data byte
    StartSpeed,
    MaxSpeed,
    EndSpeed,
    Acceleration,
    Deceleration,
    HomingSpeed,
    Speed,            // the current speed
    AbsolutePosition, // signed
    RelativePosition, // signed
    MotionState,      // moving, left limit, origin, right limit: one byte each
    Inputs,           // IN1..IN5: one byte each
};

// Whether a command writes a setting the device keeps, which a parameter set holds.
enum class Setting {
    None,
    Kept, // a parameter, the register base, the speed factor, the IO bindings, the CAN settings
    Line, // the address and the line speed: held only when asked for
};

struct Command {
    FunctionCode code;
    const char *name;              // English command name: "set-start-speed"
    const char *caption = nullptr; // the send pane's caption; none for the IO and CAN settings
    Layout layout = Layout::None;
    const char *arguments = nullptr; // the arguments' names for a usage text: "DIRECTION PULSES"
    const char *field = nullptr;     // how a refusal names the value: "初速度"
    qsizetype maxBytes = 0;          // HexBytes and Binding: the most bytes that travel
    std::optional<qint64> maximum = std::nullopt; // a tighter upper limit than the layout's own
    const char *refusal = nullptr;                // the message for a value outside [0, maximum]
    bool toAddressZero = false;                   // sent to address 0 whatever the address given
    bool alwaysRtu = false;                       // framed as RTU whatever the framing chosen
    ReplyForm reply = ReplyForm::Long;
    bool replyNamed = false;            // the receive pane names the reply by a message line
    const char *replyMessage = nullptr; // that message where it differs from the caption
    Carries carries = Carries::Nothing; // what the reply's data carry
    std::optional<int> replyCount = 0;  // the reply's data count; nothing: it varies
    Setting setting = Setting::None;
    std::optional<FunctionCode> readBy = std::nullopt; // the query the device answers it with
    const char *unit = nullptr;                        // the setting's unit: "pulse/s"
};

std::span<const Command> commands();
const Command *findCommand(quint8 code);
const Command *findCommand(QStringView name);
const Command &command(FunctionCode code);

// The message the receive pane shows for a named reply (source text).
const char *replyMessage(const Command &command);

// The longest reply the device may send to a request with this function code, in RTU bytes.
int longestReply(quint8 code);

// How many argument texts a layout reads.
int argumentCount(Layout layout);

// The line speeds the device can be switched to, with their codes (2400 is 4 ... 38400 is 9).
// 57600 is offered but has no code of its own: it is sent as 0, like any text not in the list.
struct BaudRate {
    const char *text;
    quint8 code;
};
std::span<const BaudRate> baudRates();
// The line speeds the tool offers for its port, slowest first; the device's own are among them.
std::span<const char *const> lineRates();
quint8 baudRateCode(QStringView text);
// The CAN side's baud rates "1M" ... "5K"; the code is the position counted from 1, 0 otherwise.
std::span<const char *const> canBaudRates();
quint8 canBaudRateCode(QStringView text);

// The input pattern of five characters standing for IN5 IN4 IN3 IN2 IN1 from left to right: a
// character that is exactly "1" adds its input's weight (IN1 1 ... IN5 16); any other character,
// a missing one and characters after the fifth add nothing.
quint8 inputPattern(QStringView text);

// A source text of the table in the reader's language.
QString translated(const char *source);

} // namespace device
