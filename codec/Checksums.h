#pragma once
// Frame checksums of the device protocol.
//
// CRC-16: the Modbus serial-line CRC (Modbus over Serial Line V1.02, 6.2.2): reflected polynomial
// 0xA001 (0x8005 bit-reversed), initial value 0xFFFF, no final XOR, sent low byte first.
// LRC: the Modbus ASCII LRC (same document, 6.2.1): two's complement of the 8-bit byte sum, taken
// over the raw frame bytes, never over the ":" or CR LF or the hex characters.

#include <QByteArray>
#include <QString>

namespace CommSetting {

// Bytes of the CRC most recently computed by CalcCrc16; 0 until the first call. Frame builders
// read them right after the call and append CrcLow first.
extern quint8 CrcLow;
extern quint8 CrcHigh;

// Returns the CRC as four uppercase hex digits, low byte first ("840A"), and sets CrcLow/CrcHigh.
QString CalcCrc16(const QByteArray &bytes);

quint8 CalcLrc(const QByteArray &bytes);

} // namespace CommSetting
