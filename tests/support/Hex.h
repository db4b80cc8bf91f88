#pragma once
// Bytes written as hex text in test tables; spaces between the digits are skipped.
#include <QByteArray>

inline QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}
