#pragma once
// The scope's plot: one graph per channel on an axis per unit (pulses on the left, pulses/s on
// the right, the on/off flags stacked on a third axis named by their channels), time along the
// bottom, counted from the trigger. It draws what it is handed, already reduced to the lowest and
// highest value per pixel column. Two cursors: a right click places A, Shift and a right click B.

#include <QObject>
#include <array>
#include <optional>

#include "automation/TraceBuffer.h"

class QCustomPlot;
class QCPAxis;
class QCPGraph;
class QCPItemStraightLine;
class QWidget;

class ScopePlot : public QObject {
    Q_OBJECT

public:
    explicit ScopePlot(QWidget *parent);

    QCustomPlot *widget() const { return m_plot; }
    // The channels drawn (and named in the legend and on the flags' axis).
    void setShown(automation::Groups groups);
    // Shows the trace from `from` to `to` (the trace's clock), time counted from `zero`.
    void draw(const automation::TraceBuffer &buffer, double zero);
    // The time span on the x axis, on the trace's clock given its zero.
    std::pair<double, double> span(double zero) const;
    void setSpan(double from, double to, double zero);
    // The value axes fitted to what is shown.
    void fitValues();
    // Texts in the current language.
    void retranslate();
    void replot();

    std::optional<double> cursor(int which) const { return m_cursorAt[std::size_t(which)]; }
    void clearCursors();

signals:
    // The user dragged or zoomed: the view no longer follows the trace.
    void userMoved();
    void cursorsMoved();

private:
    void placeCursor(int which, double x);

    QCustomPlot *m_plot;
    QCPAxis *m_flagAxis;
    std::array<QCPGraph *, automation::kChannelCount> m_graphs{};
    std::array<double, automation::kChannelCount> m_offset{}; // a flag's level on its axis
    automation::Groups m_shown = 0;
    std::array<QCPItemStraightLine *, 2> m_cursors{};
    std::array<std::optional<double>, 2> m_cursorAt;
};
