#pragma once
// "参数组": parameter sets. Two sides, A and B, each read from a drive (at its own address) or
// opened from a file, and saved; the table compares them, showing only what differs unless
// "显示全部" is ticked. "写入设备" writes B's ticked entries to the drive at A's address, each
// read back where the device can be asked, with a result per entry.

#include <QWidget>
#include <array>
#include <functional>
#include <map>

#include "automation/ParameterTransfer.h"

class PanelHost;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
namespace transmission {
class Engine;
}
namespace ui {
class Texts;
}

class ParameterSetPanel : public QWidget {
    Q_OBJECT

public:
    // framing: the window's framing at the time of a read or a write.
    ParameterSetPanel(PanelHost &host, transmission::Engine &engine,
                      std::function<codec::Framing()> framing);

private:
    struct Side {
        QLineEdit *address = nullptr;
        QLabel *source = nullptr; // where the set came from
        std::optional<device::ParameterSet> set;
        QString origin;      // the file's name, or the drive's address
        bool device = false; // read from a drive
    };

    QWidget *sideRow(int side, const char *title);
    void read(int side);
    void open(int side);
    void save(int side);
    void write();
    void refresh();
    void showResult(const automation::EntryResult &result);
    void finishWrite(const automation::WriteOutcome &outcome);
    void setBusy(bool busy);
    // Says so when the port is closed.
    bool portOpen();
    // Write-only settings the window has boxes for: the values typed there.
    void takeFromWindow(device::ParameterSet &set) const;
    QString problemText(const device::SetProblem &problem) const;
    QString stopText(const automation::Stop &stop) const;

    PanelHost &m_host;
    transmission::Engine &m_engine;
    std::function<codec::Framing()> m_framing;
    ui::Texts *m_texts;
    std::array<Side, 2> m_sides;
    QCheckBox *m_lineSettings, *m_showAll;
    QTableWidget *m_table;
    QPushButton *m_write;
    QLabel *m_summary;
    // What the latest read or write says, in the reader's language; nothing: the comparison.
    std::function<QString()> m_said;
    std::vector<QWidget *> m_buttons;                     // disabled while the drive is talked to
    std::map<QString, bool> m_ticks;                      // by setting name: the engineer's choice
    std::map<QString, automation::EntryResult> m_results; // by setting name
};
