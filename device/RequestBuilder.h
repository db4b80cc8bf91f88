#pragma once
// The request builder every device-command button uses: reads the device address and the
// command's fields by the numeric reading rule, lays out the body (address, code, count, data),
// and frames it as RTU or ASCII.
//
// Fields whose value cannot travel in the command are refused, never wrapped: the address and
// the other hex byte fields must lie in 0..FF, a direction in 0..255, a 32-bit value in the signed
// 32-bit range (a 24-bit value too, of which only the low 24 bits travel).

#include <QByteArray>
#include <QString>
#include <functional>
#include <variant>

#include "codec/Framing.h"
#include "device/CommandTable.h"

namespace device {

struct Request {
    QByteArray body;  // address, code, count, data
    QByteArray frame; // as it goes on the wire
};

// The command cannot be built; the message says which field and what range.
struct Refusal {
    QString title;
    QString message;
};

// Nothing to do at all (the CAN send with an empty box).
struct NoRequest {};

using BuildResult = std::variant<Request, Refusal, NoRequest>;

// Gives the text of a control by its name.
using FieldText = std::function<QString(const char *control)>;

BuildResult buildRequest(const CommandSpec &command, const FieldText &text, codec::Framing framing);

// The refusal of a value outside its field: "<field>超出范围,请设置<range>之间" under "系统提示".
Refusal outOfRange(const QString &field, const QString &range);

// The device address from the text of its box (hex digits), or the refusal naming it.
std::variant<quint8, Refusal> readAddress(const QString &text);

} // namespace device
