#include "transmission/Reply.h"

#include "codec/Framing.h"
#include "transmission/Outgoing.h"

#include <QHash>

namespace transmission {

namespace {

// A reply names its command as the send pane does, with these exceptions.
QString replyMessage(quint8 code) {
    switch (code) {
    case 0x21:
        return QStringLiteral("查询设备地址:当前地址为");
    case 0x23:
        return QStringLiteral("查询当前波特率:当前波特率设置为");
    case 0x42:
        return QStringLiteral("查询 IN 1-5 状态:");
    case 0x44:
        return QStringLiteral("设置变速因子命令:");
    default:
        return sendCaption(code).value_or(QString());
    }
}

// Codes recognised in batches of more than two bytes, and in batches of one or two.
bool isLongReply(quint8 code) {
    return (code >= 0x20 && code <= 0x3B) || code == 0x42;
}
bool isShortReply(quint8 code) {
    return (code >= 0x3C && code <= 0x3E) || (code >= 0x44 && code <= 0x47);
}

struct ValueBox {
    QString box;
    bool isSigned;
};

// The query replies whose 32-bit value goes into a box; positions are two's complement.
const QHash<quint8, ValueBox> &valueBoxes() {
    static const QHash<quint8, ValueBox> boxes{
        {0x26, {QStringLiteral("Text27"), false}}, {0x28, {QStringLiteral("Text26"), false}},
        {0x2A, {QStringLiteral("Text25"), false}}, {0x2C, {QStringLiteral("Text24"), false}},
        {0x2E, {QStringLiteral("Text6"), false}},  {0x30, {QStringLiteral("Text28"), false}},
        {0x36, {QStringLiteral("Text17"), false}}, {0x37, {QStringLiteral("Text18"), true}},
        {0x39, {QStringLiteral("Text19"), true}},
    };
    return boxes;
}

quint8 at(const QByteArray &bytes, int index) {
    return static_cast<quint8>(bytes[index]);
}

void decodeLong(quint8 code, const QByteArray &bytes, ReplyEffects &effects) {
    QString message = replyMessage(code);
    if (code == 0x21)
        message += QString::number(at(bytes, 0), 16).toUpper();
    else if (code == 0x23 && bytes.size() > 3)
        message += QString::number(at(bytes, 3), 16).toUpper();
    effects.message = message;
    if (bytes.size() < 8)
        return;

    if (const auto it = valueBoxes().constFind(code); it != valueBoxes().cend()) {
        const quint32 value = quint32(at(bytes, 3)) << 24 | quint32(at(bytes, 4)) << 16 |
                              quint32(at(bytes, 5)) << 8 | quint32(at(bytes, 6));
        effects.value =
            ReplyEffects::Value{it->box, it->isSigned ? QString::number(static_cast<qint32>(value))
                                                      : QString::number(value)};
    } else if (code == 0x3B) {
        // The motion lamp is red for any non-zero state; limit and origin lamps are red for
        // anything but 1.
        const bool moving = at(bytes, 3) != 0;
        effects.motionText = moving ? QStringLiteral("运动中") : QStringLiteral("停止");
        effects.lamps = {{QStringLiteral("Shape1"), moving},
                         {QStringLiteral("Shape2"), at(bytes, 4) != 1},
                         {QStringLiteral("Shape3"), at(bytes, 5) != 1},
                         {QStringLiteral("Shape4"), at(bytes, 6) != 1}};
    } else if (code == 0x42) {
        // IN1 to IN5: a byte of 1 is the inactive look, anything else red.
        for (int i = 0; i < 5; ++i)
            effects.lamps.push_back({QStringLiteral("Shape%1").arg(5 + i), at(bytes, 3 + i) != 1});
    }
}

} // namespace

ReplyEffects interpretReply(const QByteArray &data, int count) {
    QByteArray bytes = data;
    if (const auto body = codec::decodeAsciiFrame(data.first(qBound(0, count, int(data.size()))))) {
        bytes = body->size() > 2 ? codec::rtuFrame(*body) : *body;
        count = static_cast<int>(bytes.size());
    }

    ReplyEffects effects;
    if (bytes.size() < 2)
        return effects;
    const quint8 code = at(bytes, 1);
    if (count > 2 && isLongReply(code))
        decodeLong(code, bytes, effects);
    else if (count >= 1 && count <= 2 && isShortReply(code))
        effects.message = replyMessage(code);
    return effects;
}

} // namespace transmission
