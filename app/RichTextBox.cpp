#include "app/RichTextBox.h"

#include <QTextCursor>
#include <QTimer>

namespace {

QString shown(QString text) {
    return text.remove(QLatin1Char('\r'));
}

} // namespace

RichTextBox::RichTextBox(QWidget *parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setUndoRedoEnabled(false);
}

void RichTextBox::setText(const QString &text) {
    m_text = text;
    m_replaceAll = true;
    m_pendingFront.clear();
    scheduleRefresh();
}

void RichTextBox::prepend(const QString &text) {
    m_text.prepend(text);
    if (!m_replaceAll)
        m_pendingFront.prepend(text);
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
    if (m_replaceAll) {
        setPlainText(shown(m_text));
    } else if (!m_pendingFront.isEmpty()) {
        QTextCursor top(document());
        top.insertText(shown(m_pendingFront));
    }
    m_replaceAll = false;
    m_pendingFront.clear();
}
