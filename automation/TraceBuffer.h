#pragma once
// What the scope records: one row per reply to a polling query (the group of channels it carries,
// its values, the time it came) or per query left unanswered (a gap), in a ring that drops the
// oldest rows once full. Rows of all groups share one ring in the order they came, so a trace
// plays back, exports and measures in one pass.

#include <QString>
#include <QVector>
#include <array>
#include <optional>
#include <vector>

#include "device/Protocol.h"

namespace automation {

// The queries a trace polls, one per group of channels.
enum class Group : quint8 { Absolute, Relative, Speed, State, Inputs };
inline constexpr int kGroupCount = 5;

enum class Channel : quint8 {
    Absolute, // pulses
    Relative, // pulses
    Speed,    // pulses per second
    Moving,   // the motion state's four flags, 0 or 1
    LeftLimit,
    Origin,
    RightLimit,
    In1, // the inputs, 1 = on
    In2,
    In3,
    In4,
    In5,
};
inline constexpr int kChannelCount = 12;

enum class Unit { Pulses, PulsesPerSecond, OnOff };

struct ChannelInfo {
    Channel channel;
    Group group;
    const char *key;     // CSV header and JSON key: "speed", "moving", "in3"
    const char *caption; // source text, context "automation::Trace"
    Unit unit;
    int bit; // the bit of the row's value for a flag; -1: the value itself
};
const ChannelInfo &channelInfo(Channel channel);
std::array<Channel, kChannelCount> allChannels();

device::FunctionCode queryOf(Group group);
// "abs", "rel", "speed", "state", "inputs": the CLI's names.
const char *groupKey(Group group);
std::optional<Group> groupByKey(QStringView key);

using Groups = unsigned; // one bit per Group
constexpr Groups bitOf(Group group) {
    return 1u << unsigned(group);
}
constexpr bool has(Groups groups, Group group) {
    return (groups & bitOf(group)) != 0;
}

struct TraceRow {
    double time = 0;  // seconds from the trace's start
    qint32 value = 0; // a position or speed; the flags' bits for State and Inputs
    Group group = Group::Absolute;
    bool gap = false; // the query went unanswered: the group's line breaks here
};

// The value a channel takes in a row of its group.
double channelValue(const TraceRow &row, const ChannelInfo &info);

class TraceBuffer {
public:
    // About two hours of rows at 135 a second (16 MB when full; it grows as it fills).
    static constexpr qsizetype kDefaultCapacity = 1 << 20;
    explicit TraceBuffer(qsizetype capacity = kDefaultCapacity) : m_capacity(capacity) {}

    void append(const TraceRow &row);
    void clear();
    qsizetype size() const { return qsizetype(m_rows.size()); }
    // From the oldest (0) to the newest.
    const TraceRow &at(qsizetype i) const;
    const TraceRow &last() const { return at(size() - 1); }
    // The first row at or after `time`.
    qsizetype lowerBound(double time) const;
    // How many rows the ring has dropped.
    qint64 dropped() const { return m_dropped; }
    std::size_t bytes() const { return m_rows.capacity() * sizeof(TraceRow); }

private:
    qsizetype m_capacity;
    std::vector<TraceRow> m_rows;
    qsizetype m_head = 0; // where the oldest row is once the ring is full
    qint64 m_dropped = 0;
};

// What a plot draws of one channel between `from` and `to` on `columns` pixel columns: for every
// column the lowest and the highest value in the order they came, and a NaN where the channel's
// group went unanswered (so the line breaks). Keys are times minus `zero`.
struct Decimated {
    QVector<double> keys;
    QVector<double> values;
};
std::array<Decimated, kChannelCount> decimate(const TraceBuffer &buffer, double from, double to,
                                              int columns, double zero);

} // namespace automation
