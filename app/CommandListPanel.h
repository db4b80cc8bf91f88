#pragma once
// "高级自动控制功能(HEX格式)": the command list (frame, Delay and GoIdx lines), its files, and
// the runner that plays it line by line on Timer2.

#include <QGroupBox>
#include <QPoint>

class PanelHost;
class QAction;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QMenu;
class WindowTimer;

class CommandListPanel : public QGroupBox {
    Q_OBJECT

public:
    explicit CommandListPanel(PanelHost &host);

    // A line at the end of the list.
    void append(const QString &line);
    // Stops the runner as unticking "按行循环执行命令" does.
    void stop();
    // The position the runner's next tick runs.
    int runLine() const { return RunLine; }
    void setRunLine(int line) { RunLine = line; }

    // Where, in window coordinates, the command menu opens for a right press at `pressInList`
    // (a point of the list's viewport): at the pointer.
    QPoint menuPoint(const QPoint &pressInList) const;

protected:
    // Right presses on the list open the command menu and never change the selection.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Text20_Change();
    void DelectList_Click();
    void Command54_Click();
    void Command55_Click();
    void Check1_Click();
    void Timer2_Timer();

    PanelHost &m_host;
    QListWidget *List1;
    QMenu *MenuCMD;
    QLineEdit *Text20, *Text21, *Text22;
    QCheckBox *Check1;
    WindowTimer *Timer2;
    int RunLine = 0;
};
