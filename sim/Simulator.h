#pragma once
// The running virtual device: the line (SimPort) with one drive or several on it, each a model
// with its protocol server; the reply shaping and the line's timing; the console on standard
// input, and the log on standard error.

#include "sim/DeviceModel.h"
#include "sim/ProtocolServer.h"
#include "sim/ReplyShaper.h"

#include <QObject>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace sim {

class LineWriter;
class SimPort;

struct DriveOptions {
    quint8 address = 1;
    quint8 baudCode = kDefaultBaudCode;
};

struct SimulatorOptions {
    QString device; // a serial device to serve instead of a new pseudo-terminal
    QString link;   // a symbolic link to create to the pseudo-terminal's slave
    std::vector<DriveOptions> drives{DriveOptions{}}; // the console's commands go to the first
    Switches switches;                                // every drive's, as are the inputs
    quint8 inputs = 0;
    ShapeOptions shape;
    // Bytes take their time on the line: 10 bits each at the line's speed, both ways.
    bool lineTiming = false;
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
    struct Drive {
        Drive(quint8 address, const Switches &switches) : model(address, switches) {}
        DeviceModel model;
        ProtocolServer server{model};
    };
    struct Answer {
        std::size_t drive;
        Exchange exchange;
    };

    qint64 now() const; // milliseconds since the start: the models' clock
    qint64 msAt(qint64 ns) const { return (ns - m_startNs) / 1000000; }
    // A lone drive without line timing answers whatever speed the tool set, as a pty has none.
    bool checksSpeed() const { return m_options.lineTiming || m_drives.size() > 1; }
    int lineSpeed() const;
    QString driveName(std::size_t drive) const;
    void onReceived(const QByteArray &bytes);
    void answer(const std::vector<Answer> &answers, qint64 requestEndNs, int speed);
    void changeBaud(std::size_t drive, quint8 code);
    void readConsole();
    void runConsoleLine(const QString &line);
    void log(const QString &text) const;
    void removeLink();

    SimulatorOptions m_options;
    std::vector<std::unique_ptr<Drive>> m_drives;
    ReplyShaper m_shaper;
    std::unique_ptr<SimPort> m_port;
    std::unique_ptr<LineWriter> m_writer; // ends before the port closes
    qint64 m_startNs = 0;
    qint64 m_receivedUntil = 0; // when the latest byte received is through on the line
    qint64 m_sendingUntil = 0;  // when the latest byte queued to send will have left
    QSocketNotifier *m_console = nullptr;
    QByteArray m_consoleBuffer;
    bool m_linkMade = false;
};

// A line to standard output, flushed at once (a script or test waits for it).
void printLine(const QString &text);

} // namespace sim
