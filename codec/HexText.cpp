#include "codec/HexText.h"

#include "codec/Bytes.h"
#include "codec/GbkText.h"

namespace codec {

namespace {

QString withoutBlanks(const QString &text) {
    QString out = text;
    out.remove(QLatin1Char(' '));
    return out;
}

} // namespace

quint8 readHexPair(QChar high, QChar low) {
    const int h = hexDigitValue(high.unicode());
    if (h < 0)
        return 0;
    const int l = hexDigitValue(low.unicode());
    return static_cast<quint8>(l < 0 ? h : h * 16 + l);
}

QString padOddDigits(QString digits) {
    if (digits.size() % 2 != 0)
        digits.insert(digits.size() - 1, QLatin1Char('0'));
    return digits;
}

QString FormatHexText(const QByteArray &bytes) {
    QByteArray out;
    out.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        appendHexDigits(out, static_cast<quint8>(c));
        out += ' ';
    }
    return QString::fromLatin1(out);
}

QByteArray ParseHexText(const QString &text) {
    const QString digits = padOddDigits(withoutBlanks(text));
    QByteArray out;
    out.reserve(digits.size() / 2);
    for (qsizetype i = 0; i + 1 < digits.size(); i += 2)
        out += static_cast<char>(readHexPair(digits[i], digits[i + 1]));
    return out;
}

QString StrToHex(const QString &text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        // A two-byte code is written as four digits with no blank between its bytes.
        QString code = FormatHexText(gbkEncodeChar(QStringView(text).mid(i, len)));
        code.remove(QLatin1Char(' '));
        out += code + QLatin1Char(' ');
        i += len - 1;
    }
    return out;
}

QString HexToStr(const QString &digits) {
    const QString padded = padOddDigits(digits);
    QString out;
    for (qsizetype i = 0; i + 1 < padded.size(); i += 2) {
        const quint8 value = readHexPair(padded[i], padded[i + 1]);
        if (value == 0) {
            out += QChar::ReplacementCharacter;
        } else if (value <= 0x7F) {
            out += QChar(value);
        } else if (i + 3 < padded.size()) {
            const quint8 trail = readHexPair(padded[i + 2], padded[i + 3]);
            if (const auto c = gbkDecodePair(value, trail)) {
                out += *c;
                i += 2;
            } else {
                out += QChar::ReplacementCharacter;
            }
        } else {
            out += QChar::ReplacementCharacter;
        }
    }
    return out;
}

} // namespace codec
