#pragma once
// "基本命令": handshake, the device's address and its line speed, queried and changed.

#include <QGroupBox>

class PanelHost;

class BaseCommandsPanel : public QGroupBox {
    Q_OBJECT

public:
    explicit BaseCommandsPanel(PanelHost &host);
};
