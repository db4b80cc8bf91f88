#pragma once
// The traffic panes: what was sent and what was received, newest first, each with its byte
// counter and its clear button, and the traffic record beside them. A message line ends with line
// feed then carriage return, the "SndHex:"/"RecHex:" and "SndAsc:"/"RecAsc:" lines with a line
// feed alone. A pane holding more than 10000 characters is emptied, and its counter reset, before
// the next entry.

#include <QWidget>
#include <memory>

#include "transmission/TrafficRecord.h"

class PanelHost;
class QLabel;
class QPushButton;
class RichTextBox;
namespace ui {
class Texts;
}

class TrafficPanes : public QWidget {
    Q_OBJECT

public:
    explicit TrafficPanes(PanelHost &host);
    ~TrafficPanes() override;

    // A frame written to the port: its caption and the mapping marker (when there are), then the
    // bytes that went on the wire.
    void showSent(const QString &caption, bool mapped, const QByteArray &wire);
    // One read of received bytes: the message lines of the replies it completed, then the bytes;
    // the counter grows by the count the port reported. Messages go in one after the other in the
    // replies' order, so the pane reads newest first throughout: the bytes, the last reply's
    // message, ..., the first reply's message. `arrivedMs` is when the first byte came (steady
    // clock, ms), for the record and the response time.
    void showReceived(const QStringList &messages, const QByteArray &bytes, int count,
                      qint64 arrivedMs);
    // A message line that no read brings (a reply whose rest never came).
    void showReceivedMessage(const QString &message);

    // A poll hands over many reads at once: the receive counter is shown once, at its end.
    void holdReceiveCounter();
    void showReceiveCounter();

    // Starts recording the traffic to a new file; false, with a message, when it cannot.
    bool startRecord(const QString &path);

signals:
    // The time from a frame sent to the first bytes after it, in ms.
    void responseTime(qint64 ms);

private:
    class Counter;
    // Empties a pane, and resets its counter, when it holds more than the limit.
    static void keepWithinLimit(RichTextBox *pane, Counter &count);
    void toggleRecord();
    void showRecordState();
    void recordFailed(const std::optional<QString> &reason);

    PanelHost &m_host;
    ui::Texts *m_texts;
    RichTextBox *RichTextBox1, *RichTextBox2;
    std::unique_ptr<Counter> m_sentCount, m_receivedCount;
    QPushButton *m_recordButton;
    QLabel *m_recordFile;
    transmission::TrafficRecord m_record;
    qint64 m_sentMs = 0; // when the last frame was sent (steady clock, ms)
    bool m_awaitingReply = false;
};
