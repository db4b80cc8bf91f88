#include "sim/Simulator.h"

#include "codec/HexText.h"
#include "sim/ConsoleCommand.h"
#include "sim/SimPort.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace sim {

namespace {

QString hex(const QByteArray &bytes) {
    return codec::FormatHexText(bytes).trimmed();
}

} // namespace

void printLine(const QString &text) {
    std::fputs(qPrintable(text + u'\n'), stdout);
    std::fflush(stdout);
}

Simulator::Simulator(const SimulatorOptions &options)
    : m_options(options), m_model(options.address, options.switches), m_server(m_model),
      m_shaper(options.shape, options.seed) {
    m_model.setBaudCode(options.baudCode);
    m_model.setInputs(options.inputs);
    m_clock.start();
    m_sendTimer.setSingleShot(true);
    m_sendTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_sendTimer, &QTimer::timeout, this, &Simulator::sendDue);
}

Simulator::~Simulator() {
    removeLink();
}

bool Simulator::start(QString &error) {
    const int baud = baudRateOf(m_model.baudCode()).value_or(9600);
    m_port = m_options.device.isEmpty() ? SimPort::openPty(error)
                                        : SimPort::openDevice(m_options.device, baud, error);
    if (!m_port)
        return false;
    connect(m_port.get(), &SimPort::received, this, &Simulator::onReceived);
    connect(m_port.get(), &SimPort::lost, this, [this](const QString &reason) {
        log(QStringLiteral("the line is gone (%1); ending").arg(reason));
        QCoreApplication::exit(1);
    });

    if (!m_options.link.isEmpty() && m_port->isPty()) {
        // Made under a temporary name and renamed over the link: an old link is replaced at
        // once, and nothing but a link is ever replaced.
        const QString link = m_options.link;
        const QFileInfo existing(link);
        if (existing.exists() && !existing.isSymLink()) {
            error = QStringLiteral("%1 exists and is not a symbolic link").arg(link);
            return false;
        }
        const QByteArray temporary =
            (link + QStringLiteral(".%1.tmp").arg(::getpid())).toLocal8Bit();
        if (::symlink(m_port->path().toLocal8Bit().constData(), temporary.constData()) != 0 ||
            ::rename(temporary.constData(), link.toLocal8Bit().constData()) != 0) {
            error = QStringLiteral("cannot create the link %1: %2")
                        .arg(link, QString::fromLocal8Bit(std::strerror(errno)));
            ::unlink(temporary.constData());
            return false;
        }
        m_linkMade = true;
    }

    if (m_port->isPty())
        printLine(QStringLiteral("PTY %1").arg(m_port->path()));
    else
        printLine(QStringLiteral("DEVICE %1 %2").arg(m_port->path()).arg(baud));

    m_console = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_console, &QSocketNotifier::activated, this, &Simulator::readConsole);
    log(QStringLiteral("device at address %1 (hex), serving %2")
            .arg(int(m_model.address()), 2, 16, QChar(u'0'))
            .arg(m_port->path()));
    return true;
}

void Simulator::removeLink() {
    if (!m_linkMade || !m_port)
        return;
    // Only our own link: another simulator may have taken the name over since.
    if (QFile::symLinkTarget(m_options.link) == QFileInfo(m_port->path()).absoluteFilePath())
        QFile::remove(m_options.link);
    m_linkMade = false;
}

void Simulator::log(const QString &text) const {
    std::fputs(qPrintable(QStringLiteral("[%1 ms] %2\n").arg(now(), 7).arg(text)), stderr);
}

// ---- The line -------------------------------------------------------------------------------

void Simulator::onReceived(const QByteArray &bytes) {
    for (const Exchange &exchange : m_server.feed(bytes, now())) {
        if (m_options.verbose)
            log(QStringLiteral("<- %1  (%2)").arg(hex(exchange.request), exchange.note));
        if (!exchange.reply.isEmpty())
            schedule(exchange.reply, exchange.newBaudCode);
        else if (exchange.newBaudCode)
            changeBaud(*exchange.newBaudCode);
    }
}

void Simulator::schedule(const QByteArray &reply, std::optional<quint8> baudAfter) {
    const std::vector<ReplyShaper::Piece> pieces = m_shaper.shape(reply);
    // Replies keep their order: a piece is never due before the one queued ahead of it.
    qint64 due = now();
    if (!m_outgoing.empty())
        due = std::max(due, m_outgoing.back().due);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        due += pieces[i].delayMs;
        m_outgoing.push_back(
            {due, pieces[i].bytes, i + 1 == pieces.size() ? baudAfter : std::nullopt});
    }
    sendDue();
}

void Simulator::sendDue() {
    while (!m_outgoing.empty() && m_outgoing.front().due <= now()) {
        const Pending piece = m_outgoing.front();
        m_outgoing.pop_front();
        const qsizetype lost = m_port->write(piece.bytes);
        if (m_options.verbose)
            log(QStringLiteral("-> %1").arg(hex(piece.bytes)));
        if (lost > 0)
            log(QStringLiteral("%1 byte(s) of the reply could not be written (nobody reads?)")
                    .arg(lost));
        if (piece.baudAfter)
            changeBaud(*piece.baudAfter);
    }
    if (!m_outgoing.empty())
        m_sendTimer.start(int(std::max<qint64>(0, m_outgoing.front().due - now())));
}

void Simulator::changeBaud(quint8 code) {
    const int baud = baudRateOf(code).value_or(9600);
    if (!m_port->setBaudRate(baud))
        log(QStringLiteral("cannot change the line to %1 baud: %2")
                .arg(baud)
                .arg(QString::fromLocal8Bit(std::strerror(errno))));
    else
        log(QStringLiteral("line speed now %1 baud (code %2)%3")
                .arg(baud)
                .arg(code)
                .arg(m_port->isPty() ? QStringLiteral(", recorded only: a pty has no speed")
                                     : QString()));
}

// ---- The console ----------------------------------------------------------------------------

void Simulator::readConsole() {
    char buffer[512];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (n < 0) { // e.g. the terminal of a shell that runs us in the background
        log(QStringLiteral("standard input unreadable (%1); console commands are off")
                .arg(QString::fromLocal8Bit(std::strerror(errno))));
        m_console->setEnabled(false);
        return;
    }
    if (n == 0) {
        m_console->setEnabled(false);
        if (!m_consoleBuffer.isEmpty())
            runConsoleLine(QString::fromLocal8Bit(std::exchange(m_consoleBuffer, {})));
        if (m_options.exitOnEof)
            QCoreApplication::quit();
        return;
    }
    m_consoleBuffer.append(buffer, n);
    for (qsizetype end; (end = m_consoleBuffer.indexOf('\n')) >= 0;) {
        const QByteArray line = m_consoleBuffer.left(end);
        m_consoleBuffer.remove(0, end + 1);
        runConsoleLine(QString::fromLocal8Bit(line));
    }
}

void Simulator::runConsoleLine(const QString &line) {
    const ConsoleCommand command = parseConsoleLine(line, m_model.inputs());
    switch (command.kind) {
    case ConsoleCommand::Kind::Nothing:
        return;
    case ConsoleCommand::Kind::Invalid:
        printLine(QStringLiteral("error: %1; %2").arg(command.error, QLatin1String(kConsoleHelp)));
        return;
    case ConsoleCommand::Kind::Help:
        printLine(QLatin1String(kConsoleHelp));
        return;
    case ConsoleCommand::Kind::Quit:
        QCoreApplication::quit();
        return;
    case ConsoleCommand::Kind::Status:
        m_model.advanceTo(now());
        printLine(m_model.statusText());
        return;
    case ConsoleCommand::Kind::SetInputs: {
        const auto ran = m_server.setInputs(command.inputs, now());
        printLine(QStringLiteral("inputs IN5..IN1: %1").arg(patternText(m_model.inputs())));
        if (ran) {
            printLine(QStringLiteral("%1: %2").arg(ran->note, hex(ran->request)));
            if (ran->newBaudCode)
                changeBaud(*ran->newBaudCode);
        }
        return;
    }
    }
}

} // namespace sim
