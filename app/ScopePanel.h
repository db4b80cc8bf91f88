#pragma once
// "示波器": a live trace of the device's positions, speed, motion state and inputs, polled in the
// background through the window's engine (its traffic goes to the record, not to the panes). The
// plot is redrawn at most 30 times a second whatever the sample rate. Beside it: the channels,
// the rate, the trigger (free running, a move command sent, a motion-state change) with its
// pre-trigger, the counters, the move's measurements and the cursors' readout; CSV and PNG export.

#include <QScrollArea>
#include <QString>

#include "automation/TraceMeasure.h"
#include "automation/TraceSampler.h"

class PanelHost;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTimer;
class ScopePlot;
namespace ui {
class Texts;
}

class ScopePanel : public QScrollArea {
    Q_OBJECT

public:
    ScopePanel(PanelHost &host, transmission::Engine &engine,
               automation::TraceSampler::QueryBuilder build);

    const automation::TraceSampler &sampler() const { return *m_sampler; }
    const automation::MoveMeasurements &measurements() const { return m_measured; }

private:
    void start();
    void stop();
    void setPaused(bool paused);
    void redraw();
    void showCounters();
    void showMeasurements();
    void showCursors();
    void exportCsv();
    void exportPng();
    automation::Groups ticked() const;
    // Where the shown trace starts and its time zero.
    double from() const;
    double zero() const { return m_trigger->zero(); }

    PanelHost &m_host;
    automation::TraceSampler *m_sampler;
    automation::TraceTrigger *m_trigger;
    ui::Texts *m_texts;
    ScopePlot *m_plot;
    QTimer *m_redraw;
    std::array<QCheckBox *, automation::kGroupCount> m_groups{};
    QSpinBox *m_rate;
    QComboBox *m_triggerMode;
    QSpinBox *m_pretrigger;
    QPushButton *m_start, *m_stop, *m_pause;
    QLabel *m_counters, *m_state, *m_measurements, *m_cursors;
    automation::MoveMeasurements m_measured;
    bool m_dirty = false;
    bool m_fitOnce = false;
    const char *m_stateText = nullptr; // source text of the trigger's state
    // The sample rate shown: samples counted at the last look, and when.
    qint64 m_samplesBefore = 0;
    double m_rateAt = 0;
    double m_countedAt = 0;
    double m_samplesPerSecond = 0;
};
