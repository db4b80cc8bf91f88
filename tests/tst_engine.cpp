// The exchange engine on a real pseudo-terminal, the test playing the device: an exchange is
// answered only by its own reply, a late reply answers nothing, one request is on the line at a
// time, a lost port ends what waits. CRCs come from python3.

#include <QSignalSpy>
#include <QTest>

#include "serial/MSComm.h"
#include "tests/support/Hex.h"
#include "tests/support/Pty.h"
#include "transmission/Engine.h"

using transmission::Engine;
using transmission::Exchange;
using Status = transmission::Reply::Status;

namespace {

const QByteArray kGetMaxSpeed = hex("0128003E00");
const QByteArray kGetStartSpeed = hex("012600 3A60");
constexpr int kTimeoutMs = 300;

struct Line {
    Pty pty;
    Engine engine;
    std::vector<Exchange> ended;

    Line() {
        engine.port().setPortName(pty.slavePath());
        engine.port().setSettings(QStringLiteral("9600,n,8,1"));
        QVERIFY(!engine.port().open());
    }
    void ask(const QByteArray &frame, int timeoutMs = kTimeoutMs) {
        engine.exchange({frame, std::nullopt, timeoutMs, false},
                        [this](const Exchange &exchange) { ended.push_back(exchange); });
    }
    bool waitEnded(size_t count) {
        return QTest::qWaitFor([&] { return ended.size() >= count; }, 3000);
    }
};

} // namespace

class TestEngine : public QObject {
    Q_OBJECT

private slots:
    // What the device answers get-max-speed with, and how the exchange ends.
    void answeredByItsOwnReply_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("status"); // -1: no answer within the timeout
        QTest::addColumn<qint64>("value");
        // clang-format off
        QTest::newRow("its reply") << hex("01280400002710E614") << int(Status::Good) << qint64(10000);
        QTest::newRow("noise, then its reply") << hex("2F2ABE 01280400002710E614") << int(Status::Good) << qint64(10000);
        QTest::newRow("its failure reply") << hex("01A8031FC1") << int(Status::Failure) << qint64(-1);
        QTest::newRow("a stop's short reply") << hex("013C") << -1 << qint64(-1);
        QTest::newRow("another command's reply") << hex("01260400000064FCED") << -1 << qint64(-1);
        QTest::newRow("another address's reply") << hex("02280400002710D514") << -1 << qint64(-1);
        QTest::newRow("its reply damaged") << hex("01280400002711E614") << int(Status::CheckFailed) << qint64(-1);
        QTest::newRow("its reply cut short") << hex("0128040000") << int(Status::Incomplete) << qint64(-1);
        // clang-format on
    }
    void answeredByItsOwnReply() {
        QFETCH(QByteArray, answer);
        QFETCH(int, status);
        QFETCH(qint64, value);
        Line line;
        QSignalSpy reads(&line.engine, &Engine::received);
        line.ask(kGetMaxSpeed);
        QCOMPARE(line.pty.readAtLeast(kGetMaxSpeed.size()), kGetMaxSpeed);
        QVERIFY(line.pty.write(answer));
        QVERIFY(line.waitEnded(1));
        const Exchange &exchange = line.ended[0];
        QVERIFY(exchange.portProblem.isEmpty());
        QCOMPARE(exchange.received, answer); // every byte shows as traffic all the same
        QVERIFY(!reads.isEmpty());
        QCOMPARE(exchange.reply ? int(exchange.reply->status) : -1, status);
        QCOMPARE(exchange.reply && exchange.reply->value ? *exchange.reply->value : -1, value);
    }

    // A reply shorter than the longest its request may get, or in pieces with pauses between,
    // ends its exchange once whole, long before the timeout: the port hands bytes on once the
    // line falls silent, not only once the longest reply's count came.
    void shortOrPausedReplyAnswersAtOnce_data() {
        QTest::addColumn<QByteArrayList>("pieces");
        QTest::addColumn<int>("status");
        QTest::newRow("failure reply") << QByteArrayList{hex("01A8031FC1")} << int(Status::Failure);
        QTest::newRow("failure reply, a byte at a time")
            << QByteArrayList{hex("01"), hex("A8"), hex("03"), hex("1F"), hex("C1")}
            << int(Status::Failure);
        QTest::newRow("reply in two pieces")
            << QByteArrayList{hex("0128040000"), hex("2710E614")} << int(Status::Good);
    }
    void shortOrPausedReplyAnswersAtOnce() {
        QFETCH(QByteArrayList, pieces);
        QFETCH(int, status);
        Line line;
        line.ask(kGetMaxSpeed, 60000);
        QCOMPARE(line.pty.readAtLeast(kGetMaxSpeed.size()), kGetMaxSpeed);
        for (const QByteArray &piece : pieces) {
            QVERIFY(line.pty.write(piece));
            QTest::qWait(30);
        }
        QVERIFY(line.waitEnded(1));
        QCOMPARE(line.ended[0].received, pieces.join());
        QCOMPARE(line.ended[0].reply ? int(line.ended[0].reply->status) : -1, status);
    }

    // A reply that comes after its exchange gave up is traffic: the next exchange, even with the
    // same request, is not answered by it.
    void lateReplyAnswersNothing() {
        Line line;
        line.ask(kGetMaxSpeed);
        QVERIFY(line.waitEnded(1));
        QVERIFY(!line.ended[0].reply);
        QVERIFY(line.pty.write(hex("01280400002710E614")));
        QTest::qWait(50);
        line.ask(kGetMaxSpeed);
        QVERIFY(line.waitEnded(2));
        QCOMPARE(line.ended[1].stale, hex("01280400002710E614"));
        QVERIFY(!line.ended[1].reply);
    }

    // One request on the line at a time: the second goes out once the first is answered.
    void oneRequestAtATime() {
        Line line;
        line.ask(kGetMaxSpeed);
        line.ask(kGetStartSpeed);
        QCOMPARE(line.pty.readFor(100), kGetMaxSpeed);
        QVERIFY(line.pty.write(hex("01280400002710E614")));
        QCOMPARE(line.pty.readAtLeast(kGetStartSpeed.size()), kGetStartSpeed);
        QVERIFY(line.pty.write(hex("01260400000064FCED")));
        QVERIFY(line.waitEnded(2));
        QCOMPARE(*line.ended[0].reply->value, 10000);
        QCOMPARE(*line.ended[1].reply->value, 100);
    }

    // The port going away ends the exchange on the line and those queued, each once.
    void lostPortEndsWhatWaits() {
        Line line;
        QSignalSpy lost(&line.engine.port(), &serial::MSComm::portLost);
        line.ask(kGetMaxSpeed);
        line.ask(kGetStartSpeed);
        QCOMPARE(line.pty.readAtLeast(kGetMaxSpeed.size()), kGetMaxSpeed);
        line.pty.closeMaster();
        QVERIFY(line.waitEnded(2));
        QTest::qWait(50);
        QCOMPARE(line.ended.size(), size_t(2));
        for (const Exchange &exchange : line.ended)
            QVERIFY(!exchange.portProblem.isEmpty());
        QCOMPARE(lost.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
