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
// While the rest of an awaited reply is on its way, it is looked for every second byte time (the
// first look may be three away, so that a look falls just before the last byte, which is waited
// for on the line and read the moment it comes): a reply shorter than awaited (a failure reply,
// an ASCII one) is handed on about two byte times after its last byte.
constexpr qsizetype kGatherBytes = 2;

namespace {

timespec timespecOf(std::chrono::nanoseconds ns) {
    const auto s = std::chrono::duration_cast<std::chrono::seconds>(ns);
    return {time_t(s.count()), long((ns - s).count())};
}

// Waits on `watched` until one is ready or `until` (none: for ever); the number ready.
int waitUntil(pollfd *watched, nfds_t count, std::optional<PortReader::Clock::time_point> until) {
    if (!until)
        return ::ppoll(watched, count, nullptr, nullptr);
    const timespec left = timespecOf(std::max(
        std::chrono::nanoseconds(0), std::chrono::nanoseconds(*until - PortReader::Clock::now())));
    return ::ppoll(watched, count, &left, nullptr);
}

} // namespace

void PortReader::expectReply(qsizetype bytes, std::chrono::nanoseconds byteTime) {
    const std::lock_guard lock(m_mutex);
    m_expected = bytes;
    m_byteTime = byteTime;
    ++m_expectedSerial;
}

void PortReader::run() {
    pollfd watched[2] = {{m_device, POLLIN, 0}, {m_stop, POLLIN, 0}};
    char chunk[65536];
    QString reason;
    Clock::time_point lastRead;
    bool slowStream = false;
    // The awaited reply: its length and how many of its bytes came. While its rest is on its way:
    // where this stretch of it began, and when to look next (or until when to wait for the last
    // byte) for how many bytes in all.
    quint64 expectedSerial = 0;
    qsizetype expected = 0;
    qsizetype got = 0;
    std::chrono::nanoseconds byteTime{};
    Clock::time_point stretchFrom;
    qsizetype stretchBase = 0;
    std::optional<Clock::time_point> lookAt;
    qsizetype lookFor = 0;
    for (;;) {
        std::optional<Clock::time_point> until;
        if (lookAt && !m_prompt)
            lookAt.reset(); // the owner polls again
        const bool slept = lookAt && lookFor < expected;
        if (slept) {
            // Asleep while bytes are on their way: each would wake the thread on its own.
            pollfd stop = watched[1];
            if (waitUntil(&stop, 1, *lookAt) > 0)
                return; // stopped by the owner
            until = Clock::now();
        } else if (lookAt) {
            until = *lookAt;
        } else if (slowStream && !m_prompt) {
            pollfd stop = watched[1];
            if (::poll(&stop, 1, int(kStreamPause.count())) > 0)
                return; // stopped by the owner
        }
        // Even after a pause, read only what poll reports: in raw mode a read that finds
        // nothing returns 0, the same as a device that went away.
        const int ready = waitUntil(watched, 2, until);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            reason = QString::fromLocal8Bit(std::strerror(errno));
            break;
        }
        if (ready == 0) {
            // Nothing since the last look: the line fell silent before the awaited reply was
            // whole. What came is handed on now (a shorter reply, or a pause: bytes after it
            // still count towards the reply).
            lookAt.reset();
            if (m_prompt)
                signal(m_notice);
            continue;
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
                if (m_expectedSerial != expectedSerial) {
                    expectedSerial = m_expectedSerial;
                    expected = m_expected;
                    byteTime = m_byteTime;
                    got = 0;
                    lookAt.reset();
                }
            }
            got += n;
            // Fewer bytes than the line could have brought since the last look: it fell silent.
            const bool fellSilent = slept && got < lookFor;
            if (m_prompt && got < expected && byteTime.count() > 0 && !fellSilent) {
                if (!lookAt) {
                    stretchFrom = arrived;
                    stretchBase = got;
                }
                const qsizetype beforeLast = expected - 1 - got;
                lookFor = beforeLast == 0 ? expected
                          : beforeLast % kGatherBytes == 1 && beforeLast > 1
                              ? got + kGatherBytes + 1
                              : got + std::min(beforeLast, kGatherBytes);
                // A look comes a little after its bytes are due (their times on the line are known
                // only as far as the stretch's first read tells); the last byte is given a byte
                // time more before the line counts as silent.
                const Clock::time_point due = stretchFrom + (lookFor - stretchBase) * byteTime;
                lookAt = due + (lookFor < expected ? byteTime / 4 : byteTime);
            } else {
                lookAt.reset();
                if (got >= expected)
                    expected = 0; // whole: what follows is announced read by read
                if (m_prompt)
                    signal(m_notice);
            }
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

QByteArray PortReader::take(qsizetype max, Clock::time_point *arrived, Clock::time_point *last) {
    const std::lock_guard lock(m_mutex);
    return m_received.take(max, arrived, last);
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
