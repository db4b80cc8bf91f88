#pragma once
// "运动控制": position moves and constant-speed runs, the stops, homing, a speed change while
// running, and the IO replacement row that binds an input pattern to a command in the device.

#include <QGroupBox>

#include "codec/Framing.h"

class PanelHost;
class QLineEdit;
class QPushButton;

class MotionPanel : public QGroupBox {
    Q_OBJECT

public:
    explicit MotionPanel(PanelHost &host);

    // The IO capture: the command body that the download binds.
    void setIoCommand(const QString &hex);
    // The download and its query are available in RTU framing only.
    void setFraming(codec::Framing framing);

private:
    QLineEdit *Text31;
    QPushButton *Command81, *Command88;
};
