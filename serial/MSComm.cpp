#include "serial/MSComm.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "serial/PortMap.h"
#include "serial/PortReader.h"

namespace serial {

std::optional<LineSettings> parseSettings(const QString &settings) {
    const QStringList fields = settings.split(QLatin1Char(','));
    if (fields.size() != 4)
        return std::nullopt;
    bool ok = false;
    const qint32 baud = fields[0].trimmed().toInt(&ok);
    if (!ok || baud <= 0)
        return std::nullopt;

    LineSettings line{baud, QSerialPort::NoParity, QSerialPort::Data8, QSerialPort::OneStop};
    const QString parity = fields[1].trimmed().toLower();
    if (parity == QLatin1String("n"))
        line.parity = QSerialPort::NoParity;
    else if (parity == QLatin1String("e"))
        line.parity = QSerialPort::EvenParity;
    else if (parity == QLatin1String("o"))
        line.parity = QSerialPort::OddParity;
    else if (parity == QLatin1String("m"))
        line.parity = QSerialPort::MarkParity;
    else if (parity == QLatin1String("s"))
        line.parity = QSerialPort::SpaceParity;
    else
        return std::nullopt;

    const int dataBits = fields[2].trimmed().toInt(&ok);
    if (!ok || dataBits < 5 || dataBits > 8)
        return std::nullopt;
    line.dataBits = static_cast<QSerialPort::DataBits>(dataBits);

    const QString stop = fields[3].trimmed();
    if (stop == QLatin1String("1"))
        line.stopBits = QSerialPort::OneStop;
    else if (stop == QLatin1String("1.5"))
        line.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == QLatin1String("2"))
        line.stopBits = QSerialPort::TwoStop;
    else
        return std::nullopt;
    return line;
}

MSComm::MSComm(QObject *parent)
    : QObject(parent), m_notice(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
      m_noticeNotifier(new QSocketNotifier(m_notice, QSocketNotifier::Read, this)) {
    connect(&m_port, &QSerialPort::errorOccurred, this, &MSComm::onErrorOccurred);
    connect(m_noticeNotifier, &QSocketNotifier::activated, this, &MSComm::onReaderNotice);
}

MSComm::~MSComm() {
    close();
    ::close(m_notice);
}

QString MSComm::devicePath() const {
    return m_devicePath.isEmpty() ? deviceForComPort(m_commPort) : m_devicePath;
}

bool MSComm::waitForInput(int ms) {
    return m_reader && m_reader->waitForBytes(ms);
}

int MSComm::CommEvent() const {
    return m_reader && m_reader->receivedAny() ? comEvReceive : comEvNone;
}

bool MSComm::PortOpen() const {
    // A device gone is closed for every caller at once, also one without an event loop.
    return m_port.isOpen() && m_reader && !m_reader->lost();
}

int MSComm::InBufferCount() const {
    return m_reader ? int(qMin<qsizetype>(m_reader->waiting(), INT_MAX)) : 0;
}

void MSComm::clearInBuffer() {
    if (m_reader)
        m_reader->clear();
}

void MSComm::clearOutBuffer() {
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Output);
}

QByteArray MSComm::Input() {
    m_inputArrivedMs = 0;
    if (!m_reader)
        return {};
    PortReader::Clock::time_point arrived{};
    const QByteArray bytes = m_reader->take(
        m_inputLen > 0 ? m_inputLen : std::numeric_limits<qsizetype>::max(), &arrived);
    if (!bytes.isEmpty())
        m_inputArrivedMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(arrived.time_since_epoch())
                .count();
    return bytes;
}

bool MSComm::Output(const QByteArray &bytes) {
    if (!PortOpen() || m_port.write(bytes) != bytes.size())
        return false;
    // Hand the bytes to the system now rather than on the next event-loop pass, so what the
    // engineer timed (a runner delay) is what the line sees.
    m_port.flush();
    return true;
}

std::optional<OpenError> MSComm::open() {
    close();
    const QString device = devicePath();
    if (device.isEmpty())
        return OpenError{OpenError::Kind::NoDevice, device, {}};
    const auto line = parseSettings(m_settings);
    if (!line)
        return OpenError{OpenError::Kind::BadSettings, device, m_settings};

    m_port.setPortName(device);
    if (!m_port.open(QIODevice::WriteOnly)) {
        OpenError error{OpenError::Kind::Other, device, m_port.errorString()};
        if (m_port.error() == QSerialPort::DeviceNotFoundError || !QFileInfo::exists(device))
            error.kind = OpenError::Kind::NotFound;
        else if (m_port.error() == QSerialPort::PermissionError)
            // QSerialPort reports a device locked by another program as a permission error too.
            error.kind = ::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0
                             ? OpenError::Kind::Busy
                             : OpenError::Kind::PermissionDenied;
        m_port.clearError();
        return error;
    }
    if (!m_port.setBaudRate(line->baudRate) || !m_port.setParity(line->parity) ||
        !m_port.setDataBits(line->dataBits) || !m_port.setStopBits(line->stopBits) ||
        !m_port.setFlowControl(QSerialPort::NoFlowControl)) {
        const QString reason = m_port.errorString();
        m_port.clearError();
        m_port.close();
        return OpenError{OpenError::Kind::BadSettings, device, reason};
    }
    if (auto error = startReading()) {
        m_port.close();
        return error;
    }
    return std::nullopt;
}

std::optional<OpenError> MSComm::startReading() {
    // The device the port opened (a link or a bare name resolved), opened once more for reading
    // while its exclusive lock is lifted for that moment: the lock and the lock file are ours.
    const QString path =
        QFileInfo(QStringLiteral("/proc/self/fd/%1").arg(m_port.handle())).symLinkTarget();
    ::ioctl(m_port.handle(), TIOCNXCL);
    const int reading =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const int openError = errno;
    ::ioctl(m_port.handle(), TIOCEXCL);
    if (reading < 0)
        return OpenError{OpenError::Kind::Other, devicePath(),
                         QString::fromLocal8Bit(std::strerror(openError))};
    ::tcflush(reading, TCIFLUSH);
    m_reader = std::make_unique<PortReader>(reading, m_notice);
    return std::nullopt;
}

void MSComm::close() {
    // What a closed port had waiting is gone, as it always was; a lost port keeps it for the poll.
    m_reader.reset();
    if (m_port.isOpen())
        m_port.close();
}

void MSComm::onReaderNotice() {
    quint64 count = 0;
    [[maybe_unused]] const ssize_t read = ::read(m_notice, &count, sizeof count);
    if (m_reader && m_port.isOpen())
        if (const auto reason = m_reader->lost())
            portWentAway(*reason);
}

void MSComm::portWentAway(const QString &reason) {
    // Closed at once: QSerialPort would otherwise report errors in a busy loop.
    m_port.clearError();
    m_port.close();
    emit portLost(reason);
}

void MSComm::onErrorOccurred(QSerialPort::SerialPortError error) {
    if (!m_port.isOpen())
        return;
    switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::ResourceError:
        portWentAway(m_port.errorString());
        break;
    case QSerialPort::WriteError: {
        const QString reason = m_port.errorString();
        m_port.clearError();
        emit writeFailed(reason);
        break;
    }
    default:
        break;
    }
}

} // namespace serial
