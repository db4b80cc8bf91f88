#include "transmission/Engine.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <algorithm>

#include "device/Protocol.h"
#include "serial/MSComm.h"
#include "serial/OpenCommPort.h"
#include "serial/OpenFailure.h"
#include "serial/PortMap.h"
#include "serial/PortName.h"

namespace transmission {

namespace {

// The window reads at most this much at once; exchanges read as the window does.
constexpr int kReadSize = 512;
// The most of what came between two exchanges that the next one reports (the latest bytes).
constexpr qsizetype kStaleKept = 4096;
// An RTU line's silence between frames: 3.5 characters, and 1.75 ms above 19,200 baud.
constexpr qint64 kFastLineGapUs = 1750;
constexpr int kFastLine = 19200;

qint64 msBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
}

// The longest reply to a request on the wire, in bytes.
qsizetype longestReplyBytes(const Outgoing &out) {
    const qsizetype reply = device::longestReply(out.code.value_or(0));
    // ":", two characters a byte, the LRC for the CRC, CR LF
    return out.ascii ? 2 * reply + 1 : reply;
}

// The local time of a steady-clock moment, for the record.
QDateTime wallTime(Clock::time_point when) {
    return QDateTime::currentDateTime().addMSecs(msBetween(Clock::now(), when));
}

} // namespace

Engine::Engine(QObject *parent) : QObject(parent), m_port(new serial::MSComm(this)) {
    m_timeout.setSingleShot(true);
    m_timeout.setTimerType(Qt::PreciseTimer);
    connect(&m_timeout, &QTimer::timeout, this, &Engine::onTimeout);
    connect(m_port, &serial::MSComm::bytesArrived, this, [this] {
        if (m_current)
            poll(kReadSize);
    });
    connect(m_port, &serial::MSComm::portLost, this, [this](const QString &reason) {
        m_lostReason = reason;
        cancelExchanges(reason);
        emit portLost(reason);
    });
    connect(m_port, &serial::MSComm::opened, this, &Engine::portOpened);
    connect(m_port, &serial::MSComm::openFailed, this, &Engine::portOpenFailed);
    connect(m_port, &serial::MSComm::writeFailed, this, &Engine::portWriteFailed);
    connect(m_port, &serial::MSComm::notice, this, &Engine::portNotice);
}

// ---- The port -------------------------------------------------------------------------------

QObject &Engine::portObject() {
    return *m_port;
}

std::optional<OpenError> Engine::openPort(const QString &portName, QString settings) {
    closePort();
    const auto parsed = serial::parsePortName(portName);
    const auto *name = std::get_if<serial::PortName>(&parsed);
    if (!name)
        return OpenError{OpenError::Kind::BadName, portName, {}};
    m_reader.clear(); // nothing from an earlier session joins the new one's bytes
    m_lostReason.clear();
    if (name->kind != serial::PortName::Kind::Com)
        return serial::OpenCommPort(*m_port, portName, settings);
    int number = name->comNumber;
    return serial::OpenCommPort(*m_port, number, settings);
}

void Engine::closePort() {
    cancelExchanges(QCoreApplication::translate("transmission", "串口已关闭"));
    m_port->close();
}

bool Engine::portOpen() const {
    return m_port->PortOpen();
}

bool Engine::portConnecting() const {
    return m_port->isConnecting();
}

QString Engine::portDevice() const {
    return m_port->devicePath();
}

QString Engine::portSettings() const {
    return m_port->Settings();
}

qint32 Engine::portBaudRate() const {
    return m_port->baudRate();
}

bool Engine::changePortSettings(const QString &settings) {
    return m_port->changeSettings(settings);
}

std::optional<QString> Engine::portShortName(const QString &portName) {
    const auto parsed = serial::parsePortName(portName);
    if (const auto *name = std::get_if<serial::PortName>(&parsed))
        return name->shortName();
    return std::nullopt;
}

QString Engine::openFailureText(const QString &name, const OpenError &error,
                                const QString &settings) {
    return serial::openFailureText(name, error, settings);
}

QString Engine::portFormsText() {
    return QCoreApplication::translate("serial", serial::portFormsText());
}

QStringList Engine::comPortDevices() {
    return serial::comPortDevices();
}

Engine::~Engine() = default;

qint64 Engine::lineTimeUs(qsizetype bytes) const {
    return bytes * 10 * 1'000'000 / qMax(1, m_port->baudRate());
}

int Engine::timeoutFor(const QByteArray &wire) const {
    const qint64 lineUs =
        lineTimeUs(wire.size() + longestReplyBytes(prepareOutgoing(wire, std::nullopt)));
    return int((lineUs + 999) / 1000) + m_turnaroundMs + m_port->extraLatencyMs();
}

// ---- Sending -------------------------------------------------------------------------------

Engine::SendOutcome Engine::send(const QByteArray &frame, std::optional<QByteArray> body) {
    if (!m_port->PortOpen())
        return SendOutcome::PortClosed;
    const Outgoing out = prepareOutgoing(frame, m_mapping, std::move(body));
    return write(out, false) ? SendOutcome::Sent : SendOutcome::Refused;
}

bool Engine::write(const Outgoing &out, bool background) {
    if (out.address) {
        if (out.code)
            m_reader.expect(*out.address, *out.code);
        else
            m_reader.expectFrom(*out.address);
    }
    const Clock::time_point when = Clock::now();
    m_lastWrite = when;
    // The status bar's response time is the engineer's own requests', not a feature's polling.
    m_awaitingFirstBytes = !background;
    emit sent(Sent{out.wire, out.caption, out.mapped, when, background});
    if (m_record.recording())
        recordLine(m_record.sent(wallTime(when), out.wire,
                                 out.caption ? device::translated(out.caption) : QString()));
    return m_port->Output(out.wire);
}

void Engine::recordLine(const std::optional<QString> &failure) {
    if (!failure)
        return;
    // Told once the send has returned: nothing modal may open while a frame is on its way.
    QMetaObject::invokeMethod(
        this, [this, path = m_record.path(), reason = *failure] { emit recordStopped(path, reason); },
        Qt::QueuedConnection);
}

std::optional<QString> Engine::startRecord(const QString &path) {
    return m_record.start(path);
}

// ---- Exchanges -----------------------------------------------------------------------------

void Engine::exchange(ExchangeRequest request, std::function<void(const Exchange &)> done) {
    m_queue.push_back({std::move(request), std::move(done)});
    if (!m_current && !m_next.isActive())
        scheduleNext();
}

void Engine::scheduleNext() {
    // The next request waits for the line's silence after the last bytes that came, also when
    // it was queued after the previous exchange had ended (a poller queueing from `done`).
    const qint64 gapUs = m_port->baudRate() > kFastLine ? kFastLineGapUs : lineTimeUs(35) / 10;
    const qint64 sinceUs =
        m_lastArrival == Clock::time_point{}
            ? gapUs
            : std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - m_lastArrival)
                  .count();
    const qint64 waitUs = gapUs - sinceUs;
    if (waitUs > 0)
        m_next.start(std::chrono::microseconds(waitUs));
    else
        QMetaObject::invokeMethod(this, &Engine::startNext, Qt::QueuedConnection);
}

Exchange Engine::exchangeAndWait(ExchangeRequest request) {
    QEventLoop loop;
    Exchange result;
    bool ended = false;
    exchange(std::move(request), [&](const Exchange &exchange) {
        result = exchange;
        ended = true;
        loop.quit();
    });
    if (!ended)
        loop.exec();
    return result;
}

void Engine::cancelExchanges(const QString &reason) {
    if (m_current)
        finish(reason);
    std::deque<Pending> queued;
    queued.swap(m_queue);
    for (Pending &pending : queued) {
        Exchange result;
        result.sent = pending.request.frame;
        result.portProblem = reason;
        QMetaObject::invokeMethod(
            this, [done = std::move(pending.done), result] { done(result); },
            Qt::QueuedConnection);
    }
}

void Engine::startNext() {
    if (m_current || m_queue.empty() || m_next.isActive())
        return;
    Pending pending = std::move(m_queue.front());
    m_queue.pop_front();
    // What came since the previous exchange is traffic, never this one's answer.
    poll(kReadSize);
    Current current{std::move(pending), {}, {}, {}, false, 0};
    current.result.sent = current.pending.request.frame;
    current.result.stale = std::exchange(m_stale, {});
    current.out = prepareOutgoing(current.pending.request.frame, std::nullopt,
                                  current.pending.request.body);
    current.code = current.out.code.value_or(0);
    // A request to address 0 is answered by whichever device hears it (the address query).
    current.anyAddress = current.out.address.value_or(0) == 0;
    m_current = std::move(current);

    if (!m_port->PortOpen()) {
        finish(portProblem(QT_TRANSLATE_NOOP("transmission", "串口未打开")));
        return;
    }
    m_port->setPrompt(true);
    m_port->expectReply(longestReplyBytes(m_current->out));
    const int timeout = m_current->pending.request.timeoutMs > 0
                            ? m_current->pending.request.timeoutMs
                            : timeoutFor(m_current->pending.request.frame);
    if (!write(m_current->out, m_current->pending.request.background)) {
        finish(portProblem(QT_TRANSLATE_NOOP("transmission", "串口拒绝写入")));
        return;
    }
    m_current->written = m_lastWrite;
    m_current->result.timeoutMs = timeout;
    m_timeout.start(timeout);
}

QString Engine::portProblem(const char *otherwise) const {
    // A port that went away says why, not merely that it is closed or refused the bytes.
    if (!m_port->PortOpen() && !m_lostReason.isEmpty())
        return m_lostReason;
    return QCoreApplication::translate("transmission", otherwise);
}

bool Engine::answers(const Reply &reply) const {
    if (!m_current || reply.code != m_current->code)
        return false;
    return m_current->anyAddress || m_current->out.address == reply.address;
}

void Engine::onTimeout() {
    // Bytes that came meanwhile are looked at before the exchange gives up.
    poll(kReadSize);
    if (!m_current)
        return;
    if (!m_current->result.reply) {
        // A reply cut short that may answer it is read as such.
        giveUpWaiting();
    }
    if (m_current)
        finish();
}

void Engine::finish(const QString &portProblem) {
    if (!m_current)
        return;
    m_timeout.stop();
    Current current = std::move(*m_current);
    m_current.reset();
    Exchange &result = current.result;
    result.portProblem = portProblem;
    const Clock::time_point end =
        result.answered != Clock::time_point{} ? result.answered : Clock::now();
    if (current.written != Clock::time_point{})
        result.ms = msBetween(current.written, end);
    QMetaObject::invokeMethod(
        this, [done = std::move(current.pending.done), result] { done(result); },
        Qt::QueuedConnection);
    // Prompt reading ends once no exchange follows: looked at after `done` has run, so a
    // poller that queues its next exchange from there keeps it (switched off in between, the
    // reading thread could be pausing when the next reply comes, and read it milliseconds late).
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!exchanging())
                m_port->setPrompt(false);
        },
        Qt::QueuedConnection);
    if (!m_queue.empty())
        scheduleNext();
}

// ---- Receiving -----------------------------------------------------------------------------

bool Engine::poll(int maxRead) {
    const int before = m_port->InputLen();
    m_port->setInputLen(maxRead);
    bool received = false;
    while (m_port->CommEvent() == serial::comEvReceive && m_port->InBufferCount() > 0) {
        const QByteArray bytes = m_port->Input();
        if (bytes.isEmpty())
            break;
        received = true;
        deliver(bytes, int(bytes.size()), m_port->InputArrived(), m_port->InputLastArrived());
    }
    m_port->setInputLen(before);
    if (!m_reader.waiting()) {
        m_waitingSince.reset();
    } else if (!received && !m_timeout.isActive()) {
        // While an exchange waits, its timeout gives the reply up: a look from elsewhere (the
        // window's poll) that falls between a slow reply's bytes must not cut it short.
        giveUpWaiting();
    } else if (m_waitingSince) {
        // Bytes keep coming, but not the rest of this reply: given up once its time on the line
        // has passed.
        const qint64 dueUs =
            lineTimeUs(m_reader.missing().value_or(device::kLongFrameOverhead +
                                                   device::kMaxDataCount)) +
            qint64(m_turnaroundMs) * 1000;
        if (Clock::now() - *m_waitingSince > std::chrono::microseconds(dueUs))
            giveUpWaiting();
    } else {
        m_waitingSince = Clock::now();
    }
    return received;
}

bool Engine::takeAnswer(const Reply &reply, Clock::time_point arrived) {
    if (!answers(reply))
        return false;
    const bool good =
        reply.status == Reply::Status::Good || reply.status == Reply::Status::Failure;
    // A damaged or cut-short answer stands only until something better comes.
    if (good || !m_current->result.reply)
        m_current->result.reply = reply;
    if (good)
        m_current->result.answered = arrived;
    return good;
}

void Engine::giveUpWaiting() {
    m_waitingSince.reset();
    std::vector<Reply> replies;
    bool answered = false;
    for (const ReplyFrame &frame : m_reader.flush()) {
        Reply reply = readReply(frame);
        answered = takeAnswer(reply, Clock::now()) || answered;
        replies.push_back(std::move(reply));
    }
    if (!replies.empty())
        emit gaveUp(replies);
    if (answered)
        finish();
}

void Engine::deliver(QByteArray bytes, int count, Clock::time_point arrived,
                     Clock::time_point lastArrived) {
    const Clock::time_point now = Clock::now();
    if (arrived == Clock::time_point{} || arrived > now)
        arrived = now;
    lastArrived = std::clamp(lastArrived, arrived, now);
    // The line's silence is counted from when its last byte was read, however late it is handled.
    m_lastArrival = std::max(m_lastArrival, lastArrived);
    Received read;
    read.count = count;
    read.arrived = arrived;
    if (m_lastWrite != Clock::time_point{} && arrived >= m_lastWrite)
        read.msSinceSent = msBetween(m_lastWrite, arrived);
    if (read.msSinceSent && m_awaitingFirstBytes) {
        m_awaitingFirstBytes = false;
        emit responseTime(*read.msSinceSent);
    }

    bool answeredHere = false;
    bool otherReplies = false;
    for (const ReplyFrame &frame : m_reader.feed(bytes)) {
        Reply reply = readReply(frame);
        if (answers(reply))
            answeredHere = takeAnswer(reply, lastArrived) || answeredHere;
        else
            otherReplies = true;
        read.replies.push_back(std::move(reply));
    }
    if (m_current)
        m_current->result.received += bytes;
    else
        // Kept for the next exchange to name, not for ever: a window that only sends (or a
        // flooded line) would otherwise hold every byte it ever received.
        m_stale = (m_stale + bytes).right(kStaleKept);
    read.background = m_current && m_current->pending.request.background && !otherReplies;
    read.bytes = std::move(bytes);

    if (m_record.recording()) {
        QStringList messages;
        for (const Reply &reply : read.replies)
            if (QString message = messageOf(reply); !message.isEmpty())
                messages << message;
        recordLine(m_record.received(wallTime(arrived), read.bytes,
                                     messages.join(QStringLiteral("; ")), read.msSinceSent));
    }
    emit received(read);
    if (answeredHere)
        finish();
}

} // namespace transmission
