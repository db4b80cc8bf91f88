#include "codec/Framing.h"

#include "codec/Bytes.h"
#include "codec/Checksums.h"

namespace codec {

QByteArray rtuFrame(const QByteArray &body) {
    const quint16 crc = crc16(body);
    QByteArray out = body;
    // The one value on the wire that goes low byte first.
    out += static_cast<char>(crc & 0xFF);
    out += static_cast<char>(crc >> 8);
    return out;
}

QByteArray asciiFrame(const QByteArray &body) {
    QByteArray out;
    out.reserve(body.size() * 2 + 5);
    out += ':';
    for (const char c : body)
        appendHexDigits(out, static_cast<quint8>(c));
    appendHexDigits(out, lrc(body));
    out += "\r\n";
    return out;
}

QByteArray frame(const QByteArray &body, Framing framing) {
    return framing == Framing::Rtu ? rtuFrame(body) : asciiFrame(body);
}

std::optional<QByteArray> decodeAsciiFrame(QByteArrayView bytes) {
    // ":" + at least one body byte and the LRC + CR LF
    if (bytes.size() < 7 || bytes.front() != ':' || !bytes.endsWith("\r\n"))
        return std::nullopt;
    const qsizetype digits = bytes.size() - 3;
    if (digits % 2 != 0)
        return std::nullopt;
    QByteArray decoded;
    decoded.reserve(digits / 2);
    for (qsizetype i = 1; i < 1 + digits; i += 2) {
        const int high = hexDigitValue(static_cast<quint8>(bytes[i]));
        const int low = hexDigitValue(static_cast<quint8>(bytes[i + 1]));
        if (high < 0 || low < 0)
            return std::nullopt;
        decoded += static_cast<char>(high * 16 + low);
    }
    const auto check = static_cast<quint8>(decoded.back());
    decoded.chop(1);
    if (lrc(decoded) != check)
        return std::nullopt;
    return decoded;
}

bool hasValidCrc(QByteArrayView frame) {
    if (frame.size() < 3)
        return false;
    const quint16 crc = crc16(frame.first(frame.size() - 2));
    return static_cast<quint8>(frame[frame.size() - 2]) == (crc & 0xFF) &&
           static_cast<quint8>(frame[frame.size() - 1]) == (crc >> 8);
}

} // namespace codec
