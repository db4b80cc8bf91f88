#pragma once
// The traffic panes: what was sent and what was received, newest first, each with its byte
// counter and its clear button. A message line ends with line feed then carriage return, the
// "SndHex:"/"RecHex:" and "SndAsc:"/"RecAsc:" lines with a line feed alone. A pane holding more
// than 10000 characters is emptied, and its counter reset, before the next entry.

#include <QWidget>

class QLabel;
class RichTextBox;

class TrafficPanes : public QWidget {
    Q_OBJECT

public:
    TrafficPanes();

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

private:
    RichTextBox *RichTextBox1, *RichTextBox2;
    QLabel *Label44, *Label45;
};
