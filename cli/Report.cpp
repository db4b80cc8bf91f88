#include "cli/Report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include "codec/HexText.h"
#include "device/Protocol.h"

namespace cli {

namespace {

using transmission::Reply;

const char *carriedText(device::Carries carries) {
    using enum device::Carries;
    switch (carries) {
    case Nothing:
        break;
    case Address:
        return "address";
    case BaudCode:
        return "baud-rate code";
    case StartSpeed:
        return "start speed";
    case MaxSpeed:
        return "maximum speed";
    case EndSpeed:
        return "end speed";
    case Acceleration:
        return "acceleration";
    case Deceleration:
        return "deceleration";
    case HomingSpeed:
        return "homing speed";
    case Speed:
        return "speed";
    case AbsolutePosition:
        return "absolute position";
    case RelativePosition:
        return "relative position";
    case MotionState:
        return "motion state";
    case Inputs:
        return "inputs IN1..IN5";
    }
    return nullptr;
}

// What a command's reply carries, for the list: a value the window shows, or its bare data.
QString replyText(const device::Command &command) {
    if (const char *carried = carriedText(command.carries))
        return QLatin1String(carried);
    if (!command.replyCount)
        return QStringLiteral("data");
    if (*command.replyCount > 0)
        return QStringLiteral("%1 data bytes").arg(*command.replyCount);
    return command.reply == device::ReplyForm::Short ? QStringLiteral("short echo")
                                                     : QStringLiteral("echo");
}

// "0A": two uppercase hex digits, as the window writes bytes.
QString hexByte(quint8 byte) {
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
}

QString bit(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

QString hexText(const QByteArray &bytes) {
    return codec::FormatHexText(bytes).trimmed();
}

Status statusOf(const Exchange &exchange) {
    if (!exchange.portProblem.isEmpty())
        return PortError;
    if (!exchange.reply)
        return NoReply;
    switch (exchange.reply->status) {
    case Reply::Status::Good:
        return Ok;
    case Reply::Status::Failure:
        return FailureReply;
    case Reply::Status::CheckFailed:
    case Reply::Status::Incomplete:
        break;
    }
    return NoReply;
}

QString portLabel(const QString &given, const QString &devicePath) {
    if (devicePath.isEmpty() || devicePath == given)
        return given;
    return QStringLiteral("%1 (%2)").arg(given, devicePath);
}

QString Report::errorOf(const Exchange &exchange) const {
    // A failure reply came from the device, so the port is not in question there.
    const QString onPort = m_port + QStringLiteral(": ");
    if (!exchange.portProblem.isEmpty())
        return onPort + QStringLiteral("port lost: %1").arg(exchange.portProblem);
    if (!exchange.reply)
        return onPort + QStringLiteral("no reply within %1 ms").arg(exchange.timeoutMs);
    switch (exchange.reply->status) {
    case Reply::Status::Good:
        return {};
    case Reply::Status::Failure:
        return QStringLiteral("failure reply, error %1").arg(hexByte(*exchange.reply->error));
    case Reply::Status::CheckFailed:
        return onPort + QStringLiteral("the reply failed its CRC or LRC check");
    case Reply::Status::Incomplete:
        return onPort + QStringLiteral("incomplete reply: its rest did not come within %1 ms")
                            .arg(exchange.timeoutMs);
    }
    return {};
}

void Report::exchange(const Exchange &exchange, std::optional<ListPlace> place) {
    if (m_json)
        json(exchange, place);
    else
        text(exchange, place);
    m_out.flush(); // a script watching a long run sees each exchange as it ends
    m_first = false;
}

void Report::text(const Exchange &exchange, std::optional<ListPlace> place) {
    if (!m_first)
        m_out << '\n';
    if (place)
        m_out << "line: " << place->line << "\npass: " << place->pass << '\n';
    m_out << "tx: " << hexText(exchange.sent) << '\n';
    m_out << "rx: " << hexText(exchange.received) << '\n';
    if (const auto &reply = exchange.reply) {
        if (const QString message = transmission::messageOf(*reply); !message.isEmpty())
            m_out << "message: " << message << '\n';
        if (reply->value)
            m_out << "value: " << *reply->value << '\n';
        if (const auto &m = reply->motion)
            m_out << "state: moving=" << bit(m->moving) << " left-limit=" << bit(m->leftLimit)
                  << " origin=" << bit(m->origin) << " right-limit=" << bit(m->rightLimit) << '\n';
        if (const auto &inputs = reply->inputs) {
            m_out << "inputs:";
            for (int i = 0; i < 5; ++i)
                m_out << " IN" << i + 1 << '=' << bit((*inputs)[i]);
            m_out << '\n';
        }
    }
    if (const QString error = errorOf(exchange); !error.isEmpty())
        m_out << "error: " << error << '\n';
    m_out << "ms: " << exchange.ms << '\n';
}

void Report::json(const Exchange &exchange, std::optional<ListPlace> place) {
    QJsonObject o{{"tx", hexText(exchange.sent)}, {"rx", hexText(exchange.received)},
                  {"code", QJsonValue::Null},     {"message", QString()},
                  {"value", QJsonValue::Null},    {"ms", exchange.ms},
                  {"error", QJsonValue::Null}};
    if (place) {
        o[QStringLiteral("line")] = place->line;
        o[QStringLiteral("pass")] = place->pass;
    }
    if (const auto &reply = exchange.reply) {
        // A damaged frame's code byte says nothing.
        if (reply->status != Reply::Status::CheckFailed)
            o[QStringLiteral("code")] = reply->code;
        o[QStringLiteral("message")] = transmission::messageOf(*reply);
        if (reply->value)
            o[QStringLiteral("value")] = *reply->value;
        if (reply->error)
            o[QStringLiteral("errorCode")] = *reply->error;
        if (const auto &m = reply->motion)
            o[QStringLiteral("state")] = QJsonObject{{"moving", m->moving},
                                                     {"leftLimit", m->leftLimit},
                                                     {"origin", m->origin},
                                                     {"rightLimit", m->rightLimit}};
        if (const auto &inputs = reply->inputs) {
            QJsonObject in;
            for (int i = 0; i < 5; ++i)
                in[QStringLiteral("IN%1").arg(i + 1)] = (*inputs)[i];
            o[QStringLiteral("inputs")] = in;
        }
    }
    if (const QString error = errorOf(exchange); !error.isEmpty())
        o[QStringLiteral("error")] = error;
    m_out << QJsonDocument(o).toJson(QJsonDocument::Compact) << '\n';
}

void printCommands(QTextStream &out, bool json) {
    if (!json)
        out << QStringLiteral("%1 %2 %3 %4\n")
                   .arg(QStringLiteral("NAME"), -24)
                   .arg(QStringLiteral("CODE"), -5)
                   .arg(QStringLiteral("ARGUMENTS"), -16)
                   .arg(QStringLiteral("REPLY"));
    for (const device::Command &command : device::commands()) {
        const QString arguments = command.arguments ? QLatin1String(command.arguments) : QString();
        QStringList notes;
        if (command.toAddressZero)
            notes << QStringLiteral("sent to address 0");
        if (command.alwaysRtu)
            notes << QStringLiteral("always RTU");
        if (json) {
            out << QJsonDocument(
                       QJsonObject{{"name", QLatin1String(command.name)},
                                   {"code", int(command.code)},
                                   {"arguments", QJsonArray::fromStringList(
                                                     arguments.split(u' ', Qt::SkipEmptyParts))},
                                   {"reply", replyText(command)},
                                   {"notes", QJsonArray::fromStringList(notes)}})
                       .toJson(QJsonDocument::Compact)
                << '\n';
            continue;
        }
        QString reply = replyText(command);
        if (!notes.isEmpty())
            reply += QStringLiteral(" (%1)").arg(notes.join(QStringLiteral(", ")));
        out << QStringLiteral("%1 %2 %3 %4\n")
                   .arg(QLatin1String(command.name), -24)
                   .arg(QStringLiteral("0x") + hexByte(quint8(command.code)), -5)
                   .arg(arguments.isEmpty() ? QStringLiteral("-") : arguments, -16)
                   .arg(reply);
    }
}

} // namespace cli
