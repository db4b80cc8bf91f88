#include "serial/MSComm.h"

#include <limits>

#include "serial/PortMap.h"
#include "serial/Transport.h"

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

MSComm::MSComm(QObject *parent) : QObject(parent) {}

MSComm::~MSComm() {
    closeTransport();
}

void MSComm::setCommPort(int number) {
    m_commPort = number;
    m_portName = QStringLiteral("COM%1").arg(number);
}

void MSComm::setPortName(const QString &text) {
    m_portName = text;
    const auto parsed = parsePortName(text);
    if (const auto *name = std::get_if<PortName>(&parsed); name && name->kind == PortName::Kind::Com)
        m_commPort = name->comNumber;
}

bool MSComm::changeSettings(const QString &settings) {
    const auto line = parseSettings(settings);
    if (!line || !PortOpen() || !m_transport->setLine(*line))
        return false;
    m_settings = settings;
    return true;
}

qint32 MSComm::baudRate() const {
    const auto line = parseSettings(m_settings);
    return line ? line->baudRate : 9600;
}

QString MSComm::devicePath() const {
    const auto parsed = parsePortName(m_portName);
    const auto *name = std::get_if<PortName>(&parsed);
    if (!name)
        return {};
    if (name->acrossNetwork())
        return QStringLiteral("%1:%2").arg(name->host).arg(name->port);
    return name->path;
}

int MSComm::CommEvent() const {
    return m_transport && m_transport->receivedAny() ? comEvReceive : comEvNone;
}

bool MSComm::PortOpen() const {
    return m_transport && m_transport->isOpen();
}

bool MSComm::isConnecting() const {
    return m_transport && m_transport->isConnecting();
}

int MSComm::InBufferCount() const {
    return m_transport ? int(qMin<qsizetype>(m_transport->waiting(), INT_MAX)) : 0;
}

void MSComm::clearInBuffer() {
    if (m_transport)
        m_transport->clearInput();
}

void MSComm::clearOutBuffer() {
    if (m_transport)
        m_transport->clearOutput();
}

QByteArray MSComm::Input() {
    m_inputArrived = m_inputLastArrived = {};
    if (!m_transport)
        return {};
    return m_transport->take(m_inputLen > 0 ? m_inputLen : std::numeric_limits<qsizetype>::max(),
                             &m_inputArrived, &m_inputLastArrived);
}

bool MSComm::Output(const QByteArray &bytes) {
    return PortOpen() && m_transport->write(bytes);
}

void MSComm::setPrompt(bool on) {
    if (m_transport)
        m_transport->setPrompt(on);
}

void MSComm::expectReply(qsizetype bytes) {
    if (m_transport)
        m_transport->expectReply(bytes);
}

int MSComm::extraLatencyMs() const {
    return m_transport ? m_transport->extraLatencyMs() : 0;
}

std::optional<OpenError> MSComm::open() {
    closeTransport();
    const auto parsed = parsePortName(m_portName);
    const auto *name = std::get_if<PortName>(&parsed);
    if (!name)
        return OpenError{OpenError::Kind::BadName, m_portName, {}};
    if (name->kind == PortName::Kind::Com && name->path.isEmpty())
        return OpenError{OpenError::Kind::NoDevice, {}, {}};
    const QString device = devicePath();
    const auto line = parseSettings(m_settings);
    if (!line)
        return OpenError{OpenError::Kind::BadSettings, device, m_settings};
    m_transport = makeTransport(*name);
    if (!m_transport)
        return OpenError{OpenError::Kind::Other, device, QStringLiteral("not supported")};
    Transport *transport = m_transport.get();
    connect(transport, &Transport::opened, this, &MSComm::opened);
    connect(transport, &Transport::openFailed, this, [this](const OpenError &error) {
        // Called from the transport itself: it is deleted once that call returns.
        m_transport->disconnect(this);
        m_transport.release()->deleteLater();
        emit openFailed(error);
    });
    connect(transport, &Transport::bytesArrived, this, &MSComm::bytesArrived);
    connect(transport, &Transport::lost, this, &MSComm::portLost);
    connect(transport, &Transport::writeFailed, this, &MSComm::writeFailed);
    connect(transport, &Transport::notice, this, &MSComm::notice);
    if (auto error = transport->open(*line)) {
        closeTransport();
        return error;
    }
    return std::nullopt;
}

void MSComm::close() {
    closeTransport();
}

void MSComm::closeTransport() {
    if (!m_transport)
        return;
    m_transport->disconnect(this);
    m_transport->close();
    m_transport.reset();
}

} // namespace serial
