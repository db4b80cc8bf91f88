#include "serial/DeviceTransport.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "serial/PortReader.h"

namespace serial {

DeviceTransport::DeviceTransport(QString path)
    : m_path(std::move(path)), m_notice(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
      m_noticeNotifier(new QSocketNotifier(m_notice, QSocketNotifier::Read, this)) {
    connect(&m_port, &QSerialPort::errorOccurred, this, &DeviceTransport::onErrorOccurred);
    connect(m_noticeNotifier, &QSocketNotifier::activated, this,
            &DeviceTransport::onReaderNotice);
}

DeviceTransport::~DeviceTransport() {
    close();
    ::close(m_notice);
}

std::optional<OpenError> DeviceTransport::open(const LineSettings &line) {
    close();
    m_port.setPortName(m_path);
    if (!m_port.open(QIODevice::WriteOnly)) {
        OpenError error{OpenError::Kind::Other, m_path, m_port.errorString()};
        if (m_port.error() == QSerialPort::DeviceNotFoundError || !QFileInfo::exists(m_path))
            error.kind = OpenError::Kind::NotFound;
        else if (m_port.error() == QSerialPort::PermissionError)
            // QSerialPort reports a device locked by another program as a permission error too.
            error.kind = ::access(QFile::encodeName(m_path).constData(), R_OK | W_OK) == 0
                             ? OpenError::Kind::Busy
                             : OpenError::Kind::PermissionDenied;
        m_port.clearError();
        return error;
    }
    if (!applyLine(line)) {
        const QString reason = m_port.errorString();
        m_port.clearError();
        m_port.close();
        return OpenError{OpenError::Kind::BadSettings, m_path, reason};
    }
    if (auto error = startReading()) {
        m_port.close();
        return error;
    }
    return std::nullopt;
}

bool DeviceTransport::applyLine(const LineSettings &line) {
    if (!m_port.setBaudRate(line.baudRate) || !m_port.setParity(line.parity) ||
        !m_port.setDataBits(line.dataBits) || !m_port.setStopBits(line.stopBits) ||
        !m_port.setFlowControl(QSerialPort::NoFlowControl))
        return false;
    const int bits = 1 + int(line.dataBits) + (line.parity == QSerialPort::NoParity ? 0 : 1) +
                     (line.stopBits == QSerialPort::OneStop ? 1 : 2);
    m_byteTime = std::chrono::nanoseconds(qint64(bits) * 1'000'000'000 / qMax(1, line.baudRate));
    return true;
}

bool DeviceTransport::setLine(const LineSettings &line) {
    if (!isOpen())
        return false;
    // What is on its way still leaves at the old speed.
    m_port.waitForBytesWritten(1000);
    ::tcdrain(m_port.handle());
    if (applyLine(line))
        return true;
    m_port.clearError();
    return false;
}

std::optional<OpenError> DeviceTransport::startReading() {
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
        return OpenError{OpenError::Kind::Other, m_path,
                         QString::fromLocal8Bit(std::strerror(openError))};
    ::tcflush(reading, TCIFLUSH);
    m_reader = std::make_unique<PortReader>(reading, m_notice);
    return std::nullopt;
}

void DeviceTransport::close() {
    // What a closed port had waiting is gone; a lost port keeps it for its owner's next look.
    m_reader.reset();
    if (m_port.isOpen())
        m_port.close();
}

bool DeviceTransport::isOpen() const {
    // A device gone is closed for every caller at once, also one without an event loop.
    return m_port.isOpen() && m_reader && !m_reader->lost();
}

bool DeviceTransport::write(const QByteArray &bytes) {
    if (!isOpen() || m_port.write(bytes) != bytes.size())
        return false;
    // Hand the bytes to the system now rather than on the next event-loop pass, so what the
    // engineer timed (a runner delay) is what the line sees.
    m_port.flush();
    return true;
}

qsizetype DeviceTransport::waiting() const {
    return m_reader ? m_reader->waiting() : 0;
}

bool DeviceTransport::receivedAny() const {
    return m_reader && m_reader->receivedAny();
}

QByteArray DeviceTransport::take(qsizetype max, Clock::time_point *arrived,
                                 Clock::time_point *last) {
    return m_reader ? m_reader->take(max, arrived, last) : QByteArray();
}

void DeviceTransport::clearInput() {
    if (m_reader)
        m_reader->clear();
}

void DeviceTransport::clearOutput() {
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Output);
}

void DeviceTransport::setPrompt(bool on) {
    if (m_reader)
        m_reader->setPrompt(on);
}

void DeviceTransport::expectReply(qsizetype bytes) {
    if (m_reader)
        m_reader->expectReply(bytes, m_byteTime);
}

void DeviceTransport::onReaderNotice() {
    quint64 count = 0;
    [[maybe_unused]] const ssize_t read = ::read(m_notice, &count, sizeof count);
    if (!m_reader || !m_port.isOpen())
        return;
    if (const auto reason = m_reader->lost())
        wentAway(*reason);
    else if (m_reader->waiting() > 0)
        emit bytesArrived();
}

void DeviceTransport::wentAway(const QString &reason) {
    // Closed at once: QSerialPort would otherwise report errors in a busy loop.
    m_port.clearError();
    m_port.close();
    emit lost(reason);
}

void DeviceTransport::onErrorOccurred(QSerialPort::SerialPortError error) {
    if (!m_port.isOpen())
        return;
    switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::ResourceError:
        wentAway(m_port.errorString());
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
