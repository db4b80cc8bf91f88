#include "app/WindowTimer.h"

WindowTimer::WindowTimer(Qt::TimerType type, QObject *parent) : QObject(parent) {
    m_timer.setTimerType(type);
    connect(&m_timer, &QTimer::timeout, this, &WindowTimer::tick);
}

bool WindowTimer::setInterval(qint64 milliseconds) {
    if (milliseconds < 0 || milliseconds > 65535)
        return false;
    m_interval = static_cast<int>(milliseconds);
    restart();
    return true;
}

void WindowTimer::setEnabled(bool enabled) {
    m_enabled = enabled;
    restart();
}

void WindowTimer::restart() {
    if (m_enabled && m_interval > 0)
        m_timer.start(m_interval);
    else
        m_timer.stop();
}
