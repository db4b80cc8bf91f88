#pragma once
// The device-command buttons and their capture buttons, all served by one builder from one
// command table.

#include <QObject>

class FrmMain;

class DeviceCommands : public QObject {
    Q_OBJECT

public:
    explicit DeviceCommands(FrmMain &window);

private:
    FrmMain &form;
};
