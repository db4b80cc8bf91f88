#include "device/RequestBuilder.h"

#include <limits>

#include "codec/Bytes.h"
#include "codec/HexText.h"
#include "codec/NumericText.h"

namespace device {

namespace {

using Range = Refusal::Range;
constexpr qint64 kInt32Min = std::numeric_limits<qint32>::min();
constexpr qint64 kInt32Max = std::numeric_limits<qint32>::max();

using Data = std::variant<QByteArray, Refusal, NoRequest>;

QString argument(const QStringList &arguments, int index) {
    return index < arguments.size() ? arguments[index] : QString();
}

// The data of one command, or why it cannot be built.
Data data(const Command &command, const QStringList &arguments) {
    const QString first = argument(arguments, 0);
    QByteArray out;
    switch (command.layout) {
    case Layout::None:
        break;
    case Layout::Byte:
        if (const auto value = codec::readInteger<quint8>(first))
            out += char(*value);
        else
            return Refusal{command.field, 0, 255, Range::Decimal, nullptr, 0};
        break;
    case Layout::HexByte:
        if (const auto value = codec::readHexInteger<quint8>(first))
            out += char(*value);
        else
            return Refusal{command.field, 0, 0xFF, Range::Hex, nullptr, 0};
        break;
    case Layout::BaudRateCode:
        out += char(baudRateCode(first));
        break;
    case Layout::CanBaudRateCode:
        out += char(canBaudRateCode(first));
        break;
    case Layout::InputPattern:
        out += char(inputPattern(first));
        break;
    case Layout::Int32: {
        const auto value = codec::readInteger<qint32>(first);
        if (command.maximum && (!value || *value < 0 || *value > *command.maximum))
            return Refusal{command.field, 0, *command.maximum, Range::Decimal, command.refusal, 0};
        if (!value)
            return Refusal{command.field, kInt32Min, kInt32Max, Range::Decimal, nullptr, 0};
        codec::appendBigEndian(out, quint32(*value), 4);
        break;
    }
    case Layout::Direction24: {
        const auto direction = codec::readInteger<quint8>(first);
        if (!direction)
            return Refusal{QT_TRANSLATE_NOOP("device", "方向"), 0, 255, Range::Decimal, nullptr, 0};
        const auto value = codec::readInteger<qint32>(argument(arguments, 1));
        if (!value)
            return Refusal{command.field, kInt32Min, kInt32Max, Range::Decimal, nullptr, 1};
        out += char(*direction);
        // Bits above the 24th do not travel.
        codec::appendBigEndian(out, quint32(*value) & 0xFFFFFF, 3);
        break;
    }
    case Layout::HexBytes:
        if (first.isEmpty())
            return NoRequest{};
        out = codec::ParseHexText(first).left(command.maxBytes);
        break;
    case Layout::Binding: {
        const QString body = argument(arguments, 1);
        if (body.isEmpty())
            return NoRequest{};
        const QByteArray bytes = codec::ParseHexText(body);
        if (bytes.size() > command.maxBytes)
            return Refusal{command.field, 0, command.maxBytes, Range::Bytes, nullptr, 1};
        out += char(inputPattern(first));
        out += bytes;
        break;
    }
    }
    return out;
}

QString rangeText(const Refusal &refusal) {
    const QString fromTo = translated(QT_TRANSLATE_NOOP("device", "%1到%2"));
    switch (refusal.range) {
    case Range::Hex:
        return fromTo.arg(QString::number(refusal.minimum, 16).toUpper(),
                          QString::number(refusal.maximum, 16).toUpper());
    case Range::Bytes:
        return translated(QT_TRANSLATE_NOOP("device", "%1到%2个字节"))
            .arg(refusal.minimum)
            .arg(refusal.maximum);
    case Range::Decimal:
        break;
    }
    return fromTo.arg(refusal.minimum).arg(refusal.maximum);
}

} // namespace

BuildResult buildRequest(const Command &command, QStringView address, const QStringList &arguments,
                         codec::Framing framing) {
    // A command whose data text is empty does nothing at all, whatever the address says.
    const Data payload = data(command, arguments);
    if (std::holds_alternative<NoRequest>(payload))
        return NoRequest{};
    quint8 station = 0;
    if (!command.toAddressZero) {
        const auto read = codec::readHexInteger<quint8>(address);
        if (!read)
            return Refusal{QT_TRANSLATE_NOOP("device", "设备操作地址"), 0, 0xFF, Range::Hex};
        station = *read;
    }
    if (const auto *refusal = std::get_if<Refusal>(&payload))
        return *refusal;
    const QByteArray &bytes = std::get<QByteArray>(payload);

    Request request;
    request.body += char(station);
    request.body += char(command.code);
    request.body += char(bytes.size());
    request.body += bytes;
    request.frame = codec::frame(request.body, command.alwaysRtu ? codec::Framing::Rtu : framing);
    return request;
}

QString refusalMessage(const Refusal &refusal) {
    if (refusal.message)
        return translated(refusal.message);
    return translated(QT_TRANSLATE_NOOP("device", "%1超出范围,请设置%2之间"))
        .arg(translated(refusal.field), rangeText(refusal));
}

} // namespace device
