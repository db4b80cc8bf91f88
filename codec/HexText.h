#pragma once
// Hex text: the one way bytes are written for the panes, list lines and hex boxes, and the one way
// typed hex is read back.

#include <QByteArray>
#include <QString>

namespace codec {

// "01 AB 10 ": two uppercase digits per byte, each followed by one blank, the last included.
QString FormatHexText(const QByteArray &bytes);

// Blanks removed wherever they stand (only blanks: other characters take part in the pairing);
// an odd digit count gets "0" inserted before the last digit; each pair is read as hex as far as
// its characters are hex digits ("1G" is 0x01, "G1" is 0x00). Never rejects anything.
QByteArray ParseHexText(const QString &text);

// Each character's GBK code in hex and one blank: "41 " for A, "D6D0 " for a two-byte character.
QString StrToHex(const QString &text);

// Inverse of StrToHex for digits whose blanks were already removed. Pairs up to 7F are single-byte
// characters; a pair of 80 or more is a lead byte read together with the next pair. Open cases:
// a lead byte without a valid trail byte (missing, or the pair is no GBK character) and the code
// 00 each give U+FFFD for that one byte, and reading goes on with the next pair, so no following
// character is lost.
QString HexToStr(const QString &digits);

// Value of a two-character pair as ParseHexText reads it.
quint8 readHexPair(QChar high, QChar low);

// Digits with an odd count padded by "0" before the last digit: "ABC" becomes "AB0C".
QString padOddDigits(QString digits);

} // namespace codec
