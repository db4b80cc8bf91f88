#include "automation/IoTable.h"

#include "codec/Framing.h"
#include "codec/HexText.h"
#include "codec/NumericText.h"
#include "device/InputPattern.h"

namespace automation {

namespace {

IoRefusal outOfRange(const QString &field, const QString &range) {
    return {QStringLiteral("系统提示"),
            QStringLiteral("%1超出范围,请设置%2之间").arg(field, range)};
}

// The count byte covers the pattern byte and the command body.
constexpr qsizetype kMaxCommandBytes = 255 - 1;

} // namespace

IoDownload buildIoDownload(const QString &addressText, const QString &patternText,
                           const QString &commandText) {
    if (commandText.isEmpty())
        return NoIoDownload{};
    // Hexadecimal like every other command: an address typed as 10 or 1F must reach that device.
    const auto address = codec::readHexInteger<quint8>(addressText);
    if (!address)
        return outOfRange(QStringLiteral("设备操作地址"), QStringLiteral("0到FF"));
    const QByteArray command = CommSetting::ParseHexText(commandText);
    if (command.size() > kMaxCommandBytes)
        return outOfRange(QStringLiteral("IO取代命令"),
                          QStringLiteral("0到%1个字节").arg(kMaxCommandBytes));

    QByteArray body;
    body += char(*address);
    body += char(kIoDownloadCode);
    body += char(command.size() + 1);
    body += char(device::InputPattern(patternText));
    body += command;
    return codec::rtuFrame(body);
}

} // namespace automation
