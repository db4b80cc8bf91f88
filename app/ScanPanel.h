#pragma once
// "总线扫描": finds the drives on the line (automation/BusScan.h) and lists them with their line
// speed, framing, response time and parameters; a drive found is taken into the serial settings
// with a double-click or "使用所选设备".

#include <QWidget>
#include <functional>
#include <vector>

#include "automation/BusScan.h"
#include "codec/Framing.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
namespace automation {
class BusScan;
struct ScanHit;
enum class ScanEnd;
} // namespace automation
namespace transmission {
class Engine;
}
namespace ui {
class Texts;
}

class ScanPanel : public QWidget {
    Q_OBJECT

public:
    explicit ScanPanel(transmission::Engine &engine);

signals:
    // address: hex digits, as the address box takes them.
    void useDrive(const QString &address, qint32 speed, codec::Framing framing);
    // "备份找到的设备...": the drives found (not the damaged addresses).
    void backUpDrives(const std::vector<automation::ScanHit> &drives);

private:
    void start();
    void showProgress(int probed, int total, qint64 msLeft);
    void showFinished(automation::ScanEnd end, const QString &problem);
    void showRow(int row, const automation::ScanHit &hit);
    void showHeaders();
    void useRow(int row);
    void setRunning(bool running);
    // The message below the table, shown again in the new language after a switch.
    void say(std::function<QString()> text);

    transmission::Engine &m_engine;
    automation::BusScan *m_scan;
    ui::Texts *m_texts;
    QLineEdit *m_first, *m_last;
    QComboBox *m_framing;
    QSpinBox *m_turnaround;
    std::vector<QCheckBox *> m_speeds;
    QPushButton *m_start, *m_cancel, *m_use, *m_backup;
    QProgressBar *m_progress;
    QLabel *m_timeLeft, *m_message;
    QTableWidget *m_table;
    std::function<QString()> m_say;
};
