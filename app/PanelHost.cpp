#include "app/PanelHost.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>

namespace {

QString textOf(const QWidget *control) {
    if (const auto *box = qobject_cast<const QLineEdit *>(control))
        return box->text();
    if (const auto *combo = qobject_cast<const QComboBox *>(control))
        return combo->currentText();
    return {};
}

} // namespace

Handler commandHandler(PanelHost &host, device::FunctionCode code, QList<QWidget *> sources,
                       unsigned captures) {
    return [&host, code, sources, captures] {
        QStringList arguments;
        for (const QWidget *source : sources)
            arguments << textOf(source);
        host.sendCommand(code, arguments, captures);
    };
}

Handler commandHandler(PanelHost &host, device::FunctionCode code, QStringList arguments,
                       unsigned captures) {
    return [&host, code, arguments, captures] { host.sendCommand(code, arguments, captures); };
}

void bindClick(QAbstractButton *button, Handler handler) {
    QObject::connect(button, &QAbstractButton::clicked, button, [handler] { handler(); });
}

void bindCapture(QAbstractButton *button, PanelHost &host, Capture capture, Handler target) {
    QObject::connect(button, &QAbstractButton::clicked, button, [&host, capture, target] {
        host.setCapture(capture);
        target();
    });
}
