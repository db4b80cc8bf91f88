#pragma once
// The command line as r7260-cli reads it: options anywhere on the line (mbpoll's short forms
// beside the long ones), and the words that name the command and its arguments. Option values
// are taken only as written exactly in their form (cli/Arguments.h).

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

#include "automation/BusScan.h"
#include "automation/TraceBuffer.h"
#include "automation/TraceSampler.h"
#include "codec/Framing.h"

namespace cli {

struct Options {
    QString port;
    qint32 baud = 9600;
    QString address = QStringLiteral("1"); // hex digits; the builder checks the range
    codec::Framing framing = codec::Framing::Rtu;
    int timeoutMs = 0; // 0: the request's and reply's time on the line plus the turnaround
    bool json = false;
    bool help = false;
    bool version = false;
    enum class Check { None, Crc, Lrc }; // raw: what is appended to the bytes
    Check check = Check::None;
    int loops = 1;                             // run: passes through the list; 0 without end
    QString interval = QStringLiteral("1000"); // run: decimal digits, 0 to 65535
    bool stopOnError = false;
    QString log;               // --log FILE: the traffic record
    QStringList only;          // params restore: the settings to write
    bool lineSettings = false; // params: the address and line speed too
    bool all = false;          // params diff: the rows that are the same too
    QString against;           // params diff: the other drive's address, hex digits
    // scan: the range, the speeds (-b; several, or "all"), the framing and the allowance.
    automation::ScanPlan scan;
    bool speedList = false; // -b named more than one speed
    // trace: the groups polled, rounds a second (0: as fast as the line allows), how long after
    // the trigger (nothing: until the move has ended), the pre-trigger, the CSV file (empty:
    // standard output) and the device command sent once the pre-trigger is recorded.
    automation::Groups channels = automation::bitOf(automation::Group::Absolute) |
                                  automation::bitOf(automation::Group::Speed) |
                                  automation::bitOf(automation::Group::State);
    double rate = 0;
    std::optional<double> durationSeconds;
    automation::TriggerMode trigger = automation::TriggerMode::Free;
    int pretriggerMs = 200;
    QString csv;
    QString then;
    QStringList words; // the command and its arguments
};

// What is wrong with the command line, in English.
struct UsageError {
    QString text;
};

std::variant<Options, UsageError> parseOptions(const QStringList &arguments);

} // namespace cli
