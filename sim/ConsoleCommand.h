#pragma once
// The commands the simulator reads from its standard input while it runs:
//   in 00101    set IN5..IN1 at once ("1" is on), as the tool's pattern texts read
//   in3 1       switch one input (in1 .. in5) on (1) or off (0)
//   status      print the device's state
//   help        list the commands
//   quit        end the simulator
// On a line of several drives a command goes to the first; "@1F status" aims it at the drives
// at address 1F instead.

#include <QString>
#include <optional>

namespace sim {

// Five characters "0"/"1" for IN5..IN1 to a pattern (bit 0 is IN1); nothing for other text.
std::optional<quint8> parsePattern(QStringView text);

struct ConsoleCommand {
    enum class Kind { Nothing, SetInputs, Status, Help, Quit, Invalid } kind = Kind::Nothing;
    quint8 inputs = 0; // SetInputs: the complete new pattern
    QString error;     // Invalid: what is wrong
};

// `current` is the inputs' present pattern, which "in3 1" changes one bit of.
ConsoleCommand parseConsoleLine(const QString &line, quint8 current);

// "@1F in 00101": the drive address a line is aimed at, if any, and the command after it.
struct AimedLine {
    std::optional<quint8> address;
    QString command;
    bool valid = true; // false when "@" is not followed by a hex address 1 to FF
};
AimedLine splitAddress(const QString &line);

inline constexpr const char *kConsoleHelp =
    "commands: in 00101 (IN5..IN1, 1 = on) | inN 0|1 (N = 1..5) | status | help | quit; "
    "with several drives a command goes to the first, or to those at an address: @1F status";

} // namespace sim
