#include "timeseriesitem.h"

#include "valueovertime.h"

#include <qwt_scale_map.h>

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace Utils {
namespace Internal {

namespace {
// Above this many samples per pixel column a column is drawn as its extremes.
const int reduceAbove = 4;

// Lowest and highest of values[0..count), count > 0. Four independent lanes keep the
// compare chains short so the loop runs at memory speed; this is the whole cost of
// drawing millions of samples.
inline void minMax(const double *values, int count, double *lowest, double *highest)
{
    double lo0 = values[0], lo1 = lo0, lo2 = lo0, lo3 = lo0;
    double hi0 = lo0, hi1 = lo0, hi2 = lo0, hi3 = lo0;
    int k = 0;
    for (; k + 4 <= count; k += 4) {
        const double a = values[k], b = values[k + 1], c = values[k + 2], d = values[k + 3];
        lo0 = a < lo0 ? a : lo0;
        lo1 = b < lo1 ? b : lo1;
        lo2 = c < lo2 ? c : lo2;
        lo3 = d < lo3 ? d : lo3;
        hi0 = a > hi0 ? a : hi0;
        hi1 = b > hi1 ? b : hi1;
        hi2 = c > hi2 ? c : hi2;
        hi3 = d > hi3 ? d : hi3;
    }
    for (; k < count; ++k) {
        lo0 = values[k] < lo0 ? values[k] : lo0;
        hi0 = values[k] > hi0 ? values[k] : hi0;
    }
    lo0 = lo1 < lo0 ? lo1 : lo0;
    lo2 = lo3 < lo2 ? lo3 : lo2;
    hi0 = hi1 > hi0 ? hi1 : hi0;
    hi2 = hi3 > hi2 ? hi3 : hi2;
    *lowest = lo2 < lo0 ? lo2 : lo0;
    *highest = hi2 > hi0 ? hi2 : hi0;
}
} // namespace

TimeSeriesItem::TimeSeriesItem(Column column)
    : m_column(column)
{
    setItemAttribute(QwtPlotItem::AutoScale, false);
    setItemAttribute(QwtPlotItem::Legend, false);
    setRenderHint(QwtPlotItem::RenderAntialiased, false);
    setZ(20);
}

void TimeSeriesItem::setSamples(const ValueOverTime *samples)
{
    m_samples = samples;
    itemChanged();
}

void TimeSeriesItem::setPen(const QPen &pen)
{
    m_pen = pen;
    itemChanged();
}

size_t TimeSeriesItem::dataSize() const
{
    return m_samples ? size_t(m_samples->size()) : 0;
}

const double *TimeSeriesItem::values() const
{
    return m_column == Left ? m_samples->pyData() : m_samples->pyRightData();
}

void TimeSeriesItem::drawSeries(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                                const QRectF &canvasRect, int from, int to) const
{
    if (!m_samples || m_samples->size() == 0)
        return;
    const int size = m_samples->size();
    if (to < 0 || to >= size)
        to = size - 1;
    from = qMax(0, from);
    if (from > to)
        return;

    // Only what is visible, plus one sample on each side so the line reaches the border.
    const double xLow = qMin(xMap.s1(), xMap.s2());
    const double xHigh = qMax(xMap.s1(), xMap.s2());
    const double *x = m_samples->pxData();
    int first = int(std::lower_bound(x + from, x + to + 1, xLow) - x);
    int last = int(std::upper_bound(x + first, x + to + 1, xHigh) - x);
    first = qMax(from, first - 1);
    last = qMin(to, last);
    if (first > last)
        return;

    painter->save();
    painter->setPen(m_pen);
    painter->setBrush(Qt::NoBrush);
    const double columns = qMax(1.0, std::fabs(xMap.p2() - xMap.p1()));
    if (last - first + 1 > reduceAbove * columns)
        drawReduced(painter, xMap, yMap, canvasRect, first, last);
    else
        drawRange(painter, xMap, yMap, first, last);
    painter->restore();
}

void TimeSeriesItem::drawRange(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                               int from, int to) const
{
    const double *x = m_samples->pxData();
    const double *y = values();
    QPolygonF line;
    line.reserve(to - from + 1);
    for (int i = from; i <= to; ++i)
        line.append(QPointF(xMap.transform(x[i]), yMap.transform(y[i])));
    if (line.size() == 1)
        painter->drawPoint(line.first());
    else
        painter->drawPolyline(line);
}

void TimeSeriesItem::drawReduced(QPainter *painter, const QwtScaleMap &xMap,
                                 const QwtScaleMap &yMap, const QRectF &canvasRect, int from,
                                 int to) const
{
    Q_UNUSED(canvasRect)
    const double *x = m_samples->pxData();
    const double *y = values();

    // Walk the pixel columns from the first visible sample on; the end of each column is
    // found by binary search in the sorted times, its extremes by one tight pass.
    QPolygonF line;
    line.reserve(int(4 * std::fabs(xMap.p2() - xMap.p1())) + 16);
    int i = from;
    while (i <= to) {
        const double column = std::floor(xMap.transform(x[i]));
        // The first time that maps into the next column.
        const double columnEnd = xMap.invTransform(column + 1.0);
        int end = int(std::lower_bound(x + i + 1, x + to + 1, columnEnd) - x);
        if (end <= i)
            end = i + 1;
        double low;
        double high;
        minMax(y + i, end - i, &low, &high);
        const double px = column + 0.5;
        line.append(QPointF(px, yMap.transform(y[i])));
        if (end - i > 1) {
            line.append(QPointF(px, yMap.transform(low)));
            line.append(QPointF(px, yMap.transform(high)));
            line.append(QPointF(px, yMap.transform(y[end - 1])));
        }
        i = end;
    }
    if (line.size() == 1)
        painter->drawPoint(line.first());
    else
        painter->drawPolyline(line);
}

} // namespace Internal
} // namespace Utils
