// Hex text written and read, GBK string/hex conversion, and the pane's character line.

#include <QRandomGenerator>
#include <QTest>

#include "codec/GbkText.h"
#include "codec/HexText.h"

using namespace codec;

class TestHexText : public QObject {
    Q_OBJECT

private slots:
    void format_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QByteArray() << "";
        QTest::newRow("01 AB 10") << QByteArray::fromHex("01AB10") << "01 AB 10 ";
        QTest::newRow("00 0F 10 FF") << QByteArray::fromHex("000F10FF") << "00 0F 10 FF ";
    }
    void format() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(FormatHexText(bytes), text);
    }

    void parse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << "" << QByteArray();
        QTest::newRow("blanks only") << "   " << QByteArray();
        QTest::newRow("blanks do not delimit") << " 1 2 3" << QByteArray::fromHex("1203");
        QTest::newRow("ABC pads before last") << "ABC" << QByteArray::fromHex("AB0C");
        QTest::newRow("single digit") << "7" << QByteArray::fromHex("07");
        QTest::newRow("0x10") << "0x10" << QByteArray::fromHex("0010");
        QTest::newRow("1G reads 1") << "1G" << QByteArray::fromHex("01");
        QTest::newRow("G1 reads 0") << "G1" << QByteArray::fromHex("00");
        QTest::newRow("XY reads 0") << "XY" << QByteArray::fromHex("00");
        QTest::newRow("lower case") << "ab cd" << QByteArray::fromHex("ABCD");
        QTest::newRow("tab is not a blank") << "01\t2" << QByteArray::fromHex("0100");
        QTest::newRow("frame") << "01 03 00 00 00 01" << QByteArray::fromHex("010300000001");
    }
    void parse() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(ParseHexText(text), bytes);
    }

    void strToHex_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hex");
        QTest::newRow("AB") << "AB"
                            << "41 42 ";
        QTest::newRow("control") << "\t"
                                 << "09 ";
        QTest::newRow("two-byte") << QString::fromUtf8("中文AB") << "D6D0 CEC4 41 42 ";
        QTest::newRow("no GBK character") << QString::fromUtf8("😀x") << "3F 78 ";
        QTest::newRow("empty") << ""
                               << "";
    }
    void strToHex() {
        QFETCH(QString, text);
        QFETCH(QString, hex);
        QCOMPARE(StrToHex(text), hex);
    }

    void hexToStr_data() {
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("text");
        QTest::newRow("AB") << "4142"
                            << "AB";
        QTest::newRow("two-byte then A") << "D6D041" << QString::fromUtf8("中A");
        QTest::newRow("odd count") << "4" << QString(QChar(0x04));
        QTest::newRow("lead without trail") << "41D6" << QStringLiteral("A\uFFFD");
        QTest::newRow("invalid pair keeps next") << "8041" << QStringLiteral("\uFFFDA");
        QTest::newRow("code 0") << "0041" << QStringLiteral("\uFFFDA");
        QTest::newRow("ff ff") << "FFFF" << QStringLiteral("\uFFFD\uFFFD");
        QTest::newRow("empty") << ""
                               << "";
    }
    void hexToStr() {
        QFETCH(QString, digits);
        QFETCH(QString, text);
        QCOMPARE(HexToStr(digits), text);
    }

    void roundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << "Hello, R7260!";
        QTest::newRow("chinese") << QString::fromUtf8("步进电机驱动器，速度=100");
        QTest::newRow("mixed") << QString::fromUtf8("IN1状态:1");
    }
    void roundTrip() {
        QFETCH(QString, text);
        QCOMPARE(HexToStr(StrToHex(text).remove(QLatin1Char(' '))), text);
        // Pairs of StrToHex read back under ParseHexText as the GBK bytes.
        QCOMPARE(ParseHexText(StrToHex(text)), codec::gbkEncode(text));
    }

    void displayChars_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("printable") << QByteArray(":012000DF") << ":012000DF";
        QTest::newRow("zero does not cut") << QByteArray::fromHex("4100420D0A") << "A.B..";
        QTest::newRow("gbk pair") << QByteArray::fromHex("D6D041") << QString::fromUtf8("中A");
        QTest::newRow("stray high bytes") << QByteArray::fromHex("FF80C0") << "...";
        QTest::newRow("lead at end") << QByteArray::fromHex("41D6") << "A.";
    }
    void displayChars() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QCOMPARE(codec::displayChars(bytes), shown);
    }

    // Random text never crashes or reads out of bounds (the suite runs under the sanitizers).
    void robustness() {
        QRandomGenerator rng(7260);
        for (int round = 0; round < 3000; ++round) {
            QString text;
            const int length = int(rng.bounded(40));
            for (int i = 0; i < length; ++i)
                text += QChar(char16_t(rng.bounded(2) ? rng.bounded(0x80) : rng.bounded(0x10000)));
            const QByteArray bytes = ParseHexText(text);
            QVERIFY(bytes.size() <= (text.size() + 1) / 2);
            (void)HexToStr(text);
            (void)StrToHex(text);
            (void)codec::displayChars(text.toUtf8());
        }
    }
};

QTEST_APPLESS_MAIN(TestHexText)
#include "tst_hextext.moc"
