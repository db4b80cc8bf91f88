#include "app/CommandListPanel.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include "app/PanelHost.h"
#include "app/Prompts.h"
#include "app/Ui.h"
#include "app/WindowTimer.h"
#include "automation/CommandListFile.h"
#include "automation/Runner.h"
#include "codec/NumericText.h"

namespace {

const char *const kOpenFilter =
    QT_TRANSLATE_NOOP("CommandListPanel", "txt文件(*.txt)|*.txt|所有文件(*.*)|*.*||");
const char *const kSaveFilter =
    QT_TRANSLATE_NOOP("CommandListPanel", "TXT文件(*.TXT)|*.TXT|所有文件(*.*)|*.*||");

constexpr double kMinDelay = 50;
constexpr double kMaxDelay = 60000;

// Shows a list line on one row: a line feed inside it as "↵", and of a very long line only its
// first kShownChars characters (the line itself stays whole). With every row as high as the first,
// the list shows a file of 60,000 lines, or one line of 1 MB, without measuring every line.
class ListLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override {
        static constexpr qsizetype kShownChars = 1000;
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->text.size() > kShownChars) {
            option->text.truncate(kShownChars);
            option->text += u'…';
        }
        option->text.replace(u'\n', u'↵');
    }
};

QStringList linesOf(const QListWidget *list) {
    QStringList lines;
    lines.reserve(list->count());
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

} // namespace

CommandListPanel::CommandListPanel(PanelHost &host) : m_host(host) {
    auto *texts = new ui::Texts(this, "CommandListPanel");
    texts->group(this, "Frame6", QT_TR_NOOP("高级自动控制功能(HEX格式)"));
    // The runner's delays are the engineer's timing: precise, not coarse.
    Timer2 = new WindowTimer(Qt::PreciseTimer, this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);

    Check1 = texts->checkBox("Check1", QT_TR_NOOP("按行循环执行命令"));
    Text20 = ui::textBox("Text20", QStringLiteral("1000"), 60);
    Text21 = ui::textBox("Text21", QStringLiteral("0"), 60);
    Text22 = ui::textBox("Text22", QStringLiteral("1000"), 60);
    List1 = new QListWidget;
    List1->setObjectName(QStringLiteral("List1"));
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setUniformItemSizes(true);
    List1->setItemDelegate(new ListLineDelegate(List1));
    auto *open = texts->button("Command54", QT_TR_NOOP("打开文件"));
    auto *save = texts->button("Command55", QT_TR_NOOP("命令另存为"));
    auto *insertDelay = texts->button("Command34", QT_TR_NOOP("插入命令"));
    auto *insertJump = texts->button("Command35", QT_TR_NOOP("插入命令"));

    MenuCMD = new QMenu(this);
    MenuCMD->setObjectName(QStringLiteral("MenuCMD"));
    texts->set(MenuCMD, "title", QT_TR_NOOP("命令操作"));
    QAction *deleteLine = MenuCMD->addAction(QString());
    deleteLine->setObjectName(QStringLiteral("DelectList"));
    texts->set(deleteLine, "text", QT_TR_NOOP("删除"));
    QAction *deleteAll = MenuCMD->addAction(QString());
    deleteAll->setObjectName(QStringLiteral("DelectAll"));
    texts->set(deleteAll, "text", QT_TR_NOOP("清空"));

    auto *g = ui::compactGrid(this);
    g->addWidget(ui::row({Check1, nullptr, texts->label("Label59", QT_TR_NOOP("隔")), Text22,
                          texts->label("Label60", QT_TR_NOOP("MS"))}),
                 0, 0, 1, 2);
    g->addWidget(ui::row({open, save, nullptr}), 1, 0, 1, 2);
    g->addWidget(List1, 2, 0, 1, 2);
    g->setRowStretch(2, 1);
    g->addWidget(texts->label("Label29", QT_TR_NOOP("无延时命令，默认间隔为1秒")), 3, 0, 1, 2);
    g->addWidget(ui::row({texts->label("Label32", QT_TR_NOOP("延时:")), Text20,
                          texts->label("Label33", QT_TR_NOOP("毫秒50-60000")), nullptr}),
                 4, 0);
    g->addWidget(insertDelay, 4, 1);
    g->addWidget(ui::row({texts->label("Label34", QT_TR_NOOP("跳转:")), Text21,
                          texts->label("Label35", QT_TR_NOOP("行")), nullptr}),
                 5, 0);
    g->addWidget(insertJump, 5, 1);

    bindClick(insertDelay, [this] { append(QStringLiteral("Delay:") + Text20->text()); });
    bindClick(insertJump, [this] { append(QStringLiteral("GoIdx:") + Text21->text()); });
    // textChanged, not textEdited: text set by code is held to the range as well.
    connect(Text20, &QLineEdit::textChanged, this, &CommandListPanel::Text20_Change);
    List1->viewport()->installEventFilter(this);
    // The list's own menu is MenuCMD, opened on the press; no other context menu.
    List1->setContextMenuPolicy(Qt::PreventContextMenu);
    connect(deleteLine, &QAction::triggered, this, &CommandListPanel::DelectList_Click);
    connect(deleteAll, &QAction::triggered, List1, &QListWidget::clear);
    bindClick(open, [this] { Command54_Click(); });
    bindClick(save, [this] { Command55_Click(); });
    // toggled: the runner follows the box however its state changes (click, keyboard, code).
    connect(Check1, &QCheckBox::toggled, this, &CommandListPanel::Check1_Click);
    connect(Timer2, &WindowTimer::tick, this, &CommandListPanel::Timer2_Timer);
}

void CommandListPanel::append(const QString &line) {
    List1->addItem(line);
}

// ---- Editing the list ----------------------------------------------------------------------

void CommandListPanel::Text20_Change() {
    const double delay = codec::readNumber(Text20->text());
    if (delay > kMaxDelay)
        Text20->setText(QStringLiteral("60000"));
    else if (delay < kMinDelay)
        Text20->setText(QStringLiteral("50"));
}

QPoint CommandListPanel::menuPoint(const QPoint &pressInList) const {
    return List1->viewport()->mapTo(window(), pressInList);
}

bool CommandListPanel::eventFilter(QObject *watched, QEvent *event) {
    if (watched != List1->viewport())
        return QGroupBox::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<const QMouseEvent *>(event);
        if (mouse->button() != Qt::RightButton)
            break;
        // The list never sees a right button, so the selection stays as it was.
        if (event->type() != QEvent::MouseButtonRelease)
            MenuCMD->popup(window()->mapToGlobal(menuPoint(mouse->position().toPoint())));
        return true;
    }
    default:
        break;
    }
    return QGroupBox::eventFilter(watched, event);
}

void CommandListPanel::DelectList_Click() {
    for (int i = 0; i < List1->count(); ++i) {
        if (List1->item(i)->isSelected()) {
            delete List1->takeItem(i);
            return;
        }
    }
}

// ---- Files ---------------------------------------------------------------------------------

void CommandListPanel::Command54_Click() {
    const QString name = m_host.prompts().openFileName(tr("打开文件"), tr(kOpenFilter));
    if (name.isEmpty())
        return;
    if (!automation::FileExists(name)) {
        m_host.prompts().inform(tr("文件名无效,请重新打开!"));
        return;
    }
    using Failure = automation::ListFileRead::Failure;
    const automation::ListFileRead read =
        automation::ReadFileToList(name, automation::kMaxListLines);
    if (!read.lines) {
        QString text;
        switch (read.failure) {
        case Failure::CannotRead:
            text = tr("无法读取文件 %1：%2\n命令列表保持不变。").arg(name, read.error);
            break;
        case Failure::NotRegularFile:
            text = tr("%1 不是普通文件，不能作为命令列表打开。\n命令列表保持不变。").arg(name);
            break;
        case Failure::TooLarge:
            text = tr("文件 %1 太大（%2 字节），命令列表文件最多 %3 字节。\n命令列表保持不变。")
                       .arg(name, QString::number(read.size),
                            QString::number(automation::kMaxListFileBytes));
            break;
        case Failure::TooManyLines:
            text = tr("文件 %1 有 %2 行，命令列表最多 %3 行。\n命令列表保持不变。")
                       .arg(name, QString::number(read.size),
                            QString::number(automation::kMaxListLines));
            break;
        }
        m_host.prompts().inform(text);
        return;
    }
    List1->clear();
    List1->addItems(*read.lines);
    m_host.showStatus({"CommandListPanel", QT_TR_NOOP("已从 %1 读入 %2 行"),
                       {name, QString::number(read.lines->size())}});
}

void CommandListPanel::Command55_Click() {
    const QString name = m_host.prompts().saveFileName(tr("保存文件"), tr(kSaveFilter));
    if (name.isEmpty())
        return;
    const QString title = tr("文件保存");
    const bool existed = automation::FileExists(name);
    if (existed && !m_host.prompts().askYesNo(title, tr("是否覆盖文件？")))
        return;

    using Outcome = automation::ListFileSave::Outcome;
    const automation::ListFileSave saved = automation::SaveList(name, linesOf(List1));
    switch (saved.outcome) {
    case Outcome::Saved:
        m_host.showStatus({"CommandListPanel", QT_TR_NOOP("已保存 %1 行到 %2"),
                           {QString::number(saved.linesWritten), name}});
        break;
    case Outcome::Removed:
        m_host.showStatus(
            {"CommandListPanel", QT_TR_NOOP("命令列表为空：已删除 %1，未创建新文件"), {name}});
        break;
    case Outcome::NothingNew:
        m_host.showStatus({"CommandListPanel", QT_TR_NOOP("命令列表为空：未创建文件")});
        break;
    case Outcome::Failed: {
        QString text = tr("文件未保存：%1").arg(saved.error);
        if (existed)
            text += u'\n' + tr("原文件保持不变。");
        m_host.prompts().message(title, text);
        break;
    }
    }
}

// ---- The runner ----------------------------------------------------------------------------

void CommandListPanel::stop() {
    Check1->setChecked(false);
    Timer2->setEnabled(false);
}

void CommandListPanel::Check1_Click() {
    if (!Check1->isChecked()) {
        Timer2->setEnabled(false);
        Text22->setEnabled(true);
        return;
    }
    const std::optional<int> interval = automation::timerInterval(Text22->text());
    if (!interval) {
        // Not started: the box goes back to unticked without running the stop path.
        const QSignalBlocker blocker(Check1);
        Check1->setChecked(false);
        m_host.prompts().inform(tr("间隔时间超出范围,请设置0到65535毫秒之间"));
        return;
    }
    RunLine = 0;
    Text22->setEnabled(false);
    Timer2->setInterval(*interval);
    Timer2->setEnabled(true);
}

void CommandListPanel::Timer2_Timer() {
    const QListWidget *list = List1;
    const automation::RunnerStep step = automation::runnerStep(
        list->count(), [list](int position) { return list->item(position)->text(); }, RunLine,
        Text22->text());
    // Set the wait before the write: it counts from when this tick was due, whatever the write
    // costs.
    Timer2->setInterval(step.interval);
    if (!step.frame.isEmpty())
        m_host.sendFrame(step.frame);
    RunLine = step.nextRunLine;
}
