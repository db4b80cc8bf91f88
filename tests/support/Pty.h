#pragma once
// A real pseudo-terminal for serial tests: the tool opens the slave path as its port, the test
// reads and writes the master side. The slave is put in raw mode at once, so nothing written
// before the tool opens it is echoed or translated.

#include <QByteArray>
#include <QString>

class Pty {
public:
    Pty();
    ~Pty();
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;

    bool isValid() const { return m_master >= 0; }
    const QString &slavePath() const { return m_slavePath; }

    bool write(const QByteArray &bytes);
    // Writes what the line takes now, as a device's UART does, and drops the rest; returns the
    // bytes taken. Safe from another thread.
    qsizetype writeWhatFits(const QByteArray &bytes);
    // What the far side has sent so far, without waiting.
    QByteArray readAvailable();
    // Reads, processing Qt events meanwhile (the tool runs on this thread), until at least
    // `bytes` bytes arrived or the time is up.
    QByteArray readAtLeast(qsizetype bytes, int timeoutMs = 3000);
    // Reads everything that arrives within the time, processing events.
    QByteArray readFor(int ms);
    // The line settings the far side chose (both ends of a pseudo-terminal share them).
    bool lineSettings(struct termios *line) const;
    // The far side goes away, as an unplugged adapter does.
    void closeMaster();

private:
    int m_master = -1;
    QString m_slavePath;
};

// Wires COMn of the tool to a device path.
void wireComPort(int number, const QString &path);
