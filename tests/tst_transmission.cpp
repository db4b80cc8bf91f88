// What the send engine makes of a frame (captions, register mapping) and what a batch of
// received bytes means, without a window. Mapped frames are checked against byte sequences
// whose CRCs come from python3-crcmod, not from our own code.

#include <QTest>

#include "codec/Framing.h"
#include "transmission/Outgoing.h"
#include "transmission/Reply.h"

using namespace transmission;
using Lamps = QList<QPair<QString, bool>>;

namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

Lamps lampsOf(const ReplyEffects &effects) {
    Lamps out;
    for (const auto &lamp : effects.lamps)
        out.append({lamp.shape, lamp.red});
    return out;
}

} // namespace

class TestTransmission : public QObject {
    Q_OBJECT

private slots:
    void captions_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("caption");
        QTest::newRow("handshake") << hex("01200039C0") << QString::fromUtf8("请求握手命令:");
        QTest::newRow("start speed")
            << hex("01250400000064FCDE") << QString::fromUtf8("设置运动初速度:");
        QTest::newRow("emergency stop") << hex("013C00") << QString::fromUtf8("急停命令:");
        QTest::newRow("offset") << hex("013F0400") << QString::fromUtf8("设置存储器偏移地址:");
        QTest::newRow("IO download has none") << hex("0140070131") << QString();
        QTest::newRow("IO query has none") << hex("0141010150") << QString();
        QTest::newRow("CAN has none") << hex("014B010C705B") << QString();
        QTest::newRow("one byte") << hex("01") << QString();
        QTest::newRow("ascii frame by its real code")
            << QByteArray(":012000DF\r\n") << QString::fromUtf8("请求握手命令:");
        QTest::newRow("ascii factory")
            << codec::asciiFrame(hex("014700")) << QString::fromUtf8("出厂设置命令:");
        // Not a complete ASCII frame (bad LRC): read as RTU, so its second byte '0' is 0x30.
        QTest::newRow("broken ascii read as rtu")
            << QByteArray(":012000DE\r\n") << QString::fromUtf8("查询归零运动速度:");
    }
    void captions() {
        QFETCH(QByteArray, frame);
        QFETCH(QString, caption);
        QCOMPARE(prepareOutgoing(frame, std::nullopt).caption.value_or(QString()), caption);
        QCOMPARE(prepareOutgoing(frame, std::nullopt).wire, frame);
    }

    void mapping_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<double>("base");
        QTest::addColumn<bool>("write");
        QTest::addColumn<QByteArray>("wire");
        const QByteArray startSpeed = hex("01250400002710E709");
        QTest::newRow("read") << startSpeed << 100.0 << false << hex("010300890002 15E1");
        QTest::newRow("write") << startSpeed << 100.0 << true << hex("0110008900020400002710 2199");
        QTest::newRow("handshake write, no registers")
            << hex("01200039C0") << 100.0 << true << hex("011000840000 00 21A0");
        // One data byte: R = 2, the byte count says 4 while one byte follows.
        QTest::newRow("change address write")
            << hex("0122010221 83") << 0.0 << true << hex("01100022000204 02 4AC0");
        // 100.5 + 0x25 = 137.5 -> 138; 99.5 + 0x25 = 136.5 -> 136.
        QTest::newRow("base rounds half up to even")
            << startSpeed << 100.5 << false << hex("0103008A0002 E5E1");
        QTest::newRow("base rounds half down to even")
            << startSpeed << 99.5 << false << hex("010300880002 4421");
        QTest::newRow("base wraps to 16 bits")
            << startSpeed << 65536.0 + 100 << false << hex("010300890002 15E1");
        QTest::newRow("negative base takes low 16 bits")
            << startSpeed << -38.0 << false << hex("0103FFFF0002 C42F");
        // A complete ASCII frame is mapped from the bytes it carries and goes out in ASCII.
        QTest::newRow("ascii read") << codec::asciiFrame(hex("01250400002710")) << 100.0 << false
                                    << codec::asciiFrame(hex("010300890002"));
        QTest::newRow("ascii write") << codec::asciiFrame(hex("01250400002710")) << 100.0 << true
                                     << codec::asciiFrame(hex("0110008900020400002710"));
        // Too short to carry address, code and count: sent as it is.
        QTest::newRow("four bytes unmapped") << hex("01200039") << 0.0 << false << hex("01200039");
        QTest::newRow("empty unmapped") << QByteArray() << 0.0 << true << QByteArray();
    }
    void mapping() {
        QFETCH(QByteArray, frame);
        QFETCH(double, base);
        QFETCH(bool, write);
        QFETCH(QByteArray, wire);
        const Outgoing out =
            prepareOutgoing(frame, Mapping{base, write ? MappingMode::Write : MappingMode::Read});
        QCOMPARE(out.wire.toHex(' '), wire.toHex(' '));
        QCOMPARE(out.mapped, out.wire != frame);
    }

    // R's high byte is R / 256 rounded half to even: 0x80 registers' worth of data is exactly
    // a half, and rounds down to 0.
    void mappingRegisterCountRounding() {
        const QByteArray body = hex("0131FF") + QByteArray(256, '\x11');
        const QByteArray request = mapRequest(body, 0, MappingMode::Write);
        QCOMPARE(int(quint8(request[4])), 0); // 128 / 256 = 0.5 -> 0
        QCOMPARE(int(quint8(request[5])), 128);
        QCOMPARE(int(quint8(request[6])), 0); // 2R = 256 -> 0
        // 640 registers: 2.5 -> 2; 384 registers: 1.5 -> 2.
        QCOMPARE(int(quint8(mapRequest(hex("0131FF") + QByteArray(1280, '\x11'), 0,
                                       MappingMode::Write)[4])),
                 2);
        QCOMPARE(int(quint8(mapRequest(hex("0131FF") + QByteArray(768, '\x11'), 0,
                                       MappingMode::Write)[4])),
                 2);
    }

    void replies_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("value");
        QTest::newRow("handshake") << hex("01200039C0") << QString::fromUtf8("请求握手命令:") << ""
                                   << "";
        QTest::newRow("address query")
            << hex("0121000000") << QString::fromUtf8("查询设备地址:当前地址为1") << ""
            << "";
        QTest::newRow("address 1F")
            << hex("1F21011F00 00") << QString::fromUtf8("查询设备地址:当前地址为1F") << ""
            << "";
        QTest::newRow("baud code")
            << hex("012301060000") << QString::fromUtf8("查询当前波特率:当前波特率设置为6") << ""
            << "";
        QTest::newRow("start speed")
            << hex("012604000027100000") << QString::fromUtf8("查询运动初速度:") << "Text27"
            << "10000";
        QTest::newRow("seven bytes: message only")
            << hex("01260400002710") << QString::fromUtf8("查询运动初速度:") << ""
            << "";
        QTest::newRow("speed 100000")
            << hex("013604000186A00000") << QString::fromUtf8("查询运动速度:") << "Text17"
            << "100000";
        QTest::newRow("speed top bit unsigned")
            << hex("01360480000000 0000") << QString::fromUtf8("查询运动速度:") << "Text17"
            << "2147483648";
        QTest::newRow("absolute -2")
            << hex("013704FFFFFFFE0000") << QString::fromUtf8("查询运动绝对位置:") << "Text18"
            << "-2";
        QTest::newRow("absolute min")
            << hex("0137048000000000 00") << QString::fromUtf8("查询运动绝对位置:") << "Text18"
            << "-2147483648";
        QTest::newRow("relative max")
            << hex("0139047FFFFFFF0000") << QString::fromUtf8("查询运动相对位置:") << "Text19"
            << "2147483647";
        QTest::newRow("max speed")
            << hex("0128040000271000 00") << QString::fromUtf8("查询运动最大速度:") << "Text26"
            << "10000";
        QTest::newRow("end speed")
            << hex("012A04000003E80000") << QString::fromUtf8("查询运动末速度:") << "Text25"
            << "1000";
        QTest::newRow("acceleration")
            << hex("012C04000000010000") << QString::fromUtf8("查询运动加速度:") << "Text24"
            << "1";
        QTest::newRow("deceleration")
            << hex("012E04000000020000") << QString::fromUtf8("查询运动减速度:") << "Text6"
            << "2";
        QTest::newRow("homing speed")
            << hex("013004000000030000") << QString::fromUtf8("查询归零运动速度:") << "Text28"
            << "3";
        QTest::newRow("short stop") << hex("013C") << QString::fromUtf8("急停命令:") << ""
                                    << "";
        QTest::newRow("short factor") << hex("0144") << QString::fromUtf8("设置变速因子命令:") << ""
                                      << "";
        QTest::newRow("short factory") << hex("0147") << QString::fromUtf8("出厂设置命令:") << ""
                                       << "";
        QTest::newRow("short code in long batch") << hex("013C000000") << ""
                                                  << ""
                                                  << "";
        QTest::newRow("long code in short batch") << hex("0120") << ""
                                                  << ""
                                                  << "";
        QTest::newRow("failure reply") << hex("01A5030000") << ""
                                       << ""
                                       << "";
        QTest::newRow("unlisted 0x3F") << hex("013F000000") << ""
                                       << ""
                                       << "";
        QTest::newRow("one byte") << hex("01") << ""
                                  << ""
                                  << "";
        QTest::newRow("empty") << QByteArray() << ""
                               << ""
                               << "";
        // A complete ASCII reply is read as the RTU reply it carries.
        QTest::newRow("ascii value") << codec::asciiFrame(hex("01260400002710"))
                                     << QString::fromUtf8("查询运动初速度:") << "Text27"
                                     << "10000";
        QTest::newRow("ascii short")
            << codec::asciiFrame(hex("013D")) << QString::fromUtf8("减速停止命令:") << ""
            << "";
        QTest::newRow("ascii address") << codec::asciiFrame(hex("0A21010A"))
                                       << QString::fromUtf8("查询设备地址:当前地址为A") << ""
                                       << "";
    }
    void replies() {
        QFETCH(QByteArray, data);
        QFETCH(QString, message);
        QFETCH(QString, box);
        QFETCH(QString, value);
        const ReplyEffects effects = interpretReply(data, int(data.size()));
        QCOMPARE(effects.message.value_or(QString()), message);
        QCOMPARE(effects.value ? effects.value->box : QString(), box);
        QCOMPARE(effects.value ? effects.value->text : QString(), value);
    }

    void lamps_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("state");
        QTest::addColumn<Lamps>("lamps");
        QTest::newRow("stopped, no limits")
            << hex("013B04000101010000") << QString::fromUtf8("停止")
            << Lamps{{"Shape1", false}, {"Shape2", false}, {"Shape3", false}, {"Shape4", false}};
        QTest::newRow("moving, left and right")
            << hex("013B04010001020000") << QString::fromUtf8("运动中")
            << Lamps{{"Shape1", true}, {"Shape2", true}, {"Shape3", false}, {"Shape4", true}};
        QTest::newRow("state 7 is moving")
            << hex("013B04070101010000") << QString::fromUtf8("运动中")
            << Lamps{{"Shape1", true}, {"Shape2", false}, {"Shape3", false}, {"Shape4", false}};
        QTest::newRow("state too short") << hex("013B040001010100").left(7) << "" << Lamps{};
        QTest::newRow("inputs 3 and 5") << hex("01420501010001050000") << ""
                                        << Lamps{{"Shape5", false},
                                                 {"Shape6", false},
                                                 {"Shape7", true},
                                                 {"Shape8", false},
                                                 {"Shape9", true}};
    }
    void lamps() {
        QFETCH(QByteArray, data);
        QFETCH(QString, state);
        QFETCH(Lamps, lamps);
        const ReplyEffects effects = interpretReply(data, int(data.size()));
        QCOMPARE(effects.motionText.value_or(QString()), state);
        QCOMPARE(lampsOf(effects), lamps);
    }

    // The count rule uses the count the port reported; value decoding uses the bytes there are.
    void countChoosesTheTable() {
        QCOMPARE(interpretReply(hex("013C000000"), 2).message.value_or(QString()),
                 QString::fromUtf8("急停命令:"));
        QVERIFY(!interpretReply(hex("013C"), 3).message);
        QVERIFY(!interpretReply(hex("0120"), 0).message);
    }
};

QTEST_APPLESS_MAIN(TestTransmission)
#include "tst_transmission.moc"
