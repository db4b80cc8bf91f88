#pragma once
// Frame checksums of the device protocol.
//
// CRC-16: the Modbus serial-line CRC (Modbus over Serial Line V1.02, 6.2.2): reflected polynomial
// 0xA001 (0x8005 bit-reversed), initial value 0xFFFF, no final XOR; on the wire low byte first.
// LRC: the Modbus ASCII LRC (same document, 6.2.1): two's complement of the 8-bit byte sum, taken
// over the raw frame bytes, never over the ":" or CR LF or the hex characters.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace codec {

quint16 crc16(QByteArrayView bytes);
quint8 lrc(QByteArrayView bytes);

// The window's form of the CRC: returns four uppercase hex digits, low byte first ("840A"), and
// leaves the two bytes in CrcLow and CrcHigh (0 until the first call) for the frame builders.
extern quint8 CrcLow;
extern quint8 CrcHigh;
QString CalcCrc16(const QByteArray &bytes);

quint8 CalcLrc(const QByteArray &bytes);

} // namespace codec
