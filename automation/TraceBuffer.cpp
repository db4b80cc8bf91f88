#include "automation/TraceBuffer.h"

#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <limits>

namespace automation {

namespace {

using enum Channel;

// clang-format off
const ChannelInfo kChannels[kChannelCount] = {
    {Absolute, Group::Absolute, "abs", QT_TRANSLATE_NOOP("automation::Trace", "绝对位置"), Unit::Pulses, -1},
    {Relative, Group::Relative, "rel", QT_TRANSLATE_NOOP("automation::Trace", "相对位置"), Unit::Pulses, -1},
    {Speed, Group::Speed, "speed", QT_TRANSLATE_NOOP("automation::Trace", "速度"), Unit::PulsesPerSecond, -1},
    {Moving, Group::State, "moving", QT_TRANSLATE_NOOP("automation::Trace", "运动中"), Unit::OnOff, 0},
    {LeftLimit, Group::State, "left_limit", QT_TRANSLATE_NOOP("automation::Trace", "左限位"), Unit::OnOff, 1},
    {Origin, Group::State, "origin", QT_TRANSLATE_NOOP("automation::Trace", "原点"), Unit::OnOff, 2},
    {RightLimit, Group::State, "right_limit", QT_TRANSLATE_NOOP("automation::Trace", "右限位"), Unit::OnOff, 3},
    {In1, Group::Inputs, "in1", "IN1", Unit::OnOff, 0},
    {In2, Group::Inputs, "in2", "IN2", Unit::OnOff, 1},
    {In3, Group::Inputs, "in3", "IN3", Unit::OnOff, 2},
    {In4, Group::Inputs, "in4", "IN4", Unit::OnOff, 3},
    {In5, Group::Inputs, "in5", "IN5", Unit::OnOff, 4},
};
// clang-format on

const char *const kGroupKeys[kGroupCount] = {"abs", "rel", "speed", "state", "inputs"};

} // namespace

const ChannelInfo &channelInfo(Channel channel) {
    return kChannels[int(channel)];
}

std::array<Channel, kChannelCount> allChannels() {
    std::array<Channel, kChannelCount> channels{};
    for (int i = 0; i < kChannelCount; ++i)
        channels[std::size_t(i)] = Channel(i);
    return channels;
}

device::FunctionCode queryOf(Group group) {
    using enum device::FunctionCode;
    static constexpr device::FunctionCode kQueries[kGroupCount] = {
        GetAbsolutePosition, GetRelativePosition, GetSpeed, GetMotionState, GetInputs};
    return kQueries[int(group)];
}

const char *groupKey(Group group) {
    return kGroupKeys[int(group)];
}

std::optional<Group> groupByKey(QStringView key) {
    for (int g = 0; g < kGroupCount; ++g)
        if (key == QLatin1String(kGroupKeys[g]))
            return Group(g);
    return std::nullopt;
}

double channelValue(const TraceRow &row, const ChannelInfo &info) {
    return info.bit < 0 ? double(row.value) : double((row.value >> info.bit) & 1);
}

// ---- The ring ------------------------------------------------------------------------------

void TraceBuffer::append(const TraceRow &row) {
    if (size() < m_capacity) {
        m_rows.push_back(row);
        return;
    }
    m_rows[std::size_t(m_head)] = row;
    m_head = (m_head + 1) % m_capacity;
    ++m_dropped;
}

void TraceBuffer::clear() {
    m_rows.clear();
    m_head = 0;
    m_dropped = 0;
}

const TraceRow &TraceBuffer::at(qsizetype i) const {
    return m_rows[std::size_t((m_head + i) % qMax<qsizetype>(1, size()))];
}

qsizetype TraceBuffer::lowerBound(double time) const {
    qsizetype low = 0, high = size();
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        if (at(middle).time < time)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

// ---- Min/max per pixel column --------------------------------------------------------------

namespace {

struct Column {
    qint64 index = -1;
    double low = 0, high = 0;
    double lowAt = 0, highAt = 0;
};

void flush(Column &c, Decimated &out, double zero) {
    if (c.index < 0)
        return;
    const bool lowFirst = c.lowAt <= c.highAt;
    out.keys << (lowFirst ? c.lowAt : c.highAt) - zero;
    out.values << (lowFirst ? c.low : c.high);
    if (c.lowAt != c.highAt) {
        out.keys << (lowFirst ? c.highAt : c.lowAt) - zero;
        out.values << (lowFirst ? c.high : c.low);
    }
    c.index = -1;
}

} // namespace

std::array<Decimated, kChannelCount> decimate(const TraceBuffer &buffer, double from, double to,
                                              int columns, double zero) {
    std::array<Decimated, kChannelCount> out;
    std::array<Column, kChannelCount> current;
    if (buffer.size() == 0 || !(to > from) || columns <= 0)
        return out;
    const double perColumn = (to - from) / columns;
    // One row either side, so lines run to the edges of the view.
    const qsizetype first = qMax<qsizetype>(0, buffer.lowerBound(from) - 1);
    const qsizetype last = qMin(buffer.size(), buffer.lowerBound(to) + 1);
    for (qsizetype i = first; i < last; ++i) {
        const TraceRow &row = buffer.at(i);
        const qint64 index = qint64(std::floor((row.time - from) / perColumn));
        for (const Channel channel : allChannels()) {
            const ChannelInfo &info = channelInfo(channel);
            if (info.group != row.group)
                continue;
            Column &c = current[std::size_t(channel)];
            Decimated &d = out[std::size_t(channel)];
            if (row.gap) {
                flush(c, d, zero);
                d.keys << row.time - zero;
                d.values << std::numeric_limits<double>::quiet_NaN();
                continue;
            }
            const double v = channelValue(row, info);
            if (c.index != index) {
                flush(c, d, zero);
                c = {index, v, v, row.time, row.time};
            } else if (v < c.low) {
                c.low = v;
                c.lowAt = row.time;
            } else if (v > c.high) {
                c.high = v;
                c.highAt = row.time;
            }
        }
    }
    for (int ch = 0; ch < kChannelCount; ++ch)
        flush(current[std::size_t(ch)], out[std::size_t(ch)], zero);
    return out;
}

} // namespace automation
