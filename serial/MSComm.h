#pragma once
// The port: the operations the tool needs of a serial control, over a transport (a local device,
// or a serial server across the network; see Transport.h and PortName.h).
//
// Properties keep the control's names (CommPort, Settings, InBufferCount, CommEvent, Input,
// Output, PortOpen ...). Received bytes wait in the transport until Input() collects them, and
// CommEvent says that data arrived. A port that goes away while open (adapter unplugged, far side
// closed, connection dropped) is closed at once and reported once through portLost(); the bytes
// it delivered before stay for the next Input().

#include <QObject>
#include <chrono>
#include <memory>
#include <optional>

#include "serial/OpenError.h"
#include "serial/PortName.h"

namespace serial {

class Transport;

// Kinds of the most recent port event.
enum CommEventKind : int {
    comEvNone = 0,
    comEvReceive = 2,
};

class MSComm : public QObject {
    Q_OBJECT
    // Readable from outside the window, as its scripts see the port.
    Q_PROPERTY(bool PortOpen READ PortOpen)
    Q_PROPERTY(int InBufferCount READ InBufferCount)
    Q_PROPERTY(QString Settings READ Settings)

public:
    using Clock = std::chrono::steady_clock;

    explicit MSComm(QObject *parent = nullptr);
    ~MSComm() override;

    // COM1 to COM9; setting it names the port "COMn".
    int CommPort() const { return m_commPort; }
    void setCommPort(int number);
    // The port as the engineer wrote it: COMn, a device path, tcp://HOST:PORT, rfc2217://HOST:PORT.
    const QString &portName() const { return m_portName; }
    void setPortName(const QString &text);
    const QString &Settings() const { return m_settings; }
    void setSettings(const QString &settings) { m_settings = settings; }
    // New settings for the open port, taking effect at once (a bus scan tries line speeds); false,
    // the settings unchanged, when they are not valid or the line cannot change them.
    bool changeSettings(const QString &settings);
    // The line speed of Settings (9600 when it names none).
    qint32 baudRate() const;

    // The largest read; 0 reads everything waiting.
    void setInputLen(int bytes) { m_inputLen = bytes; }
    int InputLen() const { return m_inputLen; }
    // Recorded only: the tool never drops received bytes to honour a buffer size, and every
    // received byte marks the port's event as data received.
    void setInBufferSize(int bytes) { m_inBufferSize = bytes; }
    int InBufferSize() const { return m_inBufferSize; }
    void setOutBufferSize(int bytes) { m_outBufferSize = bytes; }
    int OutBufferSize() const { return m_outBufferSize; }
    void setRThreshold(int bytes) { m_rThreshold = bytes; }
    int RThreshold() const { return m_rThreshold; }

    int InBufferCount() const;
    void clearInBuffer();
    void clearOutBuffer();

    int CommEvent() const;
    // The waiting bytes, at most InputLen of them.
    QByteArray Input();
    // When the first byte of the last Input() arrived; the epoch when it returned nothing.
    Clock::time_point InputArrived() const { return m_inputArrived; }
    // When the last of them did (the port may hand over several reads at once).
    Clock::time_point InputLastArrived() const { return m_inputLastArrived; }
    // Hands the bytes to the line; false when the port is closed or refuses them.
    bool Output(const QByteArray &bytes);

    bool PortOpen() const;
    // Across the network, between open() and opened() or openFailed().
    bool isConnecting() const;
    // Opens the port named with Settings. The reason when it failed at once, the port then
    // closed; a port across the network may still be connecting (isConnecting()): opened() or
    // openFailed() follows.
    std::optional<OpenError> open();
    void close();

    // What the port name stands for: the device path behind COMn or given, or the server's
    // address; empty when no device stands behind COMn.
    QString devicePath() const;
    // Every arrival announced through bytesArrived() while on (see Transport::setPrompt).
    void setPrompt(bool on);
    // The reply now awaited is at most `bytes` long (see Transport::expectReply).
    void expectReply(qsizetype bytes);
    // Time the network adds to a reply's way back.
    int extraLatencyMs() const;

signals:
    void opened();
    void openFailed(const serial::OpenError &error);
    void bytesArrived();
    // The open port went away and was closed.
    void portLost(const QString &reason);
    // A write the port accepted could not be completed.
    void writeFailed(const QString &reason);
    // Something to tell the engineer that is no failure.
    void notice(const QString &text);

private:
    void closeTransport();

    std::unique_ptr<Transport> m_transport;
    Clock::time_point m_inputArrived{};
    Clock::time_point m_inputLastArrived{};
    int m_commPort = 1;
    QString m_portName = QStringLiteral("COM1");
    QString m_settings = QStringLiteral("9600,n,8,1");
    int m_inputLen = 0;
    int m_inBufferSize = 1024;
    int m_outBufferSize = 512;
    int m_rThreshold = 0;
};

} // namespace serial
