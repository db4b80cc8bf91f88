#include "app/SerialPanel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>

#include "app/PanelHost.h"
#include "app/Prompts.h"
#include "app/Ui.h"
#include "codec/NumericText.h"
#include "transmission/Engine.h"

namespace {

const QString kRtu = QStringLiteral("Modbus RTU");

QStringList comPorts() {
    QStringList items;
    for (int n = 1; n <= 9; ++n)
        items << QStringLiteral("COM%1").arg(n);
    return items;
}

} // namespace

SerialPanel::SerialPanel(transmission::Engine &engine, PanelHost &host)
    : m_engine(engine), m_host(host), m_texts(new ui::Texts(this, "SerialPanel")) {
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);

    Frame4 = m_texts->group(new QGroupBox, "Frame4", QT_TR_NOOP("串口设置"));
    auto *g = ui::compactGrid(Frame4);
    Combo1 = ui::combo("Combo1", comPorts(), QStringLiteral("COM1"));
    QStringList rates;
    for (const char *rate : device::lineRates())
        rates << QLatin1String(rate);
    Combo2 = ui::combo("Combo2", rates, QStringLiteral("9600"));
    Command32 = m_texts->button("Command32", QT_TR_NOOP("打开"));
    Command33 = m_texts->button("Command33", QT_TR_NOOP("关闭"));
    Command33->setEnabled(false);
    g->addWidget(m_texts->label("Label8", QT_TR_NOOP("串口号：")), 0, 0);
    g->addWidget(Combo1, 0, 1);
    g->addWidget(Command32, 0, 2);
    g->addWidget(m_texts->label("Label9", QT_TR_NOOP("波特率：")), 1, 0);
    g->addWidget(Combo2, 1, 1);
    g->addWidget(Command33, 1, 2);
    g->addWidget(m_texts->label("Label10", QT_TR_NOOP("起始位为1，终止位为1")), 2, 0, 1, 3);
    g->addWidget(m_texts->label("Label11", QT_TR_NOOP("无奇偶校验，无硬件控制")), 3, 0, 1, 3);
    column->addWidget(Frame4);

    // Framing mode, device address and the register mapping sit above the command groups.
    Combo7 = ui::combo("Combo7", {kRtu, "Modbus ASC"}, kRtu);
    Text23 = ui::textBox("Text23", QStringLiteral("1"), 50);
    Check2 = m_texts->checkBox("Check2", QT_TR_NOOP("按西门子标准"));
    Option3 = m_texts->radio("Option3", QT_TR_NOOP("读"));
    auto *option4 = m_texts->radio("Option4", QT_TR_NOOP("写"));
    Option3->setChecked(true);
    auto *readWrite = new QButtonGroup(this);
    readWrite->addButton(Option3);
    readWrite->addButton(option4);
    auto *command3 = m_texts->button("Command3", QT_TR_NOOP("设寄存器映射地址"));
    Text34 = ui::textBox("Text34", QStringLiteral("0"), 60);
    column->addWidget(
        ui::row({m_texts->label("Label18", QT_TR_NOOP("选择通讯模式:")), Combo7, nullptr}));
    column->addWidget(
        ui::row({m_texts->label("Label40", QT_TR_NOOP("设备操作地址(Hex)：")), Text23, nullptr}));
    column->addWidget(ui::row({Check2, Option3, option4, nullptr}));
    column->addWidget(ui::row({command3, Text34, nullptr}));

    connect(Command32, &QPushButton::clicked, this, &SerialPanel::Command32_Click);
    connect(Command33, &QPushButton::clicked, this, &SerialPanel::Command33_Click);
    connect(&m_engine, &transmission::Engine::portOpened, this, &SerialPanel::showOpened);
    connect(&m_engine, &transmission::Engine::portOpenFailed, this, &SerialPanel::showOpenFailure);
    connect(&m_engine, &transmission::Engine::portNotice, this,
            [this](const QString &text) { m_host.showStatus(text); });
    connect(command3, &QPushButton::clicked, this, [this] {
        m_host.sendCommand(device::FunctionCode::SetRegisterBase, {Text34->text()}, ListCapture);
    });
    connect(Combo1, &QComboBox::currentTextChanged, this, &SerialPanel::showCurrentPortTip);
    // A change of text and a click on an item both re-announce the framing.
    auto announce = [this] { emit framingChanged(framing()); };
    connect(Combo7, &QComboBox::currentTextChanged, this, announce);
    connect(Combo7, &QComboBox::activated, this, announce);
    // Listing the system's ports takes a while: not before the window is up.
    QTimer::singleShot(0, this, [this] { m_texts->follow([this] { refreshPortTips(); }); });
}

codec::Framing SerialPanel::framing() const {
    return Combo7->currentText() == kRtu ? codec::Framing::Rtu : codec::Framing::Ascii;
}

QString SerialPanel::address() const {
    return Text23->text();
}

std::optional<transmission::Mapping> SerialPanel::mapping() const {
    if (!Check2->isChecked())
        return std::nullopt;
    return transmission::Mapping{codec::readNumber(Text34->text()),
                                 Option3->isChecked() ? transmission::MappingMode::Read
                                                      : transmission::MappingMode::Write};
}

void SerialPanel::useDrive(const QString &address, qint32 speed, codec::Framing framing) {
    Text23->setText(address);
    Combo2->setCurrentText(QString::number(speed));
    Combo7->setCurrentIndex(framing == codec::Framing::Rtu ? 0 : 1);
}

void SerialPanel::switchMappingOff() {
    Check2->setChecked(false);
}

void SerialPanel::refreshPortTips() {
    const QStringList devices = transmission::Engine::comPortDevices();
    // A changed item resets an editable combo's text to the item's: keep what was typed.
    const QString typed = Combo1->currentText();
    {
        const QSignalBlocker quiet(Combo1);
        for (int i = 0; i < Combo1->count() && i < devices.size(); ++i)
            Combo1->setItemData(
                i,
                devices[i].isEmpty()
                    ? tr("%1：没有对应的串口设备").arg(Combo1->itemText(i))
                    : QStringLiteral("%1 = %2").arg(Combo1->itemText(i), devices[i]),
                Qt::ToolTipRole);
        Combo1->setCurrentText(typed);
    }
    showCurrentPortTip();
}

void SerialPanel::showCurrentPortTip() {
    const int current = Combo1->findText(Combo1->currentText());
    Combo1->setToolTip(current >= 0 ? Combo1->itemData(current, Qt::ToolTipRole).toString()
                                    : QString());
}

void SerialPanel::setPortButtons(bool open) {
    Combo1->setEnabled(!open);
    Combo2->setEnabled(!open);
    Command32->setEnabled(!open);
    Command33->setEnabled(open);
}

void SerialPanel::Command32_Click() {
    const QString text = Combo1->currentText();
    m_portShown = transmission::Engine::portShortName(text).value_or(text);
    if (const auto error =
            m_engine.openPort(text, Combo2->currentText() + QStringLiteral(",n,8,1"))) {
        showOpenFailure(*error);
        return;
    }
    if (m_engine.portConnecting()) {
        // The window goes on while the connection is made; "关闭" gives up on it.
        Combo1->setEnabled(false);
        Combo2->setEnabled(false);
        Command32->setEnabled(false);
        Command33->setEnabled(true);
        m_host.showStatus({"SerialPanel", QT_TR_NOOP("正在连接 %1 ..."), {m_engine.portDevice()}});
        return;
    }
    showOpened();
}

void SerialPanel::showOpened() {
    setPortButtons(true);
    refreshPortTips();
    emit opened();
    m_host.showStatus({"SerialPanel",
                       QT_TR_NOOP("已打开 %1（%2），%3"),
                       {m_portShown, m_engine.portDevice(), m_engine.portSettings()}});
}

void SerialPanel::showOpenFailure(const transmission::OpenError &error) {
    m_host.prompts().inform(
        transmission::Engine::openFailureText(m_portShown, error, m_engine.portSettings()));
    // A text that names no port leaves the buttons as they were and says nothing more.
    if (error.kind == transmission::OpenError::Kind::BadName)
        return;
    setPortButtons(false);
    m_host.showStatus({"SerialPanel", QT_TR_NOOP("%1 未打开"), {m_portShown}});
    refreshPortTips();
}

void SerialPanel::Command33_Click() {
    m_engine.closePort();
    setPortButtons(false);
    m_host.showStatus({"SerialPanel", QT_TR_NOOP("串口已关闭")});
}

void SerialPanel::showPortLost(const QString &reason) {
    setPortButtons(false);
    m_host.showStatus({"SerialPanel",
                       QT_TR_NOOP("串口 %1（%2）已断开并关闭：%3"),
                       {m_portShown, m_engine.portDevice(), reason}});
}
