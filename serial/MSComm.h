#pragma once
// The window's serial port: the operations the tool needs of a serial control, over QSerialPort.
//
// Properties keep the control's names (CommPort, Settings, InBufferCount, CommEvent, Input,
// Output, PortOpen ...). A thread of its own (PortReader) reads whatever arrives at once, so a
// busy window never lets the device's buffer overflow; received bytes wait there until the
// window's poll collects them with Input(), and CommEvent says that data arrived. A port that
// goes away while open (adapter unplugged, far side closed) is closed at once and reported once
// through portLost(); the bytes it delivered before stay for the poll.

#include <QObject>
#include <QSerialPort>
#include <memory>
#include <optional>

class QSocketNotifier;

namespace serial {

// Kinds of the most recent port event.
enum CommEventKind : int {
    comEvNone = 0,
    comEvReceive = 2,
};

// Why an open failed, for the message that names port, device and reason.
struct OpenError {
    enum class Kind { NoDevice, BadSettings, PermissionDenied, Busy, NotFound, Other };
    Kind kind;
    QString device;
    QString reason;
};

// "9600,n,8,1": baud, parity (n e o m s), data bits, stop bits.
struct LineSettings {
    qint32 baudRate;
    QSerialPort::Parity parity;
    QSerialPort::DataBits dataBits;
    QSerialPort::StopBits stopBits;
};
std::optional<LineSettings> parseSettings(const QString &settings);

class PortReader;

class MSComm : public QObject {
    Q_OBJECT

public:
    explicit MSComm(QObject *parent = nullptr);
    ~MSComm() override;

    int CommPort() const { return m_commPort; }
    void setCommPort(int number) { m_commPort = number; }
    const QString &Settings() const { return m_settings; }
    void setSettings(const QString &settings) { m_settings = settings; }

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
    // When the first byte of the last Input() arrived, in milliseconds of the steady clock
    // (std::chrono::steady_clock); 0 when it returned nothing.
    qint64 InputArrivedMs() const { return m_inputArrivedMs; }
    // Queues the bytes for writing; false when the port is closed or refuses them.
    bool Output(const QByteArray &bytes);

    bool PortOpen() const;
    // Opens CommPort with Settings; the reason when it fails, the port then closed.
    std::optional<OpenError> open();
    void close();

    // The device path behind CommPort (see PortMap.h); empty when none. A path given with
    // setDevicePath stands instead of CommPort's (the command line names devices directly).
    QString devicePath() const;
    void setDevicePath(const QString &path) { m_devicePath = path; }

    // Blocks until received bytes wait or `ms` pass, for callers without an event loop (the
    // command line); false when none came or the port went away meanwhile.
    bool waitForInput(int ms);

signals:
    // The open port went away and was closed.
    void portLost(const QString &reason);
    // A write the port accepted could not be completed.
    void writeFailed(const QString &reason);

private:
    void onErrorOccurred(QSerialPort::SerialPortError error);
    // The reader found the device gone.
    void onReaderNotice();
    void portWentAway(const QString &reason);
    std::optional<OpenError> startReading();

    // Opened for writing only: its reading is the reader's, on its own descriptor.
    QSerialPort m_port;
    std::unique_ptr<PortReader> m_reader;
    qint64 m_inputArrivedMs = 0;
    int m_notice;
    QSocketNotifier *m_noticeNotifier;
    int m_commPort = 1;
    QString m_devicePath;
    QString m_settings = QStringLiteral("9600,n,8,1");
    int m_inputLen = 0;
    int m_inBufferSize = 1024;
    int m_outBufferSize = 512;
    int m_rThreshold = 0;
};

} // namespace serial
