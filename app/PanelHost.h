#pragma once
// What a panel may ask of the window it sits in: send a device command or a frame, take the
// list capture, ask the user, say something in the status bar.

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <functional>

#include "device/Protocol.h"

class Prompts;
namespace ui {
struct Message;
}
class QAbstractButton;
class QWidget;

// Which captures a command honours: a ">" button's list capture, a "↓" button's IO capture.
enum Capture : unsigned { NoCapture = 0, ListCapture = 1, IoCapture = 2 };

class PanelHost {
public:
    virtual ~PanelHost() = default;

    // A device command built from the window's device address and framing and the argument
    // texts given: refused with a message when a value cannot travel, captured as the flags and
    // `captures` allow, then sent.
    virtual void sendCommand(device::FunctionCode code, const QStringList &arguments,
                             unsigned captures) = 0;
    // A frame as it stands (see FrmMain::SendFrame).
    virtual void sendFrame(const QByteArray &frame) = 0;
    // Unticks the register mapping: frames typed by hand go out as typed.
    virtual void switchMappingOff() = 0;
    // Sets a capture flag for the handler that runs next.
    virtual void setCapture(Capture capture) = 0;
    // When the list capture is set: clears it and appends the line to the command list.
    virtual void captureLine(const QString &line) = 0;
    virtual Prompts &prompts() = 0;
    // A message of the tool's own, shown again in the new language after a language change.
    virtual void showStatus(const ui::Message &message) = 0;
    // A text that is no message of ours (a server's words): shown as it is.
    virtual void showStatus(const QString &text) = 0;
};

using Handler = std::function<void()>;

// The handler of a device-command button: the command with the current texts of its source
// controls (text boxes, combo boxes) as its arguments.
Handler commandHandler(PanelHost &host, device::FunctionCode code, QList<QWidget *> sources,
                       unsigned captures = NoCapture);
// The same with fixed argument texts.
Handler commandHandler(PanelHost &host, device::FunctionCode code, QStringList arguments,
                       unsigned captures = NoCapture);

// A click runs the handler.
void bindClick(QAbstractButton *button, Handler handler);
// A ">" or "↓" button: sets its capture flag, then runs its target's handler as a click would.
void bindCapture(QAbstractButton *button, PanelHost &host, Capture capture, Handler target);
