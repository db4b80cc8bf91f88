#include "codec/Checksums.h"

namespace CommSetting {

quint8 CrcLow = 0;
quint8 CrcHigh = 0;

QString CalcCrc16(const QByteArray &bytes) {
    quint16 reg = 0xFFFF;
    for (const char c : bytes) {
        reg ^= static_cast<quint8>(c);
        for (int bit = 0; bit < 8; ++bit) {
            const bool carry = reg & 1;
            reg >>= 1;
            if (carry)
                reg ^= 0xA001;
        }
    }
    CrcLow = static_cast<quint8>(reg & 0xFF);
    CrcHigh = static_cast<quint8>(reg >> 8);
    return QStringLiteral("%1%2")
        .arg(CrcLow, 2, 16, QLatin1Char('0'))
        .arg(CrcHigh, 2, 16, QLatin1Char('0'))
        .toUpper();
}

quint8 CalcLrc(const QByteArray &bytes) {
    quint8 sum = 0;
    for (const char c : bytes)
        sum = static_cast<quint8>(sum + static_cast<quint8>(c));
    return static_cast<quint8>(-sum);
}

} // namespace CommSetting
