#include "codec/Checksums.h"

#include <array>

namespace codec {

namespace {

// The register's change for each value of its low byte, shifted out bit by bit.
constexpr std::array<quint16, 256> kCrcTable = [] {
    std::array<quint16, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        quint16 reg = static_cast<quint16>(byte);
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 1) ? static_cast<quint16>((reg >> 1) ^ 0xA001) : quint16(reg >> 1);
        table[byte] = reg;
    }
    return table;
}();

} // namespace

quint16 crc16(QByteArrayView bytes) {
    quint16 reg = 0xFFFF;
    for (const char c : bytes)
        reg = static_cast<quint16>((reg >> 8) ^ kCrcTable[(reg ^ static_cast<quint8>(c)) & 0xFF]);
    return reg;
}

quint8 lrc(QByteArrayView bytes) {
    quint8 sum = 0;
    for (const char c : bytes)
        sum = static_cast<quint8>(sum + static_cast<quint8>(c));
    return static_cast<quint8>(-sum);
}

quint8 CrcLow = 0;
quint8 CrcHigh = 0;

QString CalcCrc16(const QByteArray &bytes) {
    const quint16 crc = crc16(bytes);
    CrcLow = static_cast<quint8>(crc & 0xFF);
    CrcHigh = static_cast<quint8>(crc >> 8);
    return QStringLiteral("%1%2")
        .arg(CrcLow, 2, 16, QLatin1Char('0'))
        .arg(CrcHigh, 2, 16, QLatin1Char('0'))
        .toUpper();
}

quint8 CalcLrc(const QByteArray &bytes) {
    return lrc(bytes);
}

} // namespace codec
