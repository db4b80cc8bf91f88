#pragma once
// A window timer: Interval 0 to 65535 ms, and Enabled. Interval 0 gives no ticks even while
// enabled; enabling restarts the interval, and so does setting the interval while enabled (the
// interval last set governs the wait before the next tick). Ticks arrive on the window thread.
//
// An interval set while a tick is being handled counts from when that tick was due, not from
// when the event loop got round to it: a tick that comes a few milliseconds late (the window was
// painting) does not push every later tick back, so a 50 ms delay stays 50 ms between ticks.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class WindowTimer : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Interval READ interval)
    Q_PROPERTY(bool Enabled READ enabled WRITE setEnabled)

public:
    explicit WindowTimer(Qt::TimerType type, QObject *parent = nullptr);

    int interval() const { return m_interval; }
    // False, with the interval unchanged, for a value outside 0 to 65535.
    bool setInterval(qint64 milliseconds);
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);

signals:
    void tick();

private:
    // Schedules the next tick one interval after `from` (a time on m_clock, in ns).
    void scheduleFrom(qint64 from);
    void onTimeout();

    QTimer m_timer;
    QElapsedTimer m_clock;
    int m_interval = 0;
    bool m_enabled = false;
    qint64 m_due = 0;          // when the scheduled tick is due
    qint64 m_handlingDue = -1; // while a tick is handled: when it was due
};
