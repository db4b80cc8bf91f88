#pragma once
// What arrived and is not yet taken, read by read, with when each read came: a reply's time is
// when its first byte arrived, however late it is taken. Not thread-safe on its own.

#include <QByteArray>
#include <chrono>
#include <deque>

namespace serial {

class ReceivedBytes {
public:
    using Clock = std::chrono::steady_clock;

    void add(Clock::time_point arrived, QByteArray bytes) {
        m_waiting += bytes.size();
        m_reads.push_back({arrived, std::move(bytes)});
    }
    qsizetype waiting() const { return m_waiting; }
    // At most `max` bytes, oldest first, when the first of them arrived and when the last did.
    QByteArray take(qsizetype max, Clock::time_point *arrived, Clock::time_point *last = nullptr) {
        QByteArray taken;
        taken.reserve(qMin(max, m_waiting));
        if (arrived && !m_reads.empty())
            *arrived = m_reads.front().arrived;
        while (taken.size() < max && !m_reads.empty()) {
            Read &read = m_reads.front();
            const qsizetype n = qMin(max - taken.size(), read.bytes.size());
            taken.append(read.bytes.constData(), n);
            if (last)
                *last = read.arrived;
            if (n == read.bytes.size())
                m_reads.pop_front();
            else
                read.bytes.remove(0, n); // the rest arrived at the same moment
        }
        m_waiting -= taken.size();
        return taken;
    }
    // Everything waiting, left waiting.
    QByteArray peek() const {
        QByteArray all;
        for (const Read &read : m_reads)
            all += read.bytes;
        return all;
    }
    void clear() {
        m_reads.clear();
        m_waiting = 0;
    }

private:
    struct Read {
        Clock::time_point arrived;
        QByteArray bytes;
    };
    std::deque<Read> m_reads;
    qsizetype m_waiting = 0;
};

} // namespace serial
