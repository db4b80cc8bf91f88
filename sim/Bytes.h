#pragma once

#include <QByteArray>

namespace sim {

// The low byte of each value, in order: bytesOf(address, code, 0) is a three-byte body.
template <class... Values> QByteArray bytesOf(Values... values) {
    QByteArray out;
    out.reserve(sizeof...(values));
    (out.append(char(values & 0xFF)), ...);
    return out;
}

inline QByteArray bigEndian32(quint32 value) {
    return bytesOf(value >> 24, value >> 16, value >> 8, value);
}

} // namespace sim
