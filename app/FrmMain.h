#pragma once
// The tool's one window. It composes the panels, each of which builds and owns its group, and
// keeps the routines the rest of the tool calls: SendFrame for every outgoing frame, HandleReply
// for every read of received bytes, and the 200 ms receive poll Timer1_Timer. Every control
// carries the name the engineer knows it by as its object name: findChild<QWidget *>("Command12")
// finds it.

#include <QByteArray>
#include <QElapsedTimer>
#include <QMainWindow>
#include <memory>
#include <optional>

#include "app/PanelHost.h"
#include "automation/BusScan.h"
#include "transmission/Engine.h"

class CommandListPanel;
class MotionPanel;
class OthersPanel;
class ParameterPanel;
class ParameterSetPanel;
class ScanPanel;
class Prompts;
class QTabWidget;
class SerialPanel;
class TrafficPanes;
class WindowTimer;
namespace transmission {
struct Reply;
}


class FrmMain : public QMainWindow, private PanelHost {
    Q_OBJECT
    Q_PROPERTY(bool AddToListMode MEMBER AddToListMode)
    Q_PROPERTY(bool AddToIoMode MEMBER AddToIoMode)
    Q_PROPERTY(int RunLine READ runLine WRITE setRunLine)

public:
    explicit FrmMain(QWidget *parent = nullptr);
    ~FrmMain() override;

    // Replaces the message boxes and file dialogs (tests answer them without a human).
    void setPrompts(std::unique_ptr<Prompts> prompts);

    // Every outgoing frame goes through here: captioned, optionally register-mapped, counted,
    // shown, and written with the receive poll paused around the write. Nothing while the port
    // is closed.
    void SendFrame(const QByteArray &frame);
    // One read of received bytes: shown and counted as they travelled; every reply frame the read
    // completes is named and decoded into the window, in the order the frames came. A frame cut
    // at the end of the read waits for its rest.
    void HandleReply(const QByteArray &data, int count);
    // The receive poll: everything waiting goes to HandleReply in reads of at most 512 bytes. A
    // poll that finds nothing while a reply waits for its rest reports that reply incomplete.
    void Timer1_Timer();

    // Records the traffic to a new file from now on (the command line's --log); false, with a
    // message, when the file cannot be written.
    bool startTrafficRecord(const QString &path);
    // What every panel and feature talks to the device through.
    transmission::Engine &engine() { return *m_engine; }

    int runLine() const;
    void setRunLine(int line);

signals:
    // After HandleReply: the bytes of one read (the on-screen counter resets with its pane).
    void replyHandled(int count);

protected:
    void changeEvent(QEvent *event) override;

private:
    // What the panels ask of the window.
    void sendCommand(device::FunctionCode code, const QStringList &arguments,
                     unsigned captures) override;
    void sendFrame(const QByteArray &frame) override { SendFrame(frame); }
    void switchMappingOff() override;
    void setCapture(Capture capture) override;
    void captureLine(const QString &line) override;
    Prompts &prompts() override { return *m_prompts; }
    void showStatus(const ui::Message &message) override;
    void showStatus(const QString &text) override;

    QWidget *toolTab();
    QWidget *scopeTab();
    void retranslateTabs();
    // A frame, with its body when it was built here (so it is not read back).
    void send(const QByteArray &frame, std::optional<QByteArray> body);
    // One read of received bytes as the engine hands it on.
    void showRead(const transmission::Received &read);
    // Shows the replies' meaning and returns their message lines, in the replies' order.
    QStringList showReplies(const std::vector<transmission::Reply> &replies);
    // The one place where what a reply means becomes boxes, lamps and texts.
    void showReply(const transmission::Reply &reply);
    void onPortLost(const QString &reason);
    void backUpScanned(const std::vector<automation::ScanHit> &drives);

    bool AddToListMode = false;
    bool AddToIoMode = false;

    transmission::Engine *m_engine;
    QObject *MSComm1; // the port, as the window knows it
    WindowTimer *Timer1;
    // When the receive poll last ran: a stream of sends, each restarting Timer1, must not keep
    // it from ever running.
    QElapsedTimer m_lastPoll;
    std::unique_ptr<Prompts> m_prompts;

    QTabWidget *SSTab1;
    SerialPanel *m_serial;
    ParameterPanel *m_parameters;
    MotionPanel *m_motion;
    OthersPanel *m_others;
    CommandListPanel *m_list;
    TrafficPanes *m_traffic;
    ParameterSetPanel *m_parameterSets;
    ScanPanel *m_scan;
    QWidget *m_scope;
};
