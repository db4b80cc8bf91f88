#pragma once
// The serial settings (port, baud rate, open and close) with what every command reads beside
// them: the framing mode, the device address and the register mapping.

#include <QWidget>
#include <optional>

#include "codec/Framing.h"
#include "transmission/Outgoing.h"

class PanelHost;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
namespace serial {
struct OpenError;
}
namespace transmission {
class Engine;
}
namespace ui {
class Texts;
}

class SerialPanel : public QWidget {
    Q_OBJECT

public:
    SerialPanel(transmission::Engine &engine, PanelHost &host);

    // The framing every builder reads at click time: exactly "Modbus RTU" is RTU.
    codec::Framing framing() const;
    QString address() const;
    // The register mapping when "按西门子标准" is ticked.
    std::optional<transmission::Mapping> mapping() const;
    void switchMappingOff();
    // A drive found on the line: its address (hex digits), line speed and framing for the
    // commands that follow. The speed applies when the port is opened next.
    void useDrive(const QString &address, qint32 speed, codec::Framing framing);
    // The port went away and was closed: back to the closed state.
    void showPortLost(const QString &reason);

signals:
    void opened();
    void framingChanged(codec::Framing framing);

private:
    void Command32_Click();
    void Command33_Click();
    void setPortButtons(bool open);
    void showOpened();
    void showOpenFailure(const serial::OpenError &error);
    // The devices behind COM1..COM9 as the items' tooltips (listing them takes a while).
    void refreshPortTips();
    // The tooltip of the item the combo's text names.
    void showCurrentPortTip();

    transmission::Engine &m_engine;
    QString m_portShown; // how messages name the port: COM3, ttyUSB0, tcp://bench:3334
    PanelHost &m_host;
    ui::Texts *m_texts;
    QGroupBox *Frame4;
    QComboBox *Combo1, *Combo2, *Combo7;
    QPushButton *Command32, *Command33;
    QLineEdit *Text23, *Text34;
    QCheckBox *Check2;
    QRadioButton *Option3;
};
