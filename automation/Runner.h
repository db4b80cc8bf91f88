#pragma once
// The command-list runner's logic. The list is played one line per timer tick: a frame line is
// sent, then one line is looked ahead, so a Delay line right after the line just sent sets the
// wait before the next tick (and is consumed), and a Jump line right after it sets the line the
// next tick runs. Lines reached directly that are not frame lines send nothing and use a tick.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace automation {

enum class LineKind {
    Empty, // nothing to do: the runner idles on it
    Frame, // hex text of bytes to send
    Delay, // "Delay" + any character + the wait in ms
    Jump,  // "GoIdx" + any character + the position of the next line
};

// A line longer than five characters whose first five are exactly "Delay" or "GoIdx" (case
// matters) is a Delay or Jump line; any other non-empty line is a frame line.
LineKind lineKind(QStringView line);

// The value of a Delay or Jump line: its text from the seventh character on, by the numeric
// reading rule.
double lineValue(QStringView line);

// A timer interval from a number as typed: rounded half to even; nothing outside 0..65535.
std::optional<int> timerInterval(double value);
std::optional<int> timerInterval(QStringView text);

// What one tick does.
struct RunnerStep {
    QByteArray frame; // bytes to send; empty: nothing is sent
    int interval;     // the wait before the next tick, in ms (0: no further tick)
    int nextRunLine;  // the position the next tick runs (16-bit)
};

using LineAt = std::function<QString(int position)>;

// One tick at position runLine of a list of `count` lines (lineAt is asked only for positions
// inside the list). defaultInterval is the text of the default interval box.
RunnerStep runnerStep(int count, const LineAt &lineAt, int runLine, QStringView defaultInterval);
RunnerStep runnerStep(const QStringList &lines, int runLine, QStringView defaultInterval);

} // namespace automation
