// The window timer's rules the tool relies on: interval 0 gives no ticks while enabled, an
// interval outside 0..65535 is refused, enabling starts the interval afresh, and an interval set
// during a tick counts from when that tick was due (a late tick does not push the next one back).

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include "app/WindowTimer.h"

class TestWindowTimer : public QObject {
    Q_OBJECT

private slots:
    void intervalZeroGivesNoTicks() {
        WindowTimer timer(Qt::PreciseTimer);
        QSignalSpy ticks(&timer, &WindowTimer::tick);
        QVERIFY(timer.setInterval(0));
        timer.setEnabled(true);
        QVERIFY(timer.enabled());
        QVERIFY(!ticks.wait(150));
        // Setting an interval while enabled starts the ticks.
        QVERIFY(timer.setInterval(20));
        QVERIFY(ticks.wait(1000));
    }

    void outOfRangeIntervalIsRefused() {
        WindowTimer timer(Qt::PreciseTimer);
        QVERIFY(timer.setInterval(65535));
        QVERIFY(!timer.setInterval(65536));
        QVERIFY(!timer.setInterval(-1));
        QCOMPARE(timer.interval(), 65535);
    }

    void disabledGivesNoTicks() {
        WindowTimer timer(Qt::PreciseTimer);
        QSignalSpy ticks(&timer, &WindowTimer::tick);
        QVERIFY(timer.setInterval(10));
        QVERIFY(!ticks.wait(100));
        timer.setEnabled(true);
        QVERIFY(ticks.wait(1000));
        timer.setEnabled(false);
        ticks.clear();
        QVERIFY(!ticks.wait(100));
    }

    void keepsTickingWithoutBeingTouched() {
        WindowTimer timer(Qt::PreciseTimer);
        QSignalSpy ticks(&timer, &WindowTimer::tick);
        QVERIFY(timer.setInterval(10));
        timer.setEnabled(true);
        QTRY_VERIFY_WITH_TIMEOUT(ticks.size() >= 5, 2000);
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
        // Generous bounds: the gap between ticks stays near 60, far from the 90 a restart from
        // the end of the handler would give.
        for (int i = 1; i < at.size(); ++i)
            QVERIFY2(at[i] - at[i - 1] < 85, qPrintable(QString::number(at[i] - at[i - 1])));
    }
};

QTEST_MAIN(TestWindowTimer)
#include "tst_windowtimer.moc"
