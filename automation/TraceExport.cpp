#include "automation/TraceExport.h"

#include <QSaveFile>

namespace automation {

namespace {

QByteArray timeText(double seconds) {
    return QByteArray::number(seconds, 'f', 6);
}

} // namespace

bool writeCsv(QIODevice &out, const TraceBuffer &buffer, Groups groups, double from, double zero) {
    std::vector<Channel> columns;
    QByteArray line = "time_s";
    for (const Channel channel : allChannels())
        if (has(groups, channelInfo(channel).group)) {
            columns.push_back(channel);
            line += ',';
            line += channelInfo(channel).key;
        }
    line += '\n';
    for (qsizetype i = buffer.lowerBound(from); i < buffer.size(); ++i) {
        const TraceRow &row = buffer.at(i);
        if (!has(groups, row.group))
            continue;
        if (out.write(line) != line.size())
            return false;
        line = timeText(row.time - zero);
        for (const Channel channel : columns) {
            const ChannelInfo &info = channelInfo(channel);
            line += ',';
            if (info.group == row.group)
                line += row.gap ? QByteArray("nan")
                                : QByteArray::number(qint64(channelValue(row, info)));
        }
        line += '\n';
    }
    return out.write(line) == line.size();
}

std::optional<QString> saveCsv(const QString &path, const TraceBuffer &buffer, Groups groups,
                               double from, double zero) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // commit() may report success after a write that failed on a full disk: the buffered data
    // are flushed and the error looked at first.
    if (!writeCsv(file, buffer, groups, from, zero) || !file.flush() ||
        file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

QJsonObject rowJson(const TraceRow &row, double zero) {
    QJsonObject o{{QStringLiteral("time"), row.time - zero},
                  {QStringLiteral("group"), QLatin1String(groupKey(row.group))}};
    if (row.gap) {
        o.insert(QStringLiteral("gap"), true);
        return o;
    }
    for (const Channel channel : allChannels())
        if (const ChannelInfo &info = channelInfo(channel); info.group == row.group)
            o.insert(QLatin1String(info.key), qint64(channelValue(row, info)));
    return o;
}

QJsonObject measurementsJson(const MoveMeasurements &m, double zero) {
    QJsonObject o;
    const auto put = [&o](const char *key, const auto &value) {
        if (value)
            o.insert(QLatin1String(key), double(*value));
    };
    if (m.start)
        o.insert(QStringLiteral("start"), *m.start - zero);
    put("startSpeed", m.startSpeed);
    put("peakSpeed", m.peakSpeed);
    put("timeToPeak", m.timeToPeak);
    put("acceleration", m.acceleration);
    put("moveTime", m.moveTime);
    if (m.finalPosition) {
        o.insert(QStringLiteral("position"), QLatin1String(groupKey(m.positionGroup)));
        put("finalPosition", m.finalPosition);
    }
    put("target", m.target);
    if (m.finalPosition && m.target)
        o.insert(QStringLiteral("positionError"), double(*m.finalPosition - *m.target));
    return o;
}

} // namespace automation
