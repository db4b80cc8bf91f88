#include "app/TrafficPanes.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "app/PanelHost.h"
#include "app/RichTextBox.h"
#include "app/Ui.h"
#include "codec/GbkText.h"
#include "codec/HexText.h"
#include "codec/NumericText.h"

namespace {

constexpr qsizetype kPaneLimit = 10000;
const QString kMessageLineEnd = QStringLiteral("\n\r");

// Empties a pane and its counter when the pane holds more than the limit.
void keepWithinLimit(RichTextBox *pane, QLabel *counter) {
    if (pane->text().size() > kPaneLimit) {
        pane->setText(QString());
        counter->setText(QStringLiteral("0"));
    }
}

// A counter caption plus n; a caption that is not a number counts as 0.
void addToCount(QLabel *counter, qsizetype n) {
    const qint64 current = codec::readInteger<qint64>(counter->text()).value_or(0);
    counter->setText(QString::number(current + n));
}

void showBytes(RichTextBox *pane, const QString &hexTag, const QString &charTag,
               const QByteArray &bytes) {
    pane->prepend(hexTag + codec::FormatHexText(bytes) + u'\n');
    pane->prepend(charTag + codec::displayChars(bytes) + u'\n');
}

} // namespace

TrafficPanes::TrafficPanes() {
    auto *texts = new ui::Texts(this, "TrafficPanes");
    RichTextBox1 = new RichTextBox;
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox2 = new RichTextBox;
    RichTextBox2->setObjectName(QStringLiteral("RichTextBox2"));
    Label45 = texts->label("Label45", "0");
    Label44 = texts->label("Label44", "0");
    // A fixed size keeps a new count from asking the window for a new layout: the tab widget
    // repaints itself whole on every layout request, which a busy line would cause many times a
    // second.
    for (QLabel *counter : {Label44, Label45})
        counter->setFixedSize(
            counter->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")),
            counter->sizeHint().height());
    auto *clearReceived = texts->button("Command36", QT_TR_NOOP("清空内容"));
    auto *clearSent = texts->button("Command6", QT_TR_NOOP("清空内容"));
    bindClick(clearReceived, [this] {
        RichTextBox1->setText(QString());
        Label45->setText(QStringLiteral("0"));
    });
    bindClick(clearSent, [this] {
        RichTextBox2->setText(QString());
        Label44->setText(QStringLiteral("0"));
    });

    auto *g = new QGridLayout(this);
    g->setContentsMargins(0, 0, 0, 0);
    g->setSpacing(3);
    g->addWidget(ui::row({texts->label("Label1", QT_TR_NOOP("接收内容：")), Label45, nullptr,
                          clearReceived}),
                 0, 0);
    g->addWidget(RichTextBox1, 1, 0);
    g->addWidget(
        ui::row({texts->label("Label2", QT_TR_NOOP("发送内容：")), Label44, nullptr, clearSent}), 2,
        0);
    g->addWidget(RichTextBox2, 3, 0);
}

void TrafficPanes::showSent(const QString &caption, bool mapped, const QByteArray &wire) {
    keepWithinLimit(RichTextBox2, Label44);
    if (!caption.isEmpty())
        RichTextBox2->prepend(caption + kMessageLineEnd);
    if (mapped)
        RichTextBox2->prepend(tr("西门子标准格式:") + kMessageLineEnd);
    addToCount(Label44, wire.size());
    showBytes(RichTextBox2, QStringLiteral("SndHex:"), QStringLiteral("SndAsc:"), wire);
}

void TrafficPanes::showReceived(const QStringList &messages, const QByteArray &bytes, int count) {
    keepWithinLimit(RichTextBox1, Label45);
    for (const QString &message : messages)
        RichTextBox1->prepend(message + kMessageLineEnd);
    showBytes(RichTextBox1, QStringLiteral("RecHex:"), QStringLiteral("RecAsc:"), bytes);
    addToCount(Label45, count);
}

void TrafficPanes::showReceivedMessage(const QString &message) {
    keepWithinLimit(RichTextBox1, Label45);
    RichTextBox1->prepend(message + kMessageLineEnd);
}
