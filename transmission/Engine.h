#pragma once
// The one exchange engine under the window, the command line and every feature that talks to the
// device. It owns the port, the reply reader, the addresses and codes asked, the traffic record and
// the response time, and offers two things:
//   - traffic: every frame sent (sent()) and every read received (received()), with times;
//   - exchanges: a request whose own reply, failure reply or timeout ends it. One is on the line
//     at a time, as an RS-485 line needs; others queue. A reply answers an exchange only when it
//     comes from the address asked (any address for a request to address 0) with the request's
//     code or its failure code; anything else is traffic and answers nothing.
// Frames sent with send() (the window's buttons and lists) expect no answer: their replies come
// as traffic, collected by poll().

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "serial/OpenError.h"
#include "transmission/MicroTimer.h"
#include "transmission/Outgoing.h"
#include "transmission/Reply.h"
#include "transmission/ReplyReader.h"
#include "transmission/TrafficRecord.h"

namespace serial {
class MSComm;
}

namespace transmission {

using Clock = std::chrono::steady_clock;
using serial::OpenError;

// A frame written to the line.
struct Sent {
    QByteArray wire;
    const char *caption = nullptr; // source text; none for codes without a caption
    bool mapped = false;
    Clock::time_point when;
    bool background = false; // for a background exchange (a feature polling the device)
};

// One read of received bytes and the replies it completed, in order.
struct Received {
    QByteArray bytes;
    int count = 0; // as the port reported it
    std::vector<Reply> replies;
    Clock::time_point arrived; // when its first byte came
    std::optional<qint64> msSinceSent;
    // Every reply it completed answered a background exchange, and it carried nothing else.
    bool background = false;
};

struct ExchangeRequest {
    QByteArray frame;
    std::optional<QByteArray> body; // the frame's body when the caller built it
    int timeoutMs = 0;              // 0: the engine's default for this frame (timeoutFor)
    bool background = false;        // see Sent::background
};

struct Exchange {
    QByteArray stale; // the last (at most 4 KiB) bytes that came since the previous exchange
    QByteArray sent;     // as it went on the wire
    QByteArray received; // every byte that came while it was on the line
    // Its answer: a good or failure reply, or (when nothing better came in time) a reply to it
    // failing its check or cut short. None: no answer within the timeout.
    std::optional<Reply> reply;
    qint64 ms = 0;            // from the write to the answer's last read, or the time waited
    int timeoutMs = 0;        // how long it was given
    Clock::time_point answered; // when the answer's last read came
    QString portProblem;        // not sent, or the port went away: the reason
};

class Engine : public QObject {
    Q_OBJECT

public:
    explicit Engine(QObject *parent = nullptr);
    ~Engine() override;

    // The port, for the core's own features; the window and the command line use the port
    // operations below.
    serial::MSComm &port() { return *m_port; }
    const serial::MSComm &port() const { return *m_port; }
    // The port as the object the window knows it by.
    QObject &portObject();

    // ---- The port ----
    // Opens the port a text names (COMn, a device path, tcp://HOST:PORT, rfc2217://HOST:PORT)
    // with line settings such as "9600,n,8,1". The reason when it failed at once; otherwise the
    // port is open, or connecting across the network: portOpened() or portOpenFailed() follows.
    std::optional<OpenError> openPort(const QString &portName, QString settings);
    void closePort();
    bool portOpen() const;
    bool portConnecting() const;
    // What the port stands for: the device path, or the server's address.
    QString portDevice() const;
    QString portSettings() const;
    qint32 portBaudRate() const;
    // New line settings for the open port, at once (a bus scan tries line speeds); false when
    // they are not valid or the line cannot change them (a raw TCP server sets its own).
    bool changePortSettings(const QString &settings);
    // How messages name a port text ("COM3", "ttyUSB0", "tcp://bench:3334"); nothing when the
    // text names no port.
    static std::optional<QString> portShortName(const QString &portName);
    // Why a port could not be opened, worded for the engineer (the window and the command line
    // alike), and the forms a port text may take.
    static QString openFailureText(const QString &name, const OpenError &error,
                                   const QString &settings);
    static QString portFormsText();
    // The devices behind COM1 to COM9 (listing them takes a while).
    static QStringList comPortDevices();

    // The time allowed for the device to turn round (and the adapters to pass bytes on), added to
    // the frames' time on the line for an exchange's default timeout.
    void setTurnaroundMs(int ms) { m_turnaroundMs = ms; }
    int turnaroundMs() const { return m_turnaroundMs; }
    // An exchange's default timeout: the request's and its longest reply's time on the line at
    // the port's speed, the turnaround and what the network adds.
    int timeoutFor(const QByteArray &wire) const;
    // The frame's bytes on the line at the port's speed (10 bits a byte), in microseconds.
    qint64 lineTimeUs(qsizetype bytes) const;

    // The register mapping send() applies (exchanges are never mapped).
    void setMapping(std::optional<Mapping> mapping) { m_mapping = mapping; }

    enum class SendOutcome { Sent, PortClosed, Refused };
    // Writes a frame as it stands: captioned, mapped, shown through sent(), recorded.
    SendOutcome send(const QByteArray &frame, std::optional<QByteArray> body = std::nullopt);

    // Queues an exchange; `done` runs once with its result, always from the event loop (never
    // inside this call).
    void exchange(ExchangeRequest request, std::function<void(const Exchange &)> done);
    // For callers without an event loop of their own: runs one until the exchange ends.
    Exchange exchangeAndWait(ExchangeRequest request);
    // Ends every queued exchange and the one on the line with `reason`.
    void cancelExchanges(const QString &reason);
    bool exchanging() const { return m_current.has_value() || !m_queue.empty(); }

    // Takes what waits at the port in reads of at most `maxRead` bytes (0: all at once), each
    // handed on through received(); true when anything came. A look that finds nothing while a
    // reply waits for its rest gives that reply up (not while an exchange waits for it: its
    // timeout does), and so does one that finds the rest overdue.
    bool poll(int maxRead);
    // One read of received bytes (as the port delivered it, or given as if it had), its first
    // and last bytes arrived when given: fed to the reply reader, matched against the exchange on
    // the line, handed on through received().
    void deliver(QByteArray bytes, int count, Clock::time_point arrived = {},
                 Clock::time_point lastArrived = {});
    // Received bytes still waiting to complete a reply are forgotten (a new session).
    void clearReceived() { m_reader.clear(); }

    // The traffic record: every frame sent and every read received, from now on.
    std::optional<QString> startRecord(const QString &path);
    void stopRecord() { m_record.stop(); }
    bool recording() const { return m_record.recording(); }
    QString recordPath() const { return m_record.path(); }

signals:
    void sent(const transmission::Sent &sent);
    void received(const transmission::Received &read);
    // Replies given up waiting for their rest: a message line that no read brings.
    void gaveUp(const std::vector<transmission::Reply> &replies);
    // From a frame sent to the first bytes after it, in ms.
    void responseTime(qint64 ms);
    // A record line could not be written: the record has stopped (told after the send returned).
    void recordStopped(const QString &path, const QString &reason);
    // The port: a connection made or not, a port gone away, a write that failed, a word from a
    // network server.
    void portOpened();
    void portOpenFailed(const transmission::OpenError &error);
    void portLost(const QString &reason);
    void portWriteFailed(const QString &reason);
    void portNotice(const QString &text);

private:
    struct Pending {
        ExchangeRequest request;
        std::function<void(const Exchange &)> done;
    };
    struct Current {
        Pending pending;
        Exchange result;
        Outgoing out;
        Clock::time_point written;
        bool anyAddress = false;
        quint8 code = 0;
    };

    bool write(const Outgoing &out, bool background);
    void startNext();
    // Starts the next exchange once the line has been silent long enough.
    void scheduleNext();
    bool answers(const Reply &reply) const;
    // Keeps a reply answering the exchange on the line; true when it ends it (good or failure).
    bool takeAnswer(const Reply &reply, Clock::time_point arrived);
    QString portProblem(const char *otherwise) const;
    void finish(const QString &portProblem = {});
    void onTimeout();
    void giveUpWaiting();
    void recordLine(const std::optional<QString> &failure);

    serial::MSComm *m_port;
    ReplyReader m_reader;
    TrafficRecord m_record;
    std::optional<Mapping> m_mapping;
    int m_turnaroundMs = 100;

    std::deque<Pending> m_queue;
    std::optional<Current> m_current;
    QTimer m_timeout;
    MicroTimer m_next{[this] { startNext(); }}; // the line's silence before the next request
    QByteArray m_stale; // bytes since the last exchange ended
    QString m_lostReason; // why the port went away, until it is opened again
    Clock::time_point m_lastWrite{};
    Clock::time_point m_lastArrival{};
    bool m_awaitingFirstBytes = false;
    // When the reader started waiting for the rest of a reply.
    std::optional<Clock::time_point> m_waitingSince;
};

} // namespace transmission
