#include "app/RichTextBox.h"

#include <QTimer>

RichTextBox::RichTextBox(QWidget *parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setUndoRedoEnabled(false);
}

void RichTextBox::setText(const QString &text) {
    m_text = text;
    scheduleRefresh();
}

void RichTextBox::prepend(const QString &text) {
    m_text.prepend(text);
    scheduleRefresh();
}

void RichTextBox::scheduleRefresh() {
    if (m_refreshPending)
        return;
    m_refreshPending = true;
    QTimer::singleShot(0, this, &RichTextBox::refresh);
}

void RichTextBox::refresh() {
    m_refreshPending = false;
    QString shown = m_text;
    shown.remove(QLatin1Char('\r'));
    setPlainText(shown);
}
