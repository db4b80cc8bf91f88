#pragma once
// A read-only text pane whose exact text (line feed then carriage return after a message line
// included) is its Text property. The widget shows the text with carriage returns left out and
// refreshes its view once per event-loop pass, so a burst of prepends costs one repaint.

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
    bool m_refreshPending = false;
};
