#pragma once
// The serial port's own thread: it owns the QSerialPort, reads whatever arrives the moment it
// arrives into the shared receive buffer, and performs the opens, writes and closes the window
// asks for. The window's 200 ms poll takes from the buffer; a busy window never leaves bytes
// in a full device buffer.

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QSerialPort>
#include <QWaitCondition>
#include <atomic>
#include <optional>

#include "serial/MSComm.h"

namespace serial {

// What the port's thread and the window share.
struct ReceiveBuffer {
    QMutex mutex;
    QWaitCondition arrived; // woken when bytes arrive or the port goes away
    QByteArray bytes;
    std::atomic<bool> open = false;
    std::atomic<int> event = comEvNone;
};

class PortWorker : public QObject {
    Q_OBJECT

public:
    explicit PortWorker(ReceiveBuffer &shared);

    // Called in the port's thread (a blocking call from the window).
    std::optional<OpenError> open(const QString &device, const LineSettings &line);
    void close();
    bool write(const QByteArray &bytes);
    void clearOutput();

signals:
    // Emitted in the port's thread, handled in the window's.
    void lost(const QString &reason);
    void writeFailed(const QString &reason);

private:
    void takeArrived();
    void onError(QSerialPort::SerialPortError error);

    ReceiveBuffer &m_shared;
    QSerialPort *m_port;
};

} // namespace serial
