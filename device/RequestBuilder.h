#pragma once
// The one request builder: reads the device address and a command's argument texts by the numeric
// reading rule, lays out the body (address, code, count, data) as the protocol table says, and
// frames it as RTU or ASCII.
//
// Values that cannot travel in their field are refused, never wrapped: the address and the other
// hex byte fields must lie in 0..FF, a byte or a direction in 0..255, a 32-bit value (a 24-bit one
// too, of which only the low 24 bits travel) in the signed 32-bit range.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <variant>

#include "codec/Framing.h"
#include "device/Protocol.h"

namespace device {

struct Request {
    QByteArray body;  // address, code, count, data
    QByteArray frame; // as it goes on the wire
};

// A value that cannot travel, and the range it must lie in.
struct Refusal {
    enum class Range { Decimal, Hex, Bytes };
    const char *field = nullptr; // the value's name, a source text ("初速度")
    qint64 minimum = 0;
    qint64 maximum = 0;
    Range range = Range::Decimal;
    const char *message = nullptr; // the command's own wording, used instead when set
    int argument = -1;             // the refused argument; -1 is the address
};

// Nothing to send at all: the text the data come from is empty.
struct NoRequest {};

using BuildResult = std::variant<Request, Refusal, NoRequest>;

// address: hex digits; arguments: one text per argument of the command's layout (a missing one
// reads as empty).
BuildResult buildRequest(const Command &command, QStringView address, const QStringList &arguments,
                         codec::Framing framing);

// "<field>超出范围,请设置<range>之间" (or the command's own message), in the reader's language.
QString refusalMessage(const Refusal &refusal);

} // namespace device
