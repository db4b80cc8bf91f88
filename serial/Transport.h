#pragma once
// One way to a device's line: a local serial device, or a serial server across the network. The
// port (MSComm) holds one while open; received bytes wait in the transport, with when each piece
// arrived, until the owner takes them.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <chrono>
#include <memory>
#include <optional>

#include "serial/OpenError.h"

namespace serial {

struct PortName;

class Transport : public QObject {
    Q_OBJECT

public:
    using Clock = std::chrono::steady_clock;

    // Starts opening with the line settings. The reason when it failed at once; otherwise the
    // transport is open, or (across the network) connecting: opened() or openFailed() follows,
    // and the caller's event loop is never held up meanwhile.
    virtual std::optional<OpenError> open(const LineSettings &line) = 0;
    virtual void close() = 0;
    // Open and usable: connected, and not gone away.
    virtual bool isOpen() const = 0;
    virtual bool isConnecting() const { return false; }
    // Changes the line settings of the open line (after what was written has left); false when
    // this transport cannot (a raw TCP server sets its line itself).
    virtual bool setLine(const LineSettings &line) {
        (void)line;
        return false;
    }
    // Hands the bytes on at once; false when closed or refused (writeFailed may follow later).
    virtual bool write(const QByteArray &bytes) = 0;

    virtual qsizetype waiting() const = 0;
    virtual bool receivedAny() const = 0;
    // At most `max` of the waiting bytes, oldest first, when the first of them arrived and when
    // the last did.
    virtual QByteArray take(qsizetype max, Clock::time_point *arrived, Clock::time_point *last) = 0;
    virtual void clearInput() = 0;
    virtual void clearOutput() {}
    // While on, every arrival is announced at once through bytesArrived() (an exchange waits for
    // its reply); while off, the owner polls and nothing is announced.
    virtual void setPrompt(bool on) = 0;
    // The reply now awaited is at most `bytes` long (0: unknown): a transport that would announce
    // it byte by byte may announce it whole, or once the line falls silent.
    virtual void expectReply(qsizetype bytes) { Q_UNUSED(bytes) }
    // Time the network adds to a reply's way back (0 for a local line).
    virtual int extraLatencyMs() const { return 0; }

signals:
    void opened();
    void openFailed(const serial::OpenError &error);
    void bytesArrived();
    // The line went away (adapter unplugged, connection dropped) and was closed.
    void lost(const QString &reason);
    void writeFailed(const QString &reason);
    // Something the engineer should know that is no failure (a server that did not acknowledge a
    // setting).
    void notice(const QString &text);
};

// The transport a port name calls for (not yet open).
std::unique_ptr<Transport> makeTransport(const PortName &name);

} // namespace serial
