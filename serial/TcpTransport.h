#pragma once
// A raw TCP serial server (tcp://HOST:PORT, as ser2net's "accepter: tcp" serves a line): only
// bytes travel, the server sets the line. Connecting never holds up the caller's event loop:
// open() starts it, opened() or openFailed() follows.
//
// A server that turns a client away (ser2net does when its line is taken) accepts and closes at
// once, often after a line of text. So the port counts as opened only when the connection has
// stood for the refusal window: twice the time connecting took (about a network round trip), at
// least kRefusalWindowMinMs and at most kRefusalWindowMaxMs. A close within it is
// openFailed(Closed), with the server's words as the reason; a close after it is lost(). Nothing
// is written to the server within it.

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>
#include <deque>

#include "serial/ReceivedBytes.h"
#include "serial/Transport.h"

namespace serial {

class TcpTransport : public Transport {
    Q_OBJECT

public:
    static constexpr int kConnectTimeoutMs = 5000;
    static constexpr int kRefusalWindowMinMs = 200;
    static constexpr int kRefusalWindowMaxMs = 1000;
    // A reply's way back across a network, on top of the line's own time.
    static constexpr int kNetworkLatencyMs = 50;

    // server: how messages name it ("tcp://bench:3334").
    TcpTransport(QString host, quint16 port, QString server);
    ~TcpTransport() override;

    std::optional<OpenError> open(const LineSettings &line) override;
    void close() override;
    bool isOpen() const override { return m_state == State::Open; }
    bool isConnecting() const override {
        return m_state == State::Connecting || m_state == State::Settling;
    }
    bool write(const QByteArray &bytes) override;
    qsizetype waiting() const override { return m_received.waiting(); }
    bool receivedAny() const override { return m_receivedAny; }
    QByteArray take(qsizetype max, Clock::time_point *arrived, Clock::time_point *last) override;
    void clearInput() override;
    void setPrompt(bool on) override { m_prompt = on; }
    int extraLatencyMs() const override { return kNetworkLatencyMs; }

protected:
    // Hooks for a protocol over the connection (RFC 2217): the first words once connected, the
    // line's bytes taken out of what arrived, and what goes out for the line's bytes.
    virtual void startSession(const LineSettings &line) { Q_UNUSED(line) }
    virtual void sessionOpened() {}
    virtual QByteArray lineBytes(const QByteArray &received) { return received; }
    virtual QByteArray wireBytes(const QByteArray &bytes) { return bytes; }
    // Protocol words to the server, in order with the line's bytes; held until the refusal window
    // has passed.
    bool send(const QByteArray &wire);
    const QString &server() const { return m_server; }

private:
    enum class State { Closed, Connecting, Settling, Open };

    void onConnected();
    void onReadyRead();
    void onError(QAbstractSocket::SocketError error);
    void onDisconnected();
    void onConnectTimeout();
    void onSettled();
    void readIncoming();
    void fail(OpenError::Kind kind, const QString &reason);
    QString serverWords(const QString &otherwise);

    const QString m_host;
    const quint16 m_port;
    const QString m_server;
    QTcpSocket m_socket;
    QTimer m_connectTimer;
    QTimer m_settleTimer;
    QElapsedTimer m_connecting;
    LineSettings m_line{};
    QByteArray m_held; // protocol words written while settling
    State m_state = State::Closed;

    ReceivedBytes m_received;
    bool m_receivedAny = false;
    bool m_prompt = false;
};

} // namespace serial
