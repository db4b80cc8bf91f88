#pragma once
// "参数设置与查询": the six motion parameters set and queried, the speed and the two positions
// queried (and cleared), the motion state with the limit and origin lamps.

#include <QGroupBox>
#include <utility>
#include <vector>

#include "device/Protocol.h"

class PanelHost;
class QLabel;
class QLineEdit;
class LampShape;
namespace transmission {
struct MotionState;
}
namespace ui {
class Texts;
}

class ParameterPanel : public QGroupBox {
    Q_OBJECT

public:
    explicit ParameterPanel(PanelHost &host);

    // A queried parameter, the speed or a position into its box; false for anything else.
    bool showValue(device::Carries what, qint64 value);
    void showMotion(const transmission::MotionState &state);

private:
    ui::Texts *m_texts;
    std::vector<std::pair<device::Carries, QLineEdit *>> m_results;
    QLabel *Label15;
    LampShape *Shape1, *Shape2, *Shape3, *Shape4;
};
