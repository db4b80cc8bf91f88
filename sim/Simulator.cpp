#include "sim/Simulator.h"

#include "codec/HexText.h"
#include "sim/ConsoleCommand.h"
#include "sim/LineWriter.h"
#include "sim/SimPort.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStringList>

#include <algorithm>
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
    : m_options(options), m_shaper(options.shape, options.seed), m_startNs(steadyNs()) {
    for (const DriveOptions &drive : options.drives) {
        m_drives.push_back(std::make_unique<Drive>(drive.address, options.switches));
        m_drives.back()->model.setBaudCode(drive.baudCode);
        m_drives.back()->model.setInputs(options.inputs);
    }
}

Simulator::~Simulator() {
    removeLink();
}

qint64 Simulator::now() const {
    return msAt(steadyNs());
}

bool Simulator::start(QString &error) {
    const int baud = baudRateOf(m_drives.front()->model.baudCode()).value_or(9600);
    m_port = m_options.device.isEmpty() ? SimPort::openPty(error)
                                        : SimPort::openDevice(m_options.device, baud, error);
    if (!m_port)
        return false;
    m_writer =
        std::make_unique<LineWriter>([port = m_port.get()](const char *data, qsizetype size) {
            return port->write(data, size);
        });
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
    QStringList addresses;
    for (const auto &drive : m_drives)
        addresses << QStringLiteral("%1").arg(int(drive->model.address()), 2, 16, QChar(u'0'));
    log(QStringLiteral("%1 %2 (hex), serving %3%4")
            .arg(m_drives.size() > 1 ? "drives at addresses" : "device at address",
                 addresses.join(QStringLiteral(", ")), m_port->path(),
                 m_options.lineTiming ? QStringLiteral(" with line timing") : QString()));
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

namespace {

// Ten bits a byte: start, eight data bits, stop.
qint64 byteTimeNs(int baud) {
    return 10'000'000'000LL / baud;
}

qint64 msToNs(int ms) {
    return qint64(ms) * 1000000;
}

} // namespace

int Simulator::lineSpeed() const {
    const int speed = m_port->lineSpeed();
    return speed > 0 ? speed : baudRateOf(m_drives.front()->model.baudCode()).value_or(9600);
}

QString Simulator::driveName(std::size_t drive) const {
    return m_drives.size() > 1 ? QStringLiteral("drive %1: ").arg(drive + 1) : QString();
}

void Simulator::onReceived(const QByteArray &bytes) {
    const qint64 arrived = steadyNs();
    const int speed = lineSpeed();
    // A pty hands over what the tool wrote at once; on a line the bytes follow one another. A
    // real device's line paces them itself.
    const qint64 byteNs = m_options.lineTiming && m_port->isPty() ? byteTimeNs(speed) : 0;
    const qint64 first = std::max(arrived, m_receivedUntil);
    m_receivedUntil = first + bytes.size() * byteNs;

    std::vector<std::size_t> hearing; // a drive at another speed reads nothing but garbage
    for (std::size_t d = 0; d < m_drives.size(); ++d)
        if (!checksSpeed() || baudRateOf(m_drives[d]->model.baudCode()) == speed)
            hearing.push_back(d);
    if (hearing.empty()) {
        if (m_options.verbose)
            log(QStringLiteral("<- %1  (no drive at %2 baud)").arg(hex(bytes)).arg(speed));
        return;
    }

    // Fed a byte at a time, so a request is answered from the moment its last byte came and
    // the drives answering the same request are known.
    QByteArray noise;
    const auto logNoise = [this, &noise] {
        if (!noise.isEmpty())
            log(QStringLiteral("<- %1  (%2)")
                    .arg(hex(std::exchange(noise, {})), QLatin1String(kNoiseNote)));
    };
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const qint64 at = first + (i + 1) * byteNs;
        std::vector<Answer> answers;
        std::vector<std::pair<QByteArray, QStringList>> notes; // one log line per request
        for (const std::size_t d : hearing) {
            for (Exchange &exchange : m_drives[d]->server.feed(bytes.sliced(i, 1), msAt(at))) {
                if (exchange.note == QLatin1String(kNoiseNote)) {
                    if (d == hearing.front())
                        noise += exchange.request;
                } else {
                    auto it = std::find_if(notes.begin(), notes.end(), [&](const auto &n) {
                        return n.first == exchange.request;
                    });
                    if (it == notes.end())
                        it = notes.insert(notes.end(), {exchange.request, {}});
                    it->second << driveName(d) + exchange.note;
                }
                if (!exchange.reply.isEmpty())
                    answers.push_back({d, std::move(exchange)});
                else if (exchange.newBaudCode)
                    changeBaud(d, *exchange.newBaudCode);
            }
        }
        if (m_options.verbose) {
            for (const auto &[request, said] : notes) {
                logNoise();
                log(QStringLiteral("<- %1  (%2)").arg(hex(request), said.join(u"; ")));
            }
        }
        if (!answers.empty())
            answer(answers, at, speed);
    }
    if (m_options.verbose)
        logNoise();
}

void Simulator::answer(const std::vector<Answer> &answers, qint64 requestEndNs, int speed) {
    std::vector<QByteArray> replies;
    std::vector<std::pair<std::size_t, quint8>> baudAfter; // changes once the reply is out
    for (const Answer &a : answers) {
        replies.push_back(a.exchange.reply);
        if (a.exchange.newBaudCode)
            baudAfter.emplace_back(a.drive, *a.exchange.newBaudCode);
    }
    if (replies.size() > 1)
        log(QStringLiteral("%1 drives answer at once: their replies collide").arg(replies.size()));
    const std::vector<ReplyShaper::Piece> pieces =
        m_shaper.shape(replies.size() == 1 ? replies.front() : collide(replies));

    // With line timing the turnaround counts from the request's end, and a reply waits for the
    // line to be free; otherwise replies keep their order with the delay after each.
    const qint64 byteNs = m_options.lineTiming ? byteTimeNs(speed) : 0;
    qint64 start = m_options.lineTiming
                       ? std::max(requestEndNs + msToNs(pieces.front().delayMs), m_sendingUntil)
                       : std::max(requestEndNs, m_sendingUntil) + msToNs(pieces.front().delayMs);
    for (std::size_t k = 0; k < pieces.size(); ++k) {
        if (k > 0)
            start = m_sendingUntil + msToNs(pieces[k].delayMs);
        const QByteArray bytes = pieces[k].bytes;
        auto after = k + 1 == pieces.size() ? baudAfter : decltype(baudAfter){};
        m_writer->push(
            {start, m_port->isPty() ? byteNs : 0, bytes, [this, bytes, after](qsizetype lost) {
                 QMetaObject::invokeMethod(
                     this,
                     [this, bytes, after, lost] {
                         if (m_options.verbose)
                             log(QStringLiteral("-> %1").arg(hex(bytes)));
                         if (lost > 0)
                             log(QStringLiteral("%1 byte(s) of the reply could not be "
                                                "written (nobody reads?)")
                                     .arg(lost));
                         for (const auto &[drive, code] : after)
                             changeBaud(drive, code);
                     },
                     Qt::QueuedConnection);
             }});
        m_sendingUntil = start + bytes.size() * byteNs;
    }
}

void Simulator::changeBaud(std::size_t drive, quint8 code) {
    const int baud = baudRateOf(code).value_or(9600);
    const QString who = driveName(drive);
    if (!m_port->isPty()) {
        if (!m_port->setBaudRate(baud))
            log(QStringLiteral("%1cannot change the line to %2 baud: %3")
                    .arg(who)
                    .arg(baud)
                    .arg(QString::fromLocal8Bit(std::strerror(errno))));
        else
            log(QStringLiteral("%1line speed now %2 baud (code %3)").arg(who).arg(baud).arg(code));
        return;
    }
    log(QStringLiteral("%1line speed now %2 baud (code %3)%4")
            .arg(who)
            .arg(baud)
            .arg(code)
            .arg(checksSpeed() ? QStringLiteral(", answering requests at that speed only")
                               : QStringLiteral(", recorded only: a pty has no speed")));
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
    const auto refuse = [](const QString &why) {
        printLine(QStringLiteral("error: %1; %2").arg(why, QLatin1String(kConsoleHelp)));
    };
    const AimedLine aimed = splitAddress(line);
    if (!aimed.valid)
        return refuse(QStringLiteral("@ wants a drive address in hex, 1 to FF"));
    std::vector<std::size_t> targets;
    for (std::size_t d = 0; d < m_drives.size(); ++d)
        if (aimed.address ? m_drives[d]->model.address() == *aimed.address : d == 0)
            targets.push_back(d);
    if (targets.empty())
        return refuse(
            QStringLiteral("no drive at address %1").arg(*aimed.address, 2, 16, QChar(u'0')));

    for (const std::size_t d : targets) {
        Drive &drive = *m_drives[d];
        const ConsoleCommand command = parseConsoleLine(aimed.command, drive.model.inputs());
        switch (command.kind) {
        case ConsoleCommand::Kind::Nothing:
            return;
        case ConsoleCommand::Kind::Invalid:
            return refuse(command.error);
        case ConsoleCommand::Kind::Help:
            printLine(QLatin1String(kConsoleHelp));
            return;
        case ConsoleCommand::Kind::Quit:
            QCoreApplication::quit();
            return;
        case ConsoleCommand::Kind::Status:
            drive.model.advanceTo(now());
            printLine(drive.model.statusText());
            break;
        case ConsoleCommand::Kind::SetInputs: {
            const auto ran = drive.server.setInputs(command.inputs, now());
            printLine(QStringLiteral("%1inputs IN5..IN1: %2")
                          .arg(driveName(d), patternText(drive.model.inputs())));
            if (ran) {
                printLine(
                    QStringLiteral("%1%2: %3").arg(driveName(d), ran->note, hex(ran->request)));
                if (ran->newBaudCode)
                    changeBaud(d, *ran->newBaudCode);
            }
            break;
        }
        }
    }
}

} // namespace sim
