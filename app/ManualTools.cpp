#include "app/ManualTools.h"

#include "app/FrmMain.h"

ManualTools::ManualTools(FrmMain &window) : QObject(&window), form(window) {}
