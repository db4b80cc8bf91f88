#pragma once
// What r7260-cli prints: each exchange as "key: value" lines (a blank line between exchanges) or
// as one JSON object per line, the exit status an exchange stands for, and the command list.

#include <QString>
#include <optional>

#include "transmission/Engine.h"

class QTextStream;

namespace cli {

using transmission::Exchange;

// The exit statuses scripts rely on.
enum Status : int {
    Ok = 0,
    FailureReply = 1, // the device refused a command
    NoReply = 2,      // nothing within the timeout, or a reply incomplete or failing its check
    PortError = 3,    // the port could not be opened or went away
    Usage = 64,       // nothing was sent
};

Status statusOf(const Exchange &exchange);

// Where in a command list an exchange happened: the line's position (as GoIdx counts, from 0)
// and the pass (from 1).
struct ListPlace {
    int line;
    int pass;
};

// How messages name the port: what -p said, and the device that stood behind it when that was
// another name ("COM1 (/dev/ttyUSB0)").
QString portLabel(const QString &given, const QString &devicePath);

class Report {
public:
    // port: named in the errors that concern the line (no reply, a damaged reply, a lost port).
    Report(QTextStream &out, bool json, QString port)
        : m_out(out), m_json(json), m_port(std::move(port)) {}
    void exchange(const Exchange &exchange, std::optional<ListPlace> place = std::nullopt);
    const QString &port() const { return m_port; }

private:
    QString errorOf(const Exchange &exchange) const;
    void text(const Exchange &exchange, std::optional<ListPlace> place);
    void json(const Exchange &exchange, std::optional<ListPlace> place);

    QTextStream &m_out;
    bool m_json;
    QString m_port;
    bool m_first = true;
};

// Every command of the protocol table: name, function code, arguments, what the reply carries.
void printCommands(QTextStream &out, bool json);

// "01 20 00 39 C0": the window's hex text without its trailing blank.
QString hexText(const QByteArray &bytes);

} // namespace cli
