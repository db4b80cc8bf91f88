#include "codec/Framing.h"

#include "codec/Checksums.h"

namespace codec {

namespace {

void appendHexByte(QByteArray &out, quint8 b) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += kDigits[b >> 4];
    out += kDigits[b & 0x0F];
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

QByteArray rtuFrame(const QByteArray &body) {
    CommSetting::CalcCrc16(body);
    QByteArray out = body;
    out += static_cast<char>(CommSetting::CrcLow);
    out += static_cast<char>(CommSetting::CrcHigh);
    return out;
}

QByteArray asciiFrame(const QByteArray &body) {
    QByteArray out;
    out.reserve(body.size() * 2 + 5);
    out += ':';
    for (const char c : body)
        appendHexByte(out, static_cast<quint8>(c));
    appendHexByte(out, CommSetting::CalcLrc(body));
    out += "\r\n";
    return out;
}

QByteArray frame(const QByteArray &body, Framing framing) {
    return framing == Framing::Rtu ? rtuFrame(body) : asciiFrame(body);
}

std::optional<QByteArray> decodeAsciiFrame(const QByteArray &bytes) {
    // ":" + at least one body byte and the LRC + CR LF
    if (bytes.size() < 7 || bytes.front() != ':' || !bytes.endsWith("\r\n"))
        return std::nullopt;
    const qsizetype digits = bytes.size() - 3;
    if (digits % 2 != 0)
        return std::nullopt;
    QByteArray decoded;
    decoded.reserve(digits / 2);
    for (qsizetype i = 1; i < 1 + digits; i += 2) {
        const int high = hexValue(bytes[i]);
        const int low = hexValue(bytes[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        decoded += static_cast<char>(high * 16 + low);
    }
    const auto lrc = static_cast<quint8>(decoded.back());
    decoded.chop(1);
    if (CommSetting::CalcLrc(decoded) != lrc)
        return std::nullopt;
    return decoded;
}

bool hasValidCrc(const QByteArray &frame) {
    if (frame.size() < 3)
        return false;
    CommSetting::CalcCrc16(frame.first(frame.size() - 2));
    return static_cast<quint8>(frame[frame.size() - 2]) == CommSetting::CrcLow &&
           static_cast<quint8>(frame[frame.size() - 1]) == CommSetting::CrcHigh;
}

} // namespace codec
