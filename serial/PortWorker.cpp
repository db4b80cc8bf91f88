#include "serial/PortWorker.h"

#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <unistd.h>

namespace serial {

PortWorker::PortWorker(ReceiveBuffer &shared) : m_shared(shared), m_port(new QSerialPort(this)) {
    connect(m_port, &QSerialPort::readyRead, this, &PortWorker::takeArrived);
    connect(m_port, &QSerialPort::errorOccurred, this, &PortWorker::onError);
}

void PortWorker::takeArrived() {
    const QByteArray arrived = m_port->readAll();
    if (arrived.isEmpty())
        return;
    {
        const QMutexLocker lock(&m_shared.mutex);
        m_shared.bytes += arrived;
        m_shared.arrived.wakeAll();
    }
    m_shared.event = comEvReceive;
}

std::optional<OpenError> PortWorker::open(const QString &device, const LineSettings &line) {
    close();
    m_port->setPortName(device);
    if (!m_port->open(QIODevice::ReadWrite)) {
        OpenError error{OpenError::Kind::Other, device, m_port->errorString()};
        if (m_port->error() == QSerialPort::DeviceNotFoundError || !QFileInfo::exists(device))
            error.kind = OpenError::Kind::NotFound;
        else if (m_port->error() == QSerialPort::PermissionError)
            // QSerialPort reports a device locked by another program as a permission error too.
            error.kind = ::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0
                             ? OpenError::Kind::Busy
                             : OpenError::Kind::PermissionDenied;
        m_port->clearError();
        return error;
    }
    if (!m_port->setBaudRate(line.baudRate) || !m_port->setParity(line.parity) ||
        !m_port->setDataBits(line.dataBits) || !m_port->setStopBits(line.stopBits) ||
        !m_port->setFlowControl(QSerialPort::NoFlowControl)) {
        const QString reason = m_port->errorString();
        m_port->clearError();
        m_port->close();
        return OpenError{OpenError::Kind::BadSettings, device, reason};
    }
    m_port->clear(QSerialPort::AllDirections);
    m_port->readAll();
    m_shared.open = true;
    return std::nullopt;
}

void PortWorker::close() {
    {
        const QMutexLocker lock(&m_shared.mutex);
        m_shared.open = false;
        m_shared.arrived.wakeAll();
    }
    if (m_port->isOpen())
        m_port->close();
}

bool PortWorker::write(const QByteArray &bytes) {
    if (!m_port->isOpen() || m_port->write(bytes) != bytes.size())
        return false;
    // Hand the bytes to the system now rather than on the next event-loop pass, so what the
    // engineer timed (a runner delay) is what the line sees.
    m_port->flush();
    return true;
}

void PortWorker::clearOutput() {
    if (m_port->isOpen())
        m_port->clear(QSerialPort::Output);
}

void PortWorker::onError(QSerialPort::SerialPortError error) {
    if (!m_port->isOpen())
        return;
    switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::ResourceError: {
        // Closed at once: QSerialPort would otherwise report the error in a busy loop.
        const QString reason = m_port->errorString();
        m_port->clearError();
        takeArrived();
        close();
        emit lost(reason);
        break;
    }
    case QSerialPort::WriteError: {
        const QString reason = m_port->errorString();
        m_port->clearError();
        emit writeFailed(reason);
        break;
    }
    default:
        break;
    }
}

} // namespace serial
