#include "serial/TcpTransport.h"

#include <QCoreApplication>
#include <QPointer>
#include <utility>

namespace serial {

TcpTransport::TcpTransport(QString host, quint16 port, QString server)
    : m_host(std::move(host)), m_port(port), m_server(std::move(server)) {
    // Queued: a slot may end in the owner deleting this transport, and the socket must not be in
    // the middle of its own work then. Errors found inside connectToHost() (a refused local port)
    // are reported after open() has returned, as the caller expects.
    connect(&m_socket, &QTcpSocket::connected, this, &TcpTransport::onConnected,
            Qt::QueuedConnection);
    connect(&m_socket, &QTcpSocket::readyRead, this, &TcpTransport::onReadyRead,
            Qt::QueuedConnection);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &TcpTransport::onError,
            Qt::QueuedConnection);
    connect(&m_socket, &QTcpSocket::disconnected, this, &TcpTransport::onDisconnected,
            Qt::QueuedConnection);
    // The connect's own time is measured from here, without the name lookup's.
    connect(&m_socket, &QTcpSocket::hostFound, this, [this] { m_connecting.restart(); });
    m_connectTimer.setSingleShot(true);
    m_settleTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, &TcpTransport::onConnectTimeout);
    connect(&m_settleTimer, &QTimer::timeout, this, &TcpTransport::onSettled);
}

TcpTransport::~TcpTransport() {
    m_socket.disconnect(this);
    close();
}

std::optional<OpenError> TcpTransport::open(const LineSettings &line) {
    close();
    m_line = line;
    m_state = State::Connecting;
    m_connecting.start();
    m_connectTimer.start(kConnectTimeoutMs);
    m_socket.connectToHost(m_host, m_port);
    return std::nullopt;
}

void TcpTransport::close() {
    m_connectTimer.stop();
    m_settleTimer.stop();
    m_state = State::Closed;
    m_socket.abort();
    m_held.clear();
    clearInput();
}

bool TcpTransport::write(const QByteArray &bytes) {
    return isOpen() && send(wireBytes(bytes));
}

bool TcpTransport::send(const QByteArray &wire) {
    if (m_state == State::Settling) {
        // Nothing goes out while the server may be turning us away: words sent to a closed
        // connection reset it, and the reset drops the server's reason unread.
        m_held += wire;
        return true;
    }
    if (m_socket.write(wire) != wire.size())
        return false;
    // Out now rather than on the next event-loop pass, so what the engineer timed is what the
    // server sees.
    m_socket.flush();
    return true;
}

QByteArray TcpTransport::take(qsizetype max, Clock::time_point *arrived, Clock::time_point *last) {
    return m_received.take(max, arrived, last);
}

void TcpTransport::clearInput() {
    m_received.clear();
}

void TcpTransport::onConnected() {
    if (m_state != State::Connecting)
        return;
    m_connectTimer.stop();
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1); // frames are small
    m_socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    m_state = State::Settling;
    m_settleTimer.start(int(qBound(qint64(kRefusalWindowMinMs), 2 * m_connecting.elapsed(),
                                   qint64(kRefusalWindowMaxMs))));
    startSession(m_line);
}

void TcpTransport::onSettled() {
    if (m_state != State::Settling)
        return;
    m_state = State::Open;
    send(std::exchange(m_held, {}));
    const QPointer<TcpTransport> alive(this);
    emit opened();
    if (!alive || !isOpen())
        return;
    sessionOpened();
    if (alive && isOpen() && m_prompt && m_received.waiting() > 0)
        emit bytesArrived();
}

void TcpTransport::onReadyRead() {
    if (m_state == State::Closed)
        return;
    readIncoming();
    if (m_state == State::Open && m_prompt && m_received.waiting() > 0)
        emit bytesArrived();
}

void TcpTransport::readIncoming() {
    if (m_socket.bytesAvailable() <= 0)
        return; // and a socket the server closed may be closed for reading too
    const QByteArray bytes = lineBytes(m_socket.readAll());
    if (bytes.isEmpty())
        return;
    m_received.add(Clock::now(), bytes);
    m_receivedAny = true;
}

void TcpTransport::onError(QAbstractSocket::SocketError error) {
    using Kind = OpenError::Kind;
    const QString reason = m_socket.errorString();
    switch (m_state) {
    case State::Closed:
        return;
    case State::Open:
        // What the server sent before it went stays for the owner, as with an unplugged adapter.
        readIncoming();
        m_state = State::Closed;
        m_socket.abort();
        emit lost(reason);
        return;
    case State::Settling:
        fail(Kind::Closed, serverWords(reason));
        return;
    case State::Connecting:
        break;
    }
    switch (error) {
    case QAbstractSocket::HostNotFoundError:
        fail(Kind::HostNotFound, reason);
        break;
    case QAbstractSocket::ConnectionRefusedError:
        fail(Kind::Refused, reason);
        break;
    case QAbstractSocket::SocketTimeoutError:
        fail(Kind::TimedOut, reason);
        break;
    default:
        fail(Kind::Other, reason);
        break;
    }
}

void TcpTransport::onDisconnected() {
    // Normally reported as an error first; a quiet close is a close all the same.
    if (m_state == State::Open || m_state == State::Settling)
        onError(QAbstractSocket::RemoteHostClosedError);
}

void TcpTransport::onConnectTimeout() {
    if (m_state == State::Connecting)
        fail(OpenError::Kind::TimedOut,
             QCoreApplication::translate("serial", "%1 秒").arg(kConnectTimeoutMs / 1000));
}

void TcpTransport::fail(OpenError::Kind kind, const QString &reason) {
    m_connectTimer.stop();
    m_settleTimer.stop();
    m_state = State::Closed;
    m_socket.abort();
    emit openFailed(OpenError{kind, QStringLiteral("%1:%2").arg(m_host).arg(m_port), reason});
}

QString TcpTransport::serverWords(const QString &otherwise) {
    // A server turning a client away may say why in a line of text ("Port already in use").
    readIncoming();
    const QByteArray said = m_received.peek();
    QString text = QString::fromUtf8(said.left(200)).section(u'\n', 0, 0);
    for (QChar &c : text)
        if (!c.isPrint())
            c = u' ';
    text = text.simplified();
    return text.isEmpty() ? otherwise : text;
}

} // namespace serial
