// The command-list runner: its tick as a pure function of the list, the position and the default
// interval (one table), the window timer's rules it relies on, and its wiring in the window
// (Check1, Timer2, RunLine), with one list played over a pseudo-terminal.

#include <QCheckBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QSignalSpy>
#include <QThread>

#include "app/WindowTimer.h"
#include "automation/Runner.h"
#include "tests/support/Hex.h"
#include "tests/support/WindowOnPty.h"

using automation::runnerStep;

namespace {

// One-byte frames.
const QString A = QStringLiteral("A1");
const QString B = QStringLiteral("B2");

WindowTimer *timer2(const WindowOnPty &t) {
    return t.window->findChild<WindowTimer *>("Timer2");
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
        auto row = [](const char *name, const QStringList &lines, int runLine, const char *interval,
                      const char *frame, int wait, int next) {
            QTest::newRow(name) << lines << runLine << interval << hex(frame) << wait << next;
        };
        // clang-format off
        row("frame, then the next line", {"01 20 00 ", "03"}, 0, "1000", "012000", 1000, 1);
        row("default interval from the box", {"AA", "BB"}, 0, "250", "AA", 250, 1);
        row("Delay after the frame is its wait, consumed", {"AA", "Delay:500", "BB"}, 0, "1000", "AA", 500, 2);
        row("last line wraps to 0", {"AA", "Delay:500", "BB"}, 2, "1000", "BB", 1000, 0);
        row("Delay consumed at the end wraps", {"AA", "Delay:300"}, 0, "1000", "AA", 300, 0);
        row("Delay reached directly sends nothing, its value unused", {"Delay:500", "AA"}, 0, "700", "", 700, 1);
        row("Delay:0 stops the ticks", {"AA", "Delay:0"}, 0, "1000", "AA", 0, 0);
        row("Delay above 65535 keeps the default", {"AA", "Delay:70000", "BB"}, 0, "200", "AA", 200, 2);
        row("Delay rounded half to even", {"AA", "Delay:250.5", "BB"}, 0, "200", "AA", 250, 2);
        row("sixth character not examined", {"AA", "Delay=300", "BB"}, 0, "1000", "AA", 300, 2);
        row("Delay without a number waits 0", {"AA", "Delay:x", "BB"}, 0, "1000", "AA", 0, 2);
        row("a blank before Delay: a frame line", {"AA", " Delay:500", "BB"}, 0, "1000", "AA", 1000, 1);
        row("Delay alone is a frame line", {"Delay"}, 0, "1000", "DE0000", 1000, 0);
        row("case matters", {"delay:5"}, 0, "1000", "DE000005", 1000, 0);
        row("jump taken", {"AA", "GoIdx:0", "BB"}, 0, "1000", "AA", 1000, 0);
        row("jump to the count not taken", {"AA", "GoIdx:3", "BB"}, 0, "1000", "AA", 1000, 1);
        row("jump reached directly is skipped", {"AA", "GoIdx:3", "BB"}, 1, "1000", "", 1000, 2);
        row("jump after a Delay not looked at", {"AA", "Delay:300", "GoIdx:0", "BB"}, 0, "1000", "AA", 300, 2);
        row("jump target rounded half to even", {"AA", "GoIdx:2.5", "BB", "CC"}, 0, "1000", "AA", 1000, 2);
        row("negative jump taken: outside the list", {"AA", "GoIdx:-1"}, 0, "1000", "AA", 1000, -1);
        row("jump RunLine cannot hold not taken", {"AA", "GoIdx:-40000", "BB"}, 0, "1000", "AA", 1000, 1);
        row("jump without a number goes to 0", {"AA", "BB", "GoIdx:"}, 1, "1000", "BB", 1000, 0);
        row("empty line idles", {"AA", "", "BB"}, 1, "200", "", 1000, 1);
        row("past the end idles", {"AA"}, 5, "200", "", 1000, 5);
        row("negative position idles", {"AA"}, -1, "200", "", 1000, -1);
        row("empty list idles", {}, 0, "200", "", 1000, 0);
        row("blanks only send nothing, the run goes on", {"   ", "AA"}, 0, "300", "", 300, 1);
        row("default 0 stops the ticks", {"AA", "BB"}, 0, "0", "AA", 0, 1);
        row("default 65535.5 rounds out: 1000", {"AA", "BB"}, 0, "65535.5", "AA", 1000, 1);
        row("default -0.4 rounds to 0", {"AA", "BB"}, 0, "-0.4", "AA", 0, 1);
        row("default rounded half to even", {"AA", "BB"}, 0, "251.5", "AA", 252, 1);
        // clang-format on
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

    // A list longer than RunLine can count wraps instead of sticking at the last position.
    void positionsBeyondSixteenBits() {
        const auto step = runnerStep(
            40000, [](int) { return QStringLiteral("AA"); }, 32767, u"10");
        QCOMPARE(step.frame, hex("AA"));
        QCOMPARE(step.nextRunLine, 0);
    }

    // Interval 0 gives no ticks even while enabled; one outside 0..65535 is refused and the old
    // one kept; an interval set while enabled starts the ticks; disabled gives none.
    void windowTimerRules() {
        WindowTimer timer(Qt::PreciseTimer);
        QSignalSpy ticks(&timer, &WindowTimer::tick);
        QVERIFY(!timer.setInterval(65536) && !timer.setInterval(-1));
        QCOMPARE(timer.interval(), 0);
        timer.setEnabled(true);
        QVERIFY(!ticks.wait(150));
        QVERIFY(timer.setInterval(10));
        QTRY_VERIFY_WITH_TIMEOUT(ticks.size() >= 5, 2000);
        timer.setEnabled(false);
        ticks.clear();
        QVERIFY(!ticks.wait(100));
    }

    // A handler that keeps the timer busy for 30 ms and sets a 60 ms interval: the next tick is
    // due 60 ms after this one was due, so it comes about 30 ms after the handler ends, not 60.
    void intervalSetInATickCountsFromItsDueTime() {
        WindowTimer timer(Qt::PreciseTimer);
        QElapsedTimer clock;
        QList<qint64> at;
        connect(&timer, &WindowTimer::tick, &timer, [&] {
            at << clock.elapsed();
            QThread::msleep(30);
            timer.setInterval(60);
        });
        clock.start();
        QVERIFY(timer.setInterval(60));
        timer.setEnabled(true);
        QTRY_VERIFY_WITH_TIMEOUT(at.size() >= 4, 3000);
        timer.setEnabled(false);
        // Generous bounds: near 60, far from the 90 a restart from the handler's end would give.
        for (int i = 1; i < at.size(); ++i)
            QVERIFY2(at[i] - at[i - 1] < 85, qPrintable(QString::number(at[i] - at[i - 1])));
    }

    // Check1 starts Timer2 from line 0 at the interval box's value and locks the box; the list
    // plays with its delays; unticked, the runner stops and the box is free again.
    void listPlaysOverThePty() {
        WindowOnPty t;
        auto *check = t.control<QCheckBox>("Check1");
        t.control<QListWidget>("List1")->addItems({A, "Delay:100", B});
        t.setText("Text22", "400");
        t.window->setProperty("RunLine", 2);
        check->click();
        QVERIFY(timer2(t)->enabled() && !t.control("Text22")->isEnabled());
        QCOMPARE(timer2(t)->interval(), 400);
        QCOMPARE(t.window->property("RunLine").toInt(), 0);
        QByteArray frames;
        QList<qint64> at;
        QElapsedTimer clock;
        for (clock.start(); frames.size() < 5 && clock.elapsed() < 15000; QTest::qWait(2))
            for (const char frame : t.pty.readAvailable()) {
                frames += frame;
                at << clock.elapsed();
            }
        QCOMPARE(frames.toHex(), QByteArray("a1b2a1b2a1"));
        // Only lower bounds: timers do not fire early, a busy machine makes them late.
        for (int i = 1; i < at.size(); ++i)
            QVERIFY2(at[i] - at[i - 1] >= (frames[i] == '\xB2' ? 90 : 390),
                     qPrintable(QString::number(at[i] - at[i - 1])));
        check->click();
        QVERIFY(!timer2(t)->enabled() && t.control("Text22")->isEnabled());
        t.pty.readFor(100);
        QVERIFY(t.pty.readFor(500).isEmpty());
    }

    // An interval Timer2 cannot take: not started, the box unticked, a message, RunLine kept.
    void intervalOutsideTheRangeRefusesToStart() {
        WindowOnPty t;
        t.control<QListWidget>("List1")->addItem(A);
        t.setText("Text22", "65536");
        t.window->setProperty("RunLine", 7);
        t.control<QCheckBox>("Check1")->click();
        QVERIFY(!t.control<QCheckBox>("Check1")->isChecked());
        QVERIFY(!timer2(t)->enabled() && t.control("Text22")->isEnabled());
        QCOMPARE(t.window->property("RunLine").toInt(), 7);
        QCOMPARE(t.prompts->messages.size(), 1);
        QCOMPARE(t.prompts->messages[0].title, Prompts::applicationTitle());
        QVERIFY(t.prompts->messages[0].text.contains(u"0到65535"));
        QVERIFY(t.pty.readFor(300).isEmpty());
    }

    // Tick by tick (Timer2 itself not running): the line at RunLine goes out, the wait is set,
    // RunLine moves on. A line of blanks sends, shows and counts nothing. The list is read at
    // each tick, so an edit is seen; with the port closed the run goes on without sending.
    void tickByTick() {
        WindowOnPty t;
        auto *list = t.control<QListWidget>("List1");
        list->addItems({A, "Delay:300", B, "   ", "GoIdx:0"});
        t.setText("Text22", "700");
        auto tick = [&t] { emit timer2(t)->tick(); };
        auto runLine = [&t] { return t.window->property("RunLine").toInt(); };
        tick();
        QCOMPARE(t.sent(1), hex("A1"));
        QCOMPARE(timer2(t)->interval(), 300);
        QCOMPARE(runLine(), 2);
        tick();
        QCOMPARE(t.sent(1), hex("B2"));
        QCOMPARE(timer2(t)->interval(), 700);
        QCOMPARE(runLine(), 3);
        const QString pane = t.sendPane();
        tick();
        QVERIFY(t.pty.readFor(100).isEmpty());
        QCOMPARE(t.sendPane(), pane);
        QCOMPARE(t.text("Label44"), QStringLiteral("2"));
        QCOMPARE(runLine(), 0);
        list->item(0)->setText(QStringLiteral("C3"));
        tick();
        QCOMPARE(t.sent(1), hex("C3"));
        t.click("Command33");
        tick();
        QCOMPARE(runLine(), 3);
        QVERIFY(t.pty.readFor(100).isEmpty());
        QCOMPARE(t.text("Label44"), QStringLiteral("3"));
    }
};

QTEST_MAIN(TestRunner)
#include "tst_runner.moc"
