#pragma once
// A window timer: Interval 0 to 65535 ms, and Enabled. Interval 0 gives no ticks even while
// enabled; enabling restarts the interval, and so does setting the interval while enabled (the
// interval last set governs the wait before the next tick). Ticks arrive on the window thread.

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
    void restart();

    QTimer m_timer;
    int m_interval = 0;
    bool m_enabled = false;
};
