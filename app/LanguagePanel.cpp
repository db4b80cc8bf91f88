#include "app/LanguagePanel.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>

#include "app/Ui.h"

namespace {

QPixmap pictureOfTheDevice() {
    QPixmap pixmap(120, 60);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x30, 0x50, 0x80));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(2, 2, 116, 56), 6, 6);
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setBold(true);
    font.setPointSize(12);
    p.setFont(font);
    p.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("R7260S"));
    return pixmap;
}

} // namespace

LanguagePanel::LanguagePanel() {
    auto *texts = new ui::Texts(this, "LanguagePanel");
    auto *chinese = texts->radio("Option1", QT_TR_NOOP("中文"));
    auto *english = texts->radio("Option2", "English");
    auto *language = new QButtonGroup(this);
    language->addButton(chinese);
    language->addButton(english);
    auto *picture = new QLabel;
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(pictureOfTheDevice());

    auto *g = new QGridLayout(this);
    g->setContentsMargins(0, 0, 0, 0);
    g->setSpacing(4);
    g->addWidget(texts->label("Label31", QT_TR_NOOP("语言选择(Select Language):")), 0, 0, 1, 3);
    g->addWidget(chinese, 1, 0);
    g->addWidget(english, 1, 1);
    g->addWidget(texts->label("Label17", "Version for 3.x"), 2, 0, 1, 2);
    g->addWidget(picture, 0, 3, 3, 1, Qt::AlignRight | Qt::AlignVCenter);
}
