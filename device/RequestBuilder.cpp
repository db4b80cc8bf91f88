#include "device/RequestBuilder.h"

#include "codec/HexText.h"
#include "codec/NumericText.h"
#include "device/InputPattern.h"

namespace device {

namespace {

const QString kRefusalTitle = QStringLiteral("系统提示");
constexpr qsizetype kMaxCanBytes = 5;

// Big-endian, as every multi-byte value on the wire.
void appendBigEndian(QByteArray &out, quint32 value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

// The data of one command, or why it cannot be built.
std::variant<QByteArray, Refusal, NoRequest> data(const CommandSpec &command,
                                                  const FieldText &text) {
    QByteArray out;
    switch (command.layout) {
    case Layout::None:
        break;
    case Layout::FixedByte:
        out += static_cast<char>(command.fixedByte);
        break;
    case Layout::HexByte: {
        const auto value = codec::readHexInteger<quint8>(text(command.source));
        if (!value)
            return outOfRange(QString::fromUtf8(command.field), QStringLiteral("0到FF"));
        out += static_cast<char>(*value);
        break;
    }
    case Layout::Int32: {
        const auto value = codec::readInteger<qint32>(text(command.source));
        if (command.maximum && (!value || *value < 0 || *value > *command.maximum))
            return Refusal{kRefusalTitle, QString::fromUtf8(command.refusal)};
        if (!value)
            return outOfRange(QString::fromUtf8(command.field),
                              QStringLiteral("-2147483648到2147483647"));
        appendBigEndian(out, static_cast<quint32>(*value), 4);
        break;
    }
    case Layout::Direction24: {
        const auto direction = codec::readInteger<quint8>(text(command.source));
        if (!direction)
            return outOfRange(QStringLiteral("方向"), QStringLiteral("0到255"));
        const auto value = codec::readInteger<qint32>(text(command.valueSource));
        if (!value)
            return outOfRange(QString::fromUtf8(command.field),
                              QStringLiteral("-2147483648到2147483647"));
        out += static_cast<char>(*direction);
        // Bits above the 24th do not travel.
        appendBigEndian(out, static_cast<quint32>(*value) & 0xFFFFFF, 3);
        break;
    }
    case Layout::BaudCode:
        out += static_cast<char>(baudRateCode(text(command.source)));
        break;
    case Layout::CanBaudCode:
        out += static_cast<char>(canBaudRateCode(text(command.source)));
        break;
    case Layout::Pattern:
        out += static_cast<char>(InputPattern(text(command.source)));
        break;
    case Layout::HexBytes: {
        const QString hex = text(command.source);
        if (hex.isEmpty())
            return NoRequest{};
        out = CommSetting::ParseHexText(hex).left(kMaxCanBytes);
        break;
    }
    }
    return out;
}

} // namespace

Refusal outOfRange(const QString &field, const QString &range) {
    return {kRefusalTitle, QStringLiteral("%1超出范围,请设置%2之间").arg(field, range)};
}

std::variant<quint8, Refusal> readAddress(const QString &text) {
    if (const auto address = codec::readHexInteger<quint8>(text))
        return *address;
    return outOfRange(QStringLiteral("设备操作地址"), QStringLiteral("0到FF"));
}

BuildResult buildRequest(const CommandSpec &command, const FieldText &text,
                         codec::Framing framing) {
    quint8 address = 0;
    if (!command.addressZero) {
        const auto read = readAddress(text("Text23"));
        if (const auto *refusal = std::get_if<Refusal>(&read))
            return *refusal;
        address = std::get<quint8>(read);
    }
    auto payload = data(command, text);
    if (auto *refusal = std::get_if<Refusal>(&payload))
        return *refusal;
    if (std::holds_alternative<NoRequest>(payload))
        return NoRequest{};
    const QByteArray &bytes = std::get<QByteArray>(payload);

    Request request;
    request.body += static_cast<char>(address);
    request.body += static_cast<char>(command.code);
    request.body += static_cast<char>(bytes.size());
    request.body += bytes;
    // The CAN send always goes out in RTU form.
    request.frame = codec::frame(
        request.body, command.layout == Layout::HexBytes ? codec::Framing::Rtu : framing);
    return request;
}

} // namespace device
