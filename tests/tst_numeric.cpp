// The numeric reading rule on a table of tricky inputs, and integers that do not fit.

#include <QRandomGenerator>
#include <QTest>
#include <cmath>

#include "codec/NumericText.h"

using namespace codec;

class TestNumeric : public QObject {
    Q_OBJECT

private slots:
    void read_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("plain") << "100" << 100.0;
        QTest::newRow("trailing letters") << "100abc" << 100.0;
        QTest::newRow("blanks anywhere") << " 1 0 0 " << 100.0;
        QTest::newRow("tab and line feed") << "\t1\n2" << 12.0;
        QTest::newRow("carriage return stops") << "1\r2" << 1.0;
        QTest::newRow("negative") << "-1000" << -1000.0;
        QTest::newRow("plus") << "+5" << 5.0;
        QTest::newRow("sign blank digits") << "- 5" << -5.0;
        QTest::newRow("double sign") << "--5" << 0.0;
        QTest::newRow("decimal") << "100.5" << 100.5;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("exponent D") << "1D3" << 1000.0;
        QTest::newRow("exponent sign") << "25E-1" << 2.5;
        QTest::newRow("bare exponent") << "1e" << 1.0;
        QTest::newRow("exponent sign only") << "1e+" << 1.0;
        QTest::newRow("hex") << "&H1F" << 31.0;
        QTest::newRow("hex lower") << "&hff" << 255.0;
        QTest::newRow("hex stops") << "&H1G" << 1.0;
        QTest::newRow("hex empty") << "&H" << 0.0;
        QTest::newRow("hex blanks") << "&H 1 F" << 31.0;
        QTest::newRow("hex large is unsigned") << "&HFFFF" << 65535.0;
        QTest::newRow("comma is not a point") << "1,5" << 1.0;
        QTest::newRow("full-width digit") << QString::fromUtf8("１") << 0.0;
    }
    void read() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(readNumber(text), value);
    }

    void overflowIsInfinite() {
        QVERIFY(std::isinf(readNumber(u"1e999")));
        QVERIFY(readNumber(u"-1e999") < 0);
        QCOMPARE(readNumber(u"1e-999"), 0.0);
    }

    void round_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("rounded");
        QTest::newRow("2.5") << 2.5 << 2.0;
        QTest::newRow("3.5") << 3.5 << 4.0;
        QTest::newRow("-2.5") << -2.5 << -2.0;
        QTest::newRow("100.5") << 100.5 << 100.0;
        QTest::newRow("101.5") << 101.5 << 102.0;
        QTest::newRow("2.4999") << 2.4999 << 2.0;
        QTest::newRow("2.5001") << 2.5001 << 3.0;
    }
    void round() {
        QFETCH(double, value);
        QFETCH(double, rounded);
        QCOMPARE(roundHalfEven(value), rounded);
    }

    void fits_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fitsInt32");
        QTest::addColumn<bool>("fitsByte");
        QTest::newRow("0") << "0" << true << true;
        QTest::newRow("255") << "255" << true << true;
        QTest::newRow("255.5 rounds to 256") << "255.5" << true << false;
        QTest::newRow("-0.5 rounds to 0") << "-0.5" << true << true;
        QTest::newRow("-1") << "-1" << true << false;
        QTest::newRow("int32 max") << "2147483647" << true << false;
        QTest::newRow("int32 max + 1") << "2147483648" << false << false;
        QTest::newRow("int32 min") << "-2147483648" << true << false;
        QTest::newRow("int32 min half rounds in") << "-2147483648.5" << true << false;
        QTest::newRow("int32 min - 1") << "-2147483649" << false << false;
        QTest::newRow("huge") << "1e999" << false << false;
    }
    void fits() {
        QFETCH(QString, text);
        QFETCH(bool, fitsInt32);
        QFETCH(bool, fitsByte);
        QCOMPARE(readInteger<qint32>(text).has_value(), fitsInt32);
        QCOMPARE(readInteger<quint8>(text).has_value(), fitsByte);
    }

    void hexFields() {
        QCOMPARE(readHexInteger<quint8>(u"1"), std::optional<quint8>(1));
        QCOMPARE(readHexInteger<quint8>(u"1F"), std::optional<quint8>(31));
        QCOMPARE(readHexInteger<quint8>(u""), std::optional<quint8>(0));
        QCOMPARE(readHexInteger<quint8>(u"FF"), std::optional<quint8>(255));
        QVERIFY(!readHexInteger<quint8>(u"100"));
        QVERIFY(!readHexInteger<quint8>(u"FFFFFFFFFFFFFFFFFFFFFF"));
        QVERIFY(!readInteger<qint64>(u"9223372036854775808"));
    }

    void robustness() {
        QRandomGenerator rng(60);
        const QString alphabet = QStringLiteral("0123456789+-.eEdDhH& \t\n\rxG");
        for (int round = 0; round < 5000; ++round) {
            QString text;
            const int length = int(rng.bounded(30));
            for (int i = 0; i < length; ++i)
                text += alphabet[int(rng.bounded(alphabet.size()))];
            (void)readInteger<qint32>(text);
            (void)readHexInteger<quint8>(text);
        }
    }
};

QTEST_APPLESS_MAIN(TestNumeric)
#include "tst_numeric.moc"
