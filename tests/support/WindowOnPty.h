#pragma once
// The tool's window with COM1 wired to a fresh pseudo-terminal, for tests that read what the
// tool sends at the far side and write what a device would answer.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "app/FrmMain.h"
#include "tests/support/Pty.h"
#include "tests/support/ScriptedPrompts.h"

struct WindowOnPty {
    Pty pty;
    std::unique_ptr<FrmMain> window;
    ScriptedPrompts *prompts = nullptr; // owned by the window

    // Creates the window; opens COM1 when `open` is true.
    explicit WindowOnPty(bool open = true) {
        wireComPort(1, pty.slavePath());
        window = std::make_unique<FrmMain>();
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        window->setPrompts(std::move(scripted));
        if (open)
            click("Command32");
    }

    template <class T = QWidget> T *control(const QString &name) const {
        T *found = window->findChild<T *>(name);
        if (!found)
            QTest::qFail(qPrintable(QStringLiteral("no control ") + name), __FILE__, __LINE__);
        return found;
    }
    void click(const QString &button) const {
        if (auto *b = control<QPushButton>(button))
            QTest::mouseClick(b, Qt::LeftButton);
    }
    bool isOpen() const { return !control<QPushButton>(QStringLiteral("Command32"))->isEnabled(); }
    QString sendPane() const {
        return control(QStringLiteral("RichTextBox2"))->property("Text").toString();
    }
    QString receivePane() const {
        return control(QStringLiteral("RichTextBox1"))->property("Text").toString();
    }
    // The text of a text box, label or combo box, and setting it as typing would.
    QString text(const QString &name) const {
        const QObject *c = control(name);
        return c->property(qobject_cast<const QComboBox *>(c) ? "currentText" : "text").toString();
    }
    void setText(const QString &name, const QString &text) const {
        QObject *c = control(name);
        c->setProperty(qobject_cast<const QComboBox *>(c) ? "currentText" : "text", text);
    }
    quint32 lamp(const QString &name) const {
        return control(name)->property("BackColor").toUInt();
    }
    // The bytes the tool wrote since the last call, waiting up to `timeoutMs` for `atLeast`.
    QByteArray sent(qsizetype atLeast = 1, int timeoutMs = 2000) {
        return pty.readAtLeast(atLeast, timeoutMs);
    }
    // Clicks a button and returns the bytes it put on the line.
    QByteArray frameOf(const QString &button, qsizetype atLeast = 1) {
        pty.readAvailable();
        click(button);
        return sent(atLeast);
    }
};
