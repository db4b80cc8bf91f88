#include "app/InfoTabs.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QVBoxLayout>

#include "app/RichTextBox.h"
#include "app/Ui.h"

namespace {

struct Product {
    const char *label;
    const char *text;
};

// clang-format off
const Product kDriveProducts[] = {
    {"Label30", QT_TRANSLATE_NOOP("InfoTabs", "步进电机驱动器")},
    {"Label38", QT_TRANSLATE_NOOP("InfoTabs", "细分型步进驱动器")},
    {"Label39", QT_TRANSLATE_NOOP("InfoTabs", "数字式步进驱动器")},
    {"Label46", QT_TRANSLATE_NOOP("InfoTabs", "混合式步进电机")},
    {"Label47", QT_TRANSLATE_NOOP("InfoTabs", "闭环步进系统")},
    {"Label48", QT_TRANSLATE_NOOP("InfoTabs", "一体化步进电机")},
    {"Label49", QT_TRANSLATE_NOOP("InfoTabs", "直线步进电机")},
    {"Label50", QT_TRANSLATE_NOOP("InfoTabs", "步进电机减速机")},
};
const Product kControlProducts[] = {
    {"Label51", QT_TRANSLATE_NOOP("InfoTabs", "单轴运动控制器")},
    {"Label52", QT_TRANSLATE_NOOP("InfoTabs", "多轴运动控制器")},
    {"Label53", QT_TRANSLATE_NOOP("InfoTabs", "总线型运动控制器")},
    {"Label54", QT_TRANSLATE_NOOP("InfoTabs", "CAN总线驱动控制器")},
    {"Label55", QT_TRANSLATE_NOOP("InfoTabs", "RS-485驱动控制器")},
    {"Label56", QT_TRANSLATE_NOOP("InfoTabs", "脉冲发生器")},
    {"Label57", QT_TRANSLATE_NOOP("InfoTabs", "人机界面")},
    {"Label58", QT_TRANSLATE_NOOP("InfoTabs", "配套电源与线缆")},
};
// clang-format on

template <size_t N> QWidget *productsTab(const Product (&products)[N]) {
    auto *tab = new QWidget;
    auto *texts = new ui::Texts(tab, "InfoTabs");
    auto *column = new QVBoxLayout(tab);
    for (const Product &product : products)
        column->addWidget(texts->label(product.label, product.text));
    column->addStretch(1);
    return tab;
}

} // namespace

QWidget *driveProductsTab() {
    return productsTab(kDriveProducts);
}

QWidget *controlProductsTab() {
    return productsTab(kControlProducts);
}

QWidget *protocolTab() {
    auto *tab = new QWidget;
    auto *layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *document = new RichTextBox;
    document->setObjectName(QStringLiteral("RichTextBox3"));
    auto *texts = new ui::Texts(tab, "InfoTabs");
    texts->follow([document] {
        // The reference is a document per language; a translation names its own edition, and a
        // language without one shows the Chinese original.
        QFile file(QStringLiteral(":/") +
                   QCoreApplication::translate("InfoTabs", "protocol.txt",
                                               "the protocol reference's file in this language, "
                                               "one of app/resources.qrc"));
        if (!file.exists())
            file.setFileName(QStringLiteral(":/protocol.txt"));
        if (file.open(QIODevice::ReadOnly))
            document->setText(QString::fromUtf8(file.readAll()));
    });
    layout->addWidget(document);
    return tab;
}
