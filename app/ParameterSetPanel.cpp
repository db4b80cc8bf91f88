#include "app/ParameterSetPanel.h"

#include <QCheckBox>
#include <QColor>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/PanelHost.h"
#include "app/Prompts.h"
#include "app/Ui.h"
#include "transmission/Engine.h"

namespace {

using automation::EntryResult;
using automation::Stop;
using Result = EntryResult::Result;
using State = device::Difference::State;

const char *const kContext = "ParameterSetPanel";
const char *const kFilter =
    QT_TRANSLATE_NOOP("ParameterSetPanel", "参数组文件(*.json)|*.json|所有文件(*.*)|*.*||");

// The controls of the two sides, by side.
struct SideNames {
    const char *address, *read, *open, *save, *source;
};
const SideNames kSideNames[] = {
    {"ParamSetAddressA", "ParamSetReadA", "ParamSetOpenA", "ParamSetSaveA", "ParamSetSourceA"},
    {"ParamSetAddressB", "ParamSetReadB", "ParamSetOpenB", "ParamSetSaveB", "ParamSetSourceB"},
};

// Write-only settings the window has a box for.
struct WindowBox {
    device::FunctionCode code;
    const char *control;
};
const WindowBox kWindowBoxes[] = {
    {device::FunctionCode::SetSpeedFactor, "Text32"},
    {device::FunctionCode::SetRegisterBase, "Text34"},
    {device::FunctionCode::CanBaudRate, "Combo9"},
};

enum Column { Name, Unit, ValueA, ValueB, ReadBack, Write, Outcome, Columns };

QString errorCode(quint8 error) {
    return QStringLiteral("%1").arg(error, 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

ParameterSetPanel::ParameterSetPanel(PanelHost &host, transmission::Engine &engine,
                                     std::function<codec::Framing()> framing)
    : m_host(host), m_engine(engine), m_framing(std::move(framing)),
      m_texts(new ui::Texts(this, kContext)) {
    setObjectName(QStringLiteral("ParamSetPanel"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(sideRow(0, QT_TR_NOOP("A:")));
    layout->addWidget(sideRow(1, QT_TR_NOOP("B:")));

    m_lineSettings = m_texts->checkBox("ParamSetLineSettings", QT_TR_NOOP("含地址和波特率"));
    m_showAll = m_texts->checkBox("ParamSetShowAll", QT_TR_NOOP("显示全部"));
    m_write = m_texts->button("ParamSetWrite", QT_TR_NOOP("将B中打勾的项写入A地址的设备"));
    m_summary = new QLabel;
    m_summary->setObjectName(QStringLiteral("ParamSetSummary"));
    m_buttons.push_back(m_write);
    layout->addWidget(ui::row({m_lineSettings, m_showAll, m_write, m_summary, nullptr}, 12));
    connect(m_showAll, &QCheckBox::toggled, this, &ParameterSetPanel::refresh);
    connect(m_write, &QPushButton::clicked, this, &ParameterSetPanel::write);

    m_table = new QTableWidget(0, Columns);
    m_table->setObjectName(QStringLiteral("ParamSetTable"));
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_table, 1);
    connect(m_table, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (item->column() == Write)
            m_ticks[m_table->item(item->row(), Name)->text()] = item->checkState() == Qt::Checked;
    });
    // Headers and every text made at run time follow the language.
    m_texts->follow([this] {
        m_table->setHorizontalHeaderLabels(
            {tr("设置"), tr("单位"), QStringLiteral("A"),
             QStringLiteral("B"), tr("回读"), tr("写入"),
             tr("结果")});
        refresh();
    });
}

QWidget *ParameterSetPanel::sideRow(int side, const char *title) {
    const SideNames &names = kSideNames[side];
    Side &s = m_sides[side];
    s.address = ui::textBox(names.address, QString::number(side + 1), 40);
    s.source = new QLabel;
    s.source->setObjectName(QLatin1String(names.source));
    auto *read = m_texts->button(names.read, QT_TR_NOOP("读取设备"));
    auto *open = m_texts->button(names.open, QT_TR_NOOP("打开文件..."));
    auto *save = m_texts->button(names.save, QT_TR_NOOP("保存到文件..."));
    for (QWidget *b : {read, open, save})
        m_buttons.push_back(b);
    connect(read, &QPushButton::clicked, this, [this, side] { this->read(side); });
    connect(open, &QPushButton::clicked, this, [this, side] { this->open(side); });
    connect(save, &QPushButton::clicked, this, [this, side] { this->save(side); });
    return ui::row(
        {m_texts->label(side ? "ParamSetLabelB" : "ParamSetLabelA", title),
         m_texts->label(side ? "ParamSetAddrLabelB" : "ParamSetAddrLabelA", QT_TR_NOOP("地址")),
         s.address, read, open, save, s.source, nullptr});
}

void ParameterSetPanel::setBusy(bool busy) {
    for (QWidget *b : m_buttons)
        b->setEnabled(!busy);
}

bool ParameterSetPanel::portOpen() {
    if (m_engine.portOpen())
        return true;
    m_host.prompts().inform(tr("串口未打开：先在调试工具页打开串口。"));
    return false;
}

void ParameterSetPanel::read(int side) {
    if (!portOpen())
        return;
    const QString address = m_sides[side].address->text().trimmed();
    const auto checked =
        device::checkValue({&device::command(device::FunctionCode::SetAddress)}, address);
    if (!std::holds_alternative<QString>(checked)) {
        m_host.prompts().inform(problemText(std::get<device::SetProblem>(checked)));
        return;
    }
    setBusy(true);
    m_said = [this] { return tr("正在读取……"); };
    m_summary->setText(m_said());
    const automation::Drive drive{address, m_framing(), 0};
    automation::readSet(m_engine, drive, m_lineSettings->isChecked(),
                        [this, side, address](const automation::ReadOutcome &read) {
                            setBusy(false);
                            m_said = nullptr;
                            if (read.stop) {
                                m_host.prompts().inform(stopText(*read.stop));
                                return;
                            }
                            device::ParameterSet set = read.set;
                            set.header.tool = QStringLiteral("r7260-tool");
                            set.header.port = m_engine.portDevice();
                            set.header.time = QDateTime::currentDateTime();
                            takeFromWindow(set);
                            m_sides[side].set = set;
                            m_sides[side].origin = address.toUpper();
                            m_sides[side].device = true;
                            m_results.clear();
                            refresh();
                        });
}

void ParameterSetPanel::takeFromWindow(device::ParameterSet &set) const {
    for (const WindowBox &box : kWindowBoxes) {
        const QWidget *control = window()->findChild<QWidget *>(QLatin1String(box.control));
        if (!control)
            continue;
        const QString text =
            control->property(control->property("currentText").isValid() ? "currentText" : "text")
                .toString()
                .trimmed();
        const device::SettingKey key{&device::command(box.code)};
        const auto checked = device::checkValue(key, text);
        if (const auto *value = std::get_if<QString>(&checked))
            set.put({key, *value});
    }
}

void ParameterSetPanel::open(int side) {
    const QString path =
        m_host.prompts().openFileName(tr("打开参数组"), m_texts->tr(kFilter));
    if (path.isEmpty())
        return;
    const auto loaded = device::loadSet(path);
    if (const auto *problem = std::get_if<device::SetProblem>(&loaded)) {
        m_host.prompts().inform(problemText(*problem));
        return;
    }
    const auto &set = std::get<device::ParameterSet>(loaded);
    if (!set.unknown.isEmpty())
        m_host.prompts().inform(
            m_texts
                ->tr(QT_TR_NOOP(
                    "文件中有本版本不认识的条目：%1。它们不参与比较和写入，另存时照原样保存。"))
                .arg(set.unknown.keys().join(QStringLiteral(", "))));
    m_sides[side].set = set;
    m_sides[side].origin = QFileInfo(path).fileName();
    m_sides[side].device = false;
    m_said = nullptr;
    m_results.clear();
    refresh();
}

void ParameterSetPanel::save(int side) {
    if (!m_sides[side].set) {
        m_host.prompts().inform(
            tr("这一侧还没有参数组：先读取设备或打开文件。"));
        return;
    }
    const QString path =
        m_host.prompts().saveFileName(tr("保存参数组"), m_texts->tr(kFilter));
    if (path.isEmpty())
        return;
    if (const auto error = device::saveSet(path, *m_sides[side].set))
        m_host.prompts().inform(
            tr("文件未保存：%1\n原文件保持不变。").arg(*error));
    else
        m_host.showStatus(tr("参数组已保存到 %1").arg(path));
}

void ParameterSetPanel::refresh() {
    const device::ParameterSet empty;
    const auto &a = m_sides[0].set, &b = m_sides[1].set;
    for (int side = 0; side < 2; ++side)
        m_sides[side].source->setText(
            m_sides[side].device ? tr("设备 %1").arg(m_sides[side].origin)
                                 : m_sides[side].origin);
    // With one side only, all of it shows.
    const bool all = m_showAll->isChecked() || !a || !b;
    const QSignalBlocker blocker(m_table);
    m_table->setRowCount(0);
    int differences = 0;
    for (const device::Difference &row : device::compare(a.value_or(empty), b.value_or(empty))) {
        differences += row.state == State::Differs;
        if (!all && row.state != State::Differs)
            continue;
        const QString name = row.key.name();
        const bool binding = row.key.command->layout == device::Layout::Binding;
        const auto shown = [&](const std::optional<QString> &value) {
            return value ? *value : binding ? tr("(无)") : QStringLiteral("?");
        };
        const int r = m_table->rowCount();
        m_table->insertRow(r);
        const auto cell = [&](int column, const QString &text) {
            auto *item = new QTableWidgetItem(text);
            item->setFlags(Qt::ItemIsEnabled);
            m_table->setItem(r, column, item);
            return item;
        };
        cell(Name, name);
        cell(Unit, row.key.unit() ? QString::fromUtf8(row.key.unit()) : QString());
        cell(ValueA, shown(row.a));
        cell(ValueB, shown(row.b));
        cell(ReadBack, row.key.readable() ? tr("可回读")
                                          : tr("不能回读"));
        if (row.state == State::Differs)
            for (int column : {ValueA, ValueB})
                m_table->item(r, column)->setBackground(QColor(0xFF, 0xE0, 0xA0));
        auto *tick = cell(Write, QString());
        if (row.b) {
            tick->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            const auto chosen = m_ticks.find(name);
            const bool on = chosen != m_ticks.end() ? chosen->second : row.state == State::Differs;
            tick->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        }
        const auto result = m_results.find(name);
        cell(Outcome, result == m_results.end() ? QString() : automation::resultText(result->second));
    }
    if (m_said)
        m_summary->setText(m_said());
    else if (a && b)
        m_summary->setText(differences ? tr("%1 项不同").arg(differences)
                                       : tr("两边相同"));
    else
        m_summary->clear();
}

void ParameterSetPanel::write() {
    const auto &b = m_sides[1].set;
    std::vector<device::Entry> entries;
    for (int r = 0; r < m_table->rowCount(); ++r)
        if (m_table->item(r, Write)->checkState() == Qt::Checked)
            if (const auto key = device::settingKey(m_table->item(r, Name)->text()); key && b)
                if (const device::Entry *e = b->find(*key))
                    entries.push_back(*e);
    const QString address = m_sides[0].address->text().trimmed();
    if (entries.empty()) {
        m_host.prompts().inform(tr("B中没有打勾的项。"));
        return;
    }
    if (!portOpen())
        return;
    if (!m_host.prompts().askYesNo(Prompts::applicationTitle(),
                                   tr("将 %1 项写入地址 %2 的设备？")
                                       .arg(entries.size())
                                       .arg(address)))
        return;
    setBusy(true);
    m_results.clear();
    m_said = [this] { return tr("正在写入……"); };
    m_summary->setText(m_said());
    automation::writeSet(
        m_engine, automation::Drive{address, m_framing(), 0}, std::move(entries),
        [this](const automation::WriteOutcome &outcome) { finishWrite(outcome); },
        [this](const EntryResult &result) { showResult(result); });
}

void ParameterSetPanel::showResult(const EntryResult &result) {
    m_results.insert_or_assign(result.key.name(), result);
    // The drive answers at its new address from now on.
    if (result.written && result.key.command->code == device::FunctionCode::SetAddress)
        m_sides[0].address->setText(result.value);
    for (int r = 0; r < m_table->rowCount(); ++r)
        if (m_table->item(r, Name)->text() == result.key.name())
            m_table->item(r, Outcome)->setText(automation::resultText(result));
}

void ParameterSetPanel::finishWrite(const automation::WriteOutcome &outcome) {
    setBusy(false);
    int written = 0, confirmed = 0, notSent = 0;
    for (const EntryResult &r : outcome.entries) {
        written += r.written;
        confirmed += r.result == Result::Confirmed;
        notSent += r.result == Result::NotSent;
    }
    const auto counts = [=, this] {
        return tr("已写入 %1 项（确认 %2 项），未发送 %3 项")
            .arg(written)
            .arg(confirmed)
            .arg(notSent);
    };
    // Never "done" after a partial write: say where it stopped and what went out.
    const auto stop =
        std::find_if(outcome.entries.begin(), outcome.entries.end(), [](const EntryResult &r) {
            return r.result == Result::Refused || r.result == Result::NotAnswered ||
                   r.result == Result::PortLost;
        });
    if (stop != outcome.entries.end())
        m_said = [this, counts, at = *stop] {
            return tr("写入在 %1 处停止（%2）：%3。")
                .arg(at.key.name(), automation::resultText(at), counts());
        };
    else if (outcome.complete())
        m_said = [this, counts] { return tr("全部写入：%1。").arg(counts()); };
    else
        m_said = [this, counts] {
            return tr("写入完成，但有回读不符：%1。").arg(counts());
        };
    m_summary->setText(m_said());
    if (stop != outcome.entries.end())
        m_host.prompts().inform(m_said());
}

QString ParameterSetPanel::stopText(const Stop &stop) const {
    const QString name = stop.key.name();
    switch (stop.kind) {
    case Stop::Kind::Refused:
        return tr("读取在 %1 处停止：设备拒绝，错误码 %2")
            .arg(name, errorCode(stop.error.value_or(0)));
    case Stop::Kind::NoReply:
        return tr("读取在 %1 处停止：设备无回复").arg(name);
    case Stop::Kind::PortLost:
        return tr("读取停止：串口断开（%1）").arg(stop.portProblem);
    case Stop::Kind::NotBuilt:
        break;
    }
    return stop.refusal ? device::refusalMessage(*stop.refusal) : name;
}

QString ParameterSetPanel::problemText(const device::SetProblem &p) const {
    using Kind = device::SetProblem::Kind;
    const auto t = [this](const char *source) { return m_texts->tr(source); };
    switch (p.kind) {
    case Kind::CannotRead:
        return t(QT_TR_NOOP("无法读取文件：%1")).arg(p.detail);
    case Kind::TooLarge:
        return t(QT_TR_NOOP("文件有 %1 字节，超过参数组文件的上限 1048576 字节")).arg(p.detail);
    case Kind::NotJson:
        return t(QT_TR_NOOP("不是JSON文件：%1")).arg(p.detail);
    case Kind::NotASet:
        return p.entry.isEmpty() ? t(QT_TR_NOOP("不是参数组文件：没有 \"settings\""))
                                 : t(QT_TR_NOOP("条目 %1 格式不对")).arg(p.entry);
    case Kind::Format:
        return t(QT_TR_NOOP("不认识的文件格式版本：%1")).arg(p.detail);
    case Kind::Header:
        return t(QT_TR_NOOP("文件头 %1 格式不对：%2")).arg(p.entry, p.detail);
    case Kind::NotANumber:
        return t(QT_TR_NOOP("%1：%2 不是整数")).arg(p.entry, p.detail);
    case Kind::NotHex:
        return t(QT_TR_NOOP("%1：%2 不是十六进制数")).arg(p.entry, p.detail);
    case Kind::NotARate:
        return t(QT_TR_NOOP("%1：%2 不是设备可用的波特率")).arg(p.entry, p.detail);
    case Kind::Pattern:
        return t(QT_TR_NOOP("%1：输入组合 %2 不在 1 到 31 之间")).arg(p.entry, p.detail);
    case Kind::NotACommand:
        return t(QT_TR_NOOP("%1：%2 不是一条完整的命令（功能码、字节数、数据）"))
            .arg(p.entry, p.detail);
    case Kind::OutOfRange:
        return QStringLiteral("%1：%2").arg(p.entry, device::refusalMessage(*p.refusal));
    }
    return p.entry;
}
