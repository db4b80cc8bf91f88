#include "device/ParameterSet.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

#include "codec/HexText.h"

#include <unistd.h>

namespace device {

namespace {

constexpr qint64 kMaxFileBytes = 1024 * 1024;
constexpr double kLargestExactInteger = 9007199254740992.0; // 2^53

int tableIndex(const Command *command) {
    return int(command - commands().data());
}

bool isBinding(const SettingKey &key) {
    return key.command->layout == Layout::Binding;
}

// Five characters for IN5..IN1, as the builder reads an input pattern.
QString patternText(int pattern) {
    QString text;
    for (int input = 4; input >= 0; --input)
        text += (pattern >> input) & 1 ? u'1' : u'0';
    return text;
}

QStringList argumentsFor(const SettingKey &key, const QString &value) {
    return isBinding(key) ? QStringList{patternText(key.pattern), value} : QStringList{value};
}

bool matches(const char *pattern, const QString &text) {
    return QRegularExpression(QRegularExpression::anchoredPattern(QLatin1String(pattern)))
        .match(text)
        .hasMatch();
}

SetProblem problem(SetProblem::Kind kind, const QString &entry, const QString &detail = {}) {
    return SetProblem{kind, entry, detail, std::nullopt};
}

// A binding's body holds one complete command the device can run by itself.
bool isOneCommand(const QByteArray &body) {
    if (body.size() < 2 || quint8(body[1]) != body.size() - 2)
        return false;
    const auto code = quint8(body[0]);
    return findCommand(code) && code != quint8(FunctionCode::BindInputs) &&
           code != quint8(FunctionCode::GetBinding);
}

// JSON text of one value, for the hand-laid file.
QString jsonText(const QJsonValue &value) {
    return QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact))
        .mid(1)
        .chopped(1);
}

// The value in its file form: a number where the value is one, a text otherwise.
QJsonValue fileValue(const SettingKey &key, const QString &value) {
    switch (key.command->layout) {
    case Layout::Byte:
    case Layout::Int32:
    case Layout::BaudRateCode:
        return value.toLongLong();
    default:
        return value;
    }
}

// The value's text from its file form; a number where the layout takes one.
std::variant<QString, SetProblem> valueText(const SettingKey &key, const QJsonValue &value) {
    switch (key.command->layout) {
    case Layout::Byte:
    case Layout::Int32:
    case Layout::BaudRateCode: {
        const double number = value.toDouble();
        if (!value.isDouble() || std::trunc(number) != number ||
            std::abs(number) > kLargestExactInteger)
            return problem(SetProblem::Kind::NotANumber, key.name(),
                           value.isString() ? value.toString() : jsonText(value));
        return QString::number(qint64(number));
    }
    default:
        if (!value.isString())
            return problem(SetProblem::Kind::NotHex, key.name(), jsonText(value));
        return value.toString();
    }
}

// Takes one value of the file into the set; why not, when it cannot be taken.
std::optional<SetProblem> take(ParameterSet &set, const SettingKey &key, const QJsonValue &value) {
    if (value.isNull() && !isBinding(key)) {
        set.put({key, std::nullopt});
        return std::nullopt;
    }
    const auto text = valueText(key, value);
    if (const auto *bad = std::get_if<SetProblem>(&text))
        return *bad;
    const auto checked = checkValue(key, std::get<QString>(text));
    if (const auto *bad = std::get_if<SetProblem>(&checked))
        return *bad;
    set.put({key, std::get<QString>(checked)});
    return std::nullopt;
}

std::optional<SetProblem> readEntry(ParameterSet &set, const QString &name, const QJsonValue &entry,
                                    int format) {
    // The bindings share one entry, by pattern; "bind-inputs/3" names one only on the command line.
    const Command *command = findCommand(name);
    auto key = command && command->layout == Layout::Binding
                   ? std::optional(SettingKey{command, kFirstPattern})
                   : settingKey(name);
    if (!key || (isBinding(*key) && name.contains(u'/'))) {
        set.unknown.insert(name, entry);
        return std::nullopt;
    }
    // Format 1 held the bare value; format 2 an object with the value and its unit.
    QJsonValue value = entry;
    if (format >= 2) {
        if (!entry.isObject() || !entry.toObject().contains(QLatin1String("value")))
            return problem(SetProblem::Kind::NotASet, name);
        value = entry.toObject().value(QLatin1String("value"));
    }
    if (!isBinding(*key))
        return take(set, *key, value);
    if (!value.isObject())
        return problem(SetProblem::Kind::NotASet, name);
    const QJsonObject bindings = value.toObject();
    for (auto it = bindings.begin(); it != bindings.end(); ++it) {
        const int pattern = it.key().toInt();
        if (!matches("[0-9]{1,2}", it.key()) || pattern < kFirstPattern || pattern > kLastPattern)
            return problem(SetProblem::Kind::Pattern, name, it.key());
        if (auto bad = take(set, {key->command, pattern}, it.value()))
            return bad;
    }
    return std::nullopt;
}

} // namespace

QString SettingKey::name() const {
    const QString base = QLatin1String(command->name);
    return isBinding(*this) ? base + u'/' + QString::number(pattern) : base;
}

bool operator<(const SettingKey &a, const SettingKey &b) {
    return std::pair(tableIndex(a.command), a.pattern) <
           std::pair(tableIndex(b.command), b.pattern);
}

std::optional<SettingKey> settingKey(QStringView name) {
    const qsizetype slash = name.indexOf(u'/');
    const Command *command = findCommand(slash < 0 ? name : name.left(slash));
    if (!command || command->setting == Setting::None)
        return std::nullopt;
    const SettingKey key{command, 0};
    if (!isBinding(key))
        return slash < 0 ? std::optional(key) : std::nullopt;
    const QString pattern = name.mid(slash + 1).toString();
    bool ok = false;
    const int value = pattern.toInt(&ok);
    if (slash < 0 || !ok || value < kFirstPattern || value > kLastPattern)
        return std::nullopt;
    return SettingKey{command, value};
}

std::vector<SettingKey> settingKeys(bool withLine) {
    std::vector<SettingKey> keys;
    for (const Command &command : commands()) {
        if (command.setting == Setting::None || (command.setting == Setting::Line && !withLine))
            continue;
        if (command.layout != Layout::Binding) {
            keys.push_back({&command, 0});
            continue;
        }
        for (int pattern = kFirstPattern; pattern <= kLastPattern; ++pattern)
            keys.push_back({&command, pattern});
    }
    return keys;
}

const Entry *ParameterSet::find(const SettingKey &key) const {
    const auto it = std::find_if(entries.begin(), entries.end(),
                                 [&key](const Entry &e) { return e.key == key; });
    return it == entries.end() ? nullptr : &*it;
}

void ParameterSet::put(Entry entry) {
    const auto it = std::lower_bound(entries.begin(), entries.end(), entry.key,
                                     [](const Entry &e, const SettingKey &k) { return e.key < k; });
    if (it != entries.end() && it->key == entry.key)
        *it = std::move(entry);
    else
        entries.insert(it, std::move(entry));
}

std::variant<QString, SetProblem> checkValue(const SettingKey &key, const QString &text) {
    using Kind = SetProblem::Kind;
    const QString name = key.name();
    QString value = text;
    switch (key.command->layout) {
    case Layout::Byte:
    case Layout::Int32:
        if (!matches("-?[0-9]+", text))
            return problem(Kind::NotANumber, name, text);
        value = QString::number(text.toLongLong());
        break;
    case Layout::HexByte:
        if (!matches("[0-9A-Fa-f]+", text))
            return problem(Kind::NotHex, name, text);
        value = QString::number(text.toULongLong(nullptr, 16), 16).toUpper();
        break;
    case Layout::BaudRateCode:
        if (baudRateCode(text) == 0)
            return problem(Kind::NotARate, name, text);
        break;
    case Layout::CanBaudRateCode:
        if (canBaudRateCode(text) == 0)
            return problem(Kind::NotARate, name, text);
        break;
    case Layout::Binding: {
        if (!matches("\\s*[0-9A-Fa-f]{2}(\\s*[0-9A-Fa-f]{2})*\\s*", text))
            return problem(Kind::NotHex, name, text);
        const QByteArray body =
            codec::ParseHexText(QString(text).remove(QRegularExpression(QStringLiteral("\\s"))));
        if (body.size() <= key.command->maxBytes && !isOneCommand(body))
            return problem(Kind::NotACommand, name, text);
        value = codec::FormatHexText(body).trimmed();
        break;
    }
    default:
        break;
    }
    // The builder's own range checks decide what can travel, on the text as given (a number too
    // long for any field must not pass as the 0 it converts to).
    const BuildResult built = writeRequest(
        key, key.command->layout == Layout::Binding ? value : text, u"1", codec::Framing::Rtu);
    if (const auto *refusal = std::get_if<Refusal>(&built))
        return SetProblem{Kind::OutOfRange, name, text, *refusal};
    return value;
}

BuildResult writeRequest(const SettingKey &key, const QString &value, QStringView address,
                         codec::Framing framing) {
    return buildRequest(*key.command, address, argumentsFor(key, value), framing);
}

BuildResult queryRequest(const SettingKey &key, QStringView address, codec::Framing framing) {
    const Command &query = command(*key.command->readBy);
    if (query.toAddressZero)
        return buildRequest(command(FunctionCode::Handshake), address, {}, framing);
    return buildRequest(query, address,
                        isBinding(key) ? QStringList{patternText(key.pattern)} : QStringList{},
                        framing);
}

std::optional<QString> lineSpeedOfCode(qint64 code) {
    for (const BaudRate &rate : baudRates())
        if (rate.code != 0 && rate.code == code)
            return QString::fromLatin1(rate.text);
    return std::nullopt;
}

// ---- The file ------------------------------------------------------------------------------

QByteArray toJson(const ParameterSet &set) {
    const SetHeader &h = set.header;
    // Laid out by hand: the header first, then one setting a line in table order.
    QString out = QStringLiteral("{\n");
    const auto field = [&out](const char *name, const QJsonValue &value) {
        out += QStringLiteral("  \"%1\": %2,\n").arg(QLatin1String(name), jsonText(value));
    };
    field("format", kSetFormat);
    field("tool", h.tool);
    // With its offset from UTC, so a file read elsewhere tells the moment.
    field("time", h.time.toOffsetFromUtc(h.time.offsetFromUtc()).toString(Qt::ISODateWithMs));
    field("port", h.port);
    field("address", h.address);
    field("lineSpeed", h.lineSpeed);
    field("framing",
          h.framing == codec::Framing::Ascii ? QStringLiteral("ascii") : QStringLiteral("rtu"));
    QStringList lines;
    const auto entryLine = [](const QString &name, const QJsonObject &entry) {
        // The members in a fixed order: value, unit, readBack.
        QString line =
            QStringLiteral("    \"%1\": {\"value\": %2").arg(name, jsonText(entry["value"]));
        for (const char *member : {"unit", "readBack"})
            if (entry.contains(QLatin1String(member)))
                line += QStringLiteral(", \"%1\": %2")
                            .arg(QLatin1String(member), jsonText(entry[QLatin1String(member)]));
        return line + u'}';
    };
    const auto entryOf = [](const SettingKey &key, const QJsonValue &value) {
        QJsonObject entry{{QStringLiteral("value"), value}};
        if (key.unit())
            entry.insert(QStringLiteral("unit"), QString::fromUtf8(key.unit()));
        if (!key.readable())
            entry.insert(QStringLiteral("readBack"), false);
        return entry;
    };
    for (const Command &command : commands()) {
        if (command.layout == Layout::Binding) {
            // Every binding in one entry, by pattern; a pattern without one is left out.
            QJsonObject bindings;
            for (const Entry &e : set.entries)
                if (e.key.command == &command && e.value)
                    bindings.insert(QString::number(e.key.pattern), *e.value);
            lines << entryLine(QLatin1String(command.name),
                               entryOf({&command, kFirstPattern}, bindings));
            continue;
        }
        if (const Entry *e = set.find({&command, 0}))
            lines << entryLine(QLatin1String(command.name),
                               entryOf(e->key, e->value ? fileValue(e->key, *e->value)
                                                        : QJsonValue(QJsonValue::Null)));
    }
    for (auto it = set.unknown.begin(); it != set.unknown.end(); ++it)
        lines << QStringLiteral("    %1: %2").arg(jsonText(it.key()), jsonText(it.value()));
    out += QStringLiteral("  \"settings\": {\n") + lines.join(QStringLiteral(",\n")) +
           QStringLiteral("\n  }\n}\n");
    return out.toUtf8();
}

std::variant<ParameterSet, SetProblem> setFromJson(const QByteArray &bytes) {
    using Kind = SetProblem::Kind;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return problem(Kind::NotJson, {},
                       QStringLiteral("%1 at byte %2").arg(error.errorString()).arg(error.offset));
    const QJsonObject top = document.object();
    if (!document.isObject() || !top.value(QLatin1String("settings")).isObject())
        return problem(Kind::NotASet, {});
    const QJsonValue format = top.value(QLatin1String("format"));
    if (!format.isDouble() || format.toDouble() < 1 || format.toDouble() > kSetFormat ||
        std::trunc(format.toDouble()) != format.toDouble())
        return problem(Kind::Format, QStringLiteral("format"), jsonText(format));

    ParameterSet set;
    SetHeader &h = set.header;
    h.format = format.toInt();
    const auto text = [&top](const char *name) { return top.value(QLatin1String(name)); };
    for (const char *name : {"tool", "time", "port", "address"})
        if (!text(name).isUndefined() && !text(name).isString())
            return problem(Kind::Header, QLatin1String(name), jsonText(text(name)));
    h.tool = text("tool").toString();
    h.time = QDateTime::fromString(text("time").toString(), Qt::ISODateWithMs);
    h.port = text("port").toString();
    h.address = text("address").toString();
    // Format 1 named the line speed "baud" and knew only RTU.
    const QJsonValue speed = text(h.format == 1 ? "baud" : "lineSpeed");
    if (!speed.isUndefined() && !speed.isDouble())
        return problem(Kind::Header,
                       h.format == 1 ? QStringLiteral("baud") : QStringLiteral("lineSpeed"),
                       jsonText(speed));
    h.lineSpeed = speed.toInt();
    const QString framing = text("framing").toString(QStringLiteral("rtu"));
    if (framing != QLatin1String("rtu") && framing != QLatin1String("ascii"))
        return problem(Kind::Header, QStringLiteral("framing"), framing);
    h.framing = framing == QLatin1String("ascii") ? codec::Framing::Ascii : codec::Framing::Rtu;

    const QJsonObject settings = top.value(QLatin1String("settings")).toObject();
    for (auto it = settings.begin(); it != settings.end(); ++it)
        if (auto bad = readEntry(set, it.key(), it.value(), h.format))
            return *bad;
    return set;
}

std::variant<ParameterSet, SetProblem> loadSet(const QString &path) {
    using Kind = SetProblem::Kind;
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return problem(Kind::CannotRead, {}, QStringLiteral("not a regular file"));
    if (info.size() > kMaxFileBytes)
        return problem(Kind::TooLarge, {}, QString::number(info.size()));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return problem(Kind::CannotRead, {}, file.errorString());
    return setFromJson(file.read(kMaxFileBytes + 1));
}

std::optional<QString> saveSet(const QString &path, const ParameterSet &set) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const QByteArray bytes = toJson(set);
    // commit() alone reports success after a write it could not flush (a full disk) and then
    // replaces the old file by a cut one: flush and sync first, and check each step.
    if (file.write(bytes) != bytes.size() || !file.flush() ||
        file.error() != QFileDevice::NoError) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (::fsync(file.handle()) != 0) {
        const QString error = qt_error_string(errno);
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

// ---- Comparing -----------------------------------------------------------------------------

std::vector<Difference> compare(const ParameterSet &a, const ParameterSet &b) {
    std::vector<SettingKey> keys;
    for (const ParameterSet *set : {&a, &b})
        for (const Entry &e : set->entries)
            keys.push_back(e.key);
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    std::vector<Difference> rows;
    for (const SettingKey &key : keys) {
        const Entry *ea = a.find(key);
        const Entry *eb = b.find(key);
        Difference row{key, ea ? ea->value : std::nullopt, eb ? eb->value : std::nullopt,
                       Difference::State::Same};
        // A binding a set does not hold is not bound; any other setting is then not known.
        if (!isBinding(key) && (!row.a || !row.b))
            row.state = Difference::State::Unknown;
        else if (row.a != row.b)
            row.state = Difference::State::Differs;
        rows.push_back(row);
    }
    return rows;
}

} // namespace device
