#pragma once
// A real ser2net serving one device raw (tcp://) and over RFC 2217 (rfc2217://), on free ports of
// 127.0.0.1, in the foreground; stopped by its pid.

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

inline quint16 freePort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

// Whether 127.0.0.1:port listens, from the kernel's table (connecting would open ser2net's device).
inline bool listening(quint16 port) {
    QFile table(QStringLiteral("/proc/net/tcp"));
    const QByteArray hexPort = QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    return table.open(QIODevice::ReadOnly) &&
           table.readAll().contains("0100007F:" + hexPort + " 00000000:0000 0A");
}

// ser2net serving one device raw and over RFC 2217, in the foreground; stopped by its pid.
struct Ser2net {
    ~Ser2net() { stop(); }
    bool start(const QString &device) {
        while (rfc2217 == tcp)
            rfc2217 = freePort();
        QFile config(dir.filePath(QStringLiteral("ser2net.yaml")));
        const char *yaml = "connection: &raw\n  accepter: tcp,127.0.0.1,%1\n"
                           "  connector: serialdev,%3,9600n81,local\n"
                           "connection: &rfc\n  accepter: telnet(rfc2217),tcp,127.0.0.1,%2\n"
                           "  connector: serialdev,%3,9600n81,local\n";
        if (!config.open(QIODevice::WriteOnly) ||
            !config.write(QString::fromLatin1(yaml).arg(tcp).arg(rfc2217).arg(device).toUtf8()) ||
            !config.flush())
            return false;
        const QStringList path = qEnvironmentVariable("PATH").split(u':') << "/usr/sbin";
        process.start(QStandardPaths::findExecutable("ser2net", path),
                      {"-n", "-c", config.fileName()});
        return process.waitForStarted() && QTest::qWaitFor([this] {
                   return process.state() != QProcess::Running ||
                          (listening(tcp) && listening(rfc2217));
               }) &&
               process.state() == QProcess::Running;
    }
    void stop() { // by its pid; nothing once it has ended
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(2000);
    }
    QString url(bool overRfc2217) const {
        return overRfc2217 ? QStringLiteral("rfc2217://127.0.0.1:%1").arg(rfc2217)
                           : QStringLiteral("tcp://127.0.0.1:%1").arg(tcp);
    }

    QTemporaryDir dir;
    QProcess process;
    quint16 tcp = freePort();
    quint16 rfc2217 = tcp;
};
