#include "automation/TraceMeasure.h"

namespace automation {

namespace {

// The ramp ends where the speed first comes within this share of the rise below its highest
// value: a sample or two a little above the cruise speed must not move it to the end.
constexpr double kPeakBand = 0.01;

bool moving(const TraceRow &row) {
    return (row.group == Group::Speed && row.value > 0) ||
           (row.group == Group::State && (row.value & 1) != 0);
}

// The first row of the group from `from` on.
const TraceRow *find(const TraceBuffer &buffer, Group group, qsizetype from) {
    for (qsizetype i = from; i < buffer.size(); ++i)
        if (const TraceRow &row = buffer.at(i); row.group == group && !row.gap)
            return &row;
    return nullptr;
}

} // namespace

MoveMeasurements measureMove(const TraceBuffer &buffer, double from,
                             const std::optional<MoveCommand> &command) {
    MoveMeasurements m;
    const qsizetype first = buffer.lowerBound(from);
    // With the motion state traced, its moving flag says when the move is over; otherwise the
    // speed does.
    const bool byFlag = find(buffer, Group::State, first) != nullptr;
    std::optional<qint64> absoluteBefore;
    double startSpeedAt = 0;
    qsizetype startIndex = -1, endIndex = -1;
    for (qsizetype i = first; i < buffer.size(); ++i) {
        const TraceRow &row = buffer.at(i);
        if (row.gap)
            continue;
        if (!m.start) {
            if (row.group == Group::Absolute)
                absoluteBefore = row.value;
            if (!moving(row))
                continue;
            m.start = row.time;
            startIndex = i;
        }
        if (row.group == Group::Speed && row.value > 0) {
            if (!m.startSpeed) {
                m.startSpeed = row.value;
                startSpeedAt = row.time;
            }
            m.peakSpeed = std::max(m.peakSpeed.value_or(0), double(row.value));
        }
        const bool stopped = byFlag ? row.group == Group::State && (row.value & 1) == 0
                                    : row.group == Group::Speed && row.value == 0;
        if (stopped) {
            m.moveTime = row.time - *m.start;
            endIndex = i;
            break;
        }
    }
    if (m.peakSpeed) {
        // The slope from the first speed to the last one still below the peak: both lie on the
        // ramp, where the first sample at the peak may have come up to a sample period after it.
        const double band = kPeakBand * (*m.peakSpeed - *m.startSpeed);
        const TraceRow *ramp = nullptr;
        for (qsizetype i = startIndex; i < buffer.size() && i != endIndex; ++i) {
            const TraceRow &row = buffer.at(i);
            if (row.group != Group::Speed || row.gap || row.value <= 0)
                continue;
            if (row.value < *m.peakSpeed - band) {
                ramp = &row;
                continue;
            }
            if (ramp && ramp->time > startSpeedAt && ramp->value > *m.startSpeed) {
                m.acceleration = (ramp->value - *m.startSpeed) / (ramp->time - startSpeedAt);
                m.timeToPeak = (*m.peakSpeed - *m.startSpeed) / *m.acceleration;
            } else if (row.time > startSpeedAt) {
                m.timeToPeak = row.time - startSpeedAt;
                m.acceleration = (row.value - *m.startSpeed) / *m.timeToPeak;
            }
            break;
        }
    }
    if (endIndex < 0)
        return m;

    // A position move ends where the relative position is its pulse count (the relative
    // position restarts with each move), or the absolute one the count further on; homing ends
    // at absolute 0.
    const bool relative = find(buffer, Group::Relative, first) != nullptr;
    const bool absolute = find(buffer, Group::Absolute, first) != nullptr;
    m.positionGroup =
        relative && (!absolute || (command && command->pulses)) ? Group::Relative : Group::Absolute;
    if (command && command->pulses && m.positionGroup == Group::Relative)
        m.target = *command->pulses;
    else if (command && command->pulses && absoluteBefore)
        m.target = *absoluteBefore + *command->pulses;
    else if (command && command->code == quint8(device::FunctionCode::Home) && absolute)
        m.target = 0;
    // Read once the move is over: nothing yet while no position has come after its end.
    if (const TraceRow *end = find(buffer, m.positionGroup, endIndex))
        m.finalPosition = end->value;
    return m;
}

} // namespace automation
