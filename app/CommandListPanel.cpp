#include "app/CommandListPanel.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>

#include "app/FrmMain.h"
#include "app/Prompts.h"
#include "app/WindowTimer.h"
#include "automation/CommandListFile.h"
#include "automation/IoTable.h"
#include "automation/Runner.h"
#include "codec/HexText.h"
#include "codec/NumericText.h"

namespace {

const QString kOpenFilter = QStringLiteral("txt文件(*.txt)|*.txt|所有文件(*.*)|*.*||");
const QString kSaveFilter = QStringLiteral("TXT文件(*.TXT)|*.TXT|所有文件(*.*)|*.*||");
const QString kSaveTitle = QStringLiteral("文件保存");

constexpr double kMinDelay = 50;
constexpr double kMaxDelay = 60000;

QStringList linesOf(const QListWidget *list) {
    QStringList lines;
    lines.reserve(list->count());
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

} // namespace

CommandListPanel::CommandListPanel(FrmMain &window) : QObject(&window), form(window) {
    setObjectName(QStringLiteral("CommandListPanel"));
    connectControls();
}

void CommandListPanel::connectControls() {
    form.bind(form.Command34, [this] { Command34_Click(); });
    form.bind(form.Command35, [this] { Command35_Click(); });
    // textChanged, not textEdited: text set by code is held to the range as well.
    connect(form.Text20, &QLineEdit::textChanged, this, &CommandListPanel::Text20_Change);
    form.List1->viewport()->installEventFilter(this);
    // The list's own menu is MenuCMD, opened on the press; no other context menu.
    form.List1->setContextMenuPolicy(Qt::PreventContextMenu);
    connect(form.DelectList, &QAction::triggered, this, &CommandListPanel::DelectList_Click);
    connect(form.DelectAll, &QAction::triggered, this, &CommandListPanel::DelectAll_Click);

    form.bind(form.Command54, [this] { Command54_Click(); });
    form.bind(form.Command55, [this] { Command55_Click(); });

    // toggled: the runner follows the box however its state changes (click, keyboard, code).
    connect(form.Check1, &QCheckBox::toggled, this, &CommandListPanel::Check1_Click);
    connect(form.Timer2, &WindowTimer::tick, this, &CommandListPanel::Timer2_Timer);

    form.bind(form.Command81, [this] { Command81_Click(); });
}

// ---- Editing the list ----------------------------------------------------------------------

void CommandListPanel::Command34_Click() {
    form.List1->addItem(QStringLiteral("Delay:") + form.Text20->text());
}

void CommandListPanel::Command35_Click() {
    form.List1->addItem(QStringLiteral("GoIdx:") + form.Text21->text());
}

void CommandListPanel::Text20_Change() {
    const double delay = codec::readNumber(form.Text20->text());
    if (delay > kMaxDelay)
        form.Text20->setText(QStringLiteral("60000"));
    else if (delay < kMinDelay)
        form.Text20->setText(QStringLiteral("50"));
}

QPoint CommandListPanel::menuPoint(const QPoint &pressInList) const {
    return form.List1->viewport()->mapTo(&form, pressInList);
}

bool CommandListPanel::eventFilter(QObject *watched, QEvent *event) {
    if (watched != form.List1->viewport())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<const QMouseEvent *>(event);
        if (mouse->button() != Qt::RightButton)
            break;
        // The list never sees a right button, so the selection stays as it was.
        if (event->type() != QEvent::MouseButtonRelease)
            List1_RightPress(mouse->position().toPoint());
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void CommandListPanel::List1_RightPress(const QPoint &pressInList) {
    form.MenuCMD->popup(form.mapToGlobal(menuPoint(pressInList)));
}

void CommandListPanel::DelectList_Click() {
    for (int i = 0; i < form.List1->count(); ++i) {
        if (form.List1->item(i)->isSelected()) {
            delete form.List1->takeItem(i);
            return;
        }
    }
}

void CommandListPanel::DelectAll_Click() {
    form.List1->clear();
}

// ---- Files ---------------------------------------------------------------------------------

void CommandListPanel::Command54_Click() {
    const QString name = form.prompts().openFileName(QStringLiteral("打开文件"), kOpenFilter);
    if (name.isEmpty())
        return;
    if (!CommSetting::FileExists(name)) {
        form.prompts().message(FrmMain::kApplicationTitle,
                               QStringLiteral("文件名无效,请重新打开!"));
        return;
    }
    const CommSetting::ListFileRead read = CommSetting::ReadFileToList(name);
    if (!read.lines) {
        form.prompts().message(
            FrmMain::kApplicationTitle,
            QStringLiteral("无法读取文件 %1：%2\n命令列表保持不变。").arg(name, read.error));
        return;
    }
    form.List1->clear();
    form.List1->addItems(*read.lines);
    form.showStatus(
        QStringLiteral("已从 %1 读入 %2 行").arg(name, QString::number(read.lines->size())));
}

void CommandListPanel::Command55_Click() {
    const QString name = form.prompts().saveFileName(QStringLiteral("保存文件"), kSaveFilter);
    if (name.isEmpty())
        return;
    const bool existed = CommSetting::FileExists(name);
    if (existed && !form.prompts().askYesNo(kSaveTitle, QStringLiteral("是否覆盖文件？")))
        return;

    using Outcome = CommSetting::ListFileSave::Outcome;
    const CommSetting::ListFileSave saved = CommSetting::SaveList(name, linesOf(form.List1));
    switch (saved.outcome) {
    case Outcome::Saved:
        form.showStatus(
            QStringLiteral("已保存 %1 行到 %2").arg(QString::number(saved.linesWritten), name));
        break;
    case Outcome::Removed:
        form.showStatus(QStringLiteral("命令列表为空：已删除 %1，未创建新文件").arg(name));
        break;
    case Outcome::NothingNew:
        form.showStatus(QStringLiteral("命令列表为空：未创建文件"));
        break;
    case Outcome::Failed: {
        QString text = QStringLiteral("文件未保存：%1").arg(saved.error);
        if (existed)
            text += QStringLiteral("\n原文件保持不变。");
        form.prompts().message(kSaveTitle, text);
        break;
    }
    }
}

// ---- The runner ----------------------------------------------------------------------------

void CommandListPanel::Check1_Click() {
    if (!form.Check1->isChecked()) {
        form.Timer2->setEnabled(false);
        form.Text22->setEnabled(true);
        return;
    }
    const std::optional<int> interval = automation::timerInterval(form.Text22->text());
    if (!interval) {
        // Not started: the box goes back to unticked without running the stop path.
        const QSignalBlocker blocker(form.Check1);
        form.Check1->setChecked(false);
        form.prompts().message(FrmMain::kApplicationTitle,
                               QStringLiteral("间隔时间超出范围,请设置0到65535毫秒之间"));
        return;
    }
    form.RunLine = 0;
    form.Text22->setEnabled(false);
    form.Timer2->setInterval(*interval);
    form.Timer2->setEnabled(true);
}

void CommandListPanel::Timer2_Timer() {
    const QListWidget *list = form.List1;
    const automation::RunnerStep step = automation::runnerStep(
        list->count(), [list](int position) { return list->item(position)->text(); }, form.RunLine,
        form.Text22->text());
    // Set the wait before the write: it counts from when this tick was due, whatever the write
    // costs.
    form.Timer2->setInterval(step.interval);
    if (!step.frame.isEmpty())
        form.SendFrame(step.frame);
    form.RunLine = step.nextRunLine;
}

// ---- IO replacement download ---------------------------------------------------------------

void CommandListPanel::Command81_Click() {
    const automation::IoDownload download = automation::buildIoDownload(
        form.Text23->text(), form.Combo8->currentText(), form.Text31->text());
    if (const auto *refusal = std::get_if<device::Refusal>(&download)) {
        form.prompts().message(refusal->title, refusal->message);
        return;
    }
    const auto *frame = std::get_if<QByteArray>(&download);
    if (!frame)
        return; // an empty command box: nothing to download
    if (form.AddToListMode) {
        form.AddToListMode = false;
        form.List1->addItem(CommSetting::FormatHexText(*frame));
    }
    form.SendFrame(*frame);
}
