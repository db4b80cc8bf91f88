#pragma once
// The one table behind every device-command button: its function code, the layout of its data,
// the controls the data come from, and which captures it honours. One builder
// (RequestBuilder.h) serves every row.

#include <QtGlobal>
#include <optional>
#include <span>

namespace device {

enum class Layout {
    None,        // no data (count 0)
    FixedByte,   // one constant byte
    HexByte,     // one byte from a field of hex digits
    Int32,       // a signed 32-bit value, most significant byte first
    Direction24, // a direction byte, then the low 24 bits of a value
    BaudCode,    // one byte: the baud-rate code of the text
    CanBaudCode, // one byte: the CAN baud-rate code of the text
    Pattern,     // one byte: the IO input pattern of the text
    HexBytes,    // up to five bytes of hex text, always RTU; an empty text sends nothing
};

enum Capture : unsigned { NoCapture = 0, ListCapture = 1, IoCapture = 2 };

struct CommandSpec {
    const char *button;
    quint8 code;
    Layout layout = Layout::None;
    const char *source = nullptr;      // the control the data come from
    const char *valueSource = nullptr; // Direction24: the value; source is the direction
    const char *field = nullptr;       // how refusals name the value
    unsigned captures = NoCapture;
    quint8 fixedByte = 0;
    bool addressZero = false; // the address query goes to address 0 whatever the box says
    std::optional<qint64> maximum = std::nullopt; // a tighter upper limit than the layout's own
    const char *refusal = nullptr;                // the message for a value outside [0, maximum]
};

// Every device-command button: base commands, parameters, motion, register mapping, others.
std::span<const CommandSpec> commandTable();
const CommandSpec *findCommand(const char *button);

// A ">" button adds the next frame of its target to the command list; a "↓" button puts the
// target's command body into the IO replacement box. Both then run the target's handler.
struct CaptureButton {
    const char *button;
    const char *target;
    Capture kind;
};
std::span<const CaptureButton> captureButtons();

// The baud-rate code of the text (exact comparison), 0 for any other text.
quint8 baudRateCode(const QString &text);
// The CAN baud-rate code: the text's position in "1M" ... "5K", counted from 1; 0 otherwise.
quint8 canBaudRateCode(const QString &text);

} // namespace device
