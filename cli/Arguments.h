#pragma once
// The forms the command line takes its values in. The window reads its boxes leniently ("abc" is
// 0, "1.6" is 2, "ZZ" is address 0); a shell script's slip must not travel as some other value, so
// here a value is taken only when it is written exactly in its form, and refused otherwise.
// Ranges stay the request builder's.

#include <QString>
#include <QStringList>
#include <optional>

namespace automation {
struct ListFileRead;
}

namespace device {
struct Command;
}

namespace cli {

enum class Form {
    Unsigned,     // decimal digits: 100
    Signed,       // decimal digits, "-" allowed in front: -100
    Hex,          // hex digits: 1F
    HexBytes,     // two hex digits a byte, blanks allowed between bytes: "01 2A", 012A
    InputPattern, // five characters 0 or 1, IN5 first: 10010
    BaudRate,     // one of the rates the device can be switched to
    CanBaudRate,  // one of the CAN side's rates, as written in its list: 100K
    LineRate,     // one of the rates the window offers for the line: 300 ... 128000
    Seconds,      // decimal seconds to the millisecond: 0.5
};

bool fits(Form form, QStringView text);

// What the form accepts, for a message: "hex digits, such as 1F".
QString formText(Form form);

// `name wants <form>, not "text"`.
QString wantsText(const QString &name, Form form, const QString &text);

// The first of a device command's arguments not written in its form: which one and what it
// accepts. Also a hex text longer than its field, which the window would cut.
std::optional<QString> malformedArgument(const device::Command &command,
                                         const QStringList &arguments);

// Why a list file was not read, in English: the system's reason, or what the file is instead.
QString listReadProblem(const QString &path, const automation::ListFileRead &read);

} // namespace cli
