#pragma once
// Answers the window's message boxes and file dialogs without a human: records every message,
// answers questions and file dialogs from queues (No and cancel when a queue is empty).

#include <QQueue>
#include <QStringList>

#include "app/Prompts.h"

class ScriptedPrompts : public Prompts {
public:
    struct Shown {
        QString title;
        QString text;
    };
    QList<Shown> messages;
    QList<Shown> questions;
    QList<Shown> fileDialogs; // title and filter
    QQueue<bool> yesNoAnswers;
    QQueue<QString> fileNames;
    void message(const QString &title, const QString &text) override {
        messages.append({title, text});
    }
    bool askYesNo(const QString &title, const QString &text) override {
        questions.append({title, text});
        return !yesNoAnswers.isEmpty() && yesNoAnswers.dequeue();
    }
    QString openFileName(const QString &title, const QString &filter) override {
        fileDialogs.append({title, filter});
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }
    QString saveFileName(const QString &title, const QString &filter) override {
        return openFileName(title, filter);
    }
    QString folderName(const QString &title) override { return openFileName(title, {}); }
};
