#pragma once
// Bytes written as hex text in test tables; spaces between the digits are skipped.
#include <QByteArray>
#include <QString>

inline QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

// Bytes as the panes, list lines and hex boxes write them: "01 20 00 " (Qt's digits, not ours).
inline QString hexLine(const QByteArray &bytes) {
    return bytes.isEmpty() ? QString() : QString::fromLatin1(bytes.toHex(' ').toUpper()) + u' ';
}
