#pragma once
// r7260-cli: every device command of the protocol table, raw frames and command lists, from a
// shell. Built on the window's core (the request builder, the reply reading, the runner's step
// logic, the port), never on a widget.

#include <QStringList>

class QTextStream;

namespace cli {

// Runs one command line (without the program's name); returns the exit status (Report.h).
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

// The --help text.
QString usageText();

} // namespace cli
