#include "app/LampShape.h"

#include <QPainter>

LampShape::LampShape(QWidget *parent) : QWidget(parent) {
    setFixedSize(sizeHint());
}

void LampShape::setBackColor(quint32 color) {
    if (color == m_backColor)
        return;
    m_backColor = color;
    update();
}

QColor LampShape::paintColor() const {
    if (m_backColor == kWindowText)
        return palette().color(QPalette::WindowText);
    return QColor(m_backColor & 0xFF, (m_backColor >> 8) & 0xFF, (m_backColor >> 16) & 0xFF);
}

void LampShape::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::Mid), 1));
    painter.setBrush(paintColor());
    painter.drawEllipse(rect().adjusted(1, 1, -1, -1));
}
