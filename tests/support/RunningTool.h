#pragma once
// The real r7260-tool executable, started headless with COM1 wired to a pseudo-terminal (or to a
// device path) and driven from outside through its --control socket, as a script would: clicks,
// typing, ticks, what the controls show, message boxes read and answered. The test target
// defines R7260_TOOL_PATH.

#include <QJsonObject>
#include <QJsonValue>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <optional>

#include "tests/support/Pty.h"

class RunningTool {
public:
    struct Dialog {
        QString title;
        QString text;
    };

    // Starts the tool with COM1 on `com1` (empty: the test's own pseudo-terminal) and opens the
    // port when `open` is true.
    explicit RunningTool(bool open = true, const QString &com1 = {});
    ~RunningTool();
    RunningTool(const RunningTool &) = delete;
    RunningTool &operator=(const RunningTool &) = delete;

    // The executable's path.
    static QString program();

    // Ends the tool as the user would; false, with the reason printed, when a dialog was still
    // open or the tool did not end cleanly (a crash, or what the sanitizers found).
    bool quit();

    void click(const QString &button);
    QString text(const QString &control);
    void setText(const QString &control, const QString &text);
    QJsonValue property(const QString &control, const QString &name);
    void setProperty(const QString &control, const QString &name, const QJsonValue &value);
    QStringList items(const QString &control);
    QList<QStringList> rows(const QString &table);
    // Selects a row of a table or list, as a click on it would.
    void select(const QString &view, int row);
    // Brings forward the tab the control is on.
    void show(const QString &control);
    // A click at a point given as fractions of the control's width and height.
    void mouse(const QString &control, bool right, bool shift, double x, double y);
    // Saves a picture of the window, resized first when a size is given.
    void grab(const QString &file, int width = 0, int height = 0);
    quint32 lamp(const QString &name) { return quint32(property(name, "BackColor").toDouble()); }
    bool enabled(const QString &control) { return property(control, "enabled").toBool(); }
    bool isOpen() { return !enabled(QStringLiteral("Command32")); }
    QString sendPane() { return text(QStringLiteral("RichTextBox2")); }
    QString receivePane() { return text(QStringLiteral("RichTextBox1")); }

    // The modal box open now, if any; answering it clicks the named button ("Ok", "Yes", "No")
    // or, for a file dialog, chooses `file` (empty: cancel).
    std::optional<Dialog> dialog();
    std::optional<Dialog> waitForDialog(int timeoutMs = 5000);
    void answer(const QString &button, const QString &file = {});

    // The bytes the tool wrote since the last call, waiting up to `timeoutMs` for `atLeast`.
    QByteArray sent(qsizetype atLeast = 1, int timeoutMs = 3000) {
        return pty.readAtLeast(atLeast, timeoutMs);
    }

    Pty pty;

private:
    // Sends one request with its fields; fails the test, and gives null, when it is refused.
    QJsonValue request(const char *op, QJsonObject fields = {});

    QTemporaryDir m_folder;
    QProcess m_process;
    QLocalSocket m_socket;
};
