#pragma once
// r7260-cli: every device command of the protocol table, raw frames and command lists, from a
// shell. Built on the window's core (the request builder, the reply reading, the runner's step
// logic, the port), never on a widget.

#include <QStringList>
#include <optional>
#include <variant>

#include "device/RequestBuilder.h"

class QTextStream;
namespace transmission {
class Engine;
}

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

// The English half of a refused value: which value, and the range it must lie in.
QString refusalText(const device::Command &command, const device::Refusal &refusal);

// The --help text.
QString usageText();

// Shared by the commands. A usage error on err; its status (64).
int usage(QTextStream &err, const QString &text);
// Opens the port the options name on the engine; when it cannot, the exit status, the reason on
// err. startLog: the same for --log.
std::optional<int> openFailure(transmission::Engine &engine, const Options &options,
                               QTextStream &err);
std::optional<int> startLog(transmission::Engine &engine, const Options &options, QTextStream &err);
// A device command by its name and argument texts, taken exactly; a usage status when refused.
std::variant<device::Request, int> deviceRequest(const QString &name, const QStringList &arguments,
                                                 const Options &options, QTextStream &err);

} // namespace cli
