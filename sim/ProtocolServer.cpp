#include "sim/ProtocolServer.h"

#include "codec/Framing.h"
#include "sim/Bytes.h"
#include "sim/DeviceCommands.h"

#include <algorithm>

namespace sim {

namespace {

constexpr quint8 kReadHolding = 0x03;
constexpr quint8 kWriteMultiple = 0x10;
constexpr quint8 kAddressQuery = 0x21;
constexpr qsizetype kMaxAsciiLength = 600;
constexpr int kMaxReadRegisters = 125;
constexpr int kMaxWriteRegisters = 123;

// ---- Finding frames --------------------------------------------------------------------------

enum class Scan {
    Valid,    // a complete frame with a good checksum
    Broken,   // a complete ASCII frame (":" ... CR LF) whose LRC or digits are wrong
    NeedMore, // could still become a frame
    Invalid,  // cannot be the start of a frame
};

struct Candidate {
    Scan scan = Scan::Invalid;
    qsizetype length = 0;
};

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

Candidate scanAscii(QByteArrayView s) {
    if (s.isEmpty() || s[0] != ':')
        return {};
    for (qsizetype i = 1; i < s.size() && i < kMaxAsciiLength; ++i) {
        if (s[i] == '\r') {
            if (i + 1 == s.size())
                return {Scan::NeedMore};
            if (s[i + 1] != '\n')
                return {};
            const qsizetype length = i + 2;
            const auto body = codec::decodeAsciiFrame(s.first(length).toByteArray());
            return {body && body->size() >= 2 ? Scan::Valid : Scan::Broken, length};
        }
        if (!isHexDigit(s[i]))
            return {};
    }
    return {s.size() < kMaxAsciiLength ? Scan::NeedMore : Scan::Invalid};
}

// The lengths an RTU frame starting here can have, by its function code: fixed 8 bytes for the
// standard requests with a fixed layout, 9 + data for writes (whose data may fall up to three
// bytes short of the byte count), 5 + count for the device's codes. A code the device does not
// know is tried both ways, so that it can be answered "unknown function".
Candidate scanRtu(QByteArrayView s) {
    if (s.size() < 3)
        return {Scan::NeedMore};
    const auto code = quint8(s[1]);
    std::vector<qsizetype> lengths;
    if (code == 0x01 || code == 0x02 || code == kReadHolding || code == 0x04 || code == 0x05 ||
        code == 0x06) {
        lengths = {8};
    } else if (code == kWriteMultiple || code == 0x0F) {
        if (s.size() < 7)
            return {Scan::NeedMore};
        const int byteCount = quint8(s[6]);
        for (int data = std::max(0, byteCount - 3); data <= byteCount; ++data)
            lengths.push_back(9 + data);
    } else {
        lengths = {5 + qsizetype(quint8(s[2]))};
        if (!isDeviceCommand(code))
            lengths.push_back(8);
        std::sort(lengths.begin(), lengths.end());
    }
    bool couldGrow = false;
    for (const qsizetype length : lengths) {
        if (length > s.size())
            couldGrow = true;
        else if (codec::hasValidCrc(QByteArray::fromRawData(s.data(), length)))
            return {Scan::Valid, length};
    }
    return {couldGrow ? Scan::NeedMore : Scan::Invalid};
}

struct Found {
    enum Kind { Nothing, Rtu, Ascii, BrokenAscii } kind = Nothing;
    qsizetype offset = 0;
    qsizetype length = 0;
};

// The earliest complete frame in the buffer.
Found findFrame(const QByteArray &buffer) {
    for (qsizetype offset = 0; offset < buffer.size(); ++offset) {
        const QByteArrayView rest = QByteArrayView(buffer).sliced(offset);
        const Candidate ascii = scanAscii(rest);
        if (ascii.scan == Scan::Valid)
            return {Found::Ascii, offset, ascii.length};
        if (const Candidate rtu = scanRtu(rest); rtu.scan == Scan::Valid)
            return {Found::Rtu, offset, rtu.length};
        if (offset == 0 && ascii.scan == Scan::Broken)
            return {Found::BrokenAscii, 0, ascii.length};
    }
    return {};
}

bool cannotStartFrame(QByteArrayView s) {
    return scanAscii(s).scan == Scan::Invalid && scanRtu(s).scan == Scan::Invalid;
}

// ---- Replies ---------------------------------------------------------------------------------

struct Reply {
    QByteArray body; // address, code, ... without checksum
    bool isShort = false;
    QString note;
};

Reply failure(quint8 address, quint8 code, quint8 error, const QString &why) {
    return {bytesOf(address, code | 0x80, error), false,
            QStringLiteral("failure %1 (%2)").arg(int(error), 2, 16, QChar(u'0')).arg(why)};
}

Reply failure(quint8 address, quint8 code, Error error) {
    return failure(address, code, quint8(error), QLatin1String(errorName(error)));
}

quint16 be16(const QByteArray &b, int at) {
    return quint16(quint8(b[at]) << 8 | quint8(b[at + 1]));
}

// The device's own commands: address, code, count, data.
Reply runDeviceCommand(DeviceModel &model, quint8 address, const QByteArray &body) {
    const auto code = quint8(body[1]);
    if (!isDeviceCommand(code))
        return failure(address, code, Error::UnknownFunction);
    if (body.size() < 3 || quint8(body[2]) != body.size() - 3)
        return failure(address, code, Error::InvalidValue);
    const Outcome outcome = executeCommand(model, code, body.mid(3));
    if (outcome.error != Error::None)
        return failure(address, code, outcome.error);
    if (outcome.form == ReplyForm::Short)
        return {bytesOf(address, code), true, QStringLiteral("ok")};
    return {bytesOf(address, code, outcome.data.size()) + outcome.data, false,
            QStringLiteral("ok")};
}

// Standard exception codes for what a mapped command could not do.
quint8 exceptionCode(Error error) {
    switch (error) {
    case Error::Busy:
        return 0x06; // server device busy
    default:
        return quint8(error); // 01 .. 04 mean the same in both
    }
}

// The code a register addresses: the tool's mapping adds base and code modulo 2^16.
int codeAt(const DeviceModel &model, quint16 reg) {
    return (int(reg) - int(model.registerBase()) + 0x10000) % 0x10000;
}

bool inMapping(int code) {
    return code >= 0 && code <= 0xFF && isDeviceCommand(quint8(code));
}

Reply readRegisters(const DeviceModel &model, quint8 address, const QByteArray &body) {
    if (body.size() != 6)
        return failure(address, kReadHolding, 0x03, QStringLiteral("illegal data value"));
    const quint16 reg = be16(body, 2);
    const int quantity = be16(body, 4);
    if (quantity < 1 || quantity > kMaxReadRegisters)
        return failure(address, kReadHolding, 0x03, QStringLiteral("illegal data value"));
    const int first = codeAt(model, reg);
    const int last = first + (quantity + 1) / 2 - 1;
    if (!inMapping(first) || !inMapping(last))
        return failure(address, kReadHolding, 0x02, QStringLiteral("illegal data address"));
    QByteArray data;
    for (int code = first; code <= last; ++code) {
        data += bigEndian32(registerValue(model, quint8(code)));
    }
    data.truncate(2 * quantity);
    return {bytesOf(address, kReadHolding, data.size()) + data, false,
            QStringLiteral("read %1 register(s) from code %2")
                .arg(quantity)
                .arg(first, 2, 16, QChar(u'0'))};
}

// address 10 reg(2) quantity(2) byteCount data...; the data may be up to three bytes shorter
// than byteCount, as the tool sends a one-byte command mapped onto two registers.
Reply writeRegisters(DeviceModel &model, quint8 address, const QByteArray &body) {
    const auto invalid = [address] {
        return failure(address, kWriteMultiple, 0x03, QStringLiteral("illegal data value"));
    };
    if (body.size() < 7)
        return invalid();
    const quint16 reg = be16(body, 2);
    const int quantity = be16(body, 4);
    const int byteCount = quint8(body[6]);
    const QByteArray data = body.mid(7);
    if (quantity > kMaxWriteRegisters || byteCount != 2 * quantity || data.size() > byteCount ||
        data.size() < byteCount - 3)
        return invalid();
    const int code = codeAt(model, reg);
    if (!inMapping(code))
        return failure(address, kWriteMultiple, 0x02, QStringLiteral("illegal data address"));
    const Outcome outcome = executeCommand(model, quint8(code), data);
    if (outcome.error != Error::None)
        return failure(address, kWriteMultiple, exceptionCode(outcome.error),
                       QLatin1String(errorName(outcome.error)));
    return {body.first(6), false,
            QStringLiteral("ran code %1 by register write").arg(code, 2, 16, QChar(u'0'))};
}

Exchange unanswered(const QByteArray &bytes, const QString &note) {
    return {bytes, {}, note, std::nullopt};
}

} // namespace

// ---- The server ------------------------------------------------------------------------------

std::vector<Exchange> ProtocolServer::feed(const QByteArray &bytes, qint64 nowMs) {
    std::vector<Exchange> out;
    if (!m_buffer.isEmpty() && nowMs - m_lastByteAt > kIdleGapMs) {
        out.push_back(
            unanswered(m_buffer, QStringLiteral("incomplete frame dropped after a pause")));
        m_buffer.clear();
    }
    if (bytes.isEmpty())
        return out;
    m_buffer += bytes;
    m_lastByteAt = nowMs;
    m_model.advanceTo(nowMs);
    for (Exchange &exchange : extractFrames())
        out.push_back(std::move(exchange));
    return out;
}

std::vector<Exchange> ProtocolServer::extractFrames() {
    std::vector<Exchange> out;
    while (!m_buffer.isEmpty()) {
        const Found found = findFrame(m_buffer);
        if (found.kind == Found::Nothing) {
            // Keep what may still become a frame; drop what never can.
            qsizetype drop = 0;
            while (drop < m_buffer.size() &&
                   (cannotStartFrame(QByteArrayView(m_buffer).sliced(drop)) ||
                    m_buffer.size() - drop > kMaxBuffered))
                ++drop;
            if (drop > 0)
                out.push_back(unanswered(m_buffer.first(drop), QLatin1String(kNoiseNote)));
            m_buffer.remove(0, drop);
            break;
        }
        if (found.offset > 0)
            out.push_back(unanswered(m_buffer.first(found.offset), QLatin1String(kNoiseNote)));
        const QByteArray raw = m_buffer.mid(found.offset, found.length);
        m_buffer.remove(0, found.offset + found.length);
        switch (found.kind) {
        case Found::BrokenAscii:
            out.push_back(unanswered(raw, QStringLiteral("bad ASCII frame or LRC, ignored")));
            break;
        case Found::Ascii:
            out.push_back(handle(raw, *codec::decodeAsciiFrame(raw), true));
            break;
        case Found::Rtu:
            out.push_back(handle(raw, raw.chopped(2), false));
            break;
        case Found::Nothing:
            break;
        }
    }
    return out;
}

Exchange ProtocolServer::handle(const QByteArray &raw, const QByteArray &body, bool ascii) {
    const auto to = quint8(body[0]);
    const auto code = quint8(body[1]);
    const quint8 own = m_model.address(); // replies go out from the address before any change
    if (to != own && !(to == 0 && code == kAddressQuery))
        return unanswered(
            raw, QStringLiteral("for address %1, not answered").arg(int(to), 2, 16, QChar(u'0')));

    const quint8 baudBefore = m_model.baudCode();
    Reply reply;
    if (code == kReadHolding)
        reply = readRegisters(m_model, own, body);
    else if (code == kWriteMultiple)
        reply = writeRegisters(m_model, own, body);
    else
        reply = runDeviceCommand(m_model, own, body);

    Exchange exchange{raw, {}, reply.note, std::nullopt};
    if (ascii)
        exchange.reply = codec::asciiFrame(reply.body);
    else
        exchange.reply = reply.isShort ? reply.body : codec::rtuFrame(reply.body);
    if (m_model.baudCode() != baudBefore)
        exchange.newBaudCode = m_model.baudCode();
    return exchange;
}

std::optional<Exchange> ProtocolServer::setInputs(quint8 pattern, qint64 nowMs) {
    m_model.advanceTo(nowMs);
    if (!m_model.setInputs(pattern))
        return std::nullopt;
    const auto body = m_model.binding(m_model.inputs());
    if (!body)
        return std::nullopt;
    const quint8 baudBefore = m_model.baudCode();
    const Outcome outcome = executeCommand(m_model, quint8(body->at(0)), body->mid(2));
    Exchange exchange{
        *body,
        {},
        QStringLiteral("binding %1 ran: %2")
            .arg(patternText(m_model.inputs()), QLatin1String(errorName(outcome.error))),
        std::nullopt};
    if (m_model.baudCode() != baudBefore)
        exchange.newBaudCode = m_model.baudCode();
    return exchange;
}

} // namespace sim
