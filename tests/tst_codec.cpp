// The codec's pure functions on tables of tricky inputs: CRC-16 and LRC (vectors computed with
// python3, not with our code), ASCII frames read back, hex text, GBK text and the reading rule.

#include <QRandomGenerator>
#include <QTest>
#include <functional>
#include <map>

#include "codec/Checksums.h"
#include "codec/Framing.h"
#include "codec/GbkText.h"
#include "codec/HexText.h"
#include "codec/NumericText.h"
#include "tests/support/Hex.h"

using namespace codec;

namespace {

QString number(double value) {
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}
template <class T> QString orNone(const std::optional<T> &value) {
    return value ? number(double(*value)) : QStringLiteral("none");
}
QString hexDigits(const QByteArray &bytes) {
    return QString::fromLatin1(bytes.toHex().toUpper());
}

// Every function takes a text; bytes go in and come out as hex digits.
// clang-format off
const std::map<QString, std::function<QString(const QString &)>> kFunctions = {
    {"crc", [](const QString &in) { return CalcCrc16(hex(qPrintable(in))); }},
    {"lrc", [](const QString &in) { return QString::number(CalcLrc(hex(qPrintable(in))), 16).toUpper(); }},
    {"decode", [](const QString &in) { const auto b = decodeAsciiFrame(in.toLatin1()); return b ? hexDigits(*b) : "none"; }},
    {"parse", [](const QString &in) { return hexDigits(ParseHexText(in)); }},
    {"strToHex", [](const QString &in) { return StrToHex(in); }},
    {"hexToStr", [](const QString &in) { return HexToStr(in); }},
    {"display", [](const QString &in) { return displayChars(hex(qPrintable(in))); }},
    {"read", [](const QString &in) { return number(readNumber(in)); }},
    {"int32", [](const QString &in) { return orNone(readInteger<qint32>(in)); }},
    {"int64", [](const QString &in) { return orNone(readInteger<qint64>(in)); }},
    {"byte", [](const QString &in) { return orNone(readInteger<quint8>(in)); }},
    {"hexByte", [](const QString &in) { return orNone(readHexInteger<quint8>(in)); }},
};
// clang-format on

} // namespace

class TestCodec : public QObject {
    Q_OBJECT

private slots:
    void functions_data() {
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        auto row = [](const char *function, const char *in, const char *out) {
            const QByteArray shown = QByteArray(in).replace('\r', "\\r").replace('\n', "\\n");
            QTest::newRow(QByteArray(function + (" \"" + shown + '"')).constData())
                << QString::fromLatin1(function) << QString::fromUtf8(in) << QString::fromUtf8(out);
        };
        // clang-format off
        // CRC-16/MODBUS as the CRC tool writes it, low byte first; LRC; ASCII frames read back.
        row("crc", "", "FFFF");
        row("crc", "313233343536373839", "374B");
        row("lrc", "", "0");
        row("lrc", "8080", "0");
        row("decode", ":0125040000006472\r\n", "01250400000064");
        row("decode", ":012000df\r\n", "012000");
        row("decode", ":012000DE\r\n", "none");
        row("decode", "012000DF\r\n", "none");
        row("decode", ":012000DF", "none");
        row("decode", ":012000DFF\r\n", "none");
        row("decode", ":01G000DF\r\n", "none");
        row("decode", ":00\r\n", "none");
        // Hex text: blanks only are removed, an odd count is padded before the last digit, a pair
        // is read as far as its characters are hex digits.
        row("parse", "   ", "");
        row("parse", " 1 2 3", "1203");
        row("parse", "ABC", "AB0C");
        row("parse", "7", "07");
        row("parse", "1G", "01");
        row("parse", "G1", "00");
        row("parse", "ab cd", "ABCD");
        row("parse", "01\t2", "0100");
        // GBK: a two-byte code is four digits; what GBK cannot hold is "?"; a damaged pair is one
        // U+FFFD and the next character survives.
        row("strToHex", "中文AB", "D6D0 CEC4 41 42 ");
        row("strToHex", "😀x", "3F 78 ");
        row("hexToStr", "D6D041", "中A");
        row("hexToStr", "4", "\x04");
        row("hexToStr", "41D6", "A\uFFFD");
        row("hexToStr", "8041", "\uFFFDA");
        row("hexToStr", "0041", "\uFFFDA");
        row("display", "D6D041", "中A");
        row("display", "41D6", "A.");
        // The numeric reading rule.
        row("read", "", "0");
        row("read", "abc", "0");
        row("read", "100abc", "100");
        row("read", " 1 0 0 ", "100");
        row("read", "\t1\n2", "12");
        row("read", "1\r2", "1");
        row("read", "+5", "5");
        row("read", "- 5", "-5");
        row("read", "--5", "0");
        row("read", ".5", "0.5");
        row("read", "1.2.3", "1.2");
        row("read", "1D3", "1000");
        row("read", "25E-1", "2.5");
        row("read", "1e+", "1");
        row("read", "&H1F", "31");
        row("read", "&hff", "255");
        row("read", "&H1G", "1");
        row("read", "&H", "0");
        row("read", "&H 1 F", "31");
        row("read", "&HFFFF", "65535");
        row("read", "1,5", "1");
        row("read", "１", "0");
        row("read", "1e999", "inf");
        row("read", "-1e999", "-inf");
        row("read", "1e-999", "0");
        row("int32", "2147483647", "2147483647");
        row("int32", "2147483648", "none");
        row("int32", "-2147483648.5", "-2147483648");
        row("int32", "-2147483649", "none");
        row("int64", "9223372036854775808", "none");
        row("byte", "255.5", "none");
        row("byte", "-0.5", "0");
        row("byte", "-1", "none");
        row("hexByte", "", "0");
        row("hexByte", "FF", "255");
        row("hexByte", "100", "none");
        row("hexByte", "FFFFFFFFFFFFFFFFFFFFFF", "none");
        // clang-format on
    }
    void functions() {
        QFETCH(QString, function);
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(kFunctions.at(function)(in), out);
    }

    // Random text never crashes or reads out of bounds (the suite runs under the sanitizers).
    void randomText() {
        QRandomGenerator rng(7260);
        const QString alphabet = QStringLiteral("0123456789+-.eEdDhH& \t\n\rxG:ÿ中");
        for (int round = 0; round < 5000; ++round) {
            QString text;
            for (int i = int(rng.bounded(40)); i > 0; --i)
                text += rng.bounded(4) ? alphabet[int(rng.bounded(alphabet.size()))]
                                       : QChar(char16_t(rng.bounded(0x10000)));
            QVERIFY(ParseHexText(text).size() <= (text.size() + 1) / 2);
            for (const auto &[name, function] : kFunctions)
                function(text);
        }
    }
};

QTEST_APPLESS_MAIN(TestCodec)
#include "tst_codec.moc"
