#pragma once
// The IO replacement download: binds an input pattern of IN1..IN5 to a command body in the
// device. Request body: address, 0x40, count, pattern, command body bytes; always an RTU frame.

#include <QByteArray>
#include <QString>
#include <variant>

namespace automation {

constexpr quint8 kIoDownloadCode = 0x40;

// The request cannot be built; the message names the field and its range.
struct IoRefusal {
    QString title;
    QString message;
};

// The command box is empty: nothing is built and nothing said.
struct NoIoDownload {};

using IoDownload = std::variant<QByteArray, IoRefusal, NoIoDownload>;

// addressText: the device address as hex digits; patternText: the five-character input pattern;
// commandText: the command body as hex text. The frame comes with its CRC.
IoDownload buildIoDownload(const QString &addressText, const QString &patternText,
                           const QString &commandText);

} // namespace automation
