#include "sim/ConsoleCommand.h"

#include <QStringList>

namespace sim {

std::optional<quint8> parsePattern(QStringView text) {
    if (text.size() != 5)
        return std::nullopt;
    quint8 pattern = 0;
    for (int position = 0; position < 5; ++position) {
        if (text[position] == u'1')
            pattern |= quint8(1u << (4 - position));
        else if (text[position] != u'0')
            return std::nullopt;
    }
    return pattern;
}

ConsoleCommand parseConsoleLine(const QString &line, quint8 current) {
    using Kind = ConsoleCommand::Kind;
    const QStringList words = line.simplified().toLower().split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {};
    const QString &verb = words[0];
    if (words.size() == 1 && (verb == u"status" || verb == u"help" || verb == u"quit"))
        return {verb == u"status" ? Kind::Status
                : verb == u"help" ? Kind::Help
                                  : Kind::Quit,
                0,
                {}};
    if (verb == u"in" && words.size() == 2) {
        if (const auto pattern = parsePattern(words[1]))
            return {Kind::SetInputs, *pattern, {}};
        return {Kind::Invalid, 0, QStringLiteral("in wants five digits 0/1 for IN5..IN1")};
    }
    if (verb.size() == 3 && verb.startsWith(u"in") && words.size() == 2) {
        const int input = verb[2].digitValue();
        const QString &state = words[1];
        if (input >= 1 && input <= 5 && (state == u"0" || state == u"1")) {
            const auto bit = quint8(1u << (input - 1));
            return {Kind::SetInputs, quint8(state == u"1" ? current | bit : current & ~bit), {}};
        }
        return {Kind::Invalid, 0, QStringLiteral("inN wants N from 1 to 5 and the state 0 or 1")};
    }
    return {Kind::Invalid, 0, QStringLiteral("unknown command \"%1\"").arg(line.trimmed())};
}

AimedLine splitAddress(const QString &line) {
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(u'@'))
        return {std::nullopt, line};
    const qsizetype space = trimmed.indexOf(u' ');
    const QString hex = trimmed.mid(1, space < 0 ? -1 : space - 1);
    bool ok = false;
    const uint address = hex.toUInt(&ok, 16);
    if (!ok || address == 0 || address > 0xFF)
        return {std::nullopt, {}, false};
    return {quint8(address), space < 0 ? QString() : trimmed.mid(space + 1)};
}

} // namespace sim
