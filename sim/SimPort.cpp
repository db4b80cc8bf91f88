#include "sim/SimPort.h"

#include "sim/LineSpeed.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

QString lastError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

void makeRaw(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0)
        return;
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cflag &= ~tcflag_t(CSTOPB | PARENB | CRTSCTS);
    settings.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
    // At least one byte per read: with 0, an empty non-blocking read returns 0 like an end of
    // file instead of failing with EAGAIN.
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    ::tcsetattr(fd, TCSANOW, &settings);
}

} // namespace

std::unique_ptr<SimPort> SimPort::openPty(QString &error) {
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        error = QStringLiteral("cannot open a pseudo-terminal: %1").arg(lastError());
        return nullptr;
    }
    // Raw before anyone opens the slave: nothing is echoed back or translated.
    makeRaw(slave);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    return std::unique_ptr<SimPort>(new SimPort(master, slave, QString::fromLocal8Bit(name), -1));
}

std::unique_ptr<SimPort> SimPort::openDevice(const QString &path, int baud, QString &error) {
    const int fd =
        ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = QStringLiteral("cannot open %1: %2").arg(path, lastError());
        return nullptr;
    }
    makeRaw(fd);
    if (!setLineSpeed(fd, baud)) {
        error = QStringLiteral("cannot set %1 to %2 baud: %3").arg(path).arg(baud).arg(lastError());
        ::close(fd);
        return nullptr;
    }
    ::tcflush(fd, TCIOFLUSH);
    return std::unique_ptr<SimPort>(new SimPort(fd, -1, path, baud));
}

SimPort::SimPort(int fd, int slave, QString path, int baud)
    : m_fd(fd), m_slave(slave), m_path(std::move(path)), m_baud(baud),
      m_notifier(new QSocketNotifier(fd, QSocketNotifier::Read, this)) {
    connect(m_notifier, &QSocketNotifier::activated, this, &SimPort::readAvailable);
}

SimPort::~SimPort() {
    delete m_notifier;
    ::close(m_fd);
    if (m_slave >= 0)
        ::close(m_slave);
}

void SimPort::readAvailable() {
    QByteArray bytes;
    char buffer[1024];
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
            const QString reason = n == 0 ? QStringLiteral("end of file") : lastError();
            m_notifier->setEnabled(false);
            if (!bytes.isEmpty())
                emit received(bytes);
            emit lost(reason);
            return;
        }
        break;
    }
    if (!bytes.isEmpty())
        emit received(bytes);
}

qsizetype SimPort::write(const char *data, qsizetype size) {
    qsizetype done = 0;
    while (done < size) {
        const ssize_t n = ::write(m_fd, data + done, size_t(size - done));
        if (n > 0)
            done += n;
        else if (n < 0 && errno == EINTR)
            continue;
        else
            break; // a full line buffer (nobody reads) or a gone device: the rest is lost
    }
    return size - done;
}

bool SimPort::setBaudRate(int baud) {
    if (isPty())
        return true;
    ::tcdrain(m_fd);
    if (!setLineSpeed(m_fd, baud))
        return false;
    m_baud = baud;
    return true;
}

int SimPort::lineSpeed() const {
    return isPty() ? sim::lineSpeed(m_slave) : m_baud;
}

} // namespace sim
