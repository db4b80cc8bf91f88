#pragma once
// Byte-level helpers every frame reader and writer shares: hex digits and big-endian values.

#include <QByteArray>
#include <QByteArrayView>

namespace codec {

// The value of a hexadecimal digit of either case; -1 for any other character.
constexpr int hexDigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

// The two uppercase hex digits of a byte, most significant first.
inline void appendHexDigits(QByteArray &out, quint8 byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
}

// Multi-byte values travel big-endian: most significant byte first.
inline void appendBigEndian(QByteArray &out, quint32 value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

// The big-endian value of `bytes` bytes from `from`; the caller makes sure they are there.
inline quint32 readBigEndian(QByteArrayView data, qsizetype from, int bytes) {
    quint32 value = 0;
    for (int i = 0; i < bytes; ++i)
        value = value << 8 | static_cast<quint8>(data[from + i]);
    return value;
}

} // namespace codec
