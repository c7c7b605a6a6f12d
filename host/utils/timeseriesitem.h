#pragma once

#include <qwt_plot_seriesitem.h>

#include <QPen>

namespace Utils {

class ValueOverTime;

namespace Internal {

// Draws one value column of a ValueOverTime against its times without copying the samples.
// A full draw looks only at the samples inside the visible time range (found by binary
// search) and, when there are more of them than a few per pixel column, reduces each column
// to its first, lowest, highest and last value, so the cost depends on the canvas width and
// not on the number of samples beyond one pass over the visible ones. A partial draw
// (from, to), as the chart asks for when samples are appended, draws those
// samples as they are.
class TimeSeriesItem : public QwtPlotSeriesItem
{
public:
    enum Column { Left, Right };

    explicit TimeSeriesItem(Column column);

    void setSamples(const ValueOverTime *samples);
    void setPen(const QPen &pen);
    QPen pen() const { return m_pen; }

    int rtti() const override { return QwtPlotItem::Rtti_PlotUserItem + 1; }

    void drawSeries(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                    const QRectF &canvasRect, int from, int to) const override;

    // QwtAbstractSeriesStore: the chart sets its scales itself, so the item reports no
    // bounding rectangle (which would cost a pass over all samples).
    void dataChanged() override { }
    void setRectOfInterest(const QRectF &) override { }
    QRectF dataRect() const override { return QRectF(0.0, 0.0, -1.0, -1.0); }
    size_t dataSize() const override;

private:
    const double *values() const;
    void drawRange(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap, int from,
                   int to) const;
    void drawReduced(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                     const QRectF &canvasRect, int from, int to) const;

    Column m_column;
    const ValueOverTime *m_samples = nullptr;
    QPen m_pen;
};

} // namespace Internal
} // namespace Utils
