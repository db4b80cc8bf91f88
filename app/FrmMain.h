#pragma once
// The tool's one window. Every control is a member named as the engineer knows it, and carries
// the same name as its object name, so findChild<QWidget *>("Command12") finds it.

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QMainWindow>
#include <functional>
#include <memory>

#include "codec/Framing.h"

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;
class CommandListPanel;
class DeviceCommands;
class LampShape;
class ManualTools;
class Prompts;
class RichTextBox;
class WindowTimer;

namespace serial {
class MSComm;
struct OpenError;
} // namespace serial
namespace device {
struct CommandSpec;
}

class FrmMain : public QMainWindow {
    Q_OBJECT
    Q_PROPERTY(bool AddToListMode MEMBER AddToListMode)
    Q_PROPERTY(bool AddToIoMode MEMBER AddToIoMode)
    Q_PROPERTY(int RunLine MEMBER RunLine)

public:
    static const QString kCaption;
    static const QString kApplicationTitle;

    explicit FrmMain(QWidget *parent = nullptr);
    ~FrmMain() override;

    // Replaces the message boxes and file dialog (tests answer them without a human).
    void setPrompts(std::unique_ptr<Prompts> prompts);

    // Every outgoing frame goes through here: captioned, optionally register-mapped, counted,
    // shown, and written with the receive poll paused around the write.
    void SendFrame(const QByteArray &frame);
    // One poll's batch of received bytes: named, decoded into the window, shown and counted.
    void HandleReply(const QByteArray &data, int count);

    // For the panels that implement the handlers of a group of controls.
    // Registers a button's click handler; capture buttons run a target's handler through it.
    void bind(QAbstractButton *button, std::function<void()> handler);
    // Runs a button's click handler exactly as a click would.
    void runHandlerOf(QAbstractButton *button);
    Prompts &prompts();
    void showStatus(const QString &text);
    // The framing every builder reads at click time: exactly "Modbus RTU" is RTU.
    codec::Framing framing() const;

signals:
    // After HandleReply: the bytes of one batch (the on-screen counter resets with its pane).
    void replyHandled(int count);

public:
    // Window-level state.
    bool AddToListMode = false;
    bool AddToIoMode = false;
    int RunLine = 0;

    // Platform objects owned by the window.
    serial::MSComm *MSComm1 = nullptr;
    WindowTimer *Timer1 = nullptr;
    WindowTimer *Timer2 = nullptr;
    QMenu *MenuCMD = nullptr;
    QAction *DelectList = nullptr;
    QAction *DelectAll = nullptr;

    QTabWidget *SSTab1 = nullptr;

    // Information tabs.
    QLabel *Label30 = nullptr, *Label38 = nullptr, *Label39 = nullptr, *Label46 = nullptr,
           *Label47 = nullptr, *Label48 = nullptr, *Label49 = nullptr, *Label50 = nullptr,
           *Label51 = nullptr, *Label52 = nullptr, *Label53 = nullptr, *Label54 = nullptr,
           *Label55 = nullptr, *Label56 = nullptr, *Label57 = nullptr, *Label58 = nullptr;

    // Protocol tab.
    RichTextBox *RichTextBox3 = nullptr;

    // Serial settings.
    QGroupBox *Frame4 = nullptr;
    QLabel *Label8 = nullptr, *Label9 = nullptr, *Label10 = nullptr, *Label11 = nullptr;
    QComboBox *Combo1 = nullptr, *Combo2 = nullptr;
    QPushButton *Command32 = nullptr, *Command33 = nullptr;

    // Framing mode, device address and register mapping.
    QLabel *Label18 = nullptr, *Label40 = nullptr;
    QComboBox *Combo7 = nullptr;
    QLineEdit *Text23 = nullptr;
    QCheckBox *Check2 = nullptr;
    QPushButton *Command3 = nullptr;
    QLineEdit *Text34 = nullptr;
    QRadioButton *Option3 = nullptr, *Option4 = nullptr;

    // Base commands.
    QGroupBox *Frame1 = nullptr;
    QPushButton *Command12 = nullptr, *Command13 = nullptr, *Command14 = nullptr,
                *Command15 = nullptr, *Command16 = nullptr;
    QLabel *Label12 = nullptr, *Label13 = nullptr;
    QLineEdit *Text7 = nullptr;
    QComboBox *Combo6 = nullptr;

    // Parameters, set and query.
    QGroupBox *Frame2 = nullptr;
    QLabel *Label7 = nullptr, *Label14 = nullptr, *Label15 = nullptr, *Label16 = nullptr,
           *Label41 = nullptr, *Label42 = nullptr, *Label43 = nullptr;
    QPushButton *Command17 = nullptr, *Command24 = nullptr, *Command25 = nullptr,
                *Command26 = nullptr, *Command27 = nullptr, *Command64 = nullptr;
    QLineEdit *Text12 = nullptr, *Text13 = nullptr, *Text14 = nullptr, *Text15 = nullptr,
              *Text16 = nullptr, *Text29 = nullptr;
    QPushButton *Command57 = nullptr, *Command58 = nullptr, *Command59 = nullptr,
                *Command60 = nullptr, *Command61 = nullptr, *Command62 = nullptr;
    QLineEdit *Text27 = nullptr, *Text26 = nullptr, *Text25 = nullptr, *Text24 = nullptr,
              *Text6 = nullptr, *Text28 = nullptr;
    QPushButton *Command28 = nullptr, *Command29 = nullptr, *Command30 = nullptr,
                *Command31 = nullptr, *Command66 = nullptr, *Command67 = nullptr;
    QLineEdit *Text17 = nullptr, *Text18 = nullptr, *Text19 = nullptr;
    LampShape *Shape1 = nullptr, *Shape2 = nullptr, *Shape3 = nullptr, *Shape4 = nullptr;
    QPushButton *Command43 = nullptr, *Command46 = nullptr, *Command47 = nullptr,
                *Command48 = nullptr, *Command49 = nullptr, *Command50 = nullptr,
                *Command51 = nullptr, *Command52 = nullptr, *Command53 = nullptr,
                *Command63 = nullptr, *Command69 = nullptr, *Command70 = nullptr,
                *Command71 = nullptr, *Command72 = nullptr, *Command73 = nullptr,
                *Command74 = nullptr, *Command75 = nullptr, *Command76 = nullptr;

    // Motion control.
    QGroupBox *Frame3 = nullptr;
    QLabel *Label19 = nullptr, *Label20 = nullptr, *Label21 = nullptr, *Label22 = nullptr,
           *Label23 = nullptr, *Label24 = nullptr, *Label25 = nullptr, *Label26 = nullptr,
           *Label27 = nullptr, *Label28 = nullptr, *Label36 = nullptr, *Label37 = nullptr,
           *Label61 = nullptr, *Label62 = nullptr, *Label64 = nullptr;
    QPushButton *Command18 = nullptr, *Command19 = nullptr, *Command20 = nullptr,
                *Command21 = nullptr, *Command22 = nullptr, *Command23 = nullptr,
                *Command7 = nullptr, *Command65 = nullptr, *Command81 = nullptr,
                *Command88 = nullptr;
    QLineEdit *Text8 = nullptr, *Text9 = nullptr, *Text10 = nullptr, *Text11 = nullptr,
              *Text30 = nullptr, *Text31 = nullptr;
    QComboBox *Combo3 = nullptr, *Combo4 = nullptr, *Combo5 = nullptr, *Combo8 = nullptr;
    QPushButton *Command82 = nullptr, *Command83 = nullptr, *Command84 = nullptr,
                *Command85 = nullptr, *Command86 = nullptr, *Command87 = nullptr,
                *Command89 = nullptr, *Command90 = nullptr;
    QPushButton *Command38 = nullptr, *Command39 = nullptr, *Command40 = nullptr,
                *Command41 = nullptr, *Command42 = nullptr, *Command44 = nullptr,
                *Command45 = nullptr, *Command68 = nullptr;

    // Others, CAN side.
    QGroupBox *Frame5 = nullptr;
    QLabel *Label63 = nullptr, *Label65 = nullptr;
    QPushButton *Command91 = nullptr, *Command92 = nullptr, *Command93 = nullptr,
                *Command94 = nullptr, *Command95 = nullptr, *Command96 = nullptr,
                *Command100 = nullptr, *Command101 = nullptr, *Command102 = nullptr,
                *Command103 = nullptr, *Command104 = nullptr, *Command105 = nullptr,
                *Command106 = nullptr;
    QPushButton *Command97 = nullptr, *Command98 = nullptr, *Command99 = nullptr;
    QLineEdit *Text32 = nullptr, *Text33 = nullptr;
    QComboBox *Combo9 = nullptr;
    LampShape *Shape5 = nullptr, *Shape6 = nullptr, *Shape7 = nullptr, *Shape8 = nullptr,
              *Shape9 = nullptr;

    // Command list.
    QGroupBox *Frame6 = nullptr;
    QListWidget *List1 = nullptr;
    QLabel *Label29 = nullptr, *Label32 = nullptr, *Label33 = nullptr, *Label34 = nullptr,
           *Label35 = nullptr, *Label59 = nullptr, *Label60 = nullptr;
    QPushButton *Command34 = nullptr, *Command35 = nullptr, *Command54 = nullptr,
                *Command55 = nullptr;
    QLineEdit *Text20 = nullptr, *Text21 = nullptr, *Text22 = nullptr;
    QCheckBox *Check1 = nullptr;

    // Manual frame tools and their list shortcuts.
    QLabel *Label3 = nullptr, *Label4 = nullptr, *Label5 = nullptr, *Label6 = nullptr;
    QLineEdit *Text1 = nullptr, *Text2 = nullptr, *Text3 = nullptr, *Text4 = nullptr,
              *Text5 = nullptr;
    QPushButton *Command1 = nullptr, *Command2 = nullptr, *Command5 = nullptr, *Command8 = nullptr,
                *Command9 = nullptr, *Command10 = nullptr, *Command11 = nullptr,
                *Command37 = nullptr, *Command56 = nullptr;
    QPushButton *Command77 = nullptr, *Command78 = nullptr, *Command79 = nullptr,
                *Command80 = nullptr;

    // Traffic panes.
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label44 = nullptr, *Label45 = nullptr;
    RichTextBox *RichTextBox1 = nullptr, *RichTextBox2 = nullptr;
    QPushButton *Command36 = nullptr, *Command6 = nullptr;

    // Other.
    QLabel *Label17 = nullptr, *Label31 = nullptr, *Picture1 = nullptr;
    QRadioButton *Option1 = nullptr, *Option2 = nullptr;

private:
    // Construction (FrmMainUi.cpp): controls, captions, start values, layout.
    void buildUi();
    QWidget *buildInfoTab(const QList<QLabel *> &labels);
    QWidget *buildToolTab();
    QWidget *buildProtocolTab();
    QWidget *buildSerialRow();
    QWidget *buildManualTools();
    QWidget *buildTrafficPanes();
    void buildFrame1();
    void buildFrame2();
    void buildFrame3();
    void buildFrame5();
    void buildFrame6();

    // The window's own connects (FrmMain.cpp); each panel makes its own in one place.
    void connectControls();

    // Serial link (FrmMain.cpp).
    void Command32_Click();
    void Command33_Click();
    void Combo7_Change();
    void Timer1_Timer();
    void onPortLost(const QString &reason);
    void setPortButtons(bool open);
    void refreshPortTips();
    QString openFailureText(const QString &name, const serial::OpenError &error);

    // When the receive poll last ran: a stream of sends, each restarting Timer1, must not keep
    // it from ever running.
    QElapsedTimer m_lastPoll;
    std::unique_ptr<Prompts> m_prompts;
    QHash<QAbstractButton *, std::function<void()>> m_handlers;
    // Handlers of the device buttons, the manual frame tools, and the command list.
    std::unique_ptr<DeviceCommands> m_deviceCommands;
    std::unique_ptr<ManualTools> m_manualTools;
    std::unique_ptr<CommandListPanel> m_commandList;
};
