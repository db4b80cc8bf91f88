#pragma once
// The corner beside the command list: the language choice, the version and the device's picture.
//
// Chinese is the source language of every text; another language is a translation embedded as
// :/i18n/r7260-tool_<code>.qm. "中文" (Option1) and "English" (Option2) switch the whole
// application at once and keep the choice for the next start (the setting "language": "zh",
// "en", or the code of any other embedded translation). Without a stored choice the window
// starts in Chinese with neither button selected.

#include <QString>
#include <QWidget>

class QTranslator;

class LanguagePanel : public QWidget {
    Q_OBJECT

public:
    LanguagePanel();

private:
    // Stores the choice, then shows it.
    void choose(const QString &language);
    // Installs the language's translation on the application (none for Chinese).
    void showLanguage(const QString &language);

    // Installed while a language other than Chinese is shown; leaves with the window.
    QTranslator *m_translator;
    QString m_shown;
};
