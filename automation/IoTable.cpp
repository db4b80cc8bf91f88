#include "automation/IoTable.h"

#include "codec/Framing.h"
#include "codec/HexText.h"
#include "device/InputPattern.h"

namespace automation {

namespace {

// The count byte covers the pattern byte and the command body.
constexpr qsizetype kMaxCommandBytes = 255 - 1;

} // namespace

IoDownload buildIoDownload(const QString &addressText, const QString &patternText,
                           const QString &commandText) {
    if (commandText.isEmpty())
        return device::NoRequest{};
    // Hexadecimal like every other command: an address typed as 10 or 1F must reach that device.
    const auto address = device::readAddress(addressText);
    if (const auto *refusal = std::get_if<device::Refusal>(&address))
        return *refusal;
    const QByteArray command = CommSetting::ParseHexText(commandText);
    if (command.size() > kMaxCommandBytes)
        return device::outOfRange(QStringLiteral("IO取代命令"),
                                  QStringLiteral("0到%1个字节").arg(kMaxCommandBytes));

    QByteArray body;
    body += char(std::get<quint8>(address));
    body += char(kIoDownloadCode);
    body += char(command.size() + 1);
    body += char(device::InputPattern(patternText));
    body += command;
    return codec::rtuFrame(body);
}

} // namespace automation
