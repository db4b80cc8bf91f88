#pragma once
// A read-only text pane whose exact text (line feed then carriage return after a message line
// included) is its Text property. The widget shows the text with carriage returns left out.
// Its view catches up once per event-loop pass: lines put in front are inserted at the top
// rather than the whole text being laid out again, so a burst of prepends costs little.

#include <QPlainTextEdit>

class RichTextBox : public QPlainTextEdit {
    Q_OBJECT
    Q_PROPERTY(QString Text READ text WRITE setText)

public:
    explicit RichTextBox(QWidget *parent = nullptr);

    const QString &text() const { return m_text; }
    void setText(const QString &text);
    // Puts text in front of the current text: panes grow newest-first.
    void prepend(const QString &text);

private:
    void scheduleRefresh();
    void refresh();

    QString m_text;
    // What the view still lacks: the whole text after setText, or else the text put in front.
    bool m_replaceAll = false;
    QString m_pendingFront;
    bool m_refreshPending = false;
};
