#pragma once
// The device's end of the serial line: a new pseudo-terminal whose slave the tool opens, or a
// real serial device. Received bytes are announced as they arrive; writes never block.

#include <QObject>
#include <QString>
#include <memory>

class QSocketNotifier;

namespace sim {

class SimPort : public QObject {
    Q_OBJECT

public:
    // A pseudo-terminal in raw mode; path() is the slave for the tool to open. The simulator
    // keeps a slave descriptor of its own, so the line survives the tool closing and reopening it.
    static std::unique_ptr<SimPort> openPty(QString &error);
    // A serial device set raw, 8N1, no flow control, at `baud`.
    static std::unique_ptr<SimPort> openDevice(const QString &path, int baud, QString &error);
    ~SimPort() override;

    const QString &path() const { return m_path; }
    bool isPty() const { return m_slave >= 0; }

    // Writes what the line takes now; returns the number of bytes not written (0 normally).
    // Safe from another thread.
    qsizetype write(const char *data, qsizetype size);
    // Changes the line speed after everything written has left; a pty's speed is the tool's.
    bool setBaudRate(int baud);
    // The speed the line runs at now: on a pty the one the tool set (both ends share the
    // settings), on a device the one it was opened or last set with; -1 when unknown.
    int lineSpeed() const;

signals:
    void received(const QByteArray &bytes);
    // The device went away (adapter unplugged); nothing more will be received.
    void lost(const QString &reason);

private:
    SimPort(int fd, int slave, QString path, int baud);
    void readAvailable();

    int m_fd = -1;
    int m_slave = -1;
    QString m_path;
    int m_baud = -1; // a device's speed
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace sim
