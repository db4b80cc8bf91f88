#pragma once
// The virtual device as a separate process, for tests that talk to it over its pseudo-terminal.
// The test target defines R7260_SIM_PATH, the path of the r7260-sim executable.

#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>

// One r7260-sim process, ended by its pid when the test is done.
class Sim {
public:
    ~Sim() {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(2000);
    }

    // Starts it and reads the first line ("PTY <path>" or "DEVICE <path> <baud>").
    bool start(const QStringList &arguments) {
        process.start(QStringLiteral(R7260_SIM_PATH), arguments);
        if (!process.waitForStarted(10000))
            return false;
        firstLine = readLine();
        if (firstLine.startsWith(QLatin1String("PTY ")))
            path = firstLine.mid(4);
        return !firstLine.isEmpty();
    }

    QString readLine(int timeoutMs = 10000) {
        for (QDeadlineTimer deadline(timeoutMs); !process.canReadLine() && !deadline.hasExpired() &&
                                                 process.state() == QProcess::Running;)
            process.waitForReadyRead(50);
        return QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    // Standard output lines until one contains `text`; empty when none did in time.
    QString waitForOutput(const QString &text, int timeoutMs = 10000) {
        for (QDeadlineTimer deadline(timeoutMs); !deadline.hasExpired();)
            if (const QString line = readLine(int(std::max<qint64>(1, deadline.remainingTime())));
                line.contains(text))
                return line;
        return {};
    }
    void command(const char *line) { process.write(QByteArray(line) + '\n'); }

    QProcess process;
    QString firstLine;
    QString path;
};
