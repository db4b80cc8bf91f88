#pragma once
// The line to the device: the port opened as the window opens it, and one exchange at a time. An
// exchange sends a frame and collects the bytes received until they complete the first reply
// frame, or until the timeout (when a reply cut short is reported incomplete); the frame is read
// with the window's reply reading.

#include <QByteArray>
#include <QString>
#include <optional>

#include "serial/MSComm.h"
#include "transmission/Reply.h"

namespace cli {

struct Exchange {
    QByteArray stale;    // bytes that came after the previous exchange ended, dropped unread
    QByteArray sent;     // as it went on the wire
    QByteArray received; // every byte that came during the exchange
    std::optional<transmission::Reply> reply; // the first frame's meaning; none: no frame came
    qint64 ms = 0;       // from the write to the reply's completion, or the time waited
    QString portProblem; // the port went away or refused the bytes: the system's reason
};

class Line {
public:
    Line();

    // COM1 to COM9 (any case) as the window maps them; anything else is a device path (a name
    // without "/" is looked for in /dev, as serial programs do).
    std::optional<serial::OpenError> open(const QString &port, qint32 baud);
    // How the window would name the port in a message: "COM3", or the device's file name.
    const QString &name() const { return m_name; }
    QString devicePath() const { return m_port.devicePath(); }
    const QString &settings() const { return m_settings; }

    Exchange exchange(const QByteArray &frame, int timeoutMs);

private:
    QByteArray readWaiting();

    serial::MSComm m_port;
    QString m_name;
    QString m_settings;
    QString m_problem;
};

} // namespace cli
