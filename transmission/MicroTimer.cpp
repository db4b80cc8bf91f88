#include "transmission/MicroTimer.h"

#include <QSocketNotifier>
#include <sys/timerfd.h>
#include <unistd.h>

namespace transmission {

MicroTimer::MicroTimer(std::function<void()> timeout, QObject *parent)
    : QObject(parent), m_timeout(std::move(timeout)),
      m_fd(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)),
      m_notifier(new QSocketNotifier(m_fd, QSocketNotifier::Read, this)) {
    connect(m_notifier, &QSocketNotifier::activated, this, &MicroTimer::fired);
}

MicroTimer::~MicroTimer() {
    delete m_notifier; // before the descriptor it watches is closed
    ::close(m_fd);
}

void MicroTimer::start(std::chrono::microseconds wait) {
    // 0 would disarm the timer: a wait already over fires after a nanosecond.
    const auto ns = std::max<qint64>(1, std::chrono::nanoseconds(wait).count());
    itimerspec due{};
    due.it_value = {time_t(ns / 1'000'000'000), long(ns % 1'000'000'000)};
    ::timerfd_settime(m_fd, 0, &due, nullptr);
    m_active = true;
}

void MicroTimer::stop() {
    const itimerspec off{};
    ::timerfd_settime(m_fd, 0, &off, nullptr);
    m_active = false;
}

void MicroTimer::fired() {
    quint64 expirations = 0;
    if (::read(m_fd, &expirations, sizeof expirations) <= 0 || !m_active)
        return; // stopped or started again after it had expired: nothing due yet
    m_active = false;
    m_timeout();
}

} // namespace transmission
