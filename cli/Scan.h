#pragma once
// r7260-cli scan: every drive on the line (automation/BusScan.h), one line or JSON object each,
// and one for each address whose answer came damaged.

#include <functional>
#include <optional>

class QTextStream;

namespace transmission {
class Engine;
}

namespace cli {

struct Options;

// Opens the port the options name on the engine, with the record asked for; the exit status
// when it cannot.
using OpenPort = std::function<std::optional<int>(transmission::Engine &)>;

// 0 when a drive was found, 2 none, 3 the port could not be opened or went away, 64 usage.
int scanBus(const Options &options, const OpenPort &open, QTextStream &out, QTextStream &err);

} // namespace cli
