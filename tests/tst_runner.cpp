// The runner's tick as a function of the list, the position and the default interval: what is
// sent, how long the wait before the next tick is, and which line comes next.

#include <QTest>

#include "automation/Runner.h"

using automation::runnerStep;

namespace {

QByteArray bytes(const char *hex) {
    return QByteArray::fromHex(hex);
}

// Plays `ticks` ticks from position 0 and writes each as "<frame hex or ->/<interval>".
QStringList play(const QStringList &lines, int ticks, const QString &defaultInterval) {
    QStringList trace;
    int runLine = 0;
    for (int i = 0; i < ticks; ++i) {
        const auto step = runnerStep(lines, runLine, defaultInterval);
        trace << QStringLiteral("%1/%2")
                     .arg(step.frame.isEmpty() ? QStringLiteral("-")
                                               : QString::fromLatin1(step.frame.toHex(' ')))
                     .arg(step.interval);
        runLine = step.nextRunLine;
    }
    return trace;
}

} // namespace

class TestRunner : public QObject {
    Q_OBJECT

private slots:
    void step_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("runLine");
        QTest::addColumn<QString>("defaultInterval");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("next");

        const QStringList delayed{"AA", "Delay:500", "BB"};
        QTest::newRow("frame, then the next line")
            << QStringList{"01 20 00 ", "03"} << 0 << "1000" << bytes("012000") << 1000 << 1;
        QTest::newRow("default interval from the box")
            << QStringList{"AA", "BB"} << 0 << "250" << bytes("aa") << 250 << 1;
        QTest::newRow("a Delay line after the frame is its wait, consumed")
            << delayed << 0 << "1000" << bytes("aa") << 500 << 2;
        QTest::newRow("last line wraps to 0") << delayed << 2 << "1000" << bytes("bb") << 1000 << 0;
        QTest::newRow("a Delay line consumed at the end wraps")
            << QStringList{"AA", "Delay:300"} << 0 << "1000" << bytes("aa") << 300 << 0;
        QTest::newRow("Delay line at position 0 sends nothing, its value unused")
            << QStringList{"Delay:500", "AA"} << 0 << "700" << QByteArray() << 700 << 1;
        QTest::newRow("second of two Delay lines reached directly")
            << QStringList{"AA", "Delay:300", "Delay:900", "BB"} << 2 << "1000" << QByteArray()
            << 1000 << 3;
        QTest::newRow("Delay:0 stops the ticks")
            << QStringList{"AA", "Delay:0"} << 0 << "1000" << bytes("aa") << 0 << 0;
        QTest::newRow("Delay above 65535 keeps the default")
            << QStringList{"AA", "Delay:70000", "BB"} << 0 << "200" << bytes("aa") << 200 << 2;
        QTest::newRow("negative Delay keeps the default")
            << QStringList{"AA", "Delay:-1", "BB"} << 0 << "200" << bytes("aa") << 200 << 2;
        QTest::newRow("Delay value rounded half to even")
            << QStringList{"AA", "Delay:250.5", "BB"} << 0 << "200" << bytes("aa") << 250 << 2;
        QTest::newRow("sixth character not examined")
            << QStringList{"AA", "Delay=300", "BB"} << 0 << "1000" << bytes("aa") << 300 << 2;
        QTest::newRow("Delay line without a number waits 0")
            << QStringList{"AA", "Delay:x", "BB"} << 0 << "1000" << bytes("aa") << 0 << 2;

        QTest::newRow("jump taken")
            << QStringList{"AA", "GoIdx:0", "BB"} << 0 << "1000" << bytes("aa") << 1000 << 0;
        QTest::newRow("jump to the count is not taken")
            << QStringList{"AA", "GoIdx:3", "BB"} << 0 << "1000" << bytes("aa") << 1000 << 1;
        QTest::newRow("jump line reached directly is skipped")
            << QStringList{"AA", "GoIdx:3", "BB"} << 1 << "1000" << QByteArray() << 1000 << 2;
        QTest::newRow("jump at position 0 never jumps")
            << QStringList{"GoIdx:2", "AA", "BB"} << 0 << "1000" << QByteArray() << 1000 << 1;
        QTest::newRow("jump after a Delay line is not looked at")
            << QStringList{"AA", "Delay:300", "GoIdx:0", "BB"} << 0 << "1000" << bytes("aa") << 300
            << 2;
        QTest::newRow("jump target rounded half to even")
            << QStringList{"AA", "GoIdx:2.5", "BB", "CC"} << 0 << "1000" << bytes("aa") << 1000
            << 2;
        QTest::newRow("negative jump taken: outside the list")
            << QStringList{"AA", "GoIdx:-1"} << 0 << "1000" << bytes("aa") << 1000 << -1;
        QTest::newRow("jump that RunLine cannot hold is not taken")
            << QStringList{"AA", "GoIdx:-40000", "BB"} << 0 << "1000" << bytes("aa") << 1000 << 1;
        QTest::newRow("jump without a number goes to 0")
            << QStringList{"AA", "BB", "GoIdx:"} << 1 << "1000" << bytes("bb") << 1000 << 0;

        QTest::newRow("empty line idles")
            << QStringList{"AA", "", "BB"} << 1 << "200" << QByteArray() << 1000 << 1;
        QTest::newRow("position past the end idles")
            << QStringList{"AA"} << 5 << "200" << QByteArray() << 1000 << 5;
        QTest::newRow("negative position idles")
            << QStringList{"AA"} << -1 << "200" << QByteArray() << 1000 << -1;
        QTest::newRow("empty list idles")
            << QStringList{} << 0 << "200" << QByteArray() << 1000 << 0;

        QTest::newRow("default 0 stops the ticks")
            << QStringList{"AA", "BB"} << 0 << "0" << bytes("aa") << 0 << 1;
        QTest::newRow("default above 65535 falls back to 1000")
            << QStringList{"AA", "BB"} << 0 << "70000" << bytes("aa") << 1000 << 1;
        QTest::newRow("default rounded half to even")
            << QStringList{"AA", "BB"} << 0 << "251.5" << bytes("aa") << 252 << 1;

        // Frame lines: blanks removed, odd counts padded before the last digit, pairs read as hex.
        QTest::newRow("01 3") << QStringList{"01 3"} << 0 << "1000" << bytes("0103") << 1000 << 0;
        QTest::newRow("013") << QStringList{"013"} << 0 << "1000" << bytes("0103") << 1000 << 0;
        QTest::newRow("1") << QStringList{"1"} << 0 << "1000" << bytes("01") << 1000 << 0;
        QTest::newRow("Delay alone is a frame line")
            << QStringList{"Delay"} << 0 << "1000" << bytes("de0000") << 1000 << 0;
        QTest::newRow("GoIdx alone is a frame line")
            << QStringList{"GoIdx"} << 0 << "1000" << bytes("000000") << 1000 << 0;
        QTest::newRow("case matters")
            << QStringList{"delay:5"} << 0 << "1000" << bytes("de000005") << 1000 << 0;
        QTest::newRow("a tab takes part in the pairs")
            << QStringList{"0A\tFF"} << 0 << "1000" << bytes("0a000f") << 1000 << 0;
        QTest::newRow("non-hex second digit")
            << QStringList{"1G G1"} << 0 << "1000" << bytes("0100") << 1000 << 0;
        QTest::newRow("blanks only send nothing, the run goes on")
            << QStringList{"   ", "AA"} << 0 << "300" << QByteArray() << 300 << 1;
    }

    void step() {
        QFETCH(QStringList, lines);
        QFETCH(int, runLine);
        QFETCH(QString, defaultInterval);
        QFETCH(QByteArray, frame);
        QFETCH(int, interval);
        QFETCH(int, next);
        const auto result = runnerStep(lines, runLine, defaultInterval);
        QCOMPARE(result.frame.toHex(' '), frame.toHex(' '));
        QCOMPARE(result.interval, interval);
        QCOMPARE(result.nextRunLine, next);
    }

    // Whole runs from position 0, tick by tick: "<frame>/<wait before the next tick>".
    void runs_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("defaultInterval");
        QTest::addColumn<QStringList>("trace");

        QTest::newRow("A, Delay:500, B: A, 500 ms later B, 1000 ms later A")
            << QStringList{"AA", "Delay:500", "BB"} << "1000"
            << QStringList{"aa/500", "bb/1000", "aa/500", "bb/1000"};
        QTest::newRow("A, GoIdx:0, B: only A") << QStringList{"AA", "GoIdx:0", "BB"} << "1000"
                                               << QStringList{"aa/1000", "aa/1000", "aa/1000"};
        QTest::newRow("A, GoIdx:3, B: a tick spent on the jump")
            << QStringList{"AA", "GoIdx:3", "BB"} << "1000"
            << QStringList{"aa/1000", "-/1000", "bb/1000", "aa/1000", "-/1000"};
        QTest::newRow("jump back over a frame") << QStringList{"AA", "BB", "GoIdx:1", "CC"} << "100"
                                                << QStringList{"aa/100", "bb/100", "bb/100"};
        QTest::newRow("Delay at 0 is reached again after the wrap")
            << QStringList{"Delay:500", "AA", "BB"} << "100"
            << QStringList{"-/100", "aa/100", "bb/100", "-/100", "aa/100"};
        QTest::newRow("an empty line stops the run there")
            << QStringList{"AA", "", "BB"} << "100"
            << QStringList{"aa/100", "-/1000", "-/1000", "-/1000"};
        QTest::newRow("a jump out of the list idles")
            << QStringList{"AA", "GoIdx:-2", "BB"} << "100"
            << QStringList{"aa/100", "-/1000", "-/1000"};
    }

    void runs() {
        QFETCH(QStringList, lines);
        QFETCH(QString, defaultInterval);
        QFETCH(QStringList, trace);
        QCOMPARE(play(lines, int(trace.size()), defaultInterval), trace);
    }

    void lineKinds_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("kind");
        using K = automation::LineKind;
        QTest::newRow("empty") << "" << int(K::Empty);
        QTest::newRow("blank") << " " << int(K::Frame);
        QTest::newRow("Delay:1") << "Delay:1" << int(K::Delay);
        QTest::newRow("Delay:") << "Delay:" << int(K::Delay);
        QTest::newRow("Delay") << "Delay" << int(K::Frame);
        QTest::newRow("DELAY:1") << "DELAY:1" << int(K::Frame);
        QTest::newRow(" Delay:1") << " Delay:1" << int(K::Frame);
        QTest::newRow("GoIdx:1") << "GoIdx:1" << int(K::Jump);
        QTest::newRow("GoIdx") << "GoIdx" << int(K::Frame);
        QTest::newRow("goidx:1") << "goidx:1" << int(K::Frame);
    }

    void lineKinds() {
        QFETCH(QString, line);
        QFETCH(int, kind);
        QCOMPARE(int(automation::lineKind(line)), kind);
    }

    void intervals_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("interval"); // -1: cannot be used
        QTest::newRow("1000") << "1000" << 1000;
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("65535") << "65535" << 65535;
        QTest::newRow("65536") << "65536" << -1;
        QTest::newRow("65535.5 rounds up, out") << "65535.5" << -1;
        QTest::newRow("-0.4 rounds to 0") << "-0.4" << 0;
        QTest::newRow("-1") << "-1" << -1;
        QTest::newRow("2.5") << "2.5" << 2;
        QTest::newRow("1e3") << "1e3" << 1000;
        QTest::newRow("1e400") << "1e400" << -1;
        QTest::newRow("no number reads 0") << "abc" << 0;
        QTest::newRow("&H10") << "&H10" << 16;
    }

    void intervals() {
        QFETCH(QString, text);
        QFETCH(int, interval);
        QCOMPARE(automation::timerInterval(text).value_or(-1), interval);
    }

    // A list longer than RunLine can count wraps instead of sticking at the last position.
    void positionsBeyondSixteenBits() {
        const auto lineAt = [](int) { return QStringLiteral("AA"); };
        const auto step = runnerStep(40000, lineAt, 32767, u"10");
        QCOMPARE(step.frame, bytes("aa"));
        QCOMPARE(step.nextRunLine, 0);
    }
};

QTEST_APPLESS_MAIN(TestRunner)
#include "tst_runner.moc"
