#pragma once
// The running virtual device: the line (SimPort), the protocol server with its model, the reply
// shaping, the console on standard input, and the log on standard error.

#include "sim/DeviceModel.h"
#include "sim/ProtocolServer.h"
#include "sim/ReplyShaper.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <deque>
#include <memory>

class QSocketNotifier;

namespace sim {

class SimPort;

struct SimulatorOptions {
    QString device; // a serial device to serve instead of a new pseudo-terminal
    QString link;   // a symbolic link to create to the pseudo-terminal's slave
    quint8 address = 1;
    quint8 baudCode = kDefaultBaudCode;
    Switches switches;
    quint8 inputs = 0;
    ShapeOptions shape;
    quint32 seed = 0;
    bool verbose = false;
    bool exitOnEof = false;
};

class Simulator : public QObject {
    Q_OBJECT

public:
    explicit Simulator(const SimulatorOptions &options);
    ~Simulator() override;

    // Opens the line, makes the link and prints "PTY <path>" (or "DEVICE <path> <baud>").
    bool start(QString &error);

private:
    struct Pending {
        qint64 due;
        QByteArray bytes;
        std::optional<quint8> baudAfter; // the line speed changes once these bytes are out
    };

    qint64 now() const { return m_clock.elapsed(); }
    void onReceived(const QByteArray &bytes);
    void schedule(const QByteArray &reply, std::optional<quint8> baudAfter);
    void sendDue();
    void changeBaud(quint8 code);
    void readConsole();
    void runConsoleLine(const QString &line);
    void log(const QString &text) const;
    void removeLink();

    SimulatorOptions m_options;
    DeviceModel m_model;
    ProtocolServer m_server;
    ReplyShaper m_shaper;
    std::unique_ptr<SimPort> m_port;
    QElapsedTimer m_clock;
    std::deque<Pending> m_outgoing;
    QTimer m_sendTimer;
    QSocketNotifier *m_console = nullptr;
    QByteArray m_consoleBuffer;
    bool m_linkMade = false;
};

// A line to standard output, flushed at once (a script or test waits for it).
void printLine(const QString &text);

} // namespace sim
