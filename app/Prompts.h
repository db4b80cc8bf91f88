#pragma once
// The one seam through which the window asks the user something: message boxes and the file
// dialog. The window uses DialogPrompts; tests install their own answers.

#include <QString>

class QWidget;

class Prompts {
public:
    virtual ~Prompts() = default;
    // The title of a message box that names no title of its own.
    static QString applicationTitle();

    // An OK-only message box.
    virtual void message(const QString &title, const QString &text) = 0;
    void inform(const QString &text) { message(applicationTitle(), text); }
    // A Yes/No question; true for Yes.
    virtual bool askYesNo(const QString &title, const QString &text) = 0;
    // The chosen file name, empty when cancelled. The filter is in the window's own form:
    // "description|pattern|description|pattern||".
    virtual QString openFileName(const QString &title, const QString &filter) = 0;
    virtual QString saveFileName(const QString &title, const QString &filter) = 0;
    // The chosen folder, empty when cancelled.
    virtual QString folderName(const QString &title) = 0;
};

class DialogPrompts : public Prompts {
public:
    explicit DialogPrompts(QWidget *parent) : m_parent(parent) {}

    void message(const QString &title, const QString &text) override;
    bool askYesNo(const QString &title, const QString &text) override;
    QString openFileName(const QString &title, const QString &filter) override;
    QString saveFileName(const QString &title, const QString &filter) override;
    QString folderName(const QString &title) override;

    // "txt文件(*.txt)|*.txt|所有文件(*.*)|*.*||" as a Qt filter: "txt文件(*.txt);;所有文件(*.*)".
    static QString qtFilter(const QString &filter);

private:
    QWidget *m_parent;
};
