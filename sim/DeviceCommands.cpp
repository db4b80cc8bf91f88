#include "sim/DeviceCommands.h"

#include "sim/Bytes.h"

#include <functional>

namespace sim {

namespace {

enum class Layout {
    None,        // no data
    Byte,        // one byte
    Value32,     // a signed 32-bit value, big-endian
    Direction24, // a direction byte (0 positive, 1 negative), then 24 bits, big-endian
    Binding,     // an input pattern, then a command body (function code, count, data)
    CanBytes,    // 0 to 5 bytes
};

// The data of a request as its layout reads it.
struct Args {
    qint64 value = 0; // the byte, the 32-bit value, or the 24-bit value with the direction's sign
    QByteArray bytes;
};

using Action = std::function<Outcome(DeviceModel &, const Args &)>;

struct Command {
    Layout layout = Layout::None;
    Action run;
};

Outcome done(Error error = Error::None) {
    return {error, {}, ReplyForm::Data};
}
Outcome shortReply(Error error = Error::None) {
    return {error, {}, ReplyForm::Short};
}
Outcome bytes(QByteArray data) {
    return {Error::None, std::move(data), ReplyForm::Data};
}

// Limit and origin bytes, and input bytes: 1 when not active, 0 when active.
int inactiveByte(bool active) {
    return active ? 0 : 1;
}

QByteArray motionState(const DeviceModel &m) {
    return bytesOf(m.moving() ? 1 : 0, inactiveByte(m.leftLimitActive()),
                   inactiveByte(m.atOrigin()), inactiveByte(m.rightLimitActive()));
}

QByteArray inputState(const DeviceModel &m) {
    QByteArray out;
    for (int input = 0; input < 5; ++input)
        out += char(inactiveByte((m.inputs() >> input) & 1));
    return out;
}

bool isValidPattern(qint64 pattern) {
    return pattern >= 1 && pattern <= 31;
}

bool isBindable(const QByteArray &body);

Outcome bindPattern(DeviceModel &m, const Args &a) {
    const auto pattern = quint8(a.bytes[0]);
    const QByteArray body = a.bytes.mid(1);
    if (!isValidPattern(pattern) || !isBindable(body))
        return done(Error::InvalidValue);
    m.bind(pattern, body);
    return done();
}

Outcome queryBinding(DeviceModel &m, const Args &a) {
    if (!isValidPattern(a.value))
        return done(Error::InvalidValue);
    const auto body = m.binding(quint8(a.value));
    if (!body)
        return done(Error::InvalidAddress);
    return bytes(char(a.value) + *body);
}

const std::map<quint8, Command> &commands() {
    static const std::map<quint8, Command> table = [] {
        using P = Parameter;
        using M = DeviceModel;
        std::map<quint8, Command> t;
        const auto set = [&t](quint8 code, Layout layout, Error (M::*setter)(qint64)) {
            t[code] = {layout,
                       [setter](M &m, const Args &a) { return done((m.*setter)(a.value)); }};
        };
        const auto query = [&t](quint8 code, std::function<QByteArray(const M &)> read) {
            t[code] = {Layout::None, [read](M &m, const Args &) { return bytes(read(m)); }};
        };
        const auto action = [&t](quint8 code, std::function<void(M &)> act,
                                 ReplyForm form = ReplyForm::Data) {
            t[code] = {Layout::None, [act, form](M &m, const Args &) {
                           act(m);
                           return Outcome{Error::None, {}, form};
                       }};
        };

        t[0x20] = {Layout::None, [](M &, const Args &) { return done(); }};
        query(0x21, [](const M &m) { return QByteArray(1, char(m.address())); });
        set(0x22, Layout::Byte, &M::setAddress);
        query(0x23, [](const M &m) { return QByteArray(1, char(m.baudCode())); });
        set(0x24, Layout::Byte, &M::setBaudCode);
        for (int i = 0; i < kParameterCount; ++i) {
            const auto which = P(i);
            t[quint8(0x25 + 2 * i)] = {Layout::Value32, [which](M &m, const Args &a) {
                                           return done(m.setParameter(which, a.value));
                                       }};
            query(quint8(0x26 + 2 * i),
                  [which](const M &m) { return bigEndian32(quint32(m.parameter(which))); });
        }
        set(0x31, Layout::Value32, &M::moveBy);
        set(0x32, Layout::Direction24, &M::moveBy);
        set(0x33, Layout::Value32, &M::runAt);
        set(0x34, Layout::Direction24, &M::runAt);
        set(0x35, Layout::Value32, &M::changeRunSpeed);
        query(0x36, [](const M &m) { return bigEndian32(m.speed()); });
        query(0x37, [](const M &m) { return bigEndian32(quint32(m.absolutePosition())); });
        action(0x38, &M::clearAbsolute);
        query(0x39, [](const M &m) { return bigEndian32(quint32(m.relativePosition())); });
        action(0x3A, &M::clearRelative);
        query(0x3B, motionState);
        action(0x3C, &M::stopNow, ReplyForm::Short);
        action(0x3D, &M::stopDecelerated, ReplyForm::Short);
        t[0x3E] = {Layout::Byte, [](M &m, const Args &a) { return shortReply(m.home(a.value)); }};
        set(0x3F, Layout::Value32, &M::setRegisterBase);
        t[0x40] = {Layout::Binding, bindPattern};
        t[0x41] = {Layout::Byte, queryBinding};
        query(0x42, inputState);
        query(0x43, inputState);
        t[0x44] = {Layout::Value32,
                   [](M &m, const Args &a) { return shortReply(m.setSpeedFactor(a.value)); }};
        t[0x45] = {Layout::None, [](M &m, const Args &) { return shortReply(m.stepRunSpeed(+1)); }};
        t[0x46] = {Layout::None, [](M &m, const Args &) { return shortReply(m.stepRunSpeed(-1)); }};
        t[0x47] = {Layout::None,
                   [](M &m, const Args &) { return shortReply(m.restoreFactorySettings()); }};
        set(0x48, Layout::Byte, &M::setCanChecksumOff);
        set(0x49, Layout::Byte, &M::setCanEightByteReplies);
        set(0x4A, Layout::Byte, &M::setCanExtendedFrame);
        set(0x4B, Layout::Byte, &M::setCanBaudCode);
        t[0x4C] = {Layout::CanBytes, [](M &m, const Args &a) {
                       m.recordCanSend(a.bytes);
                       return done();
                   }};
        return t;
    }();
    return table;
}

// Reads the data by the layout; nothing when the count does not fit it.
std::optional<Args> readArgs(Layout layout, const QByteArray &data) {
    const auto at = [&data](int i) { return quint8(data[i]); };
    Args args{0, data};
    switch (layout) {
    case Layout::None:
        return data.isEmpty() ? std::optional(args) : std::nullopt;
    case Layout::Byte:
        if (data.size() != 1)
            return std::nullopt;
        args.value = at(0);
        return args;
    case Layout::Value32:
        if (data.size() != 4)
            return std::nullopt;
        args.value = qint32(quint32(at(0)) << 24 | quint32(at(1)) << 16 | quint32(at(2)) << 8 |
                            quint32(at(3)));
        return args;
    case Layout::Direction24: {
        if (data.size() != 4 || (at(0) != 0 && at(0) != 1))
            return std::nullopt;
        const qint64 magnitude = qint64(at(1)) << 16 | qint64(at(2)) << 8 | qint64(at(3));
        args.value = at(0) == 0 ? magnitude : -magnitude;
        return args;
    }
    case Layout::Binding:
        return data.size() >= 3 ? std::optional(args) : std::nullopt;
    case Layout::CanBytes:
        return data.size() <= 5 ? std::optional(args) : std::nullopt;
    }
    return std::nullopt;
}

// A binding holds one complete command the device can run by itself: a known code (not another
// binding command) whose count matches its data and its layout.
bool isBindable(const QByteArray &body) {
    if (body.size() < 2 || quint8(body[1]) != body.size() - 2)
        return false;
    const auto code = quint8(body[0]);
    const auto it = commands().find(code);
    return it != commands().end() && code != 0x40 && code != 0x41 &&
           readArgs(it->second.layout, body.mid(2)).has_value();
}

} // namespace

bool isDeviceCommand(quint8 code) {
    return commands().contains(code);
}

Outcome executeCommand(DeviceModel &model, quint8 code, const QByteArray &data) {
    const auto it = commands().find(code);
    if (it == commands().end())
        return done(Error::UnknownFunction);
    const auto args = readArgs(it->second.layout, data);
    if (!args)
        return done(Error::InvalidValue);
    return it->second.run(model, *args);
}

quint32 registerValue(const DeviceModel &model, quint8 code) {
    if (code >= 0x25 && code <= 0x30)
        return quint32(model.parameter(Parameter((code - 0x25) / 2)));
    const auto be32 = [](const QByteArray &b) {
        return quint32(quint8(b[0])) << 24 | quint32(quint8(b[1])) << 16 |
               quint32(quint8(b[2])) << 8 | quint32(quint8(b[3]));
    };
    switch (code) {
    case 0x21:
    case 0x22:
        return model.address();
    case 0x23:
    case 0x24:
        return model.baudCode();
    case 0x36:
        return model.speed();
    case 0x37:
        return quint32(model.absolutePosition());
    case 0x39:
        return quint32(model.relativePosition());
    case 0x3B:
        return be32(motionState(model));
    case 0x3F:
        return model.registerBase();
    case 0x42:
    case 0x43:
        return model.inputs();
    case 0x44:
        return quint32(model.speedFactor());
    case 0x48:
        return model.can().checksumOff;
    case 0x49:
        return model.can().eightByteReplies;
    case 0x4A:
        return model.can().extendedFrame;
    case 0x4B:
        return model.can().baudCode;
    default:
        return 0;
    }
}

} // namespace sim
