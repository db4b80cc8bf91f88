#pragma once
// The IO replacement download: binds an input pattern of IN1..IN5 to a command body in the
// device. Request body: address, 0x40, count, pattern, command body bytes; always an RTU frame.

#include <QByteArray>
#include <QString>
#include <variant>

#include "device/RequestBuilder.h"

namespace automation {

constexpr quint8 kIoDownloadCode = 0x40;

// The frame; or why it cannot be built (a value outside its field, named with its range, as every
// command refuses one); or nothing at all for an empty command box.
using IoDownload = std::variant<QByteArray, device::Refusal, device::NoRequest>;

// addressText: the device address as hex digits; patternText: the five-character input pattern;
// commandText: the command body as hex text. The frame comes with its CRC.
IoDownload buildIoDownload(const QString &addressText, const QString &patternText,
                           const QString &commandText);

} // namespace automation
