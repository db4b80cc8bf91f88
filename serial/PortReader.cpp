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

void PortReader::run() {
    pollfd watched[2] = {{m_device, POLLIN, 0}, {m_stop, POLLIN, 0}};
    char chunk[65536];
    QString reason;
    for (;;) {
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
            const std::lock_guard lock(m_mutex);
            m_reads.push_back({arrived, QByteArray(chunk, n)});
            m_waiting += n;
            m_receivedAny = true;
            m_changed.notify_all();
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
    return m_waiting;
}

bool PortReader::receivedAny() const {
    const std::lock_guard lock(m_mutex);
    return m_receivedAny;
}

QByteArray PortReader::take(qsizetype max, Clock::time_point *arrived) {
    const std::lock_guard lock(m_mutex);
    QByteArray taken;
    taken.reserve(qMin(max, m_waiting));
    if (arrived && !m_reads.empty())
        *arrived = m_reads.front().arrived;
    while (taken.size() < max && !m_reads.empty()) {
        Read &read = m_reads.front();
        const qsizetype n = qMin(max - taken.size(), read.bytes.size());
        taken.append(read.bytes.constData(), n);
        if (n == read.bytes.size())
            m_reads.pop_front();
        else
            read.bytes.remove(0, n); // the rest arrived at the same moment
    }
    m_waiting -= taken.size();
    return taken;
}

void PortReader::clear() {
    const std::lock_guard lock(m_mutex);
    m_reads.clear();
    m_waiting = 0;
}

bool PortReader::waitForBytes(int ms) {
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, std::chrono::milliseconds(ms),
                       [this] { return m_waiting > 0 || m_lost.has_value(); });
    return m_waiting > 0;
}

std::optional<QString> PortReader::lost() const {
    const std::lock_guard lock(m_mutex);
    return m_lost;
}

} // namespace serial
