#include "simpletimechart.h"
#include "simpletimechart_p.h"

#include "timescale_p.h"
#include "timeseriesitem.h"

#include <qwt_date.h>
#include <qwt_date_scale_draw.h>
#include <qwt_date_scale_engine.h>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_map.h>
#include <qwt_scale_widget.h>

#include <QDateTime>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace Utils {

namespace {
const QColor leftColor(0x2d, 0x6c, 0xdf);
const QColor rightColor(0xe0, 0x7b, 0x20);
const QColor onColor(0x2e, 0xaa, 0x5c);
const QColor offColor(0xd6, 0x45, 0x41);
// Where the newest sample lands when the time window moves on while following.
const double followPosition = 0.8;
const int labelInterval = 100;
} // namespace

SimpleTimeChartPrivate::SimpleTimeChartPrivate(SimpleTimeChart *chart)
    : q(chart)
{
}

void SimpleTimeChartPrivate::setupPlot()
{
    plot = new QwtPlot(q);
    plot->setAutoReplot(false);
    auto canvas = new QwtPlotCanvas(plot);
    canvas->setFrameStyle(QFrame::NoFrame);
    // The backing store is what QwtPlotDirectPainter paints new samples into.
    canvas->setPaintAttribute(QwtPlotCanvas::BackingStore, true);
    canvas->setMouseTracking(true);
    plot->setCanvas(canvas);
    plot->setCanvasBackground(Qt::white);

    auto scaleDraw = new Internal::TimeScaleDraw;
    scaleDraw->setDateFormat(QwtDate::Millisecond, QStringLiteral("hh:mm:ss.zzz"));
    scaleDraw->setDateFormat(QwtDate::Second, QStringLiteral("hh:mm:ss"));
    scaleDraw->setDateFormat(QwtDate::Minute, QStringLiteral("hh:mm"));
    scaleDraw->setDateFormat(QwtDate::Hour, QStringLiteral("dd.MM. hh:mm"));
    scaleDraw->setDateFormat(QwtDate::Day, QStringLiteral("dd.MM.yyyy"));
    scaleDraw->setDateFormat(QwtDate::Week, QStringLiteral("dd.MM.yyyy"));
    scaleDraw->setDateFormat(QwtDate::Month, QStringLiteral("MM.yyyy"));
    scaleDraw->setDateFormat(QwtDate::Year, QStringLiteral("yyyy"));
    plot->setAxisScaleDraw(QwtPlot::xBottom, scaleDraw);
    // The number of time labels follows the width the axis has, so that they never overlap.
    QwtPlot *timePlot = plot;
    plot->setAxisScaleEngine(
        QwtPlot::xBottom,
        new Internal::TimeScaleEngine(
            scaleDraw, [timePlot] { return timePlot->canvas()->contentsRect().width(); },
            [timePlot] { return timePlot->axisWidget(QwtPlot::xBottom)->font(); }));
    plot->setAxisMaxMinor(QwtPlot::xBottom, 5);
    plot->axisWidget(QwtPlot::xBottom)->setMinBorderDist(0, 40);
    plot->enableAxis(QwtPlot::yRight, false);

    grid = new QwtPlotGrid;
    grid->setMajorPen(QColor(0xdd, 0xe1, 0xe6), 0, Qt::DotLine);
    grid->attach(plot);

    baseline = new QwtPlotMarker;
    baseline->setLineStyle(QwtPlotMarker::HLine);
    baseline->setLinePen(QColor(0x7a, 0x84, 0x8f), 1.0, Qt::DashLine);
    baseline->setZ(10);
    baseline->setVisible(false);
    baseline->attach(plot);

    leftCurve = new Internal::TimeSeriesItem(Internal::TimeSeriesItem::Left);
    leftCurve->setPen(QPen(leftColor, 1.0));
    leftCurve->setSamples(&samples);
    leftCurve->attach(plot);

    rightCurve = new Internal::TimeSeriesItem(Internal::TimeSeriesItem::Right);
    rightCurve->setPen(QPen(rightColor, 1.0));
    rightCurve->setSamples(&samples);
    rightCurve->setYAxis(QwtPlot::yRight);
    rightCurve->setVisible(false);
    rightCurve->attach(plot);

    const QColor colors[2] = { onColor, offColor };
    for (int i = 0; i < 2; ++i) {
        markers[i] = new QwtPlotMarker;
        markers[i]->setLineStyle(QwtPlotMarker::HLine);
        markers[i]->setLinePen(colors[i], 1.5, Qt::DashDotLine);
        markers[i]->setLabelAlignment(Qt::AlignRight | Qt::AlignTop);
        markers[i]->setZ(30);
        markers[i]->setVisible(false);
        markers[i]->attach(plot);
    }

    canvas->installEventFilter(q);
}

void SimpleTimeChartPrivate::updateValueLabel()
{
    labelTimer.stop();
    labelClock.start();
    if (samples.isEmpty()) {
        valueLabel->setText(SimpleTimeChart::tr("Current value: -"));
        return;
    }
    const int last = samples.size() - 1;
    QString text = SimpleTimeChart::tr("Current value: %1")
                       .arg(QString::number(samples.pyData()[last], 'f', precision));
    if (customSignal || rightAxis)
        text += QStringLiteral("  |  ")
            + QString::number(samples.pyRightData()[last], 'f', precision);
    valueLabel->setText(text);
}

void SimpleTimeChartPrivate::applyScales()
{
    if (shownTime.max <= shownTime.min) {
        const double now = double(QDateTime::currentMSecsSinceEpoch());
        shownTime.min = now - 0.02 * timeSpan;
        shownTime.max = shownTime.min + timeSpan;
    }
    plot->setAxisScale(QwtPlot::xBottom, shownTime.min, shownTime.max);
    plot->setAxisScale(QwtPlot::yLeft, shownY.min, shownY.max);
    plot->setAxisScale(QwtPlot::yRight, shownYRight.min, shownYRight.max,
                       zoomRightAxis ? 0.0 : yRightStep);
    plot->replot();
    followButton->setEnabled(!following);
}

// Moves the time window so that x is inside it; true when it moved.
bool SimpleTimeChartPrivate::shiftTimeWindowFor(double x)
{
    if (x <= shownTime.max && x >= shownTime.min)
        return false;
    shownTime.min = x - followPosition * timeSpan;
    shownTime.max = shownTime.min + timeSpan;
    return true;
}

void SimpleTimeChartPrivate::followNewest(bool replot)
{
    following = true;
    shownY = yScale;
    shownYRight = yRightScale;
    if (!samples.isEmpty()) {
        const int n = samples.size();
        const double newest = samples.pxData()[n - 1];
        const double oldest = samples.pxData()[0];
        if (newest - oldest < followPosition * timeSpan) // everything fits: start at the oldest
            shownTime.min = oldest - 0.02 * timeSpan;
        else
            shownTime.min = newest - followPosition * timeSpan;
        shownTime.max = shownTime.min + timeSpan;
    } else {
        shownTime = ChartRange();
    }
    if (replot)
        applyScales();
}

// A new sample is drawn into the canvas's backing store and only the pixels of its segment are
// marked for the next paint: the widget paints them together with whatever else changed in
// this turn of the event loop, instead of one synchronous repaint per sample.
void SimpleTimeChartPrivate::drawNewSample()
{
    const int n = samples.size();
    auto canvas = static_cast<QwtPlotCanvas *>(plot->canvas());
    if (n < 1 || !canvas->isVisible())
        return;
    const double x = samples.pxData()[n - 1];
    if (x < shownTime.min || x > shownTime.max)
        return;
    auto store = const_cast<QPixmap *>(canvas->backingStore());
    if (!store || store->isNull()) {
        canvas->update(); // the next paint draws everything, the new sample included
        return;
    }
    const int from = qMax(0, n - 2);
    const QRectF canvasRect = canvas->contentsRect();
    const QwtScaleMap xMap = plot->canvasMap(QwtPlot::xBottom);
    QPainter painter(store);
    QRectF dirty;
    const auto draw = [&](Internal::TimeSeriesItem *item, const double *values) {
        const QwtScaleMap yMap = plot->canvasMap(item->yAxis());
        item->drawSeries(&painter, xMap, yMap, canvasRect, from, n - 1);
        const QPointF a(xMap.transform(samples.pxData()[from]), yMap.transform(values[from]));
        const QPointF b(xMap.transform(x), yMap.transform(values[n - 1]));
        dirty |= QRectF(a, b).normalized();
    };
    draw(leftCurve, samples.pyData());
    if (rightCurve->isVisible())
        draw(rightCurve, samples.pyRightData());
    // The pen's width and its antialiasing reach a little beyond the segment's ends.
    const int margin = 3;
    canvas->update(dirty.toAlignedRect().adjusted(-margin, -margin, margin, margin)
                   & canvas->rect());
}

SimpleTimeChart::SimpleTimeChart(QWidget *parent)
    : QWidget(parent)
    , d(new SimpleTimeChartPrivate(this))
{
    auto layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto header = new QHBoxLayout;
    header->setContentsMargins(6, 2, 6, 0);
    d->valueLabel = new QLabel(this);
    QFont bold = d->valueLabel->font();
    bold.setBold(true);
    d->valueLabel->setFont(bold);
    header->addWidget(d->valueLabel);
    header->addStretch(1);
    d->followButton = new QToolButton(this);
    d->followButton->setAutoRaise(true);
    connect(d->followButton, &QToolButton::clicked, this, &SimpleTimeChart::jumpToPlottingArea);
    header->addWidget(d->followButton);
    layout->addLayout(header);

    d->setupPlot();
    layout->addWidget(d->plot, 1);

    d->labelTimer.setSingleShot(true);
    d->labelTimer.setInterval(labelInterval);
    connect(&d->labelTimer, &QTimer::timeout, this, [this] { d->updateValueLabel(); });

    QEvent languageChange(QEvent::LanguageChange);
    changeEvent(&languageChange);
    d->followNewest(true);
}

SimpleTimeChart::~SimpleTimeChart()
{
    // The canvas sends events while it is destroyed; the plot cannot answer them any more.
    d->plot->canvas()->removeEventFilter(this);
    delete d->plot; // its items point into d->samples
    d->plot = nullptr;
    delete d;
}

void SimpleTimeChart::vAppend(double leftValue, double rightValue)
{
    double now = double(QDateTime::currentMSecsSinceEpoch());
    const int n = d->samples.size();
    if (n > 0)
        now = qMax(now, d->samples.pxData()[n - 1]);
    appendAt(now, leftValue, rightValue);
}

void SimpleTimeChart::appendAt(double timeMs, double leftValue, double rightValue)
{
    const int n = d->samples.size();
    if (n > 0 && timeMs < d->samples.pxData()[n - 1])
        timeMs = d->samples.pxData()[n - 1]; // the drawing relies on sorted times
    d->samples.append(timeMs, leftValue, rightValue);
    // The text follows at most every labelInterval ms: formatting it per sample would cost
    // more than storing and painting the sample. It changes with a sample once it is old
    // enough, so that live data wakes nothing up of its own; the timer brings the text of a
    // last sample that no other follows soon.
    if (d->labelClock.isValid() && d->labelClock.elapsed() >= labelInterval)
        d->updateValueLabel();
    else if (!d->labelTimer.isActive())
        d->labelTimer.start();
    if (d->following && (n == 0 || d->shiftTimeWindowFor(timeMs))) {
        if (n == 0)
            d->followNewest(false);
        d->applyScales();
        return;
    }
    d->drawNewSample();
}

void SimpleTimeChart::clear()
{
    d->samples.clear();
    d->updateValueLabel();
    d->followNewest(true);
}

void SimpleTimeChart::vSetYScale(double min, double max)
{
    if (!d->allowNegative)
        min = qMax(0.0, min);
    if (max <= min)
        max = min + 1.0;
    d->yScale = { min, max };
    d->shownY = d->yScale;
    d->applyScales();
}

void SimpleTimeChart::vEnableYRightAxis(bool enable)
{
    d->rightAxis = enable;
    d->plot->enableAxis(QwtPlot::yRight, enable);
    d->updateValueLabel();
    d->applyScales();
}

void SimpleTimeChart::setYRightAxisScale(double min, double max, double step)
{
    if (max <= min)
        max = min + 1.0;
    d->yRightScale = { min, max };
    d->yRightStep = qMax(0.0, step);
    d->shownYRight = d->yRightScale;
    d->applyScales();
}

void SimpleTimeChart::setTimelineScale(double min, double max)
{
    if (max <= min)
        return;
    d->timelineSet = true;
    d->timeline = { min, max };
}

void SimpleTimeChart::setMaxPanOffset(int seconds)
{
    d->maxPanOffsetMs = qMax(0, seconds) * 1000.0;
}

void SimpleTimeChart::setCurrendValuePrecision(int precision)
{
    d->precision = qBound(0, precision, 10);
    d->updateValueLabel();
}

QString SimpleTimeChart::currentValueText() const
{
    return d->valueLabel->text();
}

void SimpleTimeChart::setAllowNegativeValues(bool allow)
{
    d->allowNegative = allow;
    if (!allow && d->yScale.min < 0.0)
        vSetYScale(0.0, d->yScale.max);
}

void SimpleTimeChart::setCustomSignal(bool enable)
{
    d->customSignal = enable;
    d->rightCurve->setVisible(enable);
    d->updateValueLabel();
    d->plot->replot();
}

void SimpleTimeChart::setZoomingRightAxes(bool enable)
{
    d->zoomRightAxis = enable;
    if (!enable)
        d->shownYRight = d->yRightScale;
    d->applyScales();
}

void SimpleTimeChart::setBaselineTo(double value)
{
    d->baseline->setYValue(value);
    d->baseline->setVisible(true);
    d->plot->replot();
}

void SimpleTimeChart::jumpToPlottingArea()
{
    d->followNewest(true);
}

void SimpleTimeChart::setVisibleTimeSpan(double ms)
{
    if (ms <= 0.0)
        return;
    d->timeSpan = ms;
    if (d->following)
        d->followNewest(true);
}

bool SimpleTimeChart::isFollowing() const
{
    return d->following;
}

double SimpleTimeChart::getYMin() const
{
    return d->yScale.min;
}

double SimpleTimeChart::getYMax() const
{
    return d->yScale.max;
}

double SimpleTimeChart::getYRightMin() const
{
    return d->yRightScale.min;
}

double SimpleTimeChart::getYRightMax() const
{
    return d->yRightScale.max;
}

void SimpleTimeChart::vSetOnMarker(double value)
{
    d->moveMarker(0, value);
}

void SimpleTimeChart::vSetOffMarker(double value)
{
    d->moveMarker(1, value);
}

void SimpleTimeChart::setOnMarkerRange(double min, double max)
{
    d->markerRanges[0] = { qMin(min, max), qMax(min, max) };
    d->markerRangeSet[0] = true;
}

void SimpleTimeChart::setOffMarkerRange(double min, double max)
{
    d->markerRanges[1] = { qMin(min, max), qMax(min, max) };
    d->markerRangeSet[1] = true;
}

void SimpleTimeChart::vSetMarkersMoveable(bool moveable)
{
    d->markersMoveable = moveable;
}

double SimpleTimeChart::onMarker() const
{
    return d->markers[0]->yValue();
}

double SimpleTimeChart::offMarker() const
{
    return d->markers[1]->yValue();
}

QwtPlot *SimpleTimeChart::poPlot() const
{
    return d->plot;
}

const ValueOverTime *SimpleTimeChart::poData() const
{
    return &d->samples;
}

void SimpleTimeChart::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        d->followButton->setText(tr("Follow"));
        d->followButton->setToolTip(tr("Leave zoom and pan and follow the newest samples"));
        d->updateValueLabel();
        d->labelMarker(0);
        d->labelMarker(1);
    }
    QWidget::changeEvent(event);
}

bool SimpleTimeChart::eventFilter(QObject *watched, QEvent *event)
{
    if (d->plot && watched == d->plot->canvas()) {
        if (event->type() == QEvent::Resize) {
            // Another width holds another number of time labels: divide the axis anew.
            const QwtInterval time = d->plot->axisInterval(QwtPlot::xBottom);
            d->plot->setAxisScale(QwtPlot::xBottom, time.minValue(), time.maxValue());
            d->plot->replot();
        }
        return d->canvasEvent(event);
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace Utils
