#pragma once
// The corner beside the command list: the language choice, the version and the device's picture.

#include <QWidget>

class LanguagePanel : public QWidget {
    Q_OBJECT

public:
    LanguagePanel();
};
