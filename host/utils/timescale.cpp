#include "timescale_p.h"

#include <qwt_date.h>
#include <qwt_scale_div.h>

#include <QFontMetrics>

namespace Utils::Internal {

TimeScaleDraw::TimeScaleDraw()
    : QwtDateScaleDraw(Qt::LocalTime)
{
}

QString TimeScaleDraw::labelTextFor(double value, const QwtScaleDiv &div) const
{
    return QwtDate::toString(toDateTime(value), dateFormat(intervalType(div)), week0Type());
}

TimeScaleEngine::TimeScaleEngine(const TimeScaleDraw *draw, std::function<int()> axisLength,
                                 std::function<QFont()> font)
    : QwtDateScaleEngine(Qt::LocalTime)
    , m_draw(draw)
    , m_axisLength(std::move(axisLength))
    , m_font(std::move(font))
{
}

bool TimeScaleEngine::labelsFit(const QwtScaleDiv &div, int length) const
{
    const QList<double> ticks = div.ticks(QwtScaleDiv::MajorTick);
    const double lower = qMin(div.lowerBound(), div.upperBound());
    const double range = qAbs(div.upperBound() - div.lowerBound());
    if (ticks.size() < 2 || range <= 0.0)
        return true;
    const QFontMetrics metrics(m_font());
    double previousRight = 0.0;
    bool first = true;
    for (double tick : ticks) {
        const double position = (tick - lower) / range * length;
        const double half = metrics.horizontalAdvance(m_draw->labelTextFor(tick, div)) / 2.0;
        if (!first && position - half < previousRight + minimumGap)
            return false;
        previousRight = position + half;
        first = false;
    }
    return true;
}

QwtScaleDiv TimeScaleEngine::divideScale(double x1, double x2, int maxMajorSteps, int maxMinorSteps,
                                         double stepSize) const
{
    const int length = m_axisLength ? m_axisLength() : 0;
    // A step asked for explicitly, or an axis not laid out yet, is left to the date engine.
    if (stepSize != 0.0 || length <= 0 || !m_draw)
        return QwtDateScaleEngine::divideScale(x1, x2, maxMajorSteps, maxMinorSteps, stepSize);
    const QFont font = m_font();
    if (x1 == m_last.x1 && x2 == m_last.x2 && maxMajorSteps == m_last.maxMajorSteps
        && maxMinorSteps == m_last.maxMinorSteps && length == m_last.length
        && int(attributes()) == m_last.attributes && font == m_last.font)
        return m_last.div;
    QwtScaleDiv div;
    for (int steps = qMax(1, maxMajorSteps); steps >= 1; --steps) {
        div = QwtDateScaleEngine::divideScale(x1, x2, steps, maxMinorSteps, 0.0);
        if (labelsFit(div, length))
            break;
    }
    m_last = { x1, x2, maxMajorSteps, maxMinorSteps, length, int(attributes()), font, div };
    return div;
}

} // namespace Utils::Internal
