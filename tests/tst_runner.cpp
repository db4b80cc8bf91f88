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
    // One tick: the lines, the position it runs, the default interval box; what it sends, the
    // wait it sets and the position the next tick runs.
    void step_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("runLine");
        QTest::addColumn<QString>("defaultInterval");
        QTest::addColumn<QString>("step");
        auto row = [](const char *name, const QStringList &lines, int runLine, const char *interval,
                      const char *step) {
            QTest::newRow(name) << lines << runLine << interval << step;
        };
        // clang-format off
        row("frame, then the next line", {"01 20 00 ", "03"}, 0, "1000", "012000 1000 1");
        row("default interval from the box", {"AA", "BB"}, 0, "250", "aa 250 1");
        row("Delay after the frame is its wait, consumed", {"AA", "Delay:500", "BB"}, 0, "1000", "aa 500 2");
        row("last line wraps to 0", {"AA", "Delay:500", "BB"}, 2, "1000", "bb 1000 0");
        row("Delay consumed at the end wraps", {"AA", "Delay:300"}, 0, "1000", "aa 300 0");
        row("Delay reached directly sends nothing, its value unused", {"Delay:500", "AA"}, 0, "700", " 700 1");
        row("Delay:0 stops the ticks", {"AA", "Delay:0"}, 0, "1000", "aa 0 0");
        row("Delay above 65535 keeps the default", {"AA", "Delay:70000", "BB"}, 0, "200", "aa 200 2");
        row("Delay rounded half to even", {"AA", "Delay:250.5", "BB"}, 0, "200", "aa 250 2");
        row("sixth character not examined", {"AA", "Delay=300", "BB"}, 0, "1000", "aa 300 2");
        row("Delay without a number waits 0", {"AA", "Delay:x", "BB"}, 0, "1000", "aa 0 2");
        row("a blank before Delay: a frame line", {"AA", " Delay:500", "BB"}, 0, "1000", "aa 1000 1");
        row("Delay alone is a frame line", {"Delay"}, 0, "1000", "de0000 1000 0");
        row("case matters", {"delay:5"}, 0, "1000", "de000005 1000 0");
        row("jump taken", {"AA", "GoIdx:0", "BB"}, 0, "1000", "aa 1000 0");
        row("jump to the count not taken", {"AA", "GoIdx:3", "BB"}, 0, "1000", "aa 1000 1");
        row("jump reached directly is skipped", {"AA", "GoIdx:3", "BB"}, 1, "1000", " 1000 2");
        row("jump after a Delay not looked at", {"AA", "Delay:300", "GoIdx:0", "BB"}, 0, "1000", "aa 300 2");
        row("jump target rounded half to even", {"AA", "GoIdx:2.5", "BB", "CC"}, 0, "1000", "aa 1000 2");
        row("negative jump taken: outside the list", {"AA", "GoIdx:-1"}, 0, "1000", "aa 1000 -1");
        row("jump RunLine cannot hold not taken", {"AA", "GoIdx:-40000", "BB"}, 0, "1000", "aa 1000 1");
        row("jump without a number goes to 0", {"AA", "BB", "GoIdx:"}, 1, "1000", "bb 1000 0");
        row("empty line idles", {"AA", "", "BB"}, 1, "200", " 1000 1");
        row("past the end idles", {"AA"}, 5, "200", " 1000 5");
        row("negative position idles", {"AA"}, -1, "200", " 1000 -1");
        row("empty list idles", {}, 0, "200", " 1000 0");
        row("blanks only send nothing, the run goes on", {"   ", "AA"}, 0, "300", " 300 1");
        row("default 0 stops the ticks", {"AA", "BB"}, 0, "0", "aa 0 1");
        row("default 65535.5 rounds out: 1000", {"AA", "BB"}, 0, "65535.5", "aa 1000 1");
        row("default -0.4 rounds to 0", {"AA", "BB"}, 0, "-0.4", "aa 0 1");
        row("default rounded half to even", {"AA", "BB"}, 0, "251.5", "aa 252 1");
        // clang-format on
    }
    void step() {
        QFETCH(QStringList, lines);
        QFETCH(int, runLine);
        QFETCH(QString, defaultInterval);
        QFETCH(QString, step);
        const auto result = runnerStep(lines, runLine, defaultInterval);
        QCOMPARE(QStringLiteral("%1 %2 %3")
                     .arg(QString::fromLatin1(result.frame.toHex()))
                     .arg(result.interval)
                     .arg(result.nextRunLine),
                 step);
    }

    // A list longer than RunLine can count wraps instead of sticking at the last position.
    void positionsBeyondSixteenBits() {
        const auto lineAt = [](int) { return QStringLiteral("AA"); };
        QCOMPARE(runnerStep(40000, lineAt, 32767, u"10").nextRunLine, 0);
    }

    // Interval 0 gives no ticks even while enabled; one outside 0..65535 is refused and the old
    // one kept; an interval set while enabled starts the ticks.
    void windowTimerRules() {
        WindowTimer timer(Qt::PreciseTimer);
        QSignalSpy ticks(&timer, &WindowTimer::tick);
        QVERIFY(!timer.setInterval(65536) && !timer.setInterval(-1) && timer.interval() == 0);
        timer.setEnabled(true);
        QVERIFY(!ticks.wait(150));
        QVERIFY(timer.setInterval(10));
        QVERIFY(ticks.wait(1000));
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

    // Check1 refuses an interval Timer2 cannot take (unticked again, a message, RunLine kept);
    // else it starts Timer2 from line 0 at the box's interval and locks the box. The list plays
    // with its delays; unticked, the runner stops and the box is free again.
    void listPlaysOverThePty() {
        WindowOnPty t;
        auto *check = t.control<QCheckBox>("Check1");
        t.control<QListWidget>("List1")->addItems({A, "Delay:100", B});
        t.setText("Text22", "65536");
        t.window->setProperty("RunLine", 2);
        check->click();
        QVERIFY(!check->isChecked() && !timer2(t)->enabled() && t.control("Text22")->isEnabled());
        QCOMPARE(t.window->property("RunLine").toInt(), 2);
        QCOMPARE(t.prompts->messages.size(), 1);
        QCOMPARE(t.prompts->messages[0].title, Prompts::applicationTitle());
        QVERIFY(t.prompts->messages[0].text.contains(u"0到65535"));
        QVERIFY(t.pty.readFor(300).isEmpty());
        t.setText("Text22", "400");
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

    // Tick by tick (Timer2 itself not running): the line at RunLine goes out, the wait is set,
    // RunLine moves on. A line of blanks sends, shows and counts nothing. The list is read at
    // each tick, so an edit is seen; with the port closed the run goes on without sending.
    void tickByTick() {
        WindowOnPty t;
        auto *list = t.control<QListWidget>("List1");
        list->addItems({A, "Delay:300", B, "   ", "GoIdx:0"});
        t.setText("Text22", "700");
        // What one tick sent, the wait it set, the line the next tick runs.
        auto tick = [&t](int bytes) {
            emit timer2(t)->tick();
            const QByteArray sent = bytes ? t.sent(bytes) : t.pty.readFor(100);
            return QStringLiteral("%1 %2 %3")
                .arg(QString::fromLatin1(sent.toHex()))
                .arg(timer2(t)->interval())
                .arg(t.window->property("RunLine").toInt());
        };
        QCOMPARE(tick(1), QStringLiteral("a1 300 2"));
        QCOMPARE(tick(1), QStringLiteral("b2 700 3"));
        const QString pane = t.sendPane();
        QCOMPARE(tick(0), QStringLiteral(" 700 0"));
        QCOMPARE(t.sendPane(), pane);
        QCOMPARE(t.text("Label44"), QStringLiteral("2"));
        list->item(0)->setText(QStringLiteral("C3"));
        QCOMPARE(tick(1), QStringLiteral("c3 300 2"));
        t.click("Command33");
        QCOMPARE(tick(0), QStringLiteral(" 700 3"));
        QCOMPARE(t.text("Label44"), QStringLiteral("3"));
    }
};

QTEST_MAIN(TestRunner)
#include "tst_runner.moc"
