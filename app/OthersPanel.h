#pragma once
// "其他": the speed factor and speed steps, the input query with its lamps, factory settings, and
// below "以下CAN相关" the CAN side's settings and a few bytes sent to it.

#include <QGroupBox>
#include <array>

class PanelHost;
class LampShape;

class OthersPanel : public QGroupBox {
    Q_OBJECT

public:
    explicit OthersPanel(PanelHost &host);

    // IN1..IN5; an active input's lamp is red.
    void showInputs(const std::array<bool, 5> &active);

private:
    std::array<LampShape *, 5> m_inputLamps{};
};
