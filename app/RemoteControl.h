#pragma once
// Drives the running window from another program, as an engineer's hands would: click a button,
// type into a box, tick a box, read what a control shows, read and answer a message box or a
// file dialog. It listens on a local socket only its own user can open, and only when the tool
// is started with --control; acceptance checks and bench scripts use it against the real
// executable. The requests are in the README ("Driving the window from a script").

#include <QJsonObject>
#include <QObject>
#include <functional>

class QLocalServer;
class QLocalSocket;
class QWidget;

class RemoteControl : public QObject {
    Q_OBJECT

public:
    explicit RemoteControl(QWidget *window, QObject *parent = nullptr);
    // Listens at `name` (a path, or a name in the runtime folder); false, with the reason in
    // errorString(), when it cannot.
    bool listen(const QString &name);
    QString errorString() const;

private:
    void serve(QLocalSocket *socket, const QJsonObject &request);
    // The reply to one request; `then` is what it does once the reply has gone.
    QJsonObject answer(const QJsonObject &request, std::function<void()> &then);

    QWidget *m_window;
    QLocalServer *m_server;
    QString m_refusal;
};
