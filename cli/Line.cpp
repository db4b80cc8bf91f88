#include "cli/Line.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>

#include "serial/OpenCommPort.h"
#include "transmission/Outgoing.h"
#include "transmission/ReplyReader.h"

namespace cli {

Line::Line() {
    // Both arrive while an exchange waits on the port.
    QObject::connect(&m_port, &serial::MSComm::portLost, &m_port,
                     [this](const QString &reason) { m_problem = reason; });
    QObject::connect(&m_port, &serial::MSComm::writeFailed, &m_port,
                     [this](const QString &reason) { m_problem = reason; });
}

std::optional<serial::OpenError> Line::open(const QString &port, qint32 baud) {
    static const QRegularExpression comPort(QStringLiteral("^COM([1-9])$"),
                                            QRegularExpression::CaseInsensitiveOption);
    int number = 1;
    if (const auto match = comPort.match(port); match.hasMatch()) {
        number = match.captured(1).toInt();
        m_name = QStringLiteral("COM%1").arg(number);
    } else {
        // Qt reads a relative name as one under /dev; a relative path means the current folder.
        const bool relativePath = port.contains(u'/') && QDir::isRelativePath(port);
        m_port.setDevicePath(relativePath ? QDir::current().absoluteFilePath(port) : port);
        m_name = port.section(u'/', -1);
    }
    m_settings = QStringLiteral("%1,n,8,1").arg(baud);
    return serial::OpenCommPort(m_port, number, m_settings);
}

QByteArray Line::readWaiting() {
    QByteArray bytes;
    while (m_port.InBufferCount() > 0) {
        const QByteArray batch = m_port.Input();
        if (batch.isEmpty())
            break;
        bytes += batch;
    }
    return bytes;
}

Exchange Line::exchange(const QByteArray &frame, int timeoutMs) {
    Exchange exchange;
    exchange.sent = frame;
    // A reply that came after its exchange gave up must not pass for this one's.
    while (m_port.waitForInput(0)) {
        const QByteArray bytes = readWaiting();
        if (bytes.isEmpty())
            break;
        exchange.stale += bytes;
    }
    m_problem.clear();
    QElapsedTimer clock;
    clock.start();
    if (!m_port.Output(frame)) {
        exchange.portProblem =
            m_problem.isEmpty() ? QStringLiteral("the port refused the bytes") : m_problem;
        return exchange;
    }
    // The window's own reading: short replies are believed from the address asked. A frame
    // failing its check may be line noise that looks like a reply, with the real reply behind
    // it: only a good frame or a failure reply ends the wait early.
    using Kind = transmission::ReplyFrame::Kind;
    transmission::ReplyReader reader;
    if (const auto address = transmission::prepareOutgoing(frame, std::nullopt).address)
        reader.expectFrom(*address);
    std::optional<transmission::ReplyFrame> answer, damaged;
    auto take = [&](std::vector<transmission::ReplyFrame> frames) {
        for (transmission::ReplyFrame &read : frames) {
            if (answer)
                return;
            if (read.kind != Kind::CheckFailed)
                answer = std::move(read);
            else if (!damaged)
                damaged = std::move(read);
        }
    };
    while (!answer && m_problem.isEmpty() && m_port.PortOpen()) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            break;
        m_port.waitForInput(int(left));
        const QByteArray bytes = readWaiting();
        if (bytes.isEmpty())
            continue;
        exchange.received += bytes;
        take(reader.feed(bytes));
    }
    exchange.ms = clock.elapsed();
    if (!m_problem.isEmpty() || !m_port.PortOpen()) {
        exchange.portProblem =
            m_problem.isEmpty() ? QStringLiteral("the port was closed") : m_problem;
        return exchange;
    }
    if (!answer)
        take(reader.flush());
    if (answer || damaged)
        exchange.reply = transmission::readReply(answer ? *answer : *damaged);
    return exchange;
}

} // namespace cli
