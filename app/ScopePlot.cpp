#include "app/ScopePlot.h"

#include <QCoreApplication>
#include <qcustomplot.h>

namespace {

using namespace automation;

// A flag's levels: off at its offset, on one above; the next flag starts this far up.
constexpr double kFlagPitch = 1.5;

const QColor kColors[kChannelCount] = {
    QColor(31, 119, 180), QColor(44, 160, 44),   QColor(214, 39, 40),   QColor(148, 103, 189),
    QColor(140, 86, 75),  QColor(227, 119, 194), QColor(127, 127, 127), QColor(188, 189, 34),
    QColor(23, 190, 207), QColor(255, 127, 14),  QColor(0, 0, 128),     QColor(128, 0, 0)};

QString caption(Channel channel) {
    return QCoreApplication::translate("automation::Trace", channelInfo(channel).caption);
}

} // namespace

ScopePlot::ScopePlot(QWidget *parent) : QObject(parent), m_plot(new QCustomPlot(parent)) {
    m_plot->setObjectName(QStringLiteral("ScopePlot"));
    m_plot->setMinimumSize(420, 300);
    m_plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    // Redrawn up to 30 times a second: plain lines cost a fraction of smoothed ones.
    m_plot->setNotAntialiasedElements(QCP::aeAll);
    m_plot->setPlottingHints(QCP::phCacheLabels | QCP::phFastPolylines);
    // One paint buffer for all layers: the overlay's own (empty here) would be cleared and
    // blended over the whole plot at every redraw.
    if (QCPLayer *overlay = m_plot->layer(QStringLiteral("overlay")))
        overlay->setMode(QCPLayer::lmLogical);
    QCPAxisRect *rect = m_plot->axisRect();
    m_plot->yAxis2->setVisible(true);
    m_flagAxis = rect->addAxis(QCPAxis::atRight);
    m_flagAxis->setTicker(QSharedPointer<QCPAxisTickerText>::create());
    m_flagAxis->setRange(-0.25, kFlagPitch);
    rect->setRangeDragAxes({m_plot->xAxis}, {m_plot->yAxis, m_plot->yAxis2});
    rect->setRangeZoomAxes({m_plot->xAxis}, {m_plot->yAxis, m_plot->yAxis2});
    rect->setRangeZoom(Qt::Horizontal);
    // The legend in a row of its own above the plot, where it hides no part of the trace.
    m_plot->legend->setVisible(true);
    m_plot->legend->setFont(QFont(m_plot->font().family(), 8));
    m_plot->legend->setFillOrder(QCPLegend::foColumnsFirst);
    m_plot->legend->setWrap(6);
    m_plot->legend->setBorderPen(Qt::NoPen);
    m_plot->plotLayout()->insertRow(0);
    m_plot->plotLayout()->addElement(0, 0, m_plot->legend);
    m_plot->plotLayout()->setRowStretchFactor(0, 0.001);

    for (const Channel channel : allChannels()) {
        const Unit unit = channelInfo(channel).unit;
        QCPAxis *axis = unit == Unit::Pulses            ? m_plot->yAxis
                        : unit == Unit::PulsesPerSecond ? m_plot->yAxis2
                                                        : m_flagAxis;
        QCPGraph *graph = m_plot->addGraph(m_plot->xAxis, axis);
        graph->setPen(QPen(kColors[int(channel)], unit == Unit::OnOff ? 1.5 : 1.2));
        graph->setAdaptiveSampling(false); // handed at most two points a pixel column already
        m_graphs[std::size_t(channel)] = graph;
    }
    for (std::size_t i = 0; i < m_cursors.size(); ++i) {
        auto *line = new QCPItemStraightLine(m_plot);
        line->setPen(QPen(i == 0 ? Qt::darkGreen : Qt::darkMagenta, 1, Qt::DashLine));
        line->setVisible(false);
        m_cursors[i] = line;
    }
    connect(m_plot, &QCustomPlot::mousePress, this, [this](QMouseEvent *event) {
        if (event->button() == Qt::RightButton)
            placeCursor(event->modifiers() & Qt::ShiftModifier ? 1 : 0,
                        m_plot->xAxis->pixelToCoord(event->position().x()));
        else
            emit userMoved();
    });
    connect(m_plot, &QCustomPlot::mouseWheel, this, &ScopePlot::userMoved);
    setShown(0);
    retranslate();
}

void ScopePlot::setShown(Groups groups) {
    m_shown = groups;
    int level = 0;
    auto ticker = qSharedPointerCast<QCPAxisTickerText>(m_flagAxis->ticker());
    ticker->clear();
    for (const Channel channel : allChannels()) {
        const ChannelInfo &info = channelInfo(channel);
        QCPGraph *graph = m_graphs[std::size_t(channel)];
        const bool shown = has(groups, info.group);
        graph->setVisible(shown);
        graph->removeFromLegend(); // added again in the channels' order
        if (shown && info.unit == Unit::OnOff) {
            m_offset[std::size_t(channel)] = level * kFlagPitch;
            ticker->addTick(level * kFlagPitch + 0.5, caption(channel));
            ++level;
        }
    }
    for (const Channel channel : allChannels())
        if (has(groups, channelInfo(channel).group))
            m_graphs[std::size_t(channel)]->addToLegend();
    m_flagAxis->setVisible(level > 0);
    m_flagAxis->setRange(-0.25, qMax(1, level) * kFlagPitch);
}

void ScopePlot::retranslate() {
    m_plot->xAxis->setLabel(tr("时间 (s)"));
    m_plot->yAxis->setLabel(tr("位置 (脉冲)"));
    m_plot->yAxis2->setLabel(tr("速度 (脉冲/s)"));
    for (const Channel channel : allChannels())
        m_graphs[std::size_t(channel)]->setName(caption(channel));
    setShown(m_shown); // the flags' names on their axis
}

std::pair<double, double> ScopePlot::span(double zero) const {
    const QCPRange range = m_plot->xAxis->range();
    return {range.lower + zero, range.upper + zero};
}

void ScopePlot::setSpan(double from, double to, double zero) {
    m_plot->xAxis->setRange(from - zero, to - zero);
}

void ScopePlot::draw(const TraceBuffer &buffer, double zero) {
    const auto [from, to] = span(zero);
    const auto decimated = decimate(buffer, from, to, qMax(1, m_plot->axisRect()->width()), zero);
    for (const Channel channel : allChannels()) {
        QCPGraph *graph = m_graphs[std::size_t(channel)];
        if (!graph->visible())
            continue;
        const Decimated &d = decimated[std::size_t(channel)];
        const double offset = m_offset[std::size_t(channel)];
        QVector<QCPGraphData> points(d.keys.size());
        for (qsizetype i = 0; i < d.keys.size(); ++i)
            points[i] = QCPGraphData(d.keys[i], d.values[i] + offset);
        graph->data()->set(points, true);
    }
}

void ScopePlot::fitValues() {
    for (QCPAxis *axis : {m_plot->yAxis, m_plot->yAxis2}) {
        bool any = false;
        for (QCPGraph *graph : m_graphs)
            if (graph->visible() && graph->valueAxis() == axis) {
                graph->rescaleValueAxis(any, true);
                any = true;
            }
        // Room above and below, and a flat line not drawn on the frame.
        const QCPRange range = axis->range();
        const double margin = qMax(range.size() * 0.05, 1.0);
        axis->setRange(range.lower - margin, range.upper + margin);
    }
}

void ScopePlot::replot() {
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void ScopePlot::placeCursor(int which, double x) {
    QCPItemStraightLine *line = m_cursors[std::size_t(which)];
    line->point1->setCoords(x, 0);
    line->point2->setCoords(x, 1);
    line->setVisible(true);
    m_cursorAt[std::size_t(which)] = x;
    replot();
    emit cursorsMoved();
}

void ScopePlot::clearCursors() {
    for (std::size_t i = 0; i < m_cursors.size(); ++i) {
        m_cursors[i]->setVisible(false);
        m_cursorAt[i].reset();
    }
    emit cursorsMoved();
}
