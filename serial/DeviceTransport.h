#pragma once
// A local serial device (a USB adapter, a built-in port, a pseudo-terminal). Opening, settings and
// writing go through QSerialPort; a thread of its own (PortReader) reads whatever arrives at once
// through a read-only descriptor of the device, so a busy window never lets the device's buffer
// overflow. A device that goes away while open is closed at once and reported once.

#include <QSerialPort>

#include "serial/Transport.h"

class QSocketNotifier;

namespace serial {

class PortReader;

class DeviceTransport : public Transport {
    Q_OBJECT

public:
    explicit DeviceTransport(QString path);
    ~DeviceTransport() override;

    std::optional<OpenError> open(const LineSettings &line) override;
    void close() override;
    bool isOpen() const override;
    bool setLine(const LineSettings &line) override;
    bool write(const QByteArray &bytes) override;
    qsizetype waiting() const override;
    bool receivedAny() const override;
    QByteArray take(qsizetype max, Clock::time_point *arrived, Clock::time_point *last) override;
    void clearInput() override;
    void clearOutput() override;
    void setPrompt(bool on) override;
    void expectReply(qsizetype bytes) override;

private:
    bool applyLine(const LineSettings &line);
    std::optional<OpenError> startReading();
    void onErrorOccurred(QSerialPort::SerialPortError error);
    void onReaderNotice();
    void wentAway(const QString &reason);

    const QString m_path;
    // Opened for writing only: its reading is the reader's, on its own descriptor.
    QSerialPort m_port;
    std::unique_ptr<PortReader> m_reader;
    // The reader's word to this thread (an eventfd): bytes arrived, or the device went away.
    int m_notice;
    QSocketNotifier *m_noticeNotifier;
    std::chrono::nanoseconds m_byteTime{}; // a character on the line, start and stop bits included
};

} // namespace serial
