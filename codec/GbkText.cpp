#include "codec/GbkText.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <vector>

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

// The character of every lead/trail pair, decoded once: a panes' character line looks pairs up
// hundreds of times per poll on a busy line. 0 marks a pair that is no character.
const std::vector<char16_t> &pairTable() {
    static const std::vector<char16_t> table = [] {
        std::vector<char16_t> characters(size_t(0x10000), 0);
        QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
        for (int lead = 0x81; lead <= 0xFE; ++lead)
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                if (!isGbkTrail(quint8(trail)))
                    continue;
                const char pair[2] = {char(lead), char(trail)};
                decoder.resetState();
                const QString decoded = decoder.decode(QByteArrayView(pair, 2));
                if (decoder.hasError() || decoded.size() != 1)
                    continue;
                const char16_t c = decoded.at(0).unicode();
                if (c != 0xFFFD && !isPrivateUse(c) && !QChar(c).isSurrogate())
                    characters[size_t(lead << 8 | trail)] = c;
            }
        return characters;
    }();
    return table;
}

// The GBK bytes of every character of the basic plane, encoded once (a list of thousands of
// lines is saved character by character): one byte, a lead/trail pair, or 0 for none.
const std::vector<quint16> &encodingTable() {
    static const std::vector<quint16> table = [] {
        // Every character beyond ASCII in one go, each followed by a line feed: GBK bytes of a
        // character are never 0x0A, so what stands before each line feed is that character's
        // encoding (nothing, or "?", for one GBK cannot hold).
        QString all;
        for (char32_t c = 0x80; c < 0x10000; ++c)
            if (!QChar::isSurrogate(c))
                all += QChar(char16_t(c)) + QLatin1Char('\n');
        QStringEncoder encoder("GBK");
        const QByteArray bytes = encoder.encode(all);
        std::vector<quint16> codes(size_t(0x10000), 0);
        for (char16_t c = 1; c < 0x80; ++c)
            codes[c] = c;
        qsizetype at = 0;
        for (qsizetype i = 0; i < all.size(); i += 2) {
            const qsizetype end = bytes.indexOf('\n', at);
            if (end < 0)
                break;
            if (end - at == 2)
                codes[all[i].unicode()] = quint16(quint8(bytes[at]) << 8 | quint8(bytes[at + 1]));
            else if (end - at == 1 && quint8(bytes[at]) != quint8(kUnencodable))
                codes[all[i].unicode()] = quint8(bytes[at]);
            at = end + 1;
        }
        return codes;
    }();
    return table;
}

} // namespace

std::optional<QChar> gbkDecodePair(quint8 lead, quint8 trail) {
    if (!isGbkLead(lead) || !isGbkTrail(trail))
        return std::nullopt;
    const char16_t c = pairTable()[size_t(lead << 8 | trail)];
    return c ? std::optional<QChar>(QChar(c)) : std::nullopt;
}

QByteArray gbkEncodeChar(QStringView character) {
    // A pair of surrogates stands for a character beyond the basic plane, which GBK cannot hold.
    if (character.size() != 1)
        return QByteArray(1, kUnencodable);
    const char16_t c = character.front().unicode();
    if (c == 0)
        return QByteArray(1, '\0');
    const quint16 code = encodingTable()[c];
    if (code == 0)
        return QByteArray(1, kUnencodable);
    if (code < 0x100)
        return QByteArray(1, char(code));
    const char pair[2] = {char(code >> 8), char(code & 0xFF)};
    return QByteArray(pair, 2);
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
