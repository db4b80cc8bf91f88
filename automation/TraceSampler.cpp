#include "automation/TraceSampler.h"

#include <QTimer>

#include "codec/Framing.h"

namespace automation {

namespace {

using transmission::Clock;
using transmission::Reply;

// The row a good reply of the group makes; nothing when the reply does not carry the group.
std::optional<TraceRow> rowOf(Group group, const Reply &reply) {
    TraceRow row;
    row.group = group;
    switch (group) {
    case Group::Absolute:
    case Group::Relative:
    case Group::Speed:
        if (!reply.value)
            return std::nullopt;
        row.value = qint32(*reply.value);
        break;
    case Group::State:
        if (!reply.motion)
            return std::nullopt;
        row.value = (reply.motion->moving ? 1 : 0) | (reply.motion->leftLimit ? 2 : 0) |
                    (reply.motion->origin ? 4 : 0) | (reply.motion->rightLimit ? 8 : 0);
        break;
    case Group::Inputs:
        if (!reply.inputs)
            return std::nullopt;
        for (int i = 0; i < 5; ++i)
            row.value |= (*reply.inputs)[std::size_t(i)] ? 1 << i : 0;
        break;
    }
    return row;
}

bool startsMotion(quint8 code) {
    using enum device::FunctionCode;
    for (const auto c :
         {Move, MoveRelative, Run, RunDirection, ChangeSpeed, Home, SpeedStepUp, SpeedStepDown})
        if (code == quint8(c))
            return true;
    return false;
}

} // namespace

TraceSampler::TraceSampler(transmission::Engine &engine, QueryBuilder build, QObject *parent)
    : QObject(parent), m_engine(engine), m_build(std::move(build)) {}

double TraceSampler::secondsAt(Clock::time_point when) const {
    return std::chrono::duration<double>(when - m_start).count();
}

bool TraceSampler::start(Groups groups, double rate) {
    std::vector<std::pair<Group, device::Request>> queries;
    for (int g = 0; g < kGroupCount; ++g) {
        if (!has(groups, Group(g)))
            continue;
        auto request = m_build(queryOf(Group(g)));
        if (!request)
            return false;
        queries.emplace_back(Group(g), std::move(*request));
    }
    if (queries.empty())
        return false;
    ++m_run;
    m_queries = std::move(queries);
    m_groups = groups;
    m_rate = rate;
    m_buffer.clear();
    m_counts = {};
    m_start = m_roundStart = Clock::now();
    m_nextQuery = 0;
    m_running = true;
    queueNext();
    return true;
}

void TraceSampler::stop() {
    m_running = false;
    ++m_run;
}

void TraceSampler::queueNext() {
    if (!m_running)
        return;
    if (m_nextQuery == m_queries.size()) {
        // A round is over: the next begins at once, or when the rate says.
        m_nextQuery = 0;
        const Clock::time_point due =
            m_rate > 0 ? m_roundStart + std::chrono::duration_cast<Clock::duration>(
                                            std::chrono::duration<double>(1.0 / m_rate))
                       : Clock::now();
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(due - Clock::now());
        m_roundStart = std::max(due, Clock::now());
        if (wait.count() > 0) {
            QTimer::singleShot(wait, Qt::PreciseTimer, this, [this, run = m_run] {
                if (run == m_run)
                    queueNext();
            });
            return;
        }
    }
    const auto &[group, request] = m_queries[m_nextQuery++];
    m_engine.exchange({request.frame, request.body, 0, true},
                      [this, run = m_run, group = group](const transmission::Exchange &exchange) {
                          onDone(run, group, exchange);
                      });
}

void TraceSampler::onDone(quint64 run, Group group, const transmission::Exchange &exchange) {
    if (run != m_run)
        return;
    ++m_counts.exchanges;
    if (!exchange.portProblem.isEmpty()) {
        stop();
        emit stopped(exchange.portProblem);
        return;
    }
    if (!exchange.reply) {
        ++m_counts.timeouts;
        TraceRow gap;
        gap.time = now();
        gap.group = group;
        gap.gap = true;
        add(gap);
    } else if (exchange.reply->status == Reply::Status::Failure) {
        ++m_counts.failures;
    } else if (exchange.reply->status != Reply::Status::Good) {
        ++m_counts.damaged;
    } else if (std::optional<TraceRow> row = rowOf(group, *exchange.reply)) {
        row->time = secondsAt(exchange.answered);
        ++m_counts.samples;
        add(*row);
    } else {
        ++m_counts.damaged;
    }
    queueNext();
}

void TraceSampler::add(const TraceRow &row) {
    m_buffer.append(row);
    emit rowAdded(row);
}

// ---- The trigger ---------------------------------------------------------------------------

std::optional<MoveCommand> moveCommandOf(const QByteArray &wire) {
    QByteArray body;
    if (const auto ascii = codec::decodeAsciiFrame(wire))
        body = *ascii;
    else if (wire.size() >= 4)
        body = wire.chopped(2); // RTU: the CRC follows the body
    if (body.size() < 3 || !startsMotion(quint8(body[1])))
        return std::nullopt;
    MoveCommand command;
    command.code = quint8(body[1]);
    const QByteArray data = body.mid(3);
    const auto bigEndian = [&data](int from, int count) {
        qint64 value = 0;
        for (int i = from; i < from + count; ++i)
            value = (value << 8) | quint8(data[i]);
        return value;
    };
    if (command.code == quint8(device::FunctionCode::Move) && data.size() == 4)
        command.pulses = qint32(quint32(bigEndian(0, 4)));
    else if (command.code == quint8(device::FunctionCode::MoveRelative) && data.size() == 4)
        command.pulses = (data[0] == 0 ? 1 : -1) * bigEndian(1, 3);
    return command;
}

TraceTrigger::TraceTrigger(transmission::Engine &engine, TraceSampler &sampler, QObject *parent)
    : QObject(parent), m_sampler(sampler) {
    connect(&engine, &transmission::Engine::sent, this, [this](const transmission::Sent &sent) {
        if (!m_armed || m_mode != TriggerMode::Move || sent.background || sent.mapped ||
            !m_sampler.running())
            return;
        if (auto command = moveCommandOf(sent.wire)) {
            command->time = m_sampler.secondsAt(sent.when);
            m_command = command;
            fire(command->time);
        }
    });
    connect(&sampler, &TraceSampler::rowAdded, this, [this](const TraceRow &row) {
        if (row.group != Group::State || row.gap)
            return;
        const std::optional<qint32> before = std::exchange(m_lastState, row.value);
        if (m_armed && m_mode == TriggerMode::State && before && *before != row.value)
            fire(row.time);
    });
}

void TraceTrigger::arm(TriggerMode mode, double pretriggerSeconds) {
    m_mode = mode;
    m_pretrigger = mode == TriggerMode::Free ? 0 : pretriggerSeconds;
    m_time.reset();
    m_command.reset();
    m_lastState.reset();
    m_armed = mode != TriggerMode::Free;
    if (mode == TriggerMode::Free)
        m_time = 0;
}

void TraceTrigger::fire(double time) {
    m_armed = false;
    m_time = time;
    emit fired();
}

} // namespace automation
