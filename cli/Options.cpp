#include "cli/Options.h"

#include <optional>

#include "automation/Runner.h"
#include "cli/Arguments.h"

namespace cli {

namespace {

enum class Key {
    Port,
    Baud,
    Address,
    Mode,
    Ascii,
    TimeoutSeconds,
    Timeout,
    Interval,
    Loops,
    Json,
    Crc,
    Lrc,
    StopOnError,
    Log,
    Only,
    LineSettings,
    All,
    Against,
    Range,
    ScanFraming,
    Turnaround,
    Channels,
    Rate,
    Duration,
    Trigger,
    Pretrigger,
    Csv,
    Then,
    Help,
    Version,
};

struct KnownOption {
    Key key;
    const char *shortName;
    const char *longName;
    bool takesValue;
};

// clang-format off
const KnownOption kKnownOptions[] = {
    {Key::Port, "-p", "--port", true},
    {Key::Baud, "-b", "--baud", true},
    {Key::Address, "-a", "--address", true},
    {Key::Mode, "-m", "--mode", true},
    {Key::Ascii, nullptr, "--ascii", false},
    {Key::TimeoutSeconds, "-o", nullptr, true},
    {Key::Timeout, nullptr, "--timeout", true},
    {Key::Interval, "-l", "--interval", true},
    {Key::Loops, nullptr, "--loops", true},
    {Key::Json, nullptr, "--json", false},
    {Key::Crc, nullptr, "--crc", false},
    {Key::Lrc, nullptr, "--lrc", false},
    {Key::StopOnError, nullptr, "--stop-on-error", false},
    {Key::Log, nullptr, "--log", true},
    {Key::Only, nullptr, "--only", true},
    {Key::LineSettings, nullptr, "--line-settings", false},
    {Key::All, nullptr, "--all", false},
    {Key::Against, nullptr, "--against", true},
    {Key::Range, nullptr, "--range", true},
    {Key::ScanFraming, nullptr, "--framing", true},
    {Key::Turnaround, nullptr, "--turnaround", true},
    {Key::Channels, nullptr, "--channels", true},
    {Key::Rate, nullptr, "--rate", true},
    {Key::Duration, nullptr, "--duration", true},
    {Key::Trigger, nullptr, "--trigger", true},
    {Key::Pretrigger, nullptr, "--pretrigger", true},
    {Key::Csv, nullptr, "--csv", true},
    {Key::Then, nullptr, "--then", true},
    {Key::Help, "-h", "--help", false},
    {Key::Version, "-V", "--version", false},
};
// clang-format on

const KnownOption *findOption(const QString &name) {
    for (const KnownOption &known : kKnownOptions)
        if ((known.shortName && name == QLatin1String(known.shortName)) ||
            (known.longName && name == QLatin1String(known.longName)))
            return &known;
    return nullptr;
}

// "-1000" and "-.5" are values (move -1000), not options.
bool isNegativeNumber(const QString &word) {
    return word.size() > 1 && word[0] == u'-' && (word[1].isDigit() || word[1] == u'.');
}

// Decimal digits only: toLongLong would also take blanks and a "+".
std::optional<qint64> wholeNumber(const QString &text, qint64 min, qint64 max) {
    if (!fits(Form::Unsigned, text))
        return std::nullopt;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

UsageError wants(const QString &option, const char *what, const QString &value) {
    return {QStringLiteral("%1 wants %2, not \"%3\"").arg(option, QLatin1String(what), value)};
}

// Applies one option with its value; the error when the value does not fit.
std::optional<UsageError> apply(Options &o, Key key, const QString &option, const QString &value) {
    switch (key) {
    case Key::Port:
        o.port = value;
        break;
    case Key::Baud: {
        // One rate; for scan also a list, or every rate the port offers.
        const bool all = value == QLatin1String("all");
        const QStringList rates = all ? QStringList{} : value.split(u',');
        o.speedList = all || rates.size() > 1;
        o.scan.speeds = all ? automation::allScanSpeeds() : std::vector<qint32>{};
        for (const QString &rate : rates) {
            if (!fits(Form::LineRate, rate))
                return UsageError{wantsText(option, Form::LineRate, rate)};
            o.scan.speeds.push_back(rate.toInt());
        }
        o.baud = o.scan.speeds.front();
        break;
    }
    case Key::Range: {
        const qsizetype dash = value.indexOf(u'-');
        const QString first = value.left(dash), last = value.mid(dash + 1);
        if (dash < 0 || !fits(Form::Hex, first) || !fits(Form::Hex, last))
            return wants(option, "two hex addresses joined by \"-\", such as 1-FF", value);
        o.scan.first = first.toInt(nullptr, 16);
        o.scan.last = last.toInt(nullptr, 16);
        break;
    }
    case Key::ScanFraming: {
        using automation::ScanFraming;
        const QString name = value.toLower();
        if (name == QLatin1String("rtu"))
            o.scan.framing = ScanFraming::Rtu;
        else if (name == QLatin1String("ascii"))
            o.scan.framing = ScanFraming::Ascii;
        else if (name == QLatin1String("both"))
            o.scan.framing = ScanFraming::Both;
        else
            return wants(option, "rtu, ascii or both", value);
        break;
    }
    case Key::Turnaround:
        if (const auto ms = wholeNumber(value, 0, automation::kMaxTurnaroundMs))
            o.scan.turnaroundMs = int(*ms);
        else
            return wants(option, "whole milliseconds from 0 to 1000", value);
        break;
    case Key::Address:
        if (!fits(Form::Hex, value))
            return UsageError{wantsText(option, Form::Hex, value)};
        o.address = value;
        break;
    case Key::Mode:
        if (value.compare(QLatin1String("rtu"), Qt::CaseInsensitive) == 0)
            o.framing = codec::Framing::Rtu;
        else if (value.compare(QLatin1String("ascii"), Qt::CaseInsensitive) == 0)
            o.framing = codec::Framing::Ascii;
        else
            return wants(option, "rtu or ascii", value);
        break;
    case Key::TimeoutSeconds: {
        bool ok = false;
        const double seconds = value.toDouble(&ok);
        if (!fits(Form::Seconds, value) || !ok || !(seconds >= 0.001 && seconds <= 3600))
            return wants(option, "seconds from 0.001 to 3600, at most three decimals", value);
        o.timeoutMs = qRound(seconds * 1000);
        break;
    }
    case Key::Timeout:
        if (const auto ms = wholeNumber(value, 1, 3600000))
            o.timeoutMs = int(*ms);
        else
            return wants(option, "whole milliseconds from 1 to 3600000", value);
        break;
    case Key::Interval:
        // The window refuses to start its runner with such a default interval.
        if (!fits(Form::Unsigned, value) || !automation::timerInterval(value))
            return wants(option, "whole milliseconds from 0 to 65535", value);
        o.interval = value;
        break;
    case Key::Loops:
        if (const auto loops = wholeNumber(value, 0, 0x7FFFFFFF))
            o.loops = int(*loops);
        else
            return wants(option, "a whole number of passes (0: without end)", value);
        break;
    case Key::Ascii:
        o.framing = codec::Framing::Ascii;
        break;
    case Key::Json:
        o.json = true;
        break;
    case Key::Crc:
    case Key::Lrc:
        if (o.check != Options::Check::None)
            return UsageError{QStringLiteral("--crc and --lrc exclude each other")};
        o.check = key == Key::Crc ? Options::Check::Crc : Options::Check::Lrc;
        break;
    case Key::StopOnError:
        o.stopOnError = true;
        break;
    case Key::Log:
        o.log = value;
        break;
    case Key::Only:
        o.only = value.split(u',');
        break;
    case Key::LineSettings:
        o.lineSettings = true;
        break;
    case Key::All:
        o.all = true;
        break;
    case Key::Against:
        if (!fits(Form::Hex, value))
            return UsageError{wantsText(option, Form::Hex, value)};
        o.against = value;
        break;
    case Key::Channels: {
        o.channels = 0;
        for (const QStringView name : QStringView(value).split(u','))
            if (const auto group = automation::groupByKey(name))
                o.channels |= automation::bitOf(*group);
            else
                return wants(option, "a list of abs, rel, speed, state, inputs", value);
        break;
    }
    case Key::Rate:
        if (value == QLatin1String("max"))
            o.rate = 0;
        else if (const auto rate = wholeNumber(value, 1, 1000))
            o.rate = double(*rate);
        else
            return wants(option, "max or whole rounds a second from 1 to 1000", value);
        break;
    case Key::Duration: {
        const double seconds = value.toDouble();
        if (!fits(Form::Seconds, value) || !(seconds >= 0.001 && seconds <= 86400))
            return wants(option, "seconds from 0.001 to 86400, at most three decimals", value);
        o.durationSeconds = seconds;
        break;
    }
    case Key::Trigger:
        if (value == QLatin1String("none"))
            o.trigger = automation::TriggerMode::Free;
        else if (value == QLatin1String("move"))
            o.trigger = automation::TriggerMode::Move;
        else if (value == QLatin1String("state"))
            o.trigger = automation::TriggerMode::State;
        else
            return wants(option, "move, state or none", value);
        break;
    case Key::Pretrigger:
        if (const auto ms = wholeNumber(value, 0, 600000))
            o.pretriggerMs = int(*ms);
        else
            return wants(option, "whole milliseconds from 0 to 600000", value);
        break;
    case Key::Csv:
        o.csv = value;
        break;
    case Key::Then:
        o.then = value;
        break;
    case Key::Help:
        o.help = true;
        break;
    case Key::Version:
        o.version = true;
        break;
    }
    return std::nullopt;
}

} // namespace

std::variant<Options, UsageError> parseOptions(const QStringList &arguments) {
    Options o;
    bool runOptions = false;
    bool paramsOptions = false;
    bool scanOptions = false;
    bool traceOptions = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &word = arguments[i];
        if (word == QLatin1String("--")) {
            o.words += arguments.mid(i + 1);
            break;
        }
        if (!word.startsWith(u'-') || word.size() == 1 || isNegativeNumber(word)) {
            o.words << word;
            continue;
        }
        // "--name=value", "-xvalue" or the value in the next word.
        QString name = word;
        std::optional<QString> value;
        if (word.startsWith(QLatin1String("--"))) {
            if (const qsizetype equals = word.indexOf(u'='); equals > 0) {
                name = word.left(equals);
                value = word.mid(equals + 1);
            }
        } else if (word.size() > 2) {
            name = word.left(2);
            value = word.mid(2);
        }
        const KnownOption *known = findOption(name);
        if (!known)
            return UsageError{QStringLiteral("unknown option %1").arg(name)};
        if (!known->takesValue && value)
            return UsageError{QStringLiteral("%1 takes no value").arg(name)};
        if (known->takesValue && !value) {
            if (i + 1 == arguments.size())
                return UsageError{QStringLiteral("%1 wants a value").arg(name)};
            value = arguments[++i];
        }
        if (auto error = apply(o, known->key, name, value.value_or(QString())))
            return *error;
        runOptions = runOptions || known->key == Key::Interval || known->key == Key::Loops ||
                     known->key == Key::StopOnError;
        paramsOptions = paramsOptions || known->key == Key::Only ||
                        known->key == Key::LineSettings || known->key == Key::All ||
                        known->key == Key::Against;
        scanOptions = scanOptions || known->key == Key::Range || known->key == Key::ScanFraming ||
                      known->key == Key::Turnaround;
        traceOptions = traceOptions || (known->key >= Key::Channels && known->key <= Key::Then);
    }
    if (o.help || o.version)
        return o;
    if (o.words.isEmpty())
        return UsageError{QStringLiteral("no command given")};
    const QString &command = o.words.front();
    if (o.check != Options::Check::None && command != QLatin1String("raw"))
        return UsageError{QStringLiteral("--crc and --lrc belong to the raw command")};
    if (runOptions && command != QLatin1String("run"))
        return UsageError{
            QStringLiteral("--interval, --loops and --stop-on-error belong to the run command")};
    if (paramsOptions && command != QLatin1String("params"))
        return UsageError{QStringLiteral(
            "--only, --line-settings, --all and --against belong to the params command")};
    if ((scanOptions || o.speedList) && command != QLatin1String("scan"))
        return UsageError{QStringLiteral(
            "--range, --framing, --turnaround and a list of rates belong to the scan command")};
    if (traceOptions && command != QLatin1String("trace"))
        return UsageError{QStringLiteral("--channels, --rate, --duration, --trigger, --pretrigger, "
                                         "--csv and --then belong to the trace command")};
    return o;
}

} // namespace cli
