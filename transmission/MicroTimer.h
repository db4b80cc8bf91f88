#pragma once
// A single-shot timer to the microsecond, for the event loop: a timerfd it watches. The line's
// silence between requests is 1.75 ms above 19,200 baud, and a millisecond timer would let the
// line stand idle up to a millisecond more between exchanges (some 10 % of a poll at 38,400).

#include <QObject>
#include <chrono>
#include <functional>

class QSocketNotifier;

namespace transmission {

class MicroTimer : public QObject {
public:
    MicroTimer(std::function<void()> timeout, QObject *parent = nullptr);
    ~MicroTimer() override;
    MicroTimer(const MicroTimer &) = delete;
    MicroTimer &operator=(const MicroTimer &) = delete;

    // Runs `timeout` once from the event loop after `wait` (at once when it is not positive),
    // unless stopped or started again meanwhile.
    void start(std::chrono::microseconds wait);
    void stop();
    bool isActive() const { return m_active; }

private:
    void fired();

    std::function<void()> m_timeout;
    int m_fd;
    QSocketNotifier *m_notifier;
    bool m_active = false;
};

} // namespace transmission
