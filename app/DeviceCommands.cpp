#include "app/DeviceCommands.h"

#include "app/FrmMain.h"

DeviceCommands::DeviceCommands(FrmMain &window) : QObject(&window), form(window) {}
