#pragma once
// The manual frame tools: typed hex sent raw or framed as RTU or ASCII, CRC and LRC computed,
// and text converted to and from hex.

#include <QWidget>

class PanelHost;
class QLineEdit;

class ManualToolsPanel : public QWidget {
    Q_OBJECT

public:
    explicit ManualToolsPanel(PanelHost &host);

private:
    enum class HexForm { Raw, Rtu, Ascii };
    // Command1, Command11, Command10: the hex box's bytes as they are or framed.
    void sendHex(HexForm how);
    void Command8_Click();
    void Command2_Click();
    void Command9_Click();
    void Command5_Click();
    void Command56_Click();
    void Command37_Click();

    PanelHost &m_host;
    QLineEdit *Text1, *Text2, *Text3, *Text4, *Text5;
};
