#pragma once

#include <qwt_date_scale_draw.h>
#include <qwt_date_scale_engine.h>

#include <qwt_scale_div.h>

#include <QFont>

#include <functional>

class QwtPlot;

namespace Utils::Internal {

// Time labels of the chart. Tells the width a label takes before the scale is drawn, so that
// the engine can pick ticks that keep labels apart.
class TimeScaleDraw : public QwtDateScaleDraw
{
public:
    TimeScaleDraw();

    // The text of the label at value when the scale is divided as div.
    QString labelTextFor(double value, const QwtScaleDiv &div) const;
};

// Chooses as many major ticks as the axis length holds without labels touching: asks the
// date engine for fewer ticks (so coarser steps) until every neighbouring pair of labels has
// a gap between them.
class TimeScaleEngine : public QwtDateScaleEngine
{
public:
    // axisLength gives the pixels the axis spans; draw and font give the labels' widths.
    TimeScaleEngine(const TimeScaleDraw *draw, std::function<int()> axisLength,
                    std::function<QFont()> font);

    QwtScaleDiv divideScale(double x1, double x2, int maxMajorSteps, int maxMinorSteps,
                            double stepSize = 0.0) const override;

    // True when the labels of div's major ticks, drawn on an axis length pixels long, keep at
    // least the minimum gap from each other.
    bool labelsFit(const QwtScaleDiv &div, int length) const;

    static constexpr int minimumGap = 8;

private:
    // The last division asked for and its result: every replot divides all axes again, and
    // most replots (a new left scale, a unit change while connecting) keep the time range.
    struct Division
    {
        double x1 = 0.0;
        double x2 = 0.0;
        int maxMajorSteps = -1;
        int maxMinorSteps = -1;
        int length = -1;
        int attributes = -1;
        QFont font;
        QwtScaleDiv div;
    };

    const TimeScaleDraw *m_draw;
    std::function<int()> m_axisLength;
    std::function<QFont()> m_font;
    mutable Division m_last;
};

} // namespace Utils::Internal
