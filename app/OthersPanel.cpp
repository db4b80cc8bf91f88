#include "app/OthersPanel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/LampShape.h"
#include "app/PanelHost.h"
#include "app/Ui.h"

namespace {

using enum device::FunctionCode;

// The CAN settings: one code each, switched by one data byte. Note 0x48's sense: "有校验检查"
// (with check) sends 0.
struct CanSwitch {
    const char *button;
    const char *caption;
    device::FunctionCode code;
    const char *value;
    int row, column;
};
// clang-format off
const CanSwitch kCanSwitches[] = {
    {"Command100", QT_TRANSLATE_NOOP("OthersPanel", "标准帧"), CanFrame, "0", 6, 0},
    {"Command101", QT_TRANSLATE_NOOP("OthersPanel", "扩展帧"), CanFrame, "1", 6, 1},
    {"Command102", QT_TRANSLATE_NOOP("OthersPanel", "无校验检查"), CanChecksum, "1", 7, 0},
    {"Command103", QT_TRANSLATE_NOOP("OthersPanel", "有校验检查"), CanChecksum, "0", 7, 1},
    {"Command104", QT_TRANSLATE_NOOP("OthersPanel", "回8byte长"), CanReplyLength, "1", 8, 0},
    {"Command105", QT_TRANSLATE_NOOP("OthersPanel", "回协议长"), CanReplyLength, "0", 8, 1},
};
// clang-format on

} // namespace

OthersPanel::OthersPanel(PanelHost &host) {
    auto *texts = new ui::Texts(this, "OthersPanel");
    texts->group(this, "Frame5", QT_TR_NOOP("其他"));
    auto *g = ui::compactGrid(this);

    auto *factor = ui::textBox("Text32", QStringLiteral("500"), 70);
    auto *factorButton = texts->button("Command91", QT_TR_NOOP("运动因子"));
    bindClick(factorButton,
              commandHandler(host, SetSpeedFactor, {factor}, ListCapture | IoCapture));
    g->addWidget(factorButton, 0, 0);
    g->addWidget(factor, 0, 1);

    // A button whose command a capture button beside it captures.
    auto captured = [&](const char *name, const char *caption, device::FunctionCode code,
                        QPushButton *captureButton, Capture capture) {
        auto *button = texts->button(name, caption);
        const Handler handler = commandHandler(host, code, QList<QWidget *>{}, capture);
        bindClick(button, handler);
        bindCapture(captureButton, host, capture, handler);
        return ui::row({button, captureButton}, 2);
    };
    g->addWidget(captured("Command92", QT_TR_NOOP("加速度"), SpeedStepUp,
                          texts->ioButton("Command97"), IoCapture),
                 1, 0);
    g->addWidget(captured("Command93", QT_TR_NOOP("减速度"), SpeedStepDown,
                          texts->ioButton("Command98"), IoCapture),
                 1, 1);
    g->addWidget(captured("Command94", QT_TR_NOOP("查询IN"), GetInputs,
                          texts->addButton("Command99"), ListCapture),
                 2, 0);

    auto *inputs = new QWidget;
    auto *inputsLayout = new QGridLayout(inputs);
    inputsLayout->setContentsMargins(0, 0, 0, 0);
    inputsLayout->setSpacing(0);
    inputsLayout->addWidget(texts->label("Label63", QT_TR_NOOP("IN1  IN2   IN3  IN4  IN5")), 0, 0,
                            1, 5);
    for (int i = 0; i < 5; ++i) {
        const QByteArray name = "Shape" + QByteArray::number(5 + i);
        m_inputLamps[i] = ui::lamp(name.constData(), LampShape::kBlack);
        inputsLayout->addWidget(m_inputLamps[i], 1, i, Qt::AlignCenter);
    }
    g->addWidget(inputs, 2, 1);
    auto *factory = texts->button("Command96", QT_TR_NOOP("出厂设置"));
    bindClick(factory, commandHandler(host, FactorySettings, QStringList{}));
    g->addWidget(factory, 3, 0);

    g->addWidget(texts->label("Label65", QT_TR_NOOP("以下CAN相关")), 4, 0, 1, 2);
    QStringList canRates;
    for (const char *rate : device::canBaudRates())
        canRates << QLatin1String(rate);
    auto *canRate = ui::combo("Combo9", canRates, QStringLiteral("100K"));
    auto *canRateButton = texts->button("Command95", QT_TR_NOOP("CAN波特率"));
    bindClick(canRateButton, commandHandler(host, CanBaudRate, {canRate}));
    g->addWidget(canRateButton, 5, 0);
    g->addWidget(canRate, 5, 1);
    for (const CanSwitch &s : kCanSwitches) {
        auto *button = texts->button(s.button, s.caption);
        bindClick(button, commandHandler(host, s.code, QStringList{QLatin1String(s.value)}));
        g->addWidget(button, s.row, s.column);
    }
    auto *canBytes = ui::textBox("Text33", QStringLiteral("01 02 03 04 05"));
    auto *canSend = texts->button("Command106", QT_TR_NOOP("HEX到CAN发送"));
    bindClick(canSend, commandHandler(host, CanSend, {canBytes}, ListCapture));
    g->addWidget(canBytes, 9, 0);
    g->addWidget(canSend, 9, 1);
}

void OthersPanel::showInputs(const std::array<bool, 5> &active) {
    for (int i = 0; i < 5; ++i)
        m_inputLamps[i]->setActive(active[i]);
}
