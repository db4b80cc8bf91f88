#pragma once
// Reads a serial device on a thread of its own, the moment bytes arrive, into a buffer the
// window's 200 ms poll takes from: a busy window never leaves the device's bytes in a full
// buffer, where a real line would drop them. The thread reads through its own read-only
// descriptor of the device; opening, settings and writing stay with the window's QSerialPort.

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "serial/ReceivedBytes.h"

namespace serial {

class PortReader {
public:
    using Clock = std::chrono::steady_clock;

    // Starts reading `device` (a descriptor the reader owns from now on). When the device goes
    // away, the reader stops and writes to `notice` (an eventfd) so its owner learns of it; while
    // prompt, it writes there after every read as well.
    PortReader(int device, int notice);
    ~PortReader();
    PortReader(const PortReader &) = delete;
    PortReader &operator=(const PortReader &) = delete;

    qsizetype waiting() const;
    bool receivedAny() const;
    // At most `max` of the waiting bytes, oldest first, when the first of them arrived and when
    // the last did.
    QByteArray take(qsizetype max, Clock::time_point *arrived = nullptr,
                    Clock::time_point *last = nullptr);
    void clear();
    // Blocks until bytes wait, the device went away, or `ms` passed; true when bytes wait.
    bool waitForBytes(int ms);
    // Why the device went away, once it did.
    std::optional<QString> lost() const;
    // Prompt: every read is announced, and a slow stream is read as it comes (an exchange waits
    // for its reply's last byte, and every millisecond counts when polling back to back).
    void setPrompt(bool on) { m_prompt = on; }
    // The reply now awaited is at most `bytes` long (0: unknown) at `byteTime` a byte on the line.
    // While prompt, its bytes are then announced together, once that many came or the line fell
    // silent for a byte's time, and the thread sleeps while they are on their way: a line that
    // delivers byte by byte wakes the window once a reply rather than once a byte.
    void expectReply(qsizetype bytes, std::chrono::nanoseconds byteTime);

private:
    void run();

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    ReceivedBytes m_received;
    bool m_receivedAny = false;
    std::optional<QString> m_lost;
    std::atomic<bool> m_prompt = false;
    // The reply awaited, and which one (a new one starts its count afresh).
    qsizetype m_expected = 0;
    std::chrono::nanoseconds m_byteTime{};
    quint64 m_expectedSerial = 0;

    const int m_device;
    const int m_notice;
    const int m_stop; // an eventfd that ends the thread
    std::thread m_thread;
};

} // namespace serial
