#include "cli/Arguments.h"

#include <QFile>
#include <algorithm>
#include <vector>

#include "automation/CommandListFile.h"
#include "codec/HexText.h"
#include "device/Protocol.h"

#include <sys/stat.h>

namespace cli {

namespace {

// The window's list of line speeds; the device's own rates are all among them.
const std::span<const char *const> kLineRates = device::lineRates();

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool isHexDigit(QChar c) {
    return isDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool allOf(QStringView text, bool (*test)(QChar)) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), test);
}

template <typename List, typename Text> bool listed(const List &list, Text textOf, QStringView t) {
    return std::any_of(std::begin(list), std::end(list),
                       [&](const auto &item) { return t == QLatin1String(textOf(item)); });
}

template <typename List, typename Text> QString oneOf(const List &list, Text textOf) {
    QStringList texts;
    for (const auto &item : list)
        texts << QLatin1String(textOf(item));
    return QStringLiteral("one of ") + texts.join(QStringLiteral(", "));
}

const char *rateText(const device::BaudRate &rate) {
    return rate.text;
}
const char *itself(const char *text) {
    return text;
}

// What each argument of a layout is written as, in the order the arguments come.
std::vector<Form> formsOf(device::Layout layout) {
    using enum device::Layout;
    switch (layout) {
    case None:
        break;
    case Byte:
        return {Form::Unsigned};
    case HexByte:
        return {Form::Hex};
    case BaudRateCode:
        return {Form::BaudRate};
    case CanBaudRateCode:
        return {Form::CanBaudRate};
    case InputPattern:
        return {Form::InputPattern};
    case Int32:
        return {Form::Signed};
    case Direction24:
        return {Form::Unsigned, Form::Signed};
    case HexBytes:
        return {Form::HexBytes};
    case Binding:
        return {Form::InputPattern, Form::HexBytes};
    }
    return {};
}

// What stands at the path instead of a regular file.
QString kindOf(const QString &path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return QStringLiteral("something");
    if (S_ISFIFO(info.st_mode))
        return QStringLiteral("a named pipe");
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("a folder");
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        return QStringLiteral("a device");
    if (S_ISSOCK(info.st_mode))
        return QStringLiteral("a socket");
    return QStringLiteral("something");
}

} // namespace

bool fits(Form form, QStringView text) {
    switch (form) {
    case Form::Unsigned:
        return allOf(text, isDigit);
    case Form::Signed:
        return allOf(text.startsWith(u'-') ? text.mid(1) : text, isDigit);
    case Form::Hex:
        return allOf(text, isHexDigit);
    case Form::HexBytes: {
        const auto bytes = text.split(u' ', Qt::SkipEmptyParts);
        return !bytes.isEmpty() && std::all_of(bytes.begin(), bytes.end(), [](QStringView b) {
            return b.size() % 2 == 0 && allOf(b, isHexDigit);
        });
    }
    case Form::InputPattern:
        return text.size() == 5 && allOf(text, [](QChar c) { return c == u'0' || c == u'1'; });
    case Form::BaudRate:
        return listed(device::baudRates(), rateText, text);
    case Form::CanBaudRate:
        return listed(device::canBaudRates(), itself, text);
    case Form::LineRate:
        return listed(kLineRates, itself, text);
    case Form::Seconds: {
        // Whole seconds, a point and one to three decimals, or both: 2, 0.5, .25
        const qsizetype point = text.indexOf(u'.');
        if (point < 0)
            return allOf(text, isDigit);
        const QStringView whole = text.left(point), decimals = text.mid(point + 1);
        return (whole.isEmpty() || allOf(whole, isDigit)) && decimals.size() <= 3 &&
               allOf(decimals, isDigit);
    }
    }
    return false;
}

QString formText(Form form) {
    switch (form) {
    case Form::Unsigned:
        return QStringLiteral("a decimal integer without sign, such as 100");
    case Form::Signed:
        return QStringLiteral("a decimal integer, such as 100 or -100");
    case Form::Hex:
        return QStringLiteral("hex digits, such as 1F");
    case Form::HexBytes:
        return QStringLiteral("hex bytes of two digits each, such as \"01 2A\"");
    case Form::InputPattern:
        return QStringLiteral("five characters 0 or 1 for IN5 to IN1, such as 10010");
    case Form::BaudRate:
        return oneOf(device::baudRates(), rateText);
    case Form::CanBaudRate:
        return oneOf(device::canBaudRates(), itself);
    case Form::LineRate:
        return oneOf(kLineRates, itself);
    case Form::Seconds:
        return QStringLiteral("seconds with at most three decimals, such as 0.5");
    }
    return {};
}

QString wantsText(const QString &name, Form form, const QString &text) {
    return QStringLiteral("%1 wants %2, not \"%3\"").arg(name, formText(form), text);
}

std::optional<QString> malformedArgument(const device::Command &command,
                                         const QStringList &arguments) {
    const QStringList names =
        QString::fromLatin1(command.arguments ? command.arguments : "").split(u' ');
    const std::vector<Form> forms = formsOf(command.layout);
    for (qsizetype i = 0; i < qsizetype(forms.size()) && i < arguments.size(); ++i) {
        const QString name = names.value(i, QStringLiteral("the value"));
        const Form form = forms[size_t(i)];
        if (!fits(form, arguments[i]))
            return wantsText(name, form, arguments[i]);
        // The window drops what does not fit; here that would send less than was written.
        if (command.layout == device::Layout::HexBytes)
            if (const qsizetype size = codec::ParseHexText(arguments[i]).size();
                size > command.maxBytes)
                return QStringLiteral("%1 holds at most %2 bytes, not %3")
                    .arg(name)
                    .arg(command.maxBytes)
                    .arg(size);
    }
    return std::nullopt;
}

QString listReadProblem(const QString &path, const automation::ListFileRead &read) {
    using Failure = automation::ListFileRead::Failure;
    switch (read.failure) {
    case Failure::CannotRead:
        break;
    case Failure::NotRegularFile:
        return QStringLiteral("%1, not a regular file").arg(kindOf(path));
    case Failure::TooLarge:
        return QStringLiteral("%1 bytes, above the %2 a list file may hold")
            .arg(read.size)
            .arg(automation::kMaxListFileBytes);
    case Failure::TooManyLines:
        return QStringLiteral("%1 lines, above the lines a list may hold").arg(read.size);
    }
    return read.error.isEmpty() ? QStringLiteral("the system gave no reason") : read.error;
}

} // namespace cli
