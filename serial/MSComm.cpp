#include "serial/MSComm.h"

#include <QMutexLocker>

#include "serial/PortMap.h"
#include "serial/PortWorker.h"

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
    : QObject(parent), m_received(std::make_unique<ReceiveBuffer>()),
      m_worker(new PortWorker(*m_received)) {
    m_thread.setObjectName(QStringLiteral("serial port"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &PortWorker::lost, this, &MSComm::portLost);
    connect(m_worker, &PortWorker::writeFailed, this, &MSComm::writeFailed);
    m_thread.start();
}

MSComm::~MSComm() {
    close();
    m_thread.quit();
    m_thread.wait();
}

QString MSComm::devicePath() const {
    return m_devicePath.isEmpty() ? deviceForComPort(m_commPort) : m_devicePath;
}

bool MSComm::waitForInput(int ms) {
    QMutexLocker lock(&m_received->mutex);
    if (m_received->bytes.isEmpty() && m_received->open)
        m_received->arrived.wait(&m_received->mutex, QDeadlineTimer(ms));
    return !m_received->bytes.isEmpty();
}

int MSComm::CommEvent() const {
    return m_received->event;
}

bool MSComm::PortOpen() const {
    return m_received->open;
}

int MSComm::InBufferCount() const {
    const QMutexLocker lock(&m_received->mutex);
    return int(qMin<qsizetype>(m_received->bytes.size(), INT_MAX));
}

void MSComm::clearInBuffer() {
    const QMutexLocker lock(&m_received->mutex);
    m_received->bytes.clear();
}

void MSComm::clearOutBuffer() {
    QMetaObject::invokeMethod(
        m_worker, [this] { m_worker->clearOutput(); }, Qt::BlockingQueuedConnection);
}

QByteArray MSComm::Input() {
    const QMutexLocker lock(&m_received->mutex);
    const qsizetype n = m_inputLen > 0 ? qMin<qsizetype>(m_inputLen, m_received->bytes.size())
                                       : m_received->bytes.size();
    QByteArray taken = m_received->bytes.first(n);
    m_received->bytes.remove(0, n);
    return taken;
}

bool MSComm::Output(const QByteArray &bytes) {
    if (!PortOpen())
        return false;
    bool written = false;
    QMetaObject::invokeMethod(
        m_worker, [this, &bytes] { return m_worker->write(bytes); }, Qt::BlockingQueuedConnection,
        &written);
    return written;
}

std::optional<OpenError> MSComm::open() {
    close();
    const QString device = devicePath();
    if (device.isEmpty())
        return OpenError{OpenError::Kind::NoDevice, device, {}};
    const auto line = parseSettings(m_settings);
    if (!line)
        return OpenError{OpenError::Kind::BadSettings, device, m_settings};
    std::optional<OpenError> error;
    QMetaObject::invokeMethod(
        m_worker, [&] { return m_worker->open(device, *line); }, Qt::BlockingQueuedConnection,
        &error);
    if (!error)
        m_received->event = comEvNone;
    return error;
}

void MSComm::close() {
    QMetaObject::invokeMethod(
        m_worker, [this] { m_worker->close(); }, Qt::BlockingQueuedConnection);
    clearInBuffer();
}

} // namespace serial
