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
    qsizetype write(const QByteArray &bytes);
    // Changes the line speed after everything written has left; a pty has no speed to change.
    bool setBaudRate(int baud);

signals:
    void received(const QByteArray &bytes);
    // The device went away (adapter unplugged); nothing more will be received.
    void lost(const QString &reason);

private:
    SimPort(int fd, int slave, QString path);
    void readAvailable();

    int m_fd = -1;
    int m_slave = -1;
    QString m_path;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace sim
