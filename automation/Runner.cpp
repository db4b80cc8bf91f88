#include "automation/Runner.h"

#include "codec/HexText.h"
#include "codec/NumericText.h"

#include <limits>

namespace automation {

namespace {

constexpr int kIdleInterval = 1000;

} // namespace

LineKind lineKind(QStringView line) {
    if (line.isEmpty())
        return LineKind::Empty;
    if (line.size() > 5) {
        if (line.startsWith(u"Delay"))
            return LineKind::Delay;
        if (line.startsWith(u"GoIdx"))
            return LineKind::Jump;
    }
    return LineKind::Frame;
}

double lineValue(QStringView line) {
    return codec::readNumber(line.size() > 6 ? line.sliced(6) : QStringView());
}

std::optional<int> timerInterval(double value) {
    if (const auto ms = codec::toInteger<quint16>(value))
        return *ms;
    return std::nullopt;
}

std::optional<int> timerInterval(QStringView text) {
    return timerInterval(codec::readNumber(text));
}

RunnerStep runnerStep(int count, const LineAt &lineAt, int runLine, QStringView defaultInterval) {
    const bool inList = runLine >= 0 && runLine < count;
    const QString line = inList ? lineAt(runLine) : QString();
    const LineKind kind = lineKind(line);
    if (kind == LineKind::Empty)
        return {{}, kIdleInterval, runLine};

    RunnerStep step{{}, timerInterval(defaultInterval).value_or(kIdleInterval), runLine};
    if (kind == LineKind::Frame)
        step.frame = codec::ParseHexText(line);

    if (runLine < count - 1) {
        const QString next = lineAt(runLine + 1);
        switch (lineKind(next)) {
        case LineKind::Delay:
            step.interval = timerInterval(lineValue(next)).value_or(step.interval);
            ++step.nextRunLine; // the Delay line is consumed
            break;
        case LineKind::Jump: {
            const double target = lineValue(next);
            // RunLine is 16-bit: a target it cannot hold is a jump not taken.
            if (const auto position = codec::toInteger<qint16>(target);
                target < count && position) {
                step.nextRunLine = *position;
                return step;
            }
            break;
        }
        case LineKind::Empty:
        case LineKind::Frame:
            break;
        }
    }
    ++step.nextRunLine;
    if (step.nextRunLine >= count || step.nextRunLine > std::numeric_limits<qint16>::max())
        step.nextRunLine = 0;
    return step;
}

RunnerStep runnerStep(const QStringList &lines, int runLine, QStringView defaultInterval) {
    return runnerStep(
        int(lines.size()), [&lines](int position) { return lines[position]; }, runLine,
        defaultInterval);
}

} // namespace automation
