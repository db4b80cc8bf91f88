#include "sim/LineWriter.h"

#include <algorithm>
#include <chrono>
#include <sys/prctl.h>

namespace sim {

qint64 steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

LineWriter::LineWriter(Write write) : m_write(std::move(write)), m_thread([this] { run(); }) {}

LineWriter::~LineWriter() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void LineWriter::push(Piece piece) {
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(piece));
    }
    m_wake.notify_all();
}

bool LineWriter::waitUntil(qint64 ns) {
    const std::chrono::steady_clock::time_point due{std::chrono::nanoseconds(ns)};
    std::unique_lock lock(m_mutex);
    return !m_wake.wait_until(lock, due, [this] { return m_stop; });
}

void LineWriter::run() {
    // The kernel may otherwise wake a sleeper up to 50 µs late, a twentieth of a byte at 9600.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    for (;;) {
        Piece piece;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
            if (m_stop)
                return;
            piece = std::move(m_queue.front());
            m_queue.pop_front();
        }
        qsizetype sent = 0;
        qsizetype lost = 0;
        while (sent < piece.bytes.size()) {
            const qint64 due = piece.startNs + (piece.byteNs > 0 ? (sent + 1) * piece.byteNs : 0);
            if (steadyNs() < due && !waitUntil(due))
                return;
            // Every byte whose time has come, also those a late wake-up let pass.
            qsizetype count = piece.bytes.size() - sent;
            if (piece.byteNs > 0)
                count = std::clamp<qsizetype>((steadyNs() - piece.startNs) / piece.byteNs - sent, 1,
                                              count);
            lost += m_write(piece.bytes.constData() + sent, count);
            sent += count;
        }
        if (piece.written)
            piece.written(lost);
    }
}

} // namespace sim
