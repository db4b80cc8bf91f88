#include "app/MotionPanel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/PanelHost.h"
#include "app/Ui.h"

namespace {

using enum device::FunctionCode;

// IN5..IN1 as five characters, every pattern from 00001 to 11111 in counting order.
QStringList inputPatterns() {
    QStringList items;
    for (int k = 1; k <= 31; ++k)
        items << QStringLiteral("%1").arg(k, 5, 2, QLatin1Char('0'));
    return items;
}

// The two kinds of move, in two rows each: a signed 32-bit value, and a direction with the value's
// low 24 bits.
struct MoveKind {
    const char *headingLabel, *heading, *signedLabel, *signedCaption, *signedBox, *signedStart;
    device::FunctionCode signedCode;
    const char *signedButton, *signedAdd, *signedIo;
    const char *directionLabel, *directionCombo, *valueLabel, *valueCaption, *valueBox, *valueStart;
    device::FunctionCode directionCode;
    const char *directionButton, *directionAdd, *directionIo;
};
// clang-format off
const MoveKind kMoves[] = {
    {"Label19", QT_TRANSLATE_NOOP("MotionPanel", "位置运动:"), "Label20", QT_TRANSLATE_NOOP("MotionPanel", "正/负方向脉冲数:"), "Text8", "10000", Move, "Command18", "Command38", "Command82",
     "Label21", "Combo3", "Label22", QT_TRANSLATE_NOOP("MotionPanel", "脉冲数:"), "Text9", "1000", MoveRelative, "Command19", "Command39", "Command83"},
    {"Label23", QT_TRANSLATE_NOOP("MotionPanel", "恒速运动:"), "Label24", QT_TRANSLATE_NOOP("MotionPanel", "正/负方向速度:"), "Text10", "10000", Run, "Command20", "Command40", "Command84",
     "Label25", "Combo4", "Label26", QT_TRANSLATE_NOOP("MotionPanel", "速度:"), "Text11", "10000", RunDirection, "Command21", "Command41", "Command85"},
};
// clang-format on

} // namespace

MotionPanel::MotionPanel(PanelHost &host) {
    auto *texts = new ui::Texts(this, "MotionPanel");
    texts->group(this, "Frame3", QT_TR_NOOP("运动控制"));
    auto *g = ui::compactGrid(this);
    const QStringList directions{"0", "1"};

    // A command button with its ">" (list capture) and "↓" (IO capture).
    auto command = [&](const char *name, const char *caption, device::FunctionCode code,
                       QList<QWidget *> sources, const char *add, const char *io) {
        auto *button = texts->button(name, caption);
        auto *addButton = texts->addButton(add);
        auto *ioButton = texts->ioButton(io);
        const Handler handler = commandHandler(host, code, sources, ListCapture | IoCapture);
        bindClick(button, handler);
        bindCapture(addButton, host, ListCapture, handler);
        bindCapture(ioButton, host, IoCapture, handler);
        return std::tuple{button, addButton, ioButton};
    };
    auto place = [g](std::tuple<QPushButton *, QPushButton *, QPushButton *> buttons, int row) {
        g->addWidget(std::get<0>(buttons), row, 3);
        g->addWidget(std::get<1>(buttons), row, 4);
        g->addWidget(std::get<2>(buttons), row, 5);
    };

    int row = 0;
    for (const MoveKind &m : kMoves) {
        auto *value = ui::textBox(m.signedBox, QLatin1String(m.signedStart), 80);
        auto *direction = ui::combo(m.directionCombo, directions, QStringLiteral("0"));
        auto *value24 = ui::textBox(m.valueBox, QLatin1String(m.valueStart), 80);
        g->addWidget(texts->label(m.headingLabel, m.heading), row, 0);
        g->addWidget(texts->label(m.signedLabel, m.signedCaption), row, 1, Qt::AlignRight);
        g->addWidget(value, row, 2);
        place(command(m.signedButton, QT_TR_NOOP("运动"), m.signedCode, {value}, m.signedAdd,
                      m.signedIo),
              row++);
        g->addWidget(ui::row({texts->label(m.directionLabel, QT_TR_NOOP("方向:")), direction,
                              nullptr, texts->label(m.valueLabel, m.valueCaption)}),
                     row, 1);
        g->addWidget(value24, row, 2);
        place(command(m.directionButton, QT_TR_NOOP("运动"), m.directionCode, {direction, value24},
                      m.directionAdd, m.directionIo),
              row++);
    }

    const auto [slow, addSlow, ioSlow] = command("Command22", QT_TR_NOOP("减速停止"),
                                                 StopDecelerating, {}, "Command44", "Command89");
    const auto [now, addNow, ioNow] =
        command("Command23", QT_TR_NOOP("立即停止"), Stop, {}, "Command45", "Command90");
    g->addWidget(ui::row({slow, addSlow, ioSlow, nullptr, now, addNow, ioNow}, 2), 4, 0, 1, 6);

    auto *homeDirection = ui::combo("Combo5", directions, QStringLiteral("0"));
    g->addWidget(texts->label("Label36", QT_TR_NOOP("查找零点:")), 5, 0);
    g->addWidget(ui::row({nullptr, texts->label("Label37", QT_TR_NOOP("方向:")), homeDirection}), 5,
                 1);
    place(command("Command7", QT_TR_NOOP("归零"), Home, {homeDirection}, "Command42", "Command86"),
          5);

    auto *newSpeed = ui::textBox("Text30", QStringLiteral("10000"), 80);
    g->addWidget(texts->label("Label27", QT_TR_NOOP("运动中改变速度:   新速度")), 6, 0, 1, 2);
    g->addWidget(ui::row({newSpeed, texts->label("Label28", QT_TR_NOOP("PLUS/S"))}), 6, 2);
    place(
        command("Command65", QT_TR_NOOP("执行"), ChangeSpeed, {newSpeed}, "Command68", "Command87"),
        6);

    // The IO replacement binding: pattern, command body, download and query.
    auto *pattern = ui::combo("Combo8", inputPatterns(), QStringLiteral("00001"));
    pattern->setMaxVisibleItems(16);
    Text31 = ui::textBox("Text31", QString());
    Command81 = texts->button("Command81", QT_TR_NOOP("下载"));
    Command88 = texts->smallButton("Command88", "?", nullptr);
    bindClick(Command81, commandHandler(host, BindInputs, {pattern, Text31}, ListCapture));
    bindClick(Command88, commandHandler(host, GetBinding, {pattern}));
    // One row, the digits' order named beside the pattern: the window fits a laptop's screen.
    g->addWidget(texts->label("Label61", QT_TR_NOOP("IO控制:")), 7, 0);
    g->addWidget(ui::row({texts->label("Label64", QT_TR_NOOP("IN序号  54321")), pattern}), 7, 1);
    g->addWidget(ui::row({texts->label("Label62", QT_TR_NOOP("＝命令")), Text31}), 7, 2);
    g->addWidget(Command81, 7, 3);
    g->addWidget(Command88, 7, 4);
    g->setColumnStretch(1, 1);
}

void MotionPanel::setIoCommand(const QString &hex) {
    Text31->setText(hex);
}

void MotionPanel::setFraming(codec::Framing framing) {
    const bool rtu = framing == codec::Framing::Rtu;
    Command81->setEnabled(rtu);
    Command88->setEnabled(rtu);
}
