#pragma once
// The manual frame tools: typed hex sent raw or framed, CRC and LRC, string/hex conversion.

#include <QObject>

class FrmMain;

class ManualTools : public QObject {
    Q_OBJECT

public:
    explicit ManualTools(FrmMain &window);

private:
    FrmMain &form;
};
