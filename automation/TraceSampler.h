#pragma once
// The scope's acquisition: polls the device through the exchange engine, one query per group of
// channels a round, each queued from the previous one's end (as fast as the line allows, or at a
// set rate of rounds), and records each good reply stamped with the time it arrived. A timeout
// is recorded as a gap; a damaged or failure reply is counted, never recorded as a value. The
// trigger watches what the tool sends (a move started from the window, a list, the command line)
// or the motion state the trace sees, and sets the trace's time zero.

#include <QObject>
#include <functional>
#include <optional>

#include "automation/TraceBuffer.h"
#include "device/RequestBuilder.h"
#include "transmission/Engine.h"

namespace automation {

struct SamplerCounts {
    qint64 exchanges = 0;
    qint64 samples = 0;
    qint64 timeouts = 0;
    qint64 damaged = 0;  // failing their check or cut short
    qint64 failures = 0; // the device refused the query
};

class TraceSampler : public QObject {
    Q_OBJECT

public:
    // A group's query built with the device's address and framing; nothing when it cannot be.
    using QueryBuilder = std::function<std::optional<device::Request>(device::FunctionCode)>;

    TraceSampler(transmission::Engine &engine, QueryBuilder build, QObject *parent = nullptr);

    // Starts a new trace (the buffer emptied, time zero now). rate: rounds a second, 0 back to
    // back. False when no group is given or a query cannot be built.
    bool start(Groups groups, double rate);
    // No new query is sent; the one on the line still ends (and is dropped).
    void stop();
    bool running() const { return m_running; }
    Groups groups() const { return m_groups; }

    const TraceBuffer &buffer() const { return m_buffer; }
    const SamplerCounts &counts() const { return m_counts; }
    // Seconds since the trace started.
    double secondsAt(transmission::Clock::time_point when) const;
    double now() const { return secondsAt(transmission::Clock::now()); }

signals:
    void rowAdded(const automation::TraceRow &row);
    // The port closed or went away: the trace has stopped.
    void stopped(const QString &reason);

private:
    void queueNext();
    void onDone(quint64 run, Group group, const transmission::Exchange &exchange);
    void add(const TraceRow &row);

    transmission::Engine &m_engine;
    QueryBuilder m_build;
    TraceBuffer m_buffer;
    SamplerCounts m_counts;
    std::vector<std::pair<Group, device::Request>> m_queries;
    Groups m_groups = 0;
    double m_rate = 0;
    bool m_running = false;
    quint64 m_run = 0; // replies of an earlier run are dropped
    std::size_t m_nextQuery = 0;
    transmission::Clock::time_point m_start{};
    transmission::Clock::time_point m_roundStart{};
};

// The command that started a move, as it went out.
struct MoveCommand {
    quint8 code = 0;
    std::optional<qint64> pulses; // a position move's signed pulse count
    double time = 0;              // when it was sent, on the trace's clock
};
// Reads a frame sent to the device: the move command it carries, if any (0x31 0x32 0x33 0x34
// 0x35 0x3E 0x45 0x46).
std::optional<MoveCommand> moveCommandOf(const QByteArray &wire);

enum class TriggerMode { Free, Move, State };

class TraceTrigger : public QObject {
    Q_OBJECT

public:
    TraceTrigger(transmission::Engine &engine, TraceSampler &sampler, QObject *parent = nullptr);

    // Free: fires at once, at the trace's start. Move: at the next move command sent. State: at
    // the first sample whose motion state differs from the one before.
    void arm(TriggerMode mode, double pretriggerSeconds);
    void disarm() { m_armed = false; }
    TriggerMode mode() const { return m_mode; }
    bool armed() const { return m_armed; }
    std::optional<double> time() const { return m_time; }
    const std::optional<MoveCommand> &command() const { return m_command; }
    double pretrigger() const { return m_pretrigger; }
    // Where the trace's shown and exported part begins, and its time zero.
    double from() const { return m_time ? *m_time - m_pretrigger : 0; }
    double zero() const { return m_time.value_or(0); }

signals:
    void fired();

private:
    void fire(double time);

    TraceSampler &m_sampler;
    TriggerMode m_mode = TriggerMode::Free;
    double m_pretrigger = 0;
    bool m_armed = false;
    std::optional<double> m_time;
    std::optional<MoveCommand> m_command;
    std::optional<qint32> m_lastState;
};

} // namespace automation
