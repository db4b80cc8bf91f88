#include "app/ScopePanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QImageWriter>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QTimer>
#include <qcustomplot.h>

#include "app/PanelHost.h"
#include "app/Prompts.h"
#include "app/ScopePlot.h"
#include "app/Ui.h"
#include "automation/TraceExport.h"

namespace {

using namespace automation;

// The plot is redrawn at most this often, whatever the sample rate.
constexpr int kRedrawMs = 50;
// While the view follows the trace it shows at most this much of it.
constexpr double kFollowSeconds = 30;

struct GroupBox {
    Group group;
    const char *name;
    const char *caption;
};
// clang-format off
const GroupBox kGroupBoxes[kGroupCount] = {
    {Group::Absolute, "ScopeAbsolute", QT_TRANSLATE_NOOP("ScopePanel", "绝对位置")},
    {Group::Relative, "ScopeRelative", QT_TRANSLATE_NOOP("ScopePanel", "相对位置")},
    {Group::Speed, "ScopeSpeed", QT_TRANSLATE_NOOP("ScopePanel", "速度")},
    {Group::State, "ScopeState", QT_TRANSLATE_NOOP("ScopePanel", "运动状态")},
    {Group::Inputs, "ScopeInputs", QT_TRANSLATE_NOOP("ScopePanel", "输入IN1-IN5")},
};
const char *const kTriggerModes[] = {
    QT_TRANSLATE_NOOP("ScopePanel", "自由运行"),
    QT_TRANSLATE_NOOP("ScopePanel", "运动命令"),
    QT_TRANSLATE_NOOP("ScopePanel", "运动状态变化"),
};
// clang-format on

const char *const kCsvFilter =
    QT_TRANSLATE_NOOP("ScopePanel", "CSV文件(*.csv)|*.csv|所有文件(*.*)|*.*||");
const char *const kPngFilter =
    QT_TRANSLATE_NOOP("ScopePanel", "PNG图片(*.png)|*.png|所有文件(*.*)|*.*||");

QString number(double value, int decimals) {
    return QLocale::c().toString(value, 'f', decimals);
}

// The value a channel had at `time`: its group's last answer at or before it.
std::optional<double> valueAt(const TraceBuffer &buffer, Channel channel, double time) {
    const ChannelInfo &info = channelInfo(channel);
    for (qsizetype i = buffer.lowerBound(time) - 1; i >= 0; --i)
        if (const TraceRow &row = buffer.at(i); row.group == info.group)
            return row.gap ? std::nullopt : std::optional<double>(channelValue(row, info));
    return std::nullopt;
}

} // namespace

ScopePanel::ScopePanel(PanelHost &host, transmission::Engine &engine,
                       TraceSampler::QueryBuilder build)
    : m_host(host), m_sampler(new TraceSampler(engine, std::move(build), this)),
      m_trigger(new TraceTrigger(engine, *m_sampler, this)), m_redraw(new QTimer(this)) {
    setObjectName(QStringLiteral("ScopePanel"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    auto *content = new QWidget;
    m_texts = new ui::Texts(content, "ScopePanel");
    m_plot = new ScopePlot(content);

    auto *channels = m_texts->group(new QGroupBox, "ScopeChannels", QT_TR_NOOP("通道"));
    auto *channelGrid = ui::compactGrid(channels);
    for (int g = 0; g < kGroupCount; ++g) {
        m_groups[std::size_t(g)] = m_texts->checkBox(kGroupBoxes[g].name, kGroupBoxes[g].caption);
        channelGrid->addWidget(m_groups[std::size_t(g)], g / 2, g % 2);
    }
    m_groups[int(Group::Speed)]->setChecked(true);
    m_groups[int(Group::State)]->setChecked(true);

    auto *settings = m_texts->group(new QGroupBox, "ScopeSettings", QT_TR_NOOP("采样与触发"));
    auto *settingsGrid = ui::compactGrid(settings);
    m_rate = new QSpinBox;
    m_rate->setObjectName(QStringLiteral("ScopeRate"));
    m_rate->setRange(0, 1000);
    m_rate->setSuffix(QStringLiteral(" Hz"));
    m_triggerMode = new QComboBox;
    m_triggerMode->setObjectName(QStringLiteral("ScopeTrigger"));
    m_pretrigger = new QSpinBox;
    m_pretrigger->setObjectName(QStringLiteral("ScopePretrigger"));
    m_pretrigger->setRange(0, 60000);
    m_pretrigger->setSingleStep(100);
    m_pretrigger->setValue(500);
    m_pretrigger->setSuffix(QStringLiteral(" ms"));
    settingsGrid->addWidget(m_texts->label("ScopeRateLabel", QT_TR_NOOP("采样率:")), 0, 0);
    settingsGrid->addWidget(m_rate, 0, 1);
    settingsGrid->addWidget(m_texts->label("ScopeTriggerLabel", QT_TR_NOOP("触发:")), 1, 0);
    settingsGrid->addWidget(m_triggerMode, 1, 1);
    settingsGrid->addWidget(m_texts->label("ScopePretriggerLabel", QT_TR_NOOP("预触发:")), 2, 0);
    settingsGrid->addWidget(m_pretrigger, 2, 1);

    m_start = m_texts->button("ScopeStart", QT_TR_NOOP("开始"));
    m_stop = m_texts->button("ScopeStop", QT_TR_NOOP("停止"));
    m_pause = m_texts->button("ScopePause", QT_TR_NOOP("暂停"), QT_TR_NOOP("画面停住，采样继续"));
    m_pause->setCheckable(true);
    auto *fit = m_texts->button("ScopeFit", QT_TR_NOOP("自动缩放"));
    auto *csv = m_texts->button("ScopeCsv", QT_TR_NOOP("导出CSV"));
    auto *png = m_texts->button("ScopePng", QT_TR_NOOP("导出PNG"));
    auto *buttons = new QGridLayout;
    buttons->setSpacing(4);
    QPushButton *const order[] = {m_start, m_stop, m_pause, fit, csv, png};
    for (int i = 0; i < 6; ++i)
        buttons->addWidget(order[i], i / 2, i % 2);

    const auto readout = [](const char *name) {
        auto *label = new QLabel;
        label->setObjectName(QLatin1String(name));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    };
    m_counters = readout("ScopeCounters");
    m_state = readout("ScopeTriggerState");
    m_measurements = readout("ScopeMeasurements");
    m_cursors = readout("ScopeCursors");
    for (QLabel *label : {m_counters, m_measurements, m_cursors})
        label->setWordWrap(true);
    auto *measured = m_texts->group(new QGroupBox, "ScopeMeasured", QT_TR_NOOP("运动测量"));
    ui::compactGrid(measured)->addWidget(m_measurements);
    auto *cursorBox = m_texts->group(new QGroupBox, "ScopeCursorBox", QT_TR_NOOP("光标"));
    auto *cursorGrid = ui::compactGrid(cursorBox);
    cursorGrid->addWidget(
        m_texts->label("ScopeCursorHint", QT_TR_NOOP("右键: 光标A  Shift+右键: 光标B")));
    cursorGrid->addWidget(m_cursors);

    auto *side = new QVBoxLayout;
    side->setSpacing(4);
    side->addWidget(channels);
    side->addWidget(settings);
    side->addLayout(buttons);
    side->addWidget(m_counters);
    side->addWidget(m_state);
    side->addWidget(measured);
    side->addWidget(cursorBox);
    side->addStretch(1);
    auto *sideWidget = new QWidget;
    sideWidget->setLayout(side);
    sideWidget->setFixedWidth(300);
    auto *layout = new QHBoxLayout(content);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_plot->widget(), 1);
    layout->addWidget(sideWidget);
    setWidget(content);

    m_texts->follow([this] {
        const int chosen = qMax(0, m_triggerMode->currentIndex());
        m_triggerMode->clear();
        for (const char *mode : kTriggerModes)
            m_triggerMode->addItem(m_texts->tr(mode));
        m_triggerMode->setCurrentIndex(chosen);
        m_rate->setSpecialValueText(tr("最快"));
        m_plot->retranslate();
        showCounters();
        showMeasurements();
        showCursors();
        m_plot->replot();
    });

    connect(m_start, &QPushButton::clicked, this, &ScopePanel::start);
    connect(m_stop, &QPushButton::clicked, this, [this] { stop(); });
    connect(m_pause, &QPushButton::toggled, this, &ScopePanel::setPaused);
    connect(fit, &QPushButton::clicked, this, [this] {
        m_plot->setSpan(from(), qMax(from() + 1, m_sampler->now()), zero());
        m_fitOnce = m_dirty = true;
        setPaused(true);
    });
    connect(csv, &QPushButton::clicked, this, &ScopePanel::exportCsv);
    connect(png, &QPushButton::clicked, this, &ScopePanel::exportPng);
    for (QCheckBox *box : m_groups)
        connect(box, &QCheckBox::toggled, this, [this] {
            if (!m_sampler->running())
                m_plot->setShown(ticked());
        });
    connect(m_plot, &ScopePlot::userMoved, this, [this] { m_pause->setChecked(true); });
    connect(m_plot, &ScopePlot::cursorsMoved, this, &ScopePanel::showCursors);
    connect(m_plot->widget()->xAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), this,
            [this] {
                // A view moved after the trace stopped is drawn again from the trace.
                m_dirty = true;
                if (!m_redraw->isActive())
                    m_redraw->start();
            });
    connect(m_sampler, &TraceSampler::rowAdded, this, [this] { m_dirty = true; });
    connect(m_sampler, &TraceSampler::stopped, this, [this](const QString &reason) {
        stop();
        m_host.showStatus(tr("示波器已停止：%1").arg(reason));
    });
    connect(m_trigger, &TraceTrigger::fired, this, [this] {
        m_stateText = QT_TR_NOOP("已触发");
        m_plot->clearCursors();
        showCounters();
    });
    m_redraw->setInterval(kRedrawMs);
    connect(m_redraw, &QTimer::timeout, this, &ScopePanel::redraw);
    m_plot->setShown(ticked());
    m_stop->setEnabled(false);
}

Groups ScopePanel::ticked() const {
    Groups groups = 0;
    for (int g = 0; g < kGroupCount; ++g)
        if (m_groups[std::size_t(g)]->isChecked())
            groups |= bitOf(Group(g));
    return groups;
}

double ScopePanel::from() const {
    return m_trigger->time() ? m_trigger->from() : 0;
}

void ScopePanel::start() {
    const auto mode = TriggerMode(m_triggerMode->currentIndex());
    const Groups groups = ticked() | (mode == TriggerMode::State ? bitOf(Group::State) : 0);
    if (groups == 0) {
        m_host.prompts().inform(tr("请至少选择一个通道"));
        return;
    }
    if (!m_sampler->start(groups, m_rate->value())) {
        m_host.prompts().inform(tr("设备地址无效，无法查询"));
        return;
    }
    m_trigger->arm(mode, m_pretrigger->value() / 1000.0);
    m_groups[int(Group::State)]->setChecked(has(groups, Group::State));
    m_plot->setShown(groups);
    m_plot->clearCursors();
    m_measured = {};
    m_samplesBefore = 0;
    m_rateAt = m_countedAt = 0;
    m_samplesPerSecond = 0;
    m_stateText = mode == TriggerMode::Free ? QT_TR_NOOP("运行中") : QT_TR_NOOP("等待触发");
    m_start->setEnabled(false);
    m_stop->setEnabled(true);
    for (QCheckBox *box : m_groups)
        box->setEnabled(false);
    m_pause->setChecked(false);
    showCounters();
    m_dirty = true;
    m_redraw->start();
}

void ScopePanel::stop() {
    m_sampler->stop();
    m_trigger->disarm();
    m_stateText = QT_TR_NOOP("已停止");
    showCounters();
    m_start->setEnabled(true);
    m_stop->setEnabled(false);
    for (QCheckBox *box : m_groups)
        box->setEnabled(true);
    m_dirty = true;
    redraw();
}

void ScopePanel::setPaused(bool paused) {
    if (m_pause->isChecked() != paused)
        m_pause->setChecked(paused);
    m_dirty = true;
}

void ScopePanel::redraw() {
    const double now = m_sampler->now();
    // The counters change with every sample; they are written out four times a second.
    if (now - m_countedAt >= 0.25) {
        m_countedAt = now;
        if (now - m_rateAt >= 1) {
            m_samplesPerSecond = (m_sampler->counts().samples - m_samplesBefore) / (now - m_rateAt);
            m_samplesBefore = m_sampler->counts().samples;
            m_rateAt = now;
        }
        showCounters();
    }
    if (!m_dirty)
        return;
    m_dirty = false;
    const TraceBuffer &buffer = m_sampler->buffer();
    const bool following = !m_pause->isChecked() && m_sampler->running();
    if (following) {
        const double last = buffer.size() > 0 ? buffer.last().time : now;
        const double left = qMax(from(), last - kFollowSeconds);
        m_plot->setSpan(left, qMax(last, left + 1), zero());
    }
    {
        const QSignalBlocker quiet(m_plot->widget()->xAxis);
        m_plot->draw(buffer, zero());
    }
    if (following || m_fitOnce)
        m_plot->fitValues();
    m_fitOnce = false;

    // A triggered move is measured until it has ended; the trace then records as long again as
    // its pre-trigger and stops.
    const bool positions =
        has(m_sampler->groups(), Group::Absolute) || has(m_sampler->groups(), Group::Relative);
    // Free running, the first move in view is measured.
    const bool free = m_trigger->mode() == TriggerMode::Free;
    if (m_trigger->time() &&
        (free || !m_measured.ended() || (positions && !m_measured.finalPosition))) {
        m_measured =
            measureMove(buffer, free ? m_plot->span(zero()).first : zero(), m_trigger->command());
        showMeasurements();
    }
    if (m_sampler->running() && m_trigger->mode() != TriggerMode::Free && m_measured.ended() &&
        now >= *m_measured.start + *m_measured.moveTime + m_trigger->pretrigger())
        stop();
    m_plot->replot();
    if (!m_sampler->running())
        m_redraw->stop();
}

void ScopePanel::showCounters() {
    const SamplerCounts &c = m_sampler->counts();
    m_counters->setText(tr("采样 %1/s  交换 %2  超时 %3  无效回复 %4")
                            .arg(number(m_samplesPerSecond, 0))
                            .arg(c.exchanges)
                            .arg(c.timeouts)
                            .arg(c.damaged + c.failures));
    m_state->setText(m_stateText ? m_texts->tr(m_stateText) : QString());
}

void ScopePanel::showMeasurements() {
    const MoveMeasurements &m = m_measured;
    if (!m.started()) {
        m_measurements->setText(tr("未见运动"));
        return;
    }
    const auto line = [this](const char *source, const std::optional<double> &value, int decimals,
                             const QString &unit) {
        return m_texts->tr(source) + u' ' +
               (value ? number(*value, decimals) + u' ' + unit : QStringLiteral("—"));
    };
    QStringList lines;
    lines << line(QT_TR_NOOP("峰值速度:"), m.peakSpeed, 0, QStringLiteral("p/s"));
    lines << line(QT_TR_NOOP("加速时间:"), m.timeToPeak, 3, QStringLiteral("s"));
    lines << line(QT_TR_NOOP("加速度:"), m.acceleration, 0, QStringLiteral("p/s²"));
    lines << line(QT_TR_NOOP("运动时间:"), m.moveTime, 3, QStringLiteral("s"));
    if (m.finalPosition) {
        QString position = line(QT_TR_NOOP("最终位置:"), double(*m.finalPosition), 0, QString());
        if (m.target)
            position += tr("(目标 %1，偏差 %2)")
                            .arg(*m.target)
                            .arg(*m.finalPosition - *m.target);
        lines << position;
    }
    m_measurements->setText(lines.join(u'\n'));
}

void ScopePanel::showCursors() {
    const auto a = m_plot->cursor(0), b = m_plot->cursor(1);
    if (!a && !b) {
        m_cursors->clear();
        return;
    }
    QStringList lines;
    const auto time = [](const std::optional<double> &t) {
        return t ? number(*t, 3) + QStringLiteral(" s") : QStringLiteral("—");
    };
    lines << QStringLiteral("A %1   B %2").arg(time(a), time(b));
    if (a && b)
        lines << QStringLiteral("Δt %1 s").arg(number(*b - *a, 3));
    const TraceBuffer &buffer = m_sampler->buffer();
    for (const Channel channel : allChannels()) {
        const ChannelInfo &info = channelInfo(channel);
        if (!has(m_sampler->groups(), info.group) || info.unit == Unit::OnOff)
            continue;
        const auto at = [&](const std::optional<double> &t) {
            return t ? valueAt(buffer, channel, *t + zero()) : std::nullopt;
        };
        const std::optional<double> va = at(a), vb = at(b);
        QString text = QCoreApplication::translate("automation::Trace", info.caption) +
                       QStringLiteral(": %1 / %2")
                           .arg(va ? number(*va, 0) : QStringLiteral("—"),
                                vb ? number(*vb, 0) : QStringLiteral("—"));
        if (va && vb)
            text += QStringLiteral("  Δ %1").arg(number(*vb - *va, 0));
        lines << text;
    }
    m_cursors->setText(lines.join(u'\n'));
}

void ScopePanel::exportCsv() {
    const QString path =
        m_host.prompts().saveFileName(tr("导出CSV"), m_texts->tr(kCsvFilter));
    if (path.isEmpty())
        return;
    if (const auto reason = saveCsv(path, m_sampler->buffer(), m_sampler->groups(), from(), zero()))
        m_host.prompts().inform(tr("无法写入 %1：%2").arg(path, *reason));
    else
        m_host.showStatus(tr("已导出 %1").arg(path));
}

void ScopePanel::exportPng() {
    const QString path =
        m_host.prompts().saveFileName(tr("导出PNG"), m_texts->tr(kPngFilter));
    if (path.isEmpty())
        return;
    // As drawn; written whole or not at all, with the reason when it cannot be.
    QSaveFile file(path);
    QImageWriter writer(&file, "png");
    QString reason;
    if (!file.open(QIODevice::WriteOnly))
        reason = file.errorString();
    else if (!writer.write(m_plot->widget()->toPixmap().toImage()) || !file.flush() ||
             file.error() != QFileDevice::NoError)
        reason = file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
    else if (!file.commit())
        reason = file.errorString();
    if (!reason.isEmpty())
        m_host.prompts().inform(tr("无法写入 %1：%2").arg(path, reason));
    else
        m_host.showStatus(tr("已导出 %1").arg(path));
}
