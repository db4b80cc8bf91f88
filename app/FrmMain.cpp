#include "app/FrmMain.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

#include "app/CommandListPanel.h"
#include "app/DeviceCommands.h"
#include "app/LampShape.h"
#include "app/ManualTools.h"
#include "app/Prompts.h"
#include "app/RichTextBox.h"
#include "app/WindowTimer.h"
#include "codec/GbkText.h"
#include "codec/HexText.h"
#include "codec/NumericText.h"
#include "serial/MSComm.h"
#include "serial/OpenCommPort.h"
#include "serial/PortMap.h"
#include "transmission/Outgoing.h"
#include "transmission/Reply.h"

const QString FrmMain::kCaption = QStringLiteral("Tervane数控MODBUS(CAN测试)调试工具FOR R7260S");
const QString FrmMain::kApplicationTitle = QStringLiteral("R7260S调试工具");

namespace {

constexpr qsizetype kPaneLimit = 10000;
// A message line ends with line feed then carriage return; raw lines with a line feed alone.
const QString kMessageLineEnd = QStringLiteral("\n\r");

// A counter caption plus n; a caption that is not a number counts as 0.
QString addToCount(const QLabel *counter, qsizetype n) {
    const qint64 current = codec::readInteger<qint64>(counter->text()).value_or(0);
    return QString::number(current + n);
}

} // namespace

// The resources live in a static library: register them before the window reads them.
static void initResources() {
    Q_INIT_RESOURCE(resources);
}

FrmMain::FrmMain(QWidget *parent) : QMainWindow(parent) {
    initResources();
    setObjectName(QStringLiteral("FrmMain"));
    MSComm1 = new serial::MSComm(this);
    MSComm1->setObjectName(QStringLiteral("MSComm1"));
    Timer1 = new WindowTimer(Qt::CoarseTimer, this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(200);
    // The runner's delays are the engineer's timing: precise, not coarse.
    Timer2 = new WindowTimer(Qt::PreciseTimer, this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);

    buildUi();
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    m_prompts = std::make_unique<DialogPrompts>(this);
    connectControls();
    m_deviceCommands = std::make_unique<DeviceCommands>(*this);
    m_manualTools = std::make_unique<ManualTools>(*this);
    m_commandList = std::make_unique<CommandListPanel>(*this);
    refreshPortTips();
    resize(1366, 740);
}

FrmMain::~FrmMain() = default;

void FrmMain::setPrompts(std::unique_ptr<Prompts> prompts) {
    m_prompts = std::move(prompts);
}

Prompts &FrmMain::prompts() {
    return *m_prompts;
}

void FrmMain::showStatus(const QString &text) {
    statusBar()->showMessage(text);
}

void FrmMain::bind(QAbstractButton *button, std::function<void()> handler) {
    m_handlers.insert(button, handler);
    connect(button, &QAbstractButton::clicked, this, [this, button] { runHandlerOf(button); });
}

void FrmMain::runHandlerOf(QAbstractButton *button) {
    if (const auto it = m_handlers.constFind(button); it != m_handlers.cend())
        (*it)();
}

void FrmMain::connectControls() {
    bind(Command32, [this] { Command32_Click(); });
    bind(Command33, [this] { Command33_Click(); });
    connect(Timer1, &WindowTimer::tick, this, &FrmMain::Timer1_Timer);
    connect(MSComm1, &serial::MSComm::portLost, this, &FrmMain::onPortLost);
    connect(MSComm1, &serial::MSComm::writeFailed, this, [this](const QString &reason) {
        showStatus(QStringLiteral("写入串口失败：%1").arg(reason));
    });
    connect(Combo1, &QComboBox::currentTextChanged, this, &FrmMain::refreshPortTips);
    connect(Combo7, &QComboBox::currentTextChanged, this, &FrmMain::Combo7_Change);
    connect(Combo7, &QComboBox::activated, this, &FrmMain::Combo7_Change);
}

// ---- Serial link ---------------------------------------------------------------------------

void FrmMain::refreshPortTips() {
    const QStringList devices = serial::comPortDevices();
    for (int i = 0; i < Combo1->count() && i < devices.size(); ++i) {
        const QString &device = devices[i];
        Combo1->setItemData(i,
                            device.isEmpty()
                                ? QStringLiteral("%1：没有对应的串口设备").arg(Combo1->itemText(i))
                                : QStringLiteral("%1 = %2").arg(Combo1->itemText(i), device),
                            Qt::ToolTipRole);
    }
    const int current = Combo1->findText(Combo1->currentText());
    Combo1->setToolTip(current >= 0 ? Combo1->itemData(current, Qt::ToolTipRole).toString()
                                    : QString());
}

void FrmMain::setPortButtons(bool open) {
    Combo1->setEnabled(!open);
    Combo2->setEnabled(!open);
    Command32->setEnabled(!open);
    Command33->setEnabled(open);
}

void FrmMain::Command32_Click() {
    QString settings = Combo2->currentText() + QStringLiteral(",n,8,1");
    MSComm1->close();
    int number = 0;
    for (int n = 1; n <= 9 && number == 0; ++n)
        if (Combo1->currentText() == QStringLiteral("COM%1").arg(n))
            number = n;
    if (number == 0) {
        MSComm1->close();
        prompts().message(kApplicationTitle, QStringLiteral("请选择正确的串口名"));
        return;
    }
    const QString name = QStringLiteral("COM%1").arg(number);
    if (const auto error = CommSetting::OpenCommPort(*MSComm1, number, settings)) {
        prompts().message(kApplicationTitle, openFailureText(name, *error));
        showStatus(QStringLiteral("%1 未打开").arg(name));
        refreshPortTips();
        return;
    }
    setPortButtons(true);
    Timer1->setEnabled(true);
    showStatus(QStringLiteral("已打开 %1（%2），%3").arg(name, MSComm1->devicePath(), settings));
}

QString FrmMain::openFailureText(const QString &name, const serial::OpenError &error) {
    using Kind = serial::OpenError::Kind;
    switch (error.kind) {
    case Kind::NoDevice:
        return QStringLiteral("无法打开串口 %1：没有对应的串口设备。\n"
                              "可以用环境变量 R7260_COM%2 指定设备路径。")
            .arg(name)
            .arg(name.mid(3));
    case Kind::BadSettings:
        return QStringLiteral("无法打开串口 %1（%2）：串口参数无效（%3），请选择正确的波特率。")
            .arg(name, error.device, error.reason.isEmpty() ? MSComm1->Settings() : error.reason);
    case Kind::PermissionDenied:
        return QStringLiteral("无法打开串口 %1（%2）：没有访问权限（%3）。\n"
                              "请把当前用户加入 dialout 组，重新登录后再试。")
            .arg(name, error.device, error.reason);
    case Kind::Busy:
        return QStringLiteral("无法打开串口 %1（%2）：设备正被其他程序占用（%3）。")
            .arg(name, error.device, error.reason);
    case Kind::NotFound:
        return QStringLiteral("无法打开串口 %1（%2）：设备不存在（%3）。")
            .arg(name, error.device, error.reason);
    case Kind::Other:
        break;
    }
    return QStringLiteral("无法打开串口 %1（%2）：%3").arg(name, error.device, error.reason);
}

void FrmMain::Command33_Click() {
    MSComm1->close();
    setPortButtons(false);
    showStatus(QStringLiteral("串口已关闭"));
}

void FrmMain::onPortLost(const QString &reason) {
    setPortButtons(false);
    showStatus(QStringLiteral("串口 COM%1（%2）已断开并关闭：%3")
                   .arg(MSComm1->CommPort())
                   .arg(MSComm1->devicePath(), reason));
}

void FrmMain::Combo7_Change() {
    const bool rtu = Combo7->currentText() == QLatin1String("Modbus RTU");
    Command81->setEnabled(rtu);
    Command88->setEnabled(rtu);
}

codec::Framing FrmMain::framing() const {
    return Combo7->currentText() == QLatin1String("Modbus RTU") ? codec::Framing::Rtu
                                                                : codec::Framing::Ascii;
}

void FrmMain::Timer1_Timer() {
    m_lastPoll.start();
    if (MSComm1->CommEvent() != serial::comEvReceive)
        return;
    // Everything waiting goes to HandleReply, one call per read of at most 512 bytes.
    while (MSComm1->InBufferCount() > 0) {
        const QByteArray batch = MSComm1->Input();
        if (batch.isEmpty())
            break;
        HandleReply(batch, static_cast<int>(batch.size()));
    }
}

// ---- Transmission --------------------------------------------------------------------------

void FrmMain::SendFrame(const QByteArray &frame) {
    if (!MSComm1->PortOpen()) {
        showStatus(QStringLiteral("串口未打开，命令未发送"));
        return;
    }
    if (RichTextBox2->text().size() > kPaneLimit) {
        RichTextBox2->setText(QString());
        Label44->setText(QStringLiteral("0"));
    }
    std::optional<transmission::Mapping> mapping;
    if (Check2->isChecked())
        mapping = transmission::Mapping{codec::readNumber(Text34->text()),
                                        Option3->isChecked() ? transmission::MappingMode::Read
                                                             : transmission::MappingMode::Write};
    const transmission::Outgoing out = transmission::prepareOutgoing(frame, mapping);
    if (out.caption)
        RichTextBox2->prepend(*out.caption + kMessageLineEnd);
    if (out.mapped)
        RichTextBox2->prepend(QStringLiteral("西门子标准格式:") + kMessageLineEnd);
    Label44->setText(addToCount(Label44, out.wire.size()));
    RichTextBox2->prepend(QStringLiteral("SndHex:") + CommSetting::FormatHexText(out.wire) + u'\n');
    RichTextBox2->prepend(QStringLiteral("SndAsc:") + codec::displayChars(out.wire) + u'\n');

    // The poll restarts with each write, so that a reply is collected 200 ms after its request;
    // when sends come faster than that, run the overdue poll first instead of starving it.
    if (Timer1->enabled() && (!m_lastPoll.isValid() || m_lastPoll.elapsed() >= Timer1->interval()))
        Timer1_Timer();
    Timer1->setEnabled(false);
    if (!MSComm1->Output(out.wire))
        showStatus(QStringLiteral("串口拒绝写入"));
    Timer1->setEnabled(true);
}

void FrmMain::HandleReply(const QByteArray &data, int count) {
    if (RichTextBox1->text().size() > kPaneLimit) {
        RichTextBox1->setText(QString());
        Label45->setText(QStringLiteral("0"));
    }
    const transmission::ReplyEffects effects = transmission::interpretReply(data, count);
    if (effects.message)
        RichTextBox1->prepend(*effects.message + kMessageLineEnd);
    if (effects.value)
        if (auto *box = findChild<QLineEdit *>(effects.value->box))
            box->setText(effects.value->text);
    if (effects.motionText)
        Label15->setText(*effects.motionText);
    for (const auto &lamp : effects.lamps)
        if (auto *shape = findChild<LampShape *>(lamp.shape))
            shape->setActive(lamp.red);

    const QByteArray raw = data.first(qBound(0, count, int(data.size())));
    RichTextBox1->prepend(QStringLiteral("RecHex:") + CommSetting::FormatHexText(raw) + u'\n');
    RichTextBox1->prepend(QStringLiteral("RecAsc:") + codec::displayChars(raw) + u'\n');
    Label45->setText(addToCount(Label45, count));
    emit replyHandled(count);
}
