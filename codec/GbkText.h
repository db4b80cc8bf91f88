#pragma once
// The tool's code page is GBK, the Chinese double-byte page: a byte of 0x80 or more starts a
// two-byte character. Conversions go through Qt's ICU-backed "GBK" codec.

#include <QByteArray>
#include <QString>
#include <optional>

namespace codec {

// Bytes of one character (a QChar or a surrogate pair) in GBK: one byte, or lead and trail byte.
// A character GBK cannot hold becomes "?" (0x3F), as the system's ANSI conversion does.
QByteArray gbkEncodeChar(QStringView character);

QByteArray gbkEncode(QStringView text);

// The character of a GBK lead/trail pair, or nothing when the pair is no GBK character. Pairs that
// only map to the private-use area (user-defined codes) count as no character: they show nothing.
std::optional<QChar> gbkDecodePair(quint8 lead, quint8 trail);

// One pane line's worth of characters for raw bytes: printable ASCII as itself, a valid GBK pair
// as its character, every other byte (controls, 0, stray high bytes) as the placeholder ".".
// Never stops early, so a 0 byte does not cut what follows.
QString displayChars(const QByteArray &bytes);

} // namespace codec
