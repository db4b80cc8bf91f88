// CRC-16 and LRC against vectors computed by independent implementations, not by our own code:
// CRC values from python3-crcmod (crcmod.predefined "modbus"), LRC values from the two's
// complement of the byte sum as Modbus over Serial Line 6.2.1 defines it, checked by hand.

#include <QTest>

#include "codec/Checksums.h"
#include "codec/Framing.h"

class TestChecksums : public QObject {
    Q_OBJECT

private slots:
    void crc_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        // crcmod.predefined.mkCrcFun('modbus')(bytes) -> 0xHHLL; text is LLHH.
        QTest::newRow("empty") << QByteArray() << "FFFF" << 0xFF << 0xFF;
        QTest::newRow("00") << QByteArray::fromHex("00") << "BF40" << 0xBF << 0x40;
        QTest::newRow("010300000001")
            << QByteArray::fromHex("010300000001") << "840A" << 0x84 << 0x0A;
        QTest::newRow("010600010003")
            << QByteArray::fromHex("010600010003") << "980B" << 0x98 << 0x0B;
        QTest::newRow("012000") << QByteArray::fromHex("012000") << "39C0" << 0x39 << 0xC0;
        QTest::newRow("002100") << QByteArray::fromHex("002100") << "6990" << 0x69 << 0x90;
        QTest::newRow("0125040000 0064")
            << QByteArray::fromHex("01250400000064") << "FCDE" << 0xFC << 0xDE;
        QTest::newRow("010300890002")
            << QByteArray::fromHex("010300890002") << "15E1" << 0x15 << 0xE1;
        QTest::newRow("01100089000204 00002710")
            << QByteArray::fromHex("011000890002040000 2710") << "2199" << 0x21 << 0x99;
        QTest::newRow("01060010 0064")
            << QByteArray::fromHex("010600100064") << "89E4" << 0x89 << 0xE4;
        QTest::newRow("014C050102030405")
            << QByteArray::fromHex("014C050102030405") << "02ED" << 0x02 << 0xED;
        QTest::newRow("ff x 300") << QByteArray(300, '\xFF') << "30DB" << 0x30 << 0xDB;
        QTest::newRow("ascii 123456789") << QByteArray("123456789") << "374B" << 0x37 << 0x4B;
    }
    void crc() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(int, low);
        QFETCH(int, high);
        const QByteArray before = bytes;
        QCOMPARE(codec::CalcCrc16(bytes), text);
        QCOMPARE(int(codec::CrcLow), low);
        QCOMPARE(int(codec::CrcHigh), high);
        QCOMPARE(bytes, before);
    }

    void lrc_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("lrc");
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("010300000001") << QByteArray::fromHex("010300000001") << 0xFB;
        QTest::newRow("sum 0x100") << QByteArray::fromHex("8080") << 0;
        QTest::newRow("010F") << QByteArray::fromHex("010F") << 0xF0;
        QTest::newRow("0AF0") << QByteArray::fromHex("0AF0") << 0x06;
        QTest::newRow("012000") << QByteArray::fromHex("012000") << 0xDF;
        QTest::newRow("ff x 129") << QByteArray(129, '\xFF') << 0x81; // sum 0x807F
        QTest::newRow("ff x 300") << QByteArray(300, '\xFF') << 0x2C; // sum 0x12AD4
    }
    void lrc() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, lrc);
        QCOMPARE(int(codec::CalcLrc(bytes)), lrc);
    }

    void frames_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("rtu");
        QTest::addColumn<QByteArray>("ascii");
        QTest::newRow("handshake")
            << QByteArray::fromHex("012000") << QByteArray::fromHex("01200039C0")
            << QByteArray(":012000DF\r\n");
        QTest::newRow("start speed 100")
            << QByteArray::fromHex("01250400000064") << QByteArray::fromHex("01250400000064FCDE")
            << QByteArray(":0125040000006472\r\n");
        QTest::newRow("read one register")
            << QByteArray::fromHex("010300000001") << QByteArray::fromHex("010300000001840A")
            << QByteArray(":010300000001FB\r\n");
    }
    void frames() {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, rtu);
        QFETCH(QByteArray, ascii);
        QCOMPARE(codec::rtuFrame(body), rtu);
        QCOMPARE(codec::asciiFrame(body), ascii);
        QVERIFY(codec::hasValidCrc(rtu));
        QCOMPARE(codec::decodeAsciiFrame(ascii).value_or("none"), body);
        QCOMPARE(codec::decodeAsciiFrame(ascii.toLower()).value_or("none"), body);
    }

    void asciiDecodeRejects_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("bad lrc") << QByteArray(":012000DE\r\n");
        QTest::newRow("no colon") << QByteArray("012000DF\r\n");
        QTest::newRow("no cr lf") << QByteArray(":012000DF");
        QTest::newRow("odd digits") << QByteArray(":012000DFF\r\n");
        QTest::newRow("non hex") << QByteArray(":01G000DF\r\n");
        QTest::newRow("too short") << QByteArray(":00\r\n");
        QTest::newRow("rtu frame") << QByteArray::fromHex("01200039C0");
    }
    void asciiDecodeRejects() {
        QFETCH(QByteArray, bytes);
        QVERIFY(!codec::decodeAsciiFrame(bytes));
    }
};

QTEST_APPLESS_MAIN(TestChecksums)
#include "tst_checksums.moc"
