#include "app/ScanPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <algorithm>

#include "app/Ui.h"
#include "automation/BusScan.h"
#include "transmission/Engine.h"

namespace {

// The columns before the parameters, and the note after them.
const char *const kLeadingTitles[] = {
    QT_TRANSLATE_NOOP("ScanPanel", "地址"), QT_TRANSLATE_NOOP("ScanPanel", "波特率"),
    QT_TRANSLATE_NOOP("ScanPanel", "通讯模式"), QT_TRANSLATE_NOOP("ScanPanel", "响应时间(ms)")};
constexpr int kLeading = int(std::size(kLeadingTitles));
constexpr int kFraming = 2;
constexpr int kNote = kLeading + int(automation::kScanParameters);

const QString kRtu = QStringLiteral("Modbus RTU");
const QString kAscii = QStringLiteral("Modbus ASC");

QString hexAddress(quint8 address) {
    return QStringLiteral("%1").arg(address, 2, 16, QLatin1Char('0')).toUpper();
}

// A box's hex address; -1 for a text that is none (the plan refuses it).
int hexValue(const QLineEdit *box) {
    bool ok = false;
    const int value = box->text().trimmed().toInt(&ok, 16);
    return ok ? value : -1;
}

} // namespace

ScanPanel::ScanPanel(transmission::Engine &engine)
    : m_engine(engine), m_scan(new automation::BusScan(engine, this)),
      m_texts(new ui::Texts(this, "ScanPanel")) {
    setObjectName(QStringLiteral("ScanPanel"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);

    auto *settings = m_texts->group(new QGroupBox, "ScanSettings", QT_TR_NOOP("扫描设置"));
    auto *g = ui::compactGrid(settings);
    m_first = ui::textBox("ScanFirst", QStringLiteral("1"), 50);
    m_last = ui::textBox("ScanLast", QStringLiteral("FF"), 50);
    m_framing = ui::combo("ScanFraming", {kRtu, kAscii, QStringLiteral("RTU + ASC")}, kRtu);
    m_framing->setEditable(false);
    m_turnaround = new QSpinBox;
    m_turnaround->setObjectName(QStringLiteral("ScanTurnaround"));
    m_turnaround->setRange(0, automation::kMaxTurnaroundMs);
    m_turnaround->setValue(automation::ScanPlan{}.turnaroundMs);
    m_texts->set(m_turnaround, "toolTip",
                 QT_TR_NOOP("驱动器在请求和回复占用线路的时间之外用来应答的时间"));
    g->addWidget(ui::row({m_texts->label("ScanFirstLabel", QT_TR_NOOP("起始地址(Hex)：")), m_first,
                          m_texts->label("ScanLastLabel", QT_TR_NOOP("结束地址(Hex)：")), m_last,
                          m_texts->label("ScanFramingLabel", QT_TR_NOOP("通讯模式：")), m_framing,
                          m_texts->label("ScanTurnaroundLabel", QT_TR_NOOP("应答余量(ms)：")),
                          m_turnaround, nullptr},
                         8),
                 0, 0);
    // Every speed the port offers, the device's own ticked.
    auto *speeds = new QWidget;
    auto *speedRow = new QHBoxLayout(speeds);
    speedRow->setContentsMargins(0, 0, 0, 0);
    speedRow->addWidget(m_texts->label("ScanSpeedsLabel", QT_TR_NOOP("波特率：")));
    const std::vector<qint32> ticked = automation::defaultScanSpeeds();
    for (const qint32 speed : automation::allScanSpeeds()) {
        auto *box = new QCheckBox(QString::number(speed));
        box->setObjectName(QStringLiteral("ScanBaud%1").arg(speed));
        box->setChecked(std::find(ticked.begin(), ticked.end(), speed) != ticked.end());
        speedRow->addWidget(box);
        m_speeds.push_back(box);
    }
    speedRow->addStretch(1);
    g->addWidget(speeds, 1, 0);
    column->addWidget(settings);

    m_start = m_texts->button("ScanStart", QT_TR_NOOP("开始扫描"));
    m_cancel = m_texts->button("ScanCancel", QT_TR_NOOP("取消"));
    m_use = m_texts->button("ScanUse", QT_TR_NOOP("使用所选设备"),
                            QT_TR_NOOP("把所选驱动器的地址、波特率和通讯模式填入串口设置"));
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("ScanProgress"));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_timeLeft = new QLabel;
    m_timeLeft->setObjectName(QStringLiteral("ScanTimeLeft"));
    m_backup = m_texts->button("ScanBackup", QT_TR_NOOP("备份找到的设备..."),
                               QT_TR_NOOP("把找到的每台驱动器的参数组存入一个文件夹，每个地址一个文件"));
    column->addWidget(ui::row({m_start, m_cancel, m_progress, m_timeLeft, m_use, m_backup}, 6));

    m_table = new QTableWidget(0, kNote + 1);
    m_table->setObjectName(QStringLiteral("ScanTable"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    column->addWidget(m_table, 1);
    m_message = new QLabel;
    m_message->setObjectName(QStringLiteral("ScanMessage"));
    m_message->setWordWrap(true);
    column->addWidget(m_message);

    m_texts->follow([this] {
        showHeaders();
        say(m_say);
        for (int row = 0; row < m_table->rowCount(); ++row)
            showRow(row, m_scan->hits()[std::size_t(row)]);
    });
    setRunning(false);

    connect(m_start, &QPushButton::clicked, this, &ScanPanel::start);
    connect(m_cancel, &QPushButton::clicked, m_scan, &automation::BusScan::cancel);
    connect(m_use, &QPushButton::clicked, this, [this] { useRow(m_table->currentRow()); });
    connect(m_backup, &QPushButton::clicked, this, [this] {
        std::vector<automation::ScanHit> drives;
        for (const automation::ScanHit &hit : m_scan->hits())
            if (!hit.damaged)
                drives.push_back(hit);
        emit backUpDrives(drives);
    });
    connect(m_table, &QTableWidget::cellDoubleClicked, this, [this](int row) { useRow(row); });
    connect(m_scan, &automation::BusScan::progress, this, &ScanPanel::showProgress);
    connect(m_scan, &automation::BusScan::found, this, [this](const automation::ScanHit &hit) {
        m_table->insertRow(m_table->rowCount());
        showRow(m_table->rowCount() - 1, hit);
    });
    connect(m_scan, &automation::BusScan::finished, this, &ScanPanel::showFinished);
}

void ScanPanel::say(std::function<QString()> text) {
    m_say = std::move(text);
    m_message->setText(m_say ? m_say() : QString());
}

void ScanPanel::showHeaders() {
    QStringList titles;
    for (const char *title : kLeadingTitles)
        titles << QCoreApplication::translate("ScanPanel", title);
    for (const automation::ScanParameter &parameter : automation::scanParameters())
        titles << QCoreApplication::translate("automation", parameter.title);
    titles << tr("备注");
    m_table->setHorizontalHeaderLabels(titles);
}

void ScanPanel::setRunning(bool running) {
    for (QWidget *w : {static_cast<QWidget *>(m_first), static_cast<QWidget *>(m_last),
                       static_cast<QWidget *>(m_framing), static_cast<QWidget *>(m_turnaround),
                       static_cast<QWidget *>(m_start)})
        w->setEnabled(!running);
    for (QCheckBox *box : m_speeds)
        box->setEnabled(!running);
    m_cancel->setEnabled(running);
    m_backup->setEnabled(!running);
}

void ScanPanel::start() {
    automation::ScanPlan plan;
    plan.first = hexValue(m_first);
    plan.last = hexValue(m_last);
    plan.framing = automation::ScanFraming(m_framing->currentIndex());
    plan.turnaroundMs = m_turnaround->value();
    plan.speeds.clear();
    for (QCheckBox *box : m_speeds)
        if (box->isChecked())
            plan.speeds.push_back(box->text().toInt());
    if (const auto fault = m_scan->start(plan)) {
        say([fault] { return automation::faultText(*fault); });
        return;
    }
    m_table->setRowCount(0);
    say({});
    m_progress->setRange(0, automation::probeCount(plan));
    m_progress->setValue(0);
    showProgress(0, automation::probeCount(plan), qint64(automation::silentMs(plan)));
    setRunning(true);
}

void ScanPanel::showProgress(int probed, int total, qint64 msLeft) {
    m_progress->setValue(probed);
    m_timeLeft->setText(
        tr("已扫描 %1/%2，剩余约 %3 秒").arg(probed).arg(total).arg((msLeft + 999) / 1000));
}

void ScanPanel::showFinished(automation::ScanEnd end, const QString &problem) {
    setRunning(false);
    const auto &hits = m_scan->hits();
    const auto drives =
        std::count_if(hits.begin(), hits.end(), [](const auto &hit) { return !hit.damaged; });
    switch (end) {
    case automation::ScanEnd::Done:
        say([drives] { return tr("扫描完成：找到 %1 台驱动器").arg(drives); });
        m_progress->setValue(m_progress->maximum());
        m_timeLeft->clear();
        break;
    case automation::ScanEnd::Cancelled:
        say([drives] { return tr("扫描已取消：找到 %1 台驱动器").arg(drives); });
        break;
    case automation::ScanEnd::PortProblem:
        say([problem, drives] {
            return tr("扫描中止：%1；已找到 %2 台驱动器").arg(problem).arg(drives);
        });
        break;
    }
}

void ScanPanel::showRow(int row, const automation::ScanHit &hit) {
    QStringList cells{hexAddress(hit.address), QString::number(hit.speed),
                      hit.framing == codec::Framing::Rtu ? QStringLiteral("RTU")
                                                         : QStringLiteral("ASCII"),
                      hit.damaged ? QString() : QString::number(hit.ms)};
    for (const auto &value : hit.parameters)
        cells << (value ? QString::number(*value) : QString());
    // The baud code with the speed it stands for: "6 (9600)".
    if (const auto &code = hit.parameters.back())
        for (const device::BaudRate &rate : device::baudRates())
            if (rate.code != 0 && rate.code == *code)
                cells.back() += QStringLiteral(" (%1)").arg(QLatin1String(rate.text));
    if (hit.damaged)
        cells << automation::damagedText();
    else if (hit.error)
        cells << tr("以失败回复应答握手，错误码 %1").arg(*hit.error, 2, 16, QLatin1Char('0'));
    else
        cells << QString();
    for (int column = 0; column < cells.size(); ++column) {
        auto *item = new QTableWidgetItem(cells[column]);
        if (column > 0 && column < kNote && column != kFraming)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_table->setItem(row, column, item);
    }
}

void ScanPanel::useRow(int row) {
    const auto &hits = m_scan->hits();
    if (row < 0 || std::size_t(row) >= hits.size())
        return;
    const automation::ScanHit &hit = hits[std::size_t(row)];
    if (hit.damaged) {
        say([] { return tr("这一行不是驱动器：%1").arg(automation::damagedText()); });
        return;
    }
    emit useDrive(QString::number(hit.address, 16).toUpper(), hit.speed, hit.framing);
    const QString address = hexAddress(hit.address);
    const qint32 speed = hit.speed;
    // The speed is the port's setting: it applies when the port is opened again.
    if (m_engine.portOpen() && m_engine.portBaudRate() != speed && !m_scan->running())
        say([address, speed, open = m_engine.portBaudRate()] {
            return tr("已选地址 %1、%2 波特；串口正以 %3 波特打开，请关闭后重新打开")
                .arg(address)
                .arg(speed)
                .arg(open);
        });
    else
        say([address, speed] { return tr("已选地址 %1、%2 波特").arg(address).arg(speed); });
}
