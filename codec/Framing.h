#pragma once
// The two frame forms of the device protocol, for a request or reply body
// (address, function code, data count, data):
//   RTU:   the body, then the CRC-16 low byte, then its high byte            (k + 2 bytes)
//   ASCII: ":", two uppercase hex digits per body byte, two for the LRC, CR, LF (2k + 5 bytes)

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace codec {

enum class Framing { Rtu, Ascii };

QByteArray rtuFrame(const QByteArray &body);
QByteArray asciiFrame(const QByteArray &body);
QByteArray frame(const QByteArray &body, Framing framing);

// The body of a complete ASCII frame (":", pairs of hex digits of either case, a matching LRC,
// CR LF); nothing for anything else.
std::optional<QByteArray> decodeAsciiFrame(QByteArrayView bytes);

// True when the last two bytes are the CRC of the bytes before them.
bool hasValidCrc(QByteArrayView frame);

} // namespace codec
