#pragma once
// The command list group: editing the list, its files, the runner, and the IO replacement
// table download.

#include <QObject>

class FrmMain;

class CommandListPanel : public QObject {
    Q_OBJECT

public:
    explicit CommandListPanel(FrmMain &window);

private:
    FrmMain &form;
};
