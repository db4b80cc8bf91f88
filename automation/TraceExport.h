#pragma once
// A trace written out: CSV (UTF-8, a header, time in seconds from the trigger, one column per
// channel) and JSON objects per sample and for a move's measurements.
//
// A CSV row is one reply: the cells of its group's channels hold its values, the other cells
// stay empty; a query left unanswered writes "nan" in its group's cells.

#include <QJsonObject>
#include <QString>
#include <optional>

#include "automation/TraceBuffer.h"
#include "automation/TraceMeasure.h"

class QIODevice;

namespace automation {

// Writes the rows at or after `from`; times are counted from `zero`. False when a write failed.
bool writeCsv(QIODevice &out, const TraceBuffer &buffer, Groups groups, double from, double zero);
// The same into a file that is replaced only once it is complete; the reason when it cannot be.
std::optional<QString> saveCsv(const QString &path, const TraceBuffer &buffer, Groups groups,
                               double from, double zero);

QJsonObject rowJson(const TraceRow &row, double zero);
QJsonObject measurementsJson(const MoveMeasurements &m, double zero);

} // namespace automation
