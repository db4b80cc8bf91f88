// What the send engine makes of a frame (caption, register mapping), how received bytes split into
// reply frames and what each means, without a window. CRCs and LRCs are computed with python3.

#include <QTest>

#include "codec/Framing.h"
#include "tests/support/Hex.h"
#include "transmission/Outgoing.h"
#include "transmission/Reply.h"
#include "transmission/ReplyReader.h"

using namespace transmission;

class TestTransmission : public QObject {
    Q_OBJECT

private slots:
    void captions_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("caption");
        // clang-format off
        QTest::newRow("handshake") << hex("01200039C0") << "请求握手命令:";
        QTest::newRow("register base") << hex("013F0400") << "设置存储器偏移地址:";
        QTest::newRow("IO download: none") << hex("0140070131") << "";
        QTest::newRow("CAN baud: none") << hex("014B010C705B") << "";
        QTest::newRow("one byte: none") << hex("01") << "";
        QTest::newRow("ASCII by its real code") << QByteArray(":014700B8\r\n") << "出厂设置命令:";
        // A bad LRC is no ASCII frame: read as RTU, its second byte '0' is 0x30.
        QTest::newRow("broken ASCII read as RTU") << QByteArray(":012000DE\r\n") << "查询归零运动速度:";
        // clang-format on
    }
    void captions() {
        QFETCH(QByteArray, frame);
        QFETCH(QString, caption);
        const Outgoing out = prepareOutgoing(frame, std::nullopt);
        QCOMPARE(QString::fromUtf8(out.caption ? out.caption : ""), caption);
        QCOMPARE(out.wire, frame);
    }

    void mapping_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<double>("base");
        QTest::addColumn<bool>("write");
        QTest::addColumn<QByteArray>("wire");
        const QByteArray speed = hex("01250400002710E709"); // start speed 10000 at address 1
        // clang-format off
        QTest::newRow("read") << speed << 100.0 << false << hex("010300890002 15E1");
        QTest::newRow("write") << speed << 100.0 << true << hex("0110008900020400002710 2199");
        QTest::newRow("handshake written: no registers") << hex("01200039C0") << 100.0 << true << hex("011000840000 00 21A0");
        // One data byte: R = 2 and the byte count says 4 while one byte follows.
        QTest::newRow("one data byte") << hex("012201022183") << 0.0 << true << hex("01100022000204 02 4AC0");
        QTest::newRow("base 100.5 + 0x25 rounds to 138") << speed << 100.5 << false << hex("0103008A0002 E5E1");
        QTest::newRow("base 99.5 + 0x25 rounds to 136") << speed << 99.5 << false << hex("010300880002 4421");
        QTest::newRow("register wraps to 16 bits") << speed << 65636.0 << false << hex("010300890002 15E1");
        QTest::newRow("negative base: low 16 bits") << speed << -38.0 << false << hex("0103FFFF0002 C42F");
        QTest::newRow("ASCII mapped from its bytes") << codec::asciiFrame(hex("01250400002710")) << 100.0 << true << codec::asciiFrame(hex("0110008900020400002710"));
        QTest::newRow("under five bytes: unmapped") << hex("01200039") << 0.0 << false << hex("01200039");
        // clang-format on
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
    // A frame built here is mapped from the body it was built from, in its own framing.
    void mappingOfABuiltFrame() {
        const QByteArray body = hex("3A2000"); // address 0x3A: an RTU frame that starts with ':'
        const Outgoing out =
            prepareOutgoing(codec::rtuFrame(body), Mapping{0, MappingMode::Read}, body);
        QCOMPARE(out.wire, codec::rtuFrame(hex("3A0300200002")));
    }
    // R's high byte is R / 256 rounded half to even: 128 registers are exactly a half.
    void registerCountRounding() {
        for (const auto &[dataBytes, high] : {std::pair{256, 0}, {768, 2}, {1280, 2}})
            QCOMPARE(int(quint8(mapRequest(hex("0131FF") + QByteArray(dataBytes, '\x11'), 0,
                                           MappingMode::Write)[4])),
                     high);
    }

    // Received bytes, in the reads the port gave them ("|" between reads; "flush": nothing more
    // came), and the frames the reader finds: kind, then the bytes as they travelled. CRCs and
    // LRCs come from python3, not from our own code.
    void readerFrames_data() {
        QTest::addColumn<QString>("reads");
        QTest::addColumn<bool>("flush");
        QTest::addColumn<QStringList>("frames");
        // clang-format off
        QTest::newRow("two in one read") << "01260400000064FCED 01280400002710E614" << false << QStringList{"R 01260400000064FCED", "R 01280400002710E614"};
        QTest::newRow("three in one read") << "01370400001388F311 013B04010101016EE7 01280400002710E614" << false << QStringList{"R 01370400001388F311", "R 013B04010101016EE7", "R 01280400002710E614"};
        QTest::newRow("short then long") << "013C 01260400000064FCED" << false << QStringList{"R 013C", "R 01260400000064FCED"};
        QTest::newRow("two ASCII replies") << "3A303132363034303030303030363437310D0A 3A303133444332 0D0A" << false << QStringList{"A 3A303132363034303030303030363437310D0A", "A 3A3031334443320D0A"};
        QTest::newRow("split across reads") << "01260400|000064FCED" << false << QStringList{"R 01260400000064FCED"};
        QTest::newRow("cut, rest never came") << "01260400" << true << QStringList{"I 01260400"};
        QTest::newRow("noise before a reply") << "2F2ABE 01300400002710E5CC" << false << QStringList{"R 01300400002710E5CC"};
        QTest::newRow("noise waits for the reply's rest") << "2F2ABE 0130|0400002710E5CC" << false << QStringList{"R 01300400002710E5CC"};
        QTest::newRow("noise alone is dropped") << "2F2ABE" << true << QStringList{};
        QTest::newRow("corrupted CRC") << "01260400000064FCEE" << false << QStringList{"C 01260400000064FCEE"};
        QTest::newRow("corrupted byte, then a reply") << "01260400010064FCED 01280400002710E614" << false << QStringList{"C 01260400010064FCED", "R 01280400002710E614"};
        QTest::newRow("mapped read and write") << "01030400000064FBD8 0110008900029022" << false << QStringList{"R 01030400000064FBD8", "R 0110008900029022"};
        // 0x44 and 0x45 are codes with short replies: data bytes must not be read as such.
        QTest::newRow("data like short codes, split") << "013604000044|450D65" << false << QStringList{"R 013604000044450D65"};
        // 00 A6 could start a failure reply; the cut reply inside it decides.
        QTest::newRow("noise before a cut reply") << "00A601260400|000064FCED" << false << QStringList{"R 01260400000064FCED"};
        QTest::newRow("noise like a failure before a cut reply") << "E7E0B4012604|00000064FCED" << false << QStringList{"R 01260400000064FCED"};
        QTest::newRow("cut reply, then a short one") << "01260400 013C" << true << QStringList{"I 01260400", "R 013C"};
        // A damaged byte made this claim 200 data bytes (0x41's count varies): the reply after it is
        // not held back until they came.
        QTest::newRow("damaged count before a reply") << "0141C8 01260400000064FCED" << false << QStringList{"R 01260400000064FCED"};
        // A short reply carries no check: only one from an address asked is believed.
        QTest::newRow("short reply from an address not asked") << "2C3D" << true << QStringList{};
        QTest::newRow("ASCII reply whose colon was damaged") << "6F 3031324230304434 0D0A" << true << QStringList{};
        // Noise that starts like a failure reply (code BF, error 01) before a short reply.
        QTest::newRow("noise like a failure, then a short reply") << "F8BF013C 01260400000064FCED" << false << QStringList{"R 013C", "R 01260400000064FCED"};
        // A damaged reply holding the start of a long register read (03 E8): the good replies
        // after it are not kept waiting for the 232 bytes it claims.
        QTest::newRow("damaged reply, then good ones") << "012A0400F603E8FD74 01280400002710E614|01280400002710E614" << false << QStringList{"C 012A0400F603E8FD74", "R 01280400002710E614", "R 01280400002710E614"};
        // Noise is no news: damage that cannot answer a request that went out is dropped.
        QTest::newRow("cut frame of a code not asked") << "0100002000" << true << QStringList{};
        QTest::newRow("damaged frame from an address not asked") << "02260400000064FCEE" << true << QStringList{};
        // clang-format on
    }
    // The requests the rows answer: address 1, these codes.
    static void expectRequests(ReplyReader &reader) {
        for (const quint8 code : {0x26, 0x28, 0x2A, 0x30, 0x36, 0x37, 0x3B, 0x3C, 0x3D, 0x25, 0x03})
            reader.expect(0x01, code);
    }
    void readerFrames() {
        QFETCH(QString, reads);
        QFETCH(bool, flush);
        QFETCH(QStringList, frames);
        ReplyReader reader;
        expectRequests(reader);
        QStringList found;
        auto record = [&found](const std::vector<ReplyFrame> &got) {
            for (const ReplyFrame &f : got)
                found << QString(QChar(f.ascii ? 'A' : "RFCI"[int(f.kind)])) + u' ' +
                             QString::fromLatin1(f.bytes.toHex().toUpper());
        };
        for (const QString &read : reads.split(u'|'))
            record(reader.feed(hex(read.toLatin1().constData())));
        if (flush)
            record(reader.flush());
        QCOMPARE(found, frames);
        QCOMPARE(reader.waiting(), false);
    }
    void readerMeaning_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("value");
        // clang-format off
        QTest::newRow("value") << hex("01260400000064FCED") << "查询运动初速度:" << "100";
        QTest::newRow("address 1F") << hex("1F21005856") << "查询设备地址:当前地址为1F" << "31";
        QTest::newRow("baud code") << hex("012301067180") << "查询当前波特率:当前波特率设置为6" << "6";
        QTest::newRow("speed: top bit unsigned") << hex("01360480000000D656") << "查询运动速度:" << "2147483648";
        QTest::newRow("short stop") << hex("013C") << "急停命令:" << "";
        QTest::newRow("factor: own message") << hex("0144") << "设置变速因子命令:" << "";
        QTest::newRow("not named: 0x3F") << hex("013F0031F0") << "" << "";
        QTest::newRow("failure names command and error") << hex("01A5031B51") << "设置运动初速度:设备拒绝执行，错误码 03（数据值无效）" << "";
        QTest::newRow("failure, error without meaning") << hex("01A50B1A97") << "设置运动初速度:设备拒绝执行，错误码 0B" << "";
        QTest::newRow("bad CRC: no value") << hex("01260400000064FCEE") << "校验错误:" << "";
        QTest::newRow("incomplete names the command") << hex("01260400") << "回复不完整:查询运动初速度:" << "";
        // clang-format on
    }
    void readerMeaning() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QFETCH(QString, value);
        ReplyReader reader;
        expectRequests(reader);
        std::vector<ReplyFrame> frames = reader.feed(bytes);
        for (ReplyFrame &f : reader.flush())
            frames.push_back(f);
        QCOMPARE(frames.size(), size_t(1));
        const Reply reply = readReply(frames[0]);
        QCOMPARE(messageOf(reply), message);
        QCOMPARE(reply.value ? QString::number(*reply.value) : QString(), value);
    }

    void statesAndInputs() {
        const auto read = [](const char *body) {
            ReplyFrame frame;
            frame.body = hex(body);
            return readReply(frame);
        };
        const Reply moving = read("013B0401000102");
        QVERIFY(moving.motion && moving.motion->moving && moving.motion->leftLimit &&
                !moving.motion->origin && moving.motion->rightLimit);
        const Reply stopped = read("013B0400010101");
        QVERIFY(stopped.motion && !stopped.motion->moving && !stopped.motion->leftLimit);
        const Reply inputs = read("0142050101000105");
        QCOMPARE(inputs.inputs, (std::array<bool, 5>{false, false, true, false, true}));
    }
};

QTEST_APPLESS_MAIN(TestTransmission)
#include "tst_transmission.moc"
