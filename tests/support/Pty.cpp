#include "tests/support/Pty.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

Pty::Pty() {
    int slave = -1;
    char name[256] = {};
    if (::openpty(&m_master, &slave, name, nullptr, nullptr) != 0) {
        m_master = -1;
        return;
    }
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    ::close(slave);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_slavePath = QString::fromLocal8Bit(name);
}

Pty::~Pty() {
    closeMaster();
}

void Pty::closeMaster() {
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

bool Pty::lineSettings(struct termios *line) const {
    return m_master >= 0 && ::tcgetattr(m_master, line) == 0;
}

qsizetype Pty::writeWhatFits(const QByteArray &bytes) {
    const ssize_t n = ::write(m_master, bytes.constData(), size_t(bytes.size()));
    return n > 0 ? n : 0;
}

bool Pty::write(const QByteArray &bytes) {
    qsizetype done = 0;
    for (QDeadlineTimer deadline(5000); done < bytes.size() && !deadline.hasExpired();) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (n > 0)
            done += n;
        else
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return done == bytes.size();
}

QByteArray Pty::readAvailable() {
    QByteArray out;
    char buffer[4096];
    for (ssize_t n; m_master >= 0 && (n = ::read(m_master, buffer, sizeof buffer)) > 0;)
        out.append(buffer, n);
    return out;
}

QByteArray Pty::readAtLeast(qsizetype bytes, int timeoutMs) {
    QByteArray out = readAvailable();
    for (QDeadlineTimer deadline(timeoutMs); out.size() < bytes && !deadline.hasExpired();) {
        QTest::qWait(5);
        out += readAvailable();
    }
    return out;
}

QByteArray Pty::readFor(int ms) {
    return readAtLeast(std::numeric_limits<qsizetype>::max(), ms);
}

void wireComPort(int number, const QString &path) {
    qputenv(qPrintable(QStringLiteral("R7260_COM%1").arg(number)), path.toLocal8Bit());
}
