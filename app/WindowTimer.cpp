#include "app/WindowTimer.h"

#include <algorithm>

namespace {

constexpr qint64 kNsPerMs = 1000000;

} // namespace

WindowTimer::WindowTimer(Qt::TimerType type, QObject *parent) : QObject(parent) {
    m_clock.start();
    m_timer.setTimerType(type);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &WindowTimer::onTimeout);
}

bool WindowTimer::setInterval(qint64 milliseconds) {
    if (milliseconds < 0 || milliseconds > 65535)
        return false;
    m_interval = static_cast<int>(milliseconds);
    scheduleFrom(m_handlingDue >= 0 ? m_handlingDue : m_clock.nsecsElapsed());
    return true;
}

void WindowTimer::setEnabled(bool enabled) {
    m_enabled = enabled;
    scheduleFrom(m_clock.nsecsElapsed());
}

void WindowTimer::scheduleFrom(qint64 from) {
    if (!m_enabled || m_interval == 0) {
        m_timer.stop();
        return;
    }
    const qint64 now = m_clock.nsecsElapsed();
    // Never catch up with a burst: a tick more than one interval late starts afresh from now.
    m_due = std::max(from + m_interval * kNsPerMs, now);
    m_timer.start(static_cast<int>((m_due - now + kNsPerMs / 2) / kNsPerMs));
}

void WindowTimer::onTimeout() {
    m_handlingDue = m_due;
    emit tick();
    // Unless the handler set a new interval or stopped the timer, the next tick follows.
    if (m_handlingDue >= 0 && !m_timer.isActive())
        scheduleFrom(m_due);
    m_handlingDue = -1;
}
