#pragma once
// The command list group: editing the list, its files, the runner, and the IO replacement
// table download.

#include <QObject>
#include <QPoint>

class FrmMain;

class CommandListPanel : public QObject {
    Q_OBJECT

public:
    explicit CommandListPanel(FrmMain &window);

    // Where, in window coordinates, the command menu opens for a right press at `pressInList`
    // (a point of the list's viewport): at the pointer.
    QPoint menuPoint(const QPoint &pressInList) const;

protected:
    // Right presses on the list open the command menu and never change the selection.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectControls();

    // Editing the list.
    void Command34_Click();
    void Command35_Click();
    void Text20_Change();
    void List1_RightPress(const QPoint &pressInList);
    void DelectList_Click();
    void DelectAll_Click();

    // Files.
    void Command54_Click();
    void Command55_Click();

    // The runner.
    void Check1_Click();
    void Timer2_Timer();

    // IO replacement download.
    void Command81_Click();

    FrmMain &form;
};
