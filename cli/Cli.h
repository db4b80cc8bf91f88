#pragma once
// r7260-cli: every device command of the protocol table, raw frames and command lists, from a
// shell. Built on the window's core (the request builder, the reply reading, the runner's step
// logic, the port), never on a widget.

#include <QStringList>
#include <optional>

class QTextStream;

namespace device {
struct Command;
struct Refusal;
} // namespace device
namespace transmission {
class Engine;
}

namespace cli {

struct Options;

// Runs one command line (without the program's name); returns the exit status (Report.h).
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

// Opens the port the options name on the engine; when it cannot, the exit status (the reason on
// err). Starts the record --log asks for likewise.
std::optional<int> openFailure(transmission::Engine &engine, const Options &options,
                               QTextStream &err);
std::optional<int> startLog(transmission::Engine &engine, const Options &options, QTextStream &err);
// The English half of a refused value: which value, and the range it must lie in.
QString refusalText(const device::Command &command, const device::Refusal &refusal);

// The --help text.
QString usageText();

} // namespace cli
