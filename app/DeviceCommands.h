#pragma once
// The device-command buttons and their capture buttons, all served by one builder from one
// command table.

#include <QObject>

class FrmMain;
class QAbstractButton;

namespace device {
struct CommandSpec;
struct CaptureButton;
} // namespace device

class DeviceCommands : public QObject {
    Q_OBJECT

public:
    explicit DeviceCommands(FrmMain &window);

    // A device-command button's click: build, refuse with a message, capture, send.
    void run(const device::CommandSpec &command);

private:
    // A ">" or "↓" button: set its flag, then run the target's handler as a click would.
    void capture(const device::CaptureButton &button);
    QAbstractButton *button(const char *name) const;
    QString controlText(const char *name) const;

    FrmMain &form;
};
