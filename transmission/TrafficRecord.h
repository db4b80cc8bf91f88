#pragma once
// A record of the traffic an engineer can keep: one line per frame sent and per read received,
// tab-separated UTF-8 after a header naming the columns:
//   time (local, yyyy-MM-dd HH:mm:ss.zzz)  TX or RX  the bytes as hex  the caption or reply
//   message the panes show  for RX the milliseconds since the last TX
// Each line goes to the file the moment it is written, so nothing is lost when the program is
// killed or the port vanishes. A line that cannot be written ends the record with the reason.

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <optional>

namespace transmission {

class TrafficRecord {
public:
    // Starts a record in a new file (an existing one is replaced); the reason when it cannot.
    std::optional<QString> start(const QString &path);
    void stop();
    bool recording() const { return m_file.isOpen(); }
    QString path() const { return m_file.fileName(); }

    // Each returns the reason when the line could not be written; the record has then stopped.
    std::optional<QString> sent(const QDateTime &when, const QByteArray &bytes,
                                const QString &caption);
    std::optional<QString> received(const QDateTime &when, const QByteArray &bytes,
                                    const QString &message, std::optional<qint64> msSinceSent);

private:
    std::optional<QString> write(const QString &line);

    QFile m_file;
};

} // namespace transmission
