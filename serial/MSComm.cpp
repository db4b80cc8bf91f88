#include "serial/MSComm.h"

#include "serial/PortMap.h"

#include <QFileInfo>
#include <unistd.h>

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

MSComm::MSComm(QObject *parent) : QObject(parent) {
    connect(&m_port, &QSerialPort::readyRead, this, [this] { m_commEvent = comEvReceive; });
    connect(&m_port, &QSerialPort::errorOccurred, this, &MSComm::onErrorOccurred);
}

QString MSComm::devicePath() const {
    return m_devicePath.isEmpty() ? deviceForComPort(m_commPort) : m_devicePath;
}

bool MSComm::waitForInput(int ms) {
    if (!m_port.isOpen())
        return false;
    return m_port.bytesAvailable() > 0 || m_port.waitForReadyRead(ms);
}

int MSComm::InBufferCount() const {
    return m_port.isOpen() ? static_cast<int>(qMin<qint64>(m_port.bytesAvailable(), INT_MAX)) : 0;
}

void MSComm::clearInBuffer() {
    if (m_port.isOpen()) {
        m_port.clear(QSerialPort::Input);
        m_port.readAll();
    }
}

void MSComm::clearOutBuffer() {
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Output);
}

QByteArray MSComm::Input() {
    if (!m_port.isOpen())
        return {};
    return m_inputLen > 0 ? m_port.read(m_inputLen) : m_port.readAll();
}

bool MSComm::Output(const QByteArray &bytes) {
    if (!m_port.isOpen())
        return false;
    if (m_port.write(bytes) != bytes.size())
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
    if (!m_port.open(QIODevice::ReadWrite)) {
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
    m_commEvent = comEvNone;
    return std::nullopt;
}

void MSComm::close() {
    if (m_port.isOpen())
        m_port.close();
}

void MSComm::onErrorOccurred(QSerialPort::SerialPortError error) {
    if (!m_port.isOpen())
        return;
    switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::ResourceError: {
        const QString reason = m_port.errorString();
        m_port.clearError();
        m_port.close();
        emit portLost(reason);
        break;
    }
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
