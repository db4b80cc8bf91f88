#pragma once
// Test vectors are written as hex digits: "01 20 00 39 C0" or "01200039C0".

#include <QByteArray>

inline QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}
