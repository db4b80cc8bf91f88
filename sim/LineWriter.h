#pragma once
// Puts bytes on the line at given times, from a thread of its own: a reply paced at the line's
// speed needs byte times well under a millisecond apart, finer than the event loop's timers.
// Times are nanoseconds on the monotonic clock (steadyNs).

#include <QByteArray>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace sim {

qint64 steadyNs();

class LineWriter {
public:
    struct Piece {
        qint64 startNs = 0;
        // 0: every byte at startNs; otherwise byte k goes once its last bit is out, at
        // startNs + (k + 1) * byteNs.
        qint64 byteNs = 0;
        QByteArray bytes;
        // Called on the writer's thread once the last byte is written, with the bytes the line
        // did not take.
        std::function<void(qsizetype lost)> written;
    };
    // Writes what it can; returns how many bytes it could not.
    using Write = std::function<qsizetype(const char *data, qsizetype size)>;

    explicit LineWriter(Write write);
    ~LineWriter(); // pieces not yet written are dropped
    LineWriter(const LineWriter &) = delete;
    LineWriter &operator=(const LineWriter &) = delete;

    // Pieces go out in the order given; one is never started before the one ahead of it is done.
    void push(Piece piece);

private:
    void run();
    bool waitUntil(qint64 ns); // false when the writer is ending

    Write m_write;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Piece> m_queue;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace sim
