#include "codec/GbkText.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace codec {

namespace {

constexpr char kUnencodable = '?';
constexpr QChar kPlaceholder = u'.';

bool isGbkLead(quint8 b) {
    return b >= 0x81 && b <= 0xFE;
}
bool isGbkTrail(quint8 b) {
    return b >= 0x40 && b <= 0xFE && b != 0x7F;
}
bool isPrivateUse(char16_t c) {
    return c >= 0xE000 && c <= 0xF8FF;
}

} // namespace

QByteArray gbkEncodeChar(QStringView character) {
    QStringEncoder encoder("GBK");
    QByteArray bytes = encoder.encode(character);
    if (encoder.hasError() || bytes.isEmpty() || bytes.size() > 2)
        return QByteArray(1, kUnencodable);
    return bytes;
}

QByteArray gbkEncode(QStringView text) {
    QByteArray out;
    out.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        out += gbkEncodeChar(text.mid(i, len));
        i += len - 1;
    }
    return out;
}

std::optional<QChar> gbkDecodePair(quint8 lead, quint8 trail) {
    if (!isGbkLead(lead) || !isGbkTrail(trail))
        return std::nullopt;
    QStringDecoder decoder("GBK");
    const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    const QString decoded = decoder.decode(QByteArrayView(pair, 2));
    if (decoder.hasError() || decoded.size() != 1)
        return std::nullopt;
    const char16_t c = decoded.at(0).unicode();
    if (c == 0xFFFD || isPrivateUse(c) || QChar(c).isSurrogate())
        return std::nullopt;
    return decoded.at(0);
}

QString displayChars(const QByteArray &bytes) {
    QString out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<quint8>(bytes[i]);
        if (b >= 0x20 && b <= 0x7E) {
            out += QChar(b);
        } else if (i + 1 < bytes.size()) {
            if (const auto c = gbkDecodePair(b, static_cast<quint8>(bytes[i + 1]))) {
                out += *c;
                ++i;
            } else {
                out += kPlaceholder;
            }
        } else {
            out += kPlaceholder;
        }
    }
    return out;
}

} // namespace codec
