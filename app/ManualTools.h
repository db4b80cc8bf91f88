#pragma once
// The manual frame tools: typed hex sent raw or framed, CRC and LRC, string/hex conversion, and
// the clear buttons of the traffic panes.

#include <QByteArray>
#include <QObject>

class FrmMain;

class ManualTools : public QObject {
    Q_OBJECT

public:
    explicit ManualTools(FrmMain &window);

private:
    enum class HexForm { Raw, Rtu, Ascii };
    // Command1, Command11, Command10: send the hex box's bytes as they are or framed.
    void sendHex(HexForm how);
    void Command8_Click();
    void Command2_Click();
    void Command9_Click();
    void Command5_Click();
    void Command56_Click();
    void Command37_Click();
    void Command36_Click();
    void Command6_Click();
    // Takes the list capture when it is set: the line goes to the end of the list.
    void captureLine(const QString &line);

    FrmMain &form;
};
