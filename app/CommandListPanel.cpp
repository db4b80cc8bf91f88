#include "app/CommandListPanel.h"

#include "app/FrmMain.h"

CommandListPanel::CommandListPanel(FrmMain &window) : QObject(&window), form(window) {}
