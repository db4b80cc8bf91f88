#pragma once
// A parameter set: every setting the protocol table writes (its rows marked as settings), each with
// its value, and the set's JSON file. A drive is backed up into one, two are compared, the next
// drive is set up alike from one. Values are held as the request builder takes them ("100",
// "9600", "1F", "100K", "31 04 00 00 27 10"), so a value that can be held can be sent.

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <optional>
#include <variant>
#include <vector>

#include "codec/Framing.h"
#include "device/Protocol.h"
#include "device/RequestBuilder.h"

namespace device {

// The file format this version writes; it reads every earlier one too.
constexpr int kSetFormat = 2;
// The input patterns an IO binding may have.
constexpr int kFirstPattern = 1;
constexpr int kLastPattern = 31;

// One setting: the command that writes it and, for an IO binding, its input pattern.
struct SettingKey {
    const Command *command = nullptr;
    int pattern = 0; // bind-inputs: 1 to 31

    // "set-start-speed", "bind-inputs/3".
    QString name() const;
    // Whether the device can be asked for it (the table names a query).
    bool readable() const { return command->readBy.has_value(); }
    const char *unit() const { return command->unit; }
    bool operator==(const SettingKey &) const = default;
};
// Table order, bindings by pattern.
bool operator<(const SettingKey &a, const SettingKey &b);

// The key a name stands for ("bind-inputs/3"); nothing for a name that is no setting.
std::optional<SettingKey> settingKey(QStringView name);
// Every setting a drive is read for: the kept ones, each binding pattern, and with `withLine` the
// address and the line speed.
std::vector<SettingKey> settingKeys(bool withLine);

struct Entry {
    SettingKey key;
    std::optional<QString> value; // nothing: not known (cannot be read back, and none was given)
};

struct SetHeader {
    int format = kSetFormat;
    QString tool;      // "r7260-cli 1.0"
    QDateTime time;    // when the set was read
    QString port;      // as the user named it
    QString address;   // hex digits
    int lineSpeed = 0; // bit/s
    codec::Framing framing = codec::Framing::Rtu;
};

struct ParameterSet {
    SetHeader header;
    std::vector<Entry> entries; // in key order; a binding pattern without a binding has none
    QJsonObject unknown;        // entries this version does not know: kept, reported, saved again

    const Entry *find(const SettingKey &key) const;
    // Adds or replaces the key's entry, keeping the order.
    void put(Entry entry);
};

// What is wrong with a value, a file or one of its entries.
struct SetProblem {
    enum class Kind {
        CannotRead,  // detail: the system's reason
        TooLarge,    // detail: the size in bytes
        NotJson,     // detail: the parser's reason and the offset
        NotASet,     // no object with a "settings" object
        Format,      // detail: the format version found
        Header,      // entry: the header field
        NotANumber,  // entry, detail: the value as written
        NotHex,      // entry, detail: the value as written; hex digits wanted
        NotARate,    // entry, detail: the value; one of the table's rates wanted
        Pattern,     // entry, detail: the pattern; 1 to 31 wanted
        NotACommand, // entry, detail: the body; one complete command (code, count, data) wanted
        OutOfRange,  // entry; refusal: the builder's range
    };
    Kind kind;
    QString entry;
    QString detail;
    std::optional<Refusal> refusal;
};

// The value as held when `text` can be sent for the key; otherwise why not.
std::variant<QString, SetProblem> checkValue(const SettingKey &key, const QString &text);

// The request that writes the entry's value, and the one that reads the setting back (for the
// address, a handshake at the address: the address query goes to every drive on the line).
BuildResult writeRequest(const SettingKey &key, const QString &value, QStringView address,
                         codec::Framing framing);
BuildResult queryRequest(const SettingKey &key, QStringView address, codec::Framing framing);

// A value in the form a reply carries it: the line speed of a baud-rate code ("9600"), nothing
// for a code the table does not know.
std::optional<QString> lineSpeedOfCode(qint64 code);

// The file: JSON, UTF-8 (see README "Parameter sets").
QByteArray toJson(const ParameterSet &set);
std::variant<ParameterSet, SetProblem> setFromJson(const QByteArray &bytes);
// Only a regular file of at most 1 MiB is read.
std::variant<ParameterSet, SetProblem> loadSet(const QString &path);
// Written whole or not at all: on a failure the old file stays as it was. The reason, or nothing.
std::optional<QString> saveSet(const QString &path, const ParameterSet &set);

// One row of a comparison.
struct Difference {
    enum class State { Same, Differs, Unknown }; // Unknown: a side does not know its value
    SettingKey key;
    std::optional<QString> a, b; // nothing: not known, or (a binding) not bound
    State state;
};
// Every key either set holds, in key order.
std::vector<Difference> compare(const ParameterSet &a, const ParameterSet &b);

} // namespace device
