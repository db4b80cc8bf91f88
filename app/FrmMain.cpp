#include "app/FrmMain.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>

#include "app/BaseCommandsPanel.h"
#include "app/CommandListPanel.h"
#include "app/InfoTabs.h"
#include "app/LanguagePanel.h"
#include "app/ManualToolsPanel.h"
#include "app/MotionPanel.h"
#include "app/OthersPanel.h"
#include "app/ParameterPanel.h"
#include "app/ParameterSetPanel.h"
#include "app/Prompts.h"
#include "app/ScanPanel.h"
#include "automation/BusScan.h"
#include "automation/ParameterTransfer.h"
#include "app/ScopePanel.h"
#include "app/SerialPanel.h"
#include "app/TrafficPanes.h"
#include "app/Ui.h"
#include "app/WindowTimer.h"
#include "codec/HexText.h"
#include "device/RequestBuilder.h"
#include "transmission/Reply.h"

// The resources live in a static library: register them before the window reads them.
static void initResources() {
    Q_INIT_RESOURCE(resources);
}

FrmMain::FrmMain(QWidget *parent)
    : QMainWindow(parent), m_engine(new transmission::Engine(this)), MSComm1(&m_engine->portObject()),
      Timer1(new WindowTimer(Qt::CoarseTimer, this)),
      m_prompts(std::make_unique<DialogPrompts>(this)) {
    initResources();
    setObjectName(QStringLiteral("FrmMain"));
    MSComm1->setObjectName(QStringLiteral("MSComm1"));
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(200);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));

    SSTab1 = new QTabWidget;
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->addTab(driveProductsTab(), QString());
    SSTab1->addTab(controlProductsTab(), QString());
    SSTab1->addTab(toolTab(), QString());
    SSTab1->addTab(protocolTab(), QString());
    // The features on the engine follow the four tabs the window always had.
    m_scope = scopeTab();
    SSTab1->addTab(m_scope, QString());
    // The features on the engine follow the four tabs the window always had.
    m_parameterSets =
        new ParameterSetPanel(*this, *m_engine, [this] { return m_serial->framing(); });
    SSTab1->addTab(m_parameterSets, QString());
    m_scan = new ScanPanel(*m_engine);
    SSTab1->addTab(m_scan, QString());
    SSTab1->setCurrentIndex(2);
    setCentralWidget(SSTab1);
    retranslateTabs();

    connect(Timer1, &WindowTimer::tick, this, &FrmMain::Timer1_Timer);
    connect(m_engine, &transmission::Engine::portLost, this, &FrmMain::onPortLost);
    connect(m_engine, &transmission::Engine::portWriteFailed, this,
            [this](const QString &reason) {
                showStatus({"FrmMain", QT_TR_NOOP("写入串口失败：%1"), {reason}});
            });
    connect(m_serial, &SerialPanel::opened, this, [this] {
        m_engine->clearReceived(); // nothing from an earlier session joins the new one's bytes
        Timer1->setEnabled(true);
    });
    // A feature polling the device in the background (the scope, the bus scan) keeps the panes
    // readable: its frames go to the traffic record only, and its own tab shows what it found.
    connect(m_engine, &transmission::Engine::sent, this, [this](const transmission::Sent &sent) {
        if (sent.background)
            return;
        m_traffic->showSent(sent.caption ? device::translated(sent.caption) : QString(),
                            sent.mapped, sent.wire);
    });
    connect(m_engine, &transmission::Engine::received, this, &FrmMain::showRead);
    connect(m_engine, &transmission::Engine::gaveUp, this,
            [this](const std::vector<transmission::Reply> &replies) {
                for (const QString &message : showReplies(replies))
                    m_traffic->showReceivedMessage(message);
            });
    connect(m_serial, &SerialPanel::framingChanged, m_motion, &MotionPanel::setFraming);
    connect(m_scan, &ScanPanel::useDrive, m_serial, &SerialPanel::useDrive);
    connect(m_scan, &ScanPanel::backUpDrives, this, &FrmMain::backUpScanned);
    auto *responseTime = new QLabel;
    responseTime->setObjectName(QStringLiteral("ResponseTime"));
    statusBar()->addPermanentWidget(responseTime);
    connect(m_engine, &transmission::Engine::responseTime, responseTime,
            [responseTime](qint64 ms) {
                ui::show(responseTime,
                         {"FrmMain", QT_TR_NOOP("响应时间：%1 ms"), {QString::number(ms)}});
            });
    // A 1366x768 laptop leaves about this much beside its taskbar and the title bar.
    resize(1366, 680);
}

FrmMain::~FrmMain() = default;

QWidget *FrmMain::toolTab() {
    PanelHost &host = *this;
    m_serial = new SerialPanel(*m_engine, host);
    m_parameters = new ParameterPanel(host);
    m_motion = new MotionPanel(host);
    m_others = new OthersPanel(host);
    m_list = new CommandListPanel(host);
    m_traffic = new TrafficPanes(host, *m_engine);

    // Three columns: the port and the other commands; parameters, motion and base commands; the
    // traffic and the command list. The manual tools run along the bottom.
    auto *left = new QVBoxLayout;
    left->setSpacing(4);
    left->addWidget(m_serial);
    left->addWidget(m_others);
    left->addStretch(1);
    auto *middle = new QVBoxLayout;
    middle->setSpacing(4);
    middle->addWidget(m_parameters);
    middle->addWidget(m_motion);
    middle->addWidget(new BaseCommandsPanel(host));
    middle->addStretch(1);
    auto *right = new QVBoxLayout;
    right->setSpacing(4);
    right->addWidget(m_traffic, 3);
    right->addWidget(m_list, 2);

    auto *tab = new QWidget;
    auto *grid = new QGridLayout(tab);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(4);
    grid->addLayout(left, 0, 0);
    grid->addLayout(middle, 0, 1);
    grid->addLayout(right, 0, 2);
    grid->addWidget(new ManualToolsPanel(host), 1, 0, 1, 2);
    grid->addWidget(new LanguagePanel, 1, 2);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(0, 1);
    // On a screen smaller than the tool needs, the tab scrolls rather than push controls off it.
    auto *scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("ToolScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(tab);
    return scroll;
}

// The scope polls with the window's device address and framing.
QWidget *FrmMain::scopeTab() {
    return new ScopePanel(*this, *m_engine, [this](device::FunctionCode code) {
        const device::BuildResult built = device::buildRequest(
            device::command(code), m_serial->address(), {}, m_serial->framing());
        const auto *request = std::get_if<device::Request>(&built);
        return request ? std::optional<device::Request>(*request) : std::nullopt;
    });
}

void FrmMain::retranslateTabs() {
    setWindowTitle(tr("Tervane数控MODBUS(CAN测试)调试工具FOR R7260S"));
    SSTab1->setTabText(0, tr("驱动产品"));
    SSTab1->setTabText(1, tr("控制产品"));
    SSTab1->setTabText(2, tr("TervaneMODBUS调试工具"));
    SSTab1->setTabText(3, tr("通讯协议"));
    SSTab1->setTabText(SSTab1->indexOf(m_scope), tr("示波器"));
    SSTab1->setTabText(SSTab1->indexOf(m_parameterSets), tr("参数组"));
    SSTab1->setTabText(SSTab1->indexOf(m_scan), tr("总线扫描"));
}

void FrmMain::changeEvent(QEvent *event) {
    if (event->type() == QEvent::LanguageChange)
        retranslateTabs();
    QMainWindow::changeEvent(event);
}

void FrmMain::setPrompts(std::unique_ptr<Prompts> prompts) {
    m_prompts = std::move(prompts);
}

void FrmMain::showStatus(const ui::Message &message) {
    ui::show(statusBar(), message);
}

void FrmMain::showStatus(const QString &text) {
    statusBar()->showMessage(text);
}

int FrmMain::runLine() const {
    return m_list->runLine();
}

void FrmMain::setRunLine(int line) {
    m_list->setRunLine(line);
}

// ---- What the panels ask -------------------------------------------------------------------

void FrmMain::sendCommand(device::FunctionCode code, const QStringList &arguments,
                          unsigned captures) {
    const device::BuildResult built = device::buildRequest(
        device::command(code), m_serial->address(), arguments, m_serial->framing());
    if (const auto *refusal = std::get_if<device::Refusal>(&built)) {
        m_prompts->message(tr("系统提示"), device::refusalMessage(*refusal));
        return;
    }
    const auto *request = std::get_if<device::Request>(&built);
    if (!request)
        return;
    // IO capture first: the body without the address (in either framing the bytes the device
    // binds, not the characters of an ASCII frame).
    if ((captures & IoCapture) && AddToIoMode) {
        AddToIoMode = false;
        m_motion->setIoCommand(codec::FormatHexText(request->body.mid(1)));
    }
    if (captures & ListCapture)
        captureLine(codec::FormatHexText(request->frame));
    send(request->frame, request->body);
}

void FrmMain::switchMappingOff() {
    m_serial->switchMappingOff();
}

void FrmMain::setCapture(Capture capture) {
    (capture == ListCapture ? AddToListMode : AddToIoMode) = true;
}

void FrmMain::captureLine(const QString &line) {
    if (!AddToListMode)
        return;
    AddToListMode = false;
    m_list->append(line);
}

// The drives a bus scan found, each into a file of its own in a folder the engineer chooses.
// Those at another line speed than the port's are left out (and counted): reaching them would
// change the line under whatever else talks on it.
void FrmMain::backUpScanned(const std::vector<automation::ScanHit> &drives) {
    if (!m_engine->portOpen()) {
        showStatus({"FrmMain", QT_TR_NOOP("串口未打开，命令未发送")});
        return;
    }
    const QString folder = m_prompts->folderName(tr("把找到的设备备份到文件夹"));
    if (folder.isEmpty())
        return;
    QStringList rtu, ascii;
    int elsewhere = 0;
    for (const automation::ScanHit &hit : drives) {
        if (hit.speed != m_engine->portBaudRate())
            ++elsewhere;
        else
            (hit.framing == codec::Framing::Rtu ? rtu : ascii)
                << QString::number(hit.address, 16).toUpper();
    }
    auto results = std::make_shared<std::vector<automation::BackupResult>>();
    auto report = [this, folder, results, elsewhere] {
        const auto saved = std::count_if(results->begin(), results->end(), [](const auto &r) {
            return !r.stop && !r.saveError;
        });
        showStatus({"FrmMain", QT_TR_NOOP("已备份 %1 台设备到 %2；未能备份 %3 台，其他波特率上的 %4 台未备份"),
                    {QString::number(saved), folder,
                     QString::number(qsizetype(results->size()) - saved),
                     QString::number(elsewhere)}});
    };
    auto group = [this, folder, results](const QStringList &addresses, codec::Framing framing,
                                         std::function<void()> next) {
        if (addresses.isEmpty())
            return next();
        automation::backupDrives(
            *m_engine, addresses, folder, automation::Drive{QString(), framing, 0},
            QStringLiteral("r7260-tool"), m_engine->portDevice(), false,
            [results, next](const std::vector<automation::BackupResult> &done) {
                results->insert(results->end(), done.begin(), done.end());
                next();
            });
    };
    group(rtu, codec::Framing::Rtu, [group, ascii, report] {
        group(ascii, codec::Framing::Ascii, report);
    });
}

// ---- The serial link -----------------------------------------------------------------------

void FrmMain::onPortLost(const QString &reason) {
    // The list stops with the port: its next tick would bury the loss under "not sent", and a
    // reopened port must not resume sending motion commands by itself.
    m_list->stop();
    m_serial->showPortLost(reason);
}

void FrmMain::Timer1_Timer() {
    m_lastPoll.start();
    // Everything waiting goes to HandleReply, one call per read of at most 512 bytes; the pane's
    // counter is shown once, after the last of them.
    m_traffic->holdReceiveCounter();
    m_engine->poll(512);
    m_traffic->showReceiveCounter();
}

// ---- Transmission --------------------------------------------------------------------------

void FrmMain::SendFrame(const QByteArray &frame) {
    send(frame, std::nullopt);
}

void FrmMain::send(const QByteArray &frame, std::optional<QByteArray> body) {
    if (!m_engine->portOpen()) {
        showStatus({"FrmMain", QT_TR_NOOP("串口未打开，命令未发送")});
        return;
    }
    // The poll restarts with each write, so that a reply is collected 200 ms after its request;
    // when sends come faster than that, run the overdue poll first instead of starving it.
    if (Timer1->enabled() && (!m_lastPoll.isValid() || m_lastPoll.elapsed() >= Timer1->interval()))
        Timer1_Timer();
    Timer1->setEnabled(false);
    m_engine->setMapping(m_serial->mapping());
    if (m_engine->send(frame, std::move(body)) != transmission::Engine::SendOutcome::Sent)
        showStatus({"FrmMain", QT_TR_NOOP("串口拒绝写入")});
    Timer1->setEnabled(true);
}

void FrmMain::HandleReply(const QByteArray &data, int count) {
    m_engine->deliver(data.first(qBound(0, count, int(data.size()))), count);
}

void FrmMain::showRead(const transmission::Received &read) {
    if (read.background)
        return;
    m_traffic->showReceived(showReplies(read.replies), read.bytes, read.count);
    emit replyHandled(read.count);
}

bool FrmMain::startTrafficRecord(const QString &path) {
    return m_traffic->startRecord(path);
}

QStringList FrmMain::showReplies(const std::vector<transmission::Reply> &replies) {
    QStringList messages;
    for (const transmission::Reply &reply : replies) {
        showReply(reply);
        if (QString message = transmission::messageOf(reply); !message.isEmpty())
            messages << message;
    }
    return messages;
}

void FrmMain::showReply(const transmission::Reply &reply) {
    if (reply.value && reply.command)
        m_parameters->showValue(reply.command->carries, *reply.value);
    if (reply.motion)
        m_parameters->showMotion(*reply.motion);
    if (reply.inputs)
        m_others->showInputs(*reply.inputs);
}
