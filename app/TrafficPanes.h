#pragma once
// The traffic panes: what was sent and what was received, newest first, each with its byte
// counter and its clear button, and the traffic record beside them. A message line ends with line
// feed then carriage return, the "SndHex:"/"RecHex:" and "SndAsc:"/"RecAsc:" lines with a line
// feed alone. A pane holding more than 10000 characters is emptied, and its counter reset, before
// the next entry.

#include <QWidget>
#include <memory>

class PanelHost;
class QLabel;
class QPushButton;
class RichTextBox;
namespace transmission {
class Engine;
}
namespace ui {
class Texts;
}

class TrafficPanes : public QWidget {
    Q_OBJECT

public:
    // The record is the engine's: it records every frame, shown or not.
    TrafficPanes(PanelHost &host, transmission::Engine &engine);
    ~TrafficPanes() override;

    // A frame written to the port: its caption and the mapping marker (when there are), then the
    // bytes that went on the wire.
    void showSent(const QString &caption, bool mapped, const QByteArray &wire);
    // One read of received bytes: the message lines of the replies it completed, then the bytes;
    // the counter grows by the count the port reported. Messages go in one after the other in the
    // replies' order, so the pane reads newest first throughout: the bytes, the last reply's
    // message, ..., the first reply's message.
    void showReceived(const QStringList &messages, const QByteArray &bytes, int count);
    // A message line that no read brings (a reply whose rest never came).
    void showReceivedMessage(const QString &message);

    // A poll hands over many reads at once: the receive counter is shown once, at its end.
    void holdReceiveCounter();
    void showReceiveCounter();

    // Starts recording the traffic to a new file; false, with a message, when it cannot.
    bool startRecord(const QString &path);

private:
    class Counter;
    // Empties a pane, and resets its counter, when it holds more than the limit.
    static void keepWithinLimit(RichTextBox *pane, Counter &count);
    void toggleRecord();
    void showRecordState();
    void recordStopped(const QString &path, const QString &reason);

    PanelHost &m_host;
    transmission::Engine &m_engine;
    ui::Texts *m_texts;
    RichTextBox *RichTextBox1, *RichTextBox2;
    std::unique_ptr<Counter> m_sentCount, m_receivedCount;
    QPushButton *m_recordButton;
    QLabel *m_recordFile;
};
