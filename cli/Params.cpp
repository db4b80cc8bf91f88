#include "cli/Params.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include "automation/ParameterTransfer.h"
#include "cli/Cli.h"
#include "cli/Options.h"
#include "cli/Report.h"
#include "transmission/Engine.h"
#include "transmission/Reply.h"

#ifndef R7260_VERSION
#define R7260_VERSION "unknown"
#endif

namespace cli {

namespace {

using automation::EntryResult;
using automation::Stop;
using device::SetProblem;
using device::SettingKey;
using Result = EntryResult::Result;

const QLatin1String kProgram("r7260-cli");

// Runs an asynchronous job of the core until it calls its `done`.
template <typename T, typename Start> T waitFor(Start start) {
    QEventLoop loop;
    std::optional<T> result;
    start([&](const T &r) {
        result = r;
        loop.quit();
    });
    if (!result)
        loop.exec();
    return *result;
}

QString errorText(quint8 error) {
    QString text = QStringLiteral("error %1")
                       .arg(QStringLiteral("%1").arg(error, 2, 16, QLatin1Char('0')).toUpper());
    if (const char *meaning = transmission::errorMeaning(error))
        text += QStringLiteral(" (%1)").arg(device::translated(meaning));
    return text;
}

QString problemText(const QString &path, const SetProblem &p) {
    using Kind = SetProblem::Kind;
    const QString where = p.entry.isEmpty() ? path : path + QStringLiteral(": ") + p.entry;
    switch (p.kind) {
    case Kind::CannotRead:
        return QStringLiteral("cannot read %1: %2").arg(path, p.detail);
    case Kind::TooLarge:
        return QStringLiteral("%1 holds %2 bytes, above the 1048576 a parameter set may hold")
            .arg(path, p.detail);
    case Kind::NotJson:
        return QStringLiteral("%1 is no JSON: %2").arg(path, p.detail);
    case Kind::NotASet:
        return p.entry.isEmpty()
                   ? QStringLiteral("%1 is no parameter set: no \"settings\" object").arg(path)
                   : QStringLiteral("%1: the entry is no {\"value\": ...} object").arg(where);
    case Kind::Format:
        return QStringLiteral("%1: format %2 is not one this version reads (1 to %3)")
            .arg(path, p.detail)
            .arg(device::kSetFormat);
    case Kind::Header:
        return QStringLiteral("%1: malformed: %2").arg(where, p.detail);
    case Kind::NotANumber:
        return QStringLiteral("%1: %2 is no whole number").arg(where, p.detail);
    case Kind::NotHex:
        return QStringLiteral("%1: %2 is not hex digits (bytes of two digits each)")
            .arg(where, p.detail);
    case Kind::NotARate:
        return QStringLiteral("%1: %2 is no rate the device can be switched to")
            .arg(where, p.detail);
    case Kind::Pattern:
        return QStringLiteral("%1: pattern %2 lies outside %3 to %4")
            .arg(where, p.detail)
            .arg(device::kFirstPattern)
            .arg(device::kLastPattern);
    case Kind::NotACommand:
        return QStringLiteral("%1: %2 is not one complete command (code, count, data)")
            .arg(where, p.detail);
    case Kind::OutOfRange:
        if (const auto key = device::settingKey(p.entry))
            return QStringLiteral("%1: %2: %3")
                .arg(where, p.detail, refusalText(*key->command, *p.refusal));
        return QStringLiteral("%1: %2: %3")
            .arg(where, p.detail, device::refusalMessage(*p.refusal));
    }
    return where;
}

std::optional<device::ParameterSet> load(const QString &path, QTextStream &err) {
    auto loaded = device::loadSet(path);
    if (const auto *problem = std::get_if<SetProblem>(&loaded)) {
        usage(err, problemText(path, *problem) + QStringLiteral("; nothing sent"));
        return std::nullopt;
    }
    const auto &set = std::get<device::ParameterSet>(loaded);
    for (auto it = set.unknown.begin(); it != set.unknown.end(); ++it)
        err << kProgram << ": " << path << ": unknown entry \"" << it.key()
            << "\" (from a later version?) is left alone\n";
    return set;
}

int statusOf(const Stop &stop) {
    switch (stop.kind) {
    case Stop::Kind::Refused:
        return FailureReply;
    case Stop::Kind::NoReply:
        return NoReply;
    case Stop::Kind::PortLost:
        return PortError;
    case Stop::Kind::NotBuilt:
        break;
    }
    return Usage;
}

QString stopText(const Stop &stop, const QString &port, int timeoutMs) {
    const QString name = stop.key.name();
    switch (stop.kind) {
    case Stop::Kind::Refused:
        return QStringLiteral("%1: the device refused, %2").arg(name, errorText(*stop.error));
    case Stop::Kind::NoReply:
        return QStringLiteral("%1: %2: no reply within %3 ms").arg(name, port).arg(timeoutMs);
    case Stop::Kind::PortLost:
        return QStringLiteral("%1: port lost: %2").arg(port, stop.portProblem);
    case Stop::Kind::NotBuilt:
        break;
    }
    return QStringLiteral("%1: cannot be sent").arg(name);
}

// A session with the drive: the engine on the open port.
struct Line {
    transmission::Engine engine;
    QString port;
    automation::Drive drive;
};

std::optional<int> open(Line &line, const Options &options, QTextStream &err) {
    if (const auto status = openFailure(line.engine, options, err))
        return status;
    if (const auto status = startLog(line.engine, options, err))
        return status;
    line.port = portLabel(options.port, line.engine.portDevice());
    line.drive = {options.address, options.framing, options.timeoutMs};
    return std::nullopt;
}

// Reads the drive at `address`; on a stop, the status (the reason on err).
std::variant<device::ParameterSet, int> readDrive(Line &line, const QString &address, bool withLine,
                                                  QTextStream &err) {
    automation::Drive drive = line.drive;
    drive.address = address;
    const auto read = waitFor<automation::ReadOutcome>(
        [&](auto done) { automation::readSet(line.engine, drive, withLine, done); });
    if (read.stop) {
        err << kProgram << ": reading the drive at " << address
            << " stopped: " << stopText(*read.stop, line.port, line.drive.timeoutMs) << '\n';
        return statusOf(*read.stop);
    }
    device::ParameterSet set = read.set;
    set.header.tool = QStringLiteral("r7260-cli " R7260_VERSION);
    set.header.port = line.port;
    set.header.time = QDateTime::currentDateTime();
    return set;
}

QString shown(const std::optional<QString> &value, const SettingKey &key) {
    if (value)
        return *value;
    return key.command->layout == device::Layout::Binding ? QStringLiteral("none")
                                                          : QStringLiteral("?");
}

QString unitOf(const SettingKey &key) {
    return key.unit() ? QStringLiteral(" ") + QString::fromUtf8(key.unit()) : QString();
}

void print(QTextStream &out, const QJsonObject &object) {
    out << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
}

int backup(const Options &options, QTextStream &out, QTextStream &err) {
    if (options.words.size() != 3)
        return usage(err, QStringLiteral("params backup takes one FILE"));
    const QString &path = options.words[2];
    Line line;
    if (const auto status = open(line, options, err))
        return *status;
    auto read = readDrive(line, options.address, options.lineSettings, err);
    if (const int *status = std::get_if<int>(&read))
        return *status;
    const auto &set = std::get<device::ParameterSet>(read);
    for (const device::Entry &e : set.entries) {
        if (options.json) {
            print(out, {{"name", e.key.name()},
                        {"value", e.value ? QJsonValue(*e.value) : QJsonValue()},
                        {"unit",
                         e.key.unit() ? QJsonValue(QString::fromUtf8(e.key.unit())) : QJsonValue()},
                        {"readBack", e.key.readable()}});
        } else {
            out << e.key.name() << ": "
                << (e.value ? *e.value + unitOf(e.key) : QStringLiteral("cannot be read back"))
                << '\n';
        }
    }
    if (const auto error = device::saveSet(path, set))
        return usage(
            err, QStringLiteral("cannot write %1: %2; the file is as it was").arg(path, *error));
    return Ok;
}

int backupDrives(const Options &options, QTextStream &out, QTextStream &err) {
    if (options.words.size() < 4)
        return usage(err, QStringLiteral("params backup-drives takes a FOLDER and addresses"));
    const QString &folder = options.words[2];
    const QStringList addresses = options.words.mid(3);
    if (!QFileInfo(folder).isDir())
        return usage(err, QStringLiteral("%1 is no folder").arg(folder));
    for (const QString &address : addresses)
        if (!std::holds_alternative<QString>(
                device::checkValue({&device::command(device::FunctionCode::SetAddress)}, address)))
            return usage(err,
                         QStringLiteral("%1 is no address (hex digits, 0 to FF)").arg(address));
    Line line;
    if (const auto status = open(line, options, err))
        return *status;
    const auto results = waitFor<std::vector<automation::BackupResult>>([&](auto done) {
        automation::backupDrives(line.engine, addresses, folder, line.drive,
                                 QStringLiteral("r7260-cli " R7260_VERSION), line.port,
                                 options.lineSettings, done);
    });
    int status = Ok;
    for (const automation::BackupResult &r : results) {
        const QString problem =
            r.stop        ? stopText(*r.stop, line.port, options.timeoutMs)
            : r.saveError ? QStringLiteral("cannot write %1: %2").arg(r.path, *r.saveError)
                          : QString();
        if (options.json)
            print(out, {{"address", r.address},
                        {"file", r.path},
                        {"saved", problem.isEmpty()},
                        {"error", problem.isEmpty() ? QJsonValue() : QJsonValue(problem)}});
        else
            out << r.address << ": " << (problem.isEmpty() ? "saved " + r.path : problem) << '\n';
        const int one = r.stop ? statusOf(*r.stop) : r.saveError ? int(Usage) : int(Ok);
        if (status == Ok || one == PortError)
            status = one;
    }
    return status;
}

int diff(const Options &options, QTextStream &out, QTextStream &err) {
    const QStringList files = options.words.mid(2);
    if (files.size() > 2 || (files.isEmpty() == options.against.isEmpty()) ||
        (files.size() == 2 && !options.against.isEmpty()))
        return usage(err, QStringLiteral("params diff takes FILE, FILE FILE2, or --against HEX"));
    // The drives first (-a, then --against), then the files: two sets in all.
    std::vector<device::ParameterSet> sets;
    QStringList names;
    std::vector<device::ParameterSet> fileSets;
    for (const QString &path : files) {
        const auto set = load(path, err);
        if (!set)
            return Usage;
        fileSets.push_back(*set);
    }
    Line line;
    if (files.size() < 2) {
        if (const auto status = open(line, options, err))
            return *status;
        bool withLine = options.lineSettings;
        for (const device::ParameterSet &set : fileSets)
            for (const device::Entry &e : set.entries)
                withLine = withLine || e.key.command->setting == device::Setting::Line;
        QStringList addresses{options.address};
        if (!options.against.isEmpty())
            addresses << options.against;
        for (const QString &address : addresses) {
            auto read = readDrive(line, address, withLine, err);
            if (const int *status = std::get_if<int>(&read))
                return *status;
            sets.push_back(std::get<device::ParameterSet>(read));
            names << QStringLiteral("device ") + address;
        }
    }
    for (qsizetype i = 0; i < files.size(); ++i) {
        sets.push_back(fileSets[size_t(i)]);
        names << QFileInfo(files[i]).fileName();
    }
    int status = Ok;
    for (const device::Difference &row : device::compare(sets[0], sets[1])) {
        using State = device::Difference::State;
        if (row.state == State::Differs)
            status = kDifferences;
        if (row.state != State::Differs && !options.all)
            continue;
        const char *state = row.state == State::Same      ? "same"
                            : row.state == State::Differs ? "differs"
                                                          : "not known";
        if (options.json)
            print(out, {{"name", row.key.name()},
                        {"a", row.a ? QJsonValue(*row.a) : QJsonValue()},
                        {"b", row.b ? QJsonValue(*row.b) : QJsonValue()},
                        {"unit", row.key.unit() ? QJsonValue(QString::fromUtf8(row.key.unit()))
                                                : QJsonValue()},
                        {"state", QLatin1String(state)}});
        else
            out << row.key.name() << ": " << shown(row.a, row.key) << " (" << names[0] << ") | "
                << shown(row.b, row.key) << " (" << names[1] << ")" << unitOf(row.key) << ", "
                << state << '\n';
    }
    return status;
}

const char *resultWord(Result result) {
    switch (result) {
    case Result::Confirmed:
        return "confirmed";
    case Result::WrittenOnly:
        return "written";
    case Result::ReadBackDiffers:
        return "differs";
    case Result::Refused:
        return "refused";
    case Result::NotAnswered:
        return "not answered";
    case Result::PortLost:
        return "port lost";
    case Result::NotSent:
        return "not sent";
    case Result::NoValue:
        return "no value";
    }
    return "";
}

// The entries --only and --line-settings choose; the reason when a name does not fit.
std::variant<std::vector<device::Entry>, QString> chosen(const device::ParameterSet &set,
                                                         const Options &options) {
    std::vector<device::Entry> entries;
    if (options.only.isEmpty()) {
        for (const device::Entry &e : set.entries)
            if (e.key.command->setting != device::Setting::Line || options.lineSettings)
                entries.push_back(e);
        return entries;
    }
    for (const QString &name : options.only) {
        const device::Command *command = device::findCommand(name);
        const bool allBindings = command && command->layout == device::Layout::Binding;
        const auto key =
            allBindings ? std::optional(SettingKey{command, 0}) : device::settingKey(name);
        if (!key)
            return QStringLiteral("--only: \"%1\" is no setting").arg(name);
        const qsizetype before = qsizetype(entries.size());
        for (const device::Entry &e : set.entries)
            if (e.key == *key || (allBindings && e.key.command == command))
                entries.push_back(e);
        if (qsizetype(entries.size()) == before)
            return QStringLiteral("--only: the file holds no %1").arg(name);
    }
    return entries;
}

int restore(const Options &options, QTextStream &out, QTextStream &err) {
    if (options.words.size() != 3)
        return usage(err, QStringLiteral("params restore takes one FILE"));
    const QString &path = options.words[2];
    const auto set = load(path, err);
    if (!set)
        return Usage;
    const auto picked = chosen(*set, options);
    if (const auto *reason = std::get_if<QString>(&picked))
        return usage(err, *reason + QStringLiteral("; nothing sent"));
    Line line;
    if (const auto status = open(line, options, err))
        return *status;
    const auto outcome = waitFor<automation::WriteOutcome>([&](auto done) {
        automation::writeSet(
            line.engine, line.drive, std::get<std::vector<device::Entry>>(picked), done,
            [&](const EntryResult &r) {
                if (options.json)
                    print(out, {{"name", r.key.name()},
                                {"value", r.value},
                                {"result", QLatin1String(resultWord(r.result))},
                                {"written", r.written},
                                {"readBack", r.readBack ? QJsonValue(*r.readBack) : QJsonValue()},
                                {"error", r.error ? QJsonValue(int(*r.error)) : QJsonValue()}});
                else
                    out << r.key.name()
                        << (r.value.isEmpty() ? QString() : QStringLiteral(" = ") + r.value) << ": "
                        << automation::resultText(r) << '\n';
                out.flush();
            });
    });
    int written = 0, confirmed = 0, notSent = 0;
    for (const EntryResult &r : outcome.entries) {
        written += r.written;
        confirmed += r.result == Result::Confirmed;
        notSent += r.result == Result::NotSent;
    }
    for (const EntryResult &r : outcome.entries) {
        if (r.result != Result::Refused && r.result != Result::NotAnswered &&
            r.result != Result::PortLost)
            continue;
        err << kProgram << ": the restore stopped at " << r.key.name() << ": " << written
            << " written (" << confirmed << " confirmed), " << notSent
            << " not sent (listed above)\n";
        return r.result == Result::Refused    ? FailureReply
               : r.result == Result::PortLost ? PortError
                                              : NoReply;
    }
    return outcome.complete() ? Ok : kDifferences;
}

} // namespace

int params(const Options &options, QTextStream &out, QTextStream &err) {
    const QString action = options.words.value(1);
    if (action == QLatin1String("backup"))
        return backup(options, out, err);
    if (action == QLatin1String("backup-drives"))
        return backupDrives(options, out, err);
    if (action == QLatin1String("diff"))
        return diff(options, out, err);
    if (action == QLatin1String("restore"))
        return restore(options, out, err);
    return usage(err, QStringLiteral("params takes backup, backup-drives, diff or restore"));
}

} // namespace cli
