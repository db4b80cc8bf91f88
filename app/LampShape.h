#pragma once
// A small round indicator lamp. Its state is its BackColor, a window colour value: 0x000000FF is
// red (the active look), 0x80000008 the system window-text colour (the inactive look), any other
// value below 0x80000000 a plain 0x00BBGGRR colour.

#include <QWidget>

class LampShape : public QWidget {
    Q_OBJECT
    Q_PROPERTY(quint32 BackColor READ backColor WRITE setBackColor)

public:
    static constexpr quint32 kRed = 0x000000FF;
    static constexpr quint32 kWindowText = 0x80000008;
    static constexpr quint32 kBlack = 0x00000000;

    explicit LampShape(QWidget *parent = nullptr);

    quint32 backColor() const { return m_backColor; }
    void setBackColor(quint32 color);
    // Active lamps are red, inactive ones take the window-text colour.
    void setActive(bool active) { setBackColor(active ? kRed : kWindowText); }

    QSize sizeHint() const override { return {16, 16}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor paintColor() const;

    quint32 m_backColor = kBlack;
};
