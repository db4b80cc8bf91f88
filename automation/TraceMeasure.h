#pragma once
// What a trace shows of one move: when it started (the first sample with a speed above 0 or the
// moving flag set), its peak speed and the time to reach it, the acceleration that makes, how
// long it took until the moving flag (or, without the motion state, the speed) was back at 0, and
// where it ended against where the command sent it.

#include <optional>

#include "automation/TraceBuffer.h"
#include "automation/TraceSampler.h"

namespace automation {

struct MoveMeasurements {
    std::optional<double> start;      // seconds on the trace's clock
    std::optional<double> startSpeed; // the first speed above 0, pulses/s
    std::optional<double> peakSpeed;
    // The acceleration is the ramp's slope between the first speed above 0 and the last speed
    // below the peak (pulses/s²); the time to peak is (peak - start speed) / acceleration. With
    // no speed on the ramp between them: the time to the first speed at the peak.
    std::optional<double> timeToPeak; // s
    std::optional<double> acceleration;
    std::optional<double> moveTime;      // s; set once the move has ended
    std::optional<qint64> finalPosition; // the first position after the end
    std::optional<qint64> target;
    Group positionGroup = Group::Absolute; // which position the two above are

    bool started() const { return start.has_value(); }
    bool ended() const { return moveTime.has_value(); }
};

// Measures the first move in the rows at or after `from`; `command` gives the target.
MoveMeasurements measureMove(const TraceBuffer &buffer, double from,
                             const std::optional<MoveCommand> &command);

} // namespace automation
