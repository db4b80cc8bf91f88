#include "app/BaseCommandsPanel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/PanelHost.h"
#include "app/Ui.h"

using device::FunctionCode;

BaseCommandsPanel::BaseCommandsPanel(PanelHost &host) {
    auto *texts = new ui::Texts(this, "BaseCommandsPanel");
    texts->group(this, "Frame1", QT_TR_NOOP("基本命令"));
    QStringList rates;
    for (const device::BaudRate &rate : device::baudRates())
        rates << QLatin1String(rate.text);
    auto *newAddress = ui::textBox("Text7", QString(), 60);
    auto *newRate = ui::combo("Combo6", rates, QStringLiteral("9600"));

    auto *g = ui::compactGrid(this);
    auto add = [&](const char *name, const char *caption, FunctionCode code, QWidget *source,
                   int row, int column) {
        auto *button = texts->button(name, caption);
        bindClick(button, commandHandler(host, code,
                                         source ? QList<QWidget *>{source} : QList<QWidget *>{}));
        g->addWidget(button, row, column);
    };
    // Two rows, each query beside its change: the window fits a laptop's screen.
    add("Command12", QT_TR_NOOP("握手"), FunctionCode::Handshake, nullptr, 0, 0);
    add("Command13", QT_TR_NOOP("查地址"), FunctionCode::GetAddress, nullptr, 0, 1);
    add("Command14", QT_TR_NOOP("改地址"), FunctionCode::SetAddress, newAddress, 0, 2);
    add("Command15", QT_TR_NOOP("查波特率"), FunctionCode::GetBaudRate, nullptr, 1, 1);
    add("Command16", QT_TR_NOOP("改波特率"), FunctionCode::SetBaudRate, newRate, 1, 2);
    g->addWidget(texts->label("Label12", QT_TR_NOOP("New Addr:")), 0, 3, Qt::AlignRight);
    g->addWidget(newAddress, 0, 4);
    g->addWidget(texts->label("Label13", QT_TR_NOOP("Bitrate:")), 1, 3, Qt::AlignRight);
    g->addWidget(newRate, 1, 4);
    g->setColumnStretch(5, 1);
}
