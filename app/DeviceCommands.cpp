#include "app/DeviceCommands.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include "app/FrmMain.h"
#include "app/Prompts.h"
#include "codec/HexText.h"
#include "device/CommandTable.h"
#include "device/RequestBuilder.h"

DeviceCommands::DeviceCommands(FrmMain &window) : QObject(&window), form(window) {
    for (const device::CommandSpec &command : device::commandTable())
        form.bind(button(command.button), [this, &command] { run(command); });
    for (const device::CaptureButton &capturing : device::captureButtons())
        form.bind(button(capturing.button), [this, &capturing] { capture(capturing); });
}

QAbstractButton *DeviceCommands::button(const char *name) const {
    auto *found = form.findChild<QAbstractButton *>(QLatin1String(name));
    Q_ASSERT_X(found, "DeviceCommands", name);
    return found;
}

QString DeviceCommands::controlText(const char *name) const {
    QObject *control = form.findChild<QObject *>(QLatin1String(name));
    if (auto *box = qobject_cast<QLineEdit *>(control))
        return box->text();
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return combo->currentText();
    return {};
}

void DeviceCommands::run(const device::CommandSpec &command) {
    const device::BuildResult built = device::buildRequest(
        command, [this](const char *name) { return controlText(name); }, form.framing());
    if (const auto *refusal = std::get_if<device::Refusal>(&built)) {
        form.prompts().message(refusal->title, refusal->message);
        return;
    }
    const auto *request = std::get_if<device::Request>(&built);
    if (!request)
        return;

    // IO capture first: the body without the address (in either framing, the bytes the device
    // binds, not the characters of an ASCII frame).
    if ((command.captures & device::IoCapture) && form.AddToIoMode) {
        form.AddToIoMode = false;
        form.Text31->setText(CommSetting::FormatHexText(request->body.mid(1)));
    }
    if ((command.captures & device::ListCapture) && form.AddToListMode) {
        form.AddToListMode = false;
        form.List1->addItem(CommSetting::FormatHexText(request->frame));
    }
    form.SendFrame(request->frame);
}

void DeviceCommands::capture(const device::CaptureButton &capturing) {
    if (capturing.kind == device::ListCapture)
        form.AddToListMode = true;
    else
        form.AddToIoMode = true;
    form.runHandlerOf(button(capturing.target));
}
