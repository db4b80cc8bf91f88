#include "transmission/Reply.h"

#include "codec/Bytes.h"

namespace transmission {

namespace {

using device::Carries;

quint8 at(QByteArrayView bytes, qsizetype index) {
    return static_cast<quint8>(bytes[index]);
}

// Reads what a checked reply's data carry into it.
void readCarried(QByteArrayView bytes, Reply &reply) {
    const Carries carries = reply.command->carries;
    if (carries == Carries::Address) {
        reply.value = at(bytes, 0);
        return;
    }
    if (carries == Carries::BaudCode) {
        // The baud code shows whenever the byte is there.
        if (bytes.size() > 3)
            reply.value = at(bytes, 3);
        return;
    }
    if (bytes.size() < 3 + reply.command->replyCount.value_or(0))
        return;
    switch (carries) {
    case Carries::MotionState:
        reply.motion =
            MotionState{at(bytes, 3) != 0, at(bytes, 4) != 1, at(bytes, 5) != 1, at(bytes, 6) != 1};
        break;
    case Carries::Inputs:
        reply.inputs.emplace();
        for (int i = 0; i < 5; ++i)
            (*reply.inputs)[i] = at(bytes, 3 + i) != 1;
        break;
    case Carries::AbsolutePosition:
    case Carries::RelativePosition:
        reply.value = static_cast<qint32>(codec::readBigEndian(bytes, 3, 4));
        break;
    case Carries::Nothing:
        break;
    default:
        reply.value = codec::readBigEndian(bytes, 3, 4);
        break;
    }
}

} // namespace

QString messageOf(const Reply &reply) {
    // A command without a caption is named by its code.
    const QString caption =
        reply.command && reply.command->caption
            ? device::translated(reply.command->caption)
            : QStringLiteral("%1:").arg(reply.code, 2, 16, QLatin1Char('0')).toUpper();
    switch (reply.status) {
    case Reply::Status::Good:
        break;
    case Reply::Status::Failure: {
        QString text =
            device::translated(QT_TRANSLATE_NOOP("device", "%1设备拒绝执行，错误码 %2"))
                .arg(caption,
                     QStringLiteral("%1").arg(*reply.error, 2, 16, QLatin1Char('0')).toUpper());
        if (const char *meaning = errorMeaning(*reply.error))
            text += device::translated(QT_TRANSLATE_NOOP("device", "（%1）"))
                        .arg(device::translated(meaning));
        return text;
    }
    case Reply::Status::CheckFailed:
        return device::translated(QT_TRANSLATE_NOOP("device", "校验错误:"));
    case Reply::Status::Incomplete:
        return device::translated(QT_TRANSLATE_NOOP("device", "回复不完整:")) +
               (reply.command && reply.command->caption ? device::translated(reply.command->caption)
                                                        : QString());
    }
    if (!reply.named)
        return {};
    QString message = device::translated(device::replyMessage(*reply.command));
    const Carries carries = reply.command->carries;
    if ((carries == Carries::Address || carries == Carries::BaudCode) && reply.value)
        message += QString::number(*reply.value, 16).toUpper();
    return message;
}

const char *errorMeaning(quint8 error) {
    switch (error) {
    case 0x01:
        return QT_TRANSLATE_NOOP("device", "功能码未知");
    case 0x02:
        return QT_TRANSLATE_NOOP("device", "数据地址无效");
    case 0x03:
        return QT_TRANSLATE_NOOP("device", "数据值无效");
    case 0x04:
        return QT_TRANSLATE_NOOP("device", "命令无法执行");
    case 0x05:
    case 0x06:
        return QT_TRANSLATE_NOOP("device", "设备忙");
    default:
        return nullptr;
    }
}

Reply readReply(const ReplyFrame &frame) {
    Reply reply;
    const QByteArray &body = frame.body;
    if (body.size() < 2) {
        reply.status = frame.kind == ReplyFrame::Kind::Incomplete ? Reply::Status::Incomplete
                                                                  : Reply::Status::CheckFailed;
        return reply;
    }
    reply.address = at(body, 0);
    reply.code = at(body, 1);
    switch (frame.kind) {
    case ReplyFrame::Kind::Failure:
        reply.status = Reply::Status::Failure;
        reply.code &= ~device::kFailureBit;
        reply.error = body.size() > 2 ? at(body, 2) : 0;
        break;
    case ReplyFrame::Kind::CheckFailed:
        reply.status = Reply::Status::CheckFailed;
        break;
    case ReplyFrame::Kind::Incomplete:
        reply.status = Reply::Status::Incomplete;
        break;
    case ReplyFrame::Kind::Reply:
        break;
    }
    reply.command = device::findCommand(reply.code);
    if (reply.status != Reply::Status::Good || !reply.command || !reply.command->replyNamed)
        return reply;
    // A two-byte reply names a command with a short reply, a longer one a command with a long one.
    const bool isShort = reply.command->reply == device::ReplyForm::Short;
    if ((body.size() == 2) == isShort) {
        reply.named = true;
        readCarried(body, reply);
    }
    return reply;
}

} // namespace transmission
