#include "serial/PortReader.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace serial {

namespace {

void signal(int eventFd) {
    const quint64 one = 1;
    [[maybe_unused]] const ssize_t written = ::write(eventFd, &one, sizeof one);
}

} // namespace

PortReader::PortReader(int device, int notice)
    : m_device(device), m_notice(notice), m_stop(::eventfd(0, EFD_CLOEXEC)),
      m_thread([this] { run(); }) {}

PortReader::~PortReader() {
    signal(m_stop);
    m_thread.join();
    ::close(m_stop);
    ::close(m_device);
}

// A steady stream slower than this is read every kStreamPause rather than the moment each
// piece arrives: at most 512 bytes gather meanwhile, an eighth of the smallest kernel buffer, so
// even a reader kept from running for some milliseconds more loses nothing, and the reader wakes
// 250 times a second instead of once for every piece. A faster stream is read as it comes; a
// reply on a quiet line is read, and timed, the moment it arrives.
constexpr double kSlowStream = 128 * 1024; // bytes per second
constexpr auto kStreamPause = std::chrono::milliseconds(4);

void PortReader::run() {
    pollfd watched[2] = {{m_device, POLLIN, 0}, {m_stop, POLLIN, 0}};
    char chunk[65536];
    QString reason;
    Clock::time_point lastRead;
    bool slowStream = false;
    for (;;) {
        if (slowStream && !m_prompt) {
            pollfd stop = watched[1];
            if (::poll(&stop, 1, int(kStreamPause.count())) > 0)
                return; // stopped by the owner
        }
        // Even after a pause, read only what poll reports: in raw mode a read that finds
        // nothing returns 0, the same as a device that went away.
        if (::poll(watched, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            reason = QString::fromLocal8Bit(std::strerror(errno));
            break;
        }
        if (watched[1].revents)
            return; // stopped by the owner
        // Read before looking at a hang-up: what the device sent before it went stays.
        const ssize_t n = ::read(m_device, chunk, sizeof chunk);
        if (n > 0) {
            const auto arrived = Clock::now();
            {
                const std::lock_guard lock(m_mutex);
                m_received.add(arrived, QByteArray(chunk, n));
                m_receivedAny = true;
                m_changed.notify_all();
            }
            if (m_prompt)
                signal(m_notice);
            const std::chrono::duration<double> sinceLast = arrived - lastRead;
            lastRead = arrived;
            slowStream =
                sinceLast < 2 * kStreamPause && double(n) < kSlowStream * sinceLast.count();
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        reason =
            n == 0 ? QStringLiteral("end of file") : QString::fromLocal8Bit(std::strerror(errno));
        break;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_lost = reason;
        m_changed.notify_all();
    }
    signal(m_notice);
}

qsizetype PortReader::waiting() const {
    const std::lock_guard lock(m_mutex);
    return m_received.waiting();
}

bool PortReader::receivedAny() const {
    const std::lock_guard lock(m_mutex);
    return m_receivedAny;
}

QByteArray PortReader::take(qsizetype max, Clock::time_point *arrived) {
    const std::lock_guard lock(m_mutex);
    return m_received.take(max, arrived);
}

void PortReader::clear() {
    const std::lock_guard lock(m_mutex);
    m_received.clear();
}

bool PortReader::waitForBytes(int ms) {
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, std::chrono::milliseconds(ms),
                       [this] { return m_received.waiting() > 0 || m_lost.has_value(); });
    return m_received.waiting() > 0;
}

std::optional<QString> PortReader::lost() const {
    const std::lock_guard lock(m_mutex);
    return m_lost;
}

} // namespace serial
