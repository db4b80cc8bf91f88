#include "transmission/TrafficRecord.h"

#include "codec/HexText.h"

namespace transmission {

namespace {

QString column(QString text) {
    // A column holds no tab or line end of its own.
    return text.replace(u'\t', u' ').replace(u'\n', u' ').replace(u'\r', u' ');
}

QString line(const QDateTime &when, const char *direction, const QByteArray &bytes,
             const QString &meaning, const QString &ms) {
    return QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
        .arg(when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")), QLatin1String(direction),
             codec::FormatHexText(bytes).trimmed(), column(meaning), ms);
}

} // namespace

std::optional<QString> TrafficRecord::start(const QString &path) {
    stop();
    m_file.setFileName(path);
    // Unbuffered: every line is handed to the system as it is written.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return m_file.errorString();
    return write(QStringLiteral("time\tdirection\tbytes\tmeaning\tms since TX\n"));
}

void TrafficRecord::stop() {
    if (m_file.isOpen())
        m_file.close();
}

std::optional<QString> TrafficRecord::sent(const QDateTime &when, const QByteArray &bytes,
                                           const QString &caption) {
    return write(line(when, "TX", bytes, caption, QString()));
}

std::optional<QString> TrafficRecord::received(const QDateTime &when, const QByteArray &bytes,
                                               const QString &message,
                                               std::optional<qint64> msSinceSent) {
    return write(
        line(when, "RX", bytes, message, msSinceSent ? QString::number(*msSinceSent) : QString()));
}

std::optional<QString> TrafficRecord::write(const QString &text) {
    if (!m_file.isOpen())
        return std::nullopt;
    const QByteArray bytes = text.toUtf8();
    // A full disk may take part of a line: the rest is written again, so its error is the one
    // reported.
    qint64 written = 0;
    for (qint64 n = 0; written < bytes.size(); written += n)
        if ((n = m_file.write(bytes.constData() + written, bytes.size() - written)) <= 0)
            break;
    if (written == bytes.size())
        return std::nullopt;
    const QString reason = m_file.errorString();
    m_file.close();
    return reason;
}

} // namespace transmission
