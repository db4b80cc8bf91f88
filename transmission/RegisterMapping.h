#pragma once
// The register mapping ("按西门子标准"): a device request rewritten as a standard Modbus request
// addressed at a base register plus the command code.
//
//   read:  address, 0x03, register high, register low, 0x00, 0x02   (one 32-bit parameter)
//   write: address, 0x10, register high, register low, R high, R low, 2R, data...
// where the register is base + code (rounded, halves to even; its low 16 bits), L is the number
// of data bytes and R = 2 * ((L + 3) / 4) registers, the data rounded up to whole 32-bit values.
// The byte count states 2R even when fewer data bytes follow; the device relies on it. R's high
// byte is R / 256 rounded halves-to-even, as the device's tool always sent it.

#include <QByteArray>

namespace transmission {

enum class MappingMode { Read, Write };

// body: address, code, count, data (no checksum), at least three bytes. Returns the mapped
// request without its checksum.
QByteArray mapRequest(const QByteArray &body, double base, MappingMode mode);

// The register a code is mapped to for a base.
quint16 mappedRegister(double base, quint8 code);

} // namespace transmission
