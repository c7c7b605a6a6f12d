// Mouse handling of the time chart: zoom, pan, rubber band and the draggable markers.

#include "simpletimechart_p.h"

#include <qwt_plot.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_map.h>

#include <QMouseEvent>
#include <QRubberBand>
#include <QWheelEvent>

#include <cmath>
#include <limits>

namespace Utils {

namespace {
const int grabDistance = 5; // pixels around a marker line that pick it up
const double wheelStep = 1.25; // zoom factor per wheel notch
const double minTimeSpan = 50.0; // ms; below that the date scale has nothing to show

double roundToTenth(double value)
{
    return std::round(value * 10.0) / 10.0;
}
} // namespace

void SimpleTimeChartPrivate::setTimeRange(double min, double max)
{
    const double span = qMax(minTimeSpan, max - min);
    if (!samples.isEmpty()) {
        // No more than the pan offset of empty time beyond the oldest or the newest sample;
        // a window wider than the data may slide as long as it shows all of it.
        const double first = samples.pxData()[0] - maxPanOffsetMs;
        const double last = samples.pxData()[samples.size() - 1] + maxPanOffsetMs - span;
        min = qBound(qMin(first, last), min, qMax(first, last));
    }
    shownTime = { min, min + span };
    following = false;
}

ChartRange SimpleTimeChartPrivate::limitedValueRange(double min, double max) const
{
    double lowest = -std::numeric_limits<double>::max();
    double highest = std::numeric_limits<double>::max();
    if (timelineSet) {
        lowest = timeline.min;
        highest = timeline.max;
    }
    if (!allowNegative)
        lowest = qMax(0.0, lowest);
    const double span = qMin(max - min, highest - lowest);
    min = qBound(lowest, min, highest - span);
    return { min, min + span };
}

void SimpleTimeChartPrivate::setValueRange(double min, double max)
{
    if (!(max > min))
        return;
    const ChartRange before = shownY;
    shownY = limitedValueRange(min, max);
    if (zoomRightAxis && before.max > before.min) {
        // The right axis follows the same relative move as the left one.
        const double f1 = (shownY.min - before.min) / (before.max - before.min);
        const double f2 = (shownY.max - before.min) / (before.max - before.min);
        const double r = shownYRight.max - shownYRight.min;
        shownYRight = { shownYRight.min + f1 * r, shownYRight.min + f2 * r };
    }
    following = false;
}

void SimpleTimeChartPrivate::zoomTime(double factor, double anchor)
{
    setTimeRange(anchor - (anchor - shownTime.min) * factor,
                 anchor + (shownTime.max - anchor) * factor);
}

void SimpleTimeChartPrivate::zoomValues(double factor, double anchor)
{
    setValueRange(anchor - (anchor - shownY.min) * factor, anchor + (shownY.max - anchor) * factor);
}

void SimpleTimeChartPrivate::labelMarker(int marker)
{
    const QString name
        = marker == 0 ? SimpleTimeChart::tr("On: %1") : SimpleTimeChart::tr("Off: %1");
    QwtText label(name.arg(QString::number(markers[marker]->yValue(), 'f', 1)));
    label.setColor(markers[marker]->linePen().color());
    label.setBackgroundBrush(QColor(255, 255, 255, 200)); // readable over the curves
    markers[marker]->setLabel(label);
}

void SimpleTimeChartPrivate::moveMarker(int marker, double value)
{
    markers[marker]->setYValue(value);
    markers[marker]->setVisible(true);
    labelMarker(marker);
    plot->replot();
}

int SimpleTimeChartPrivate::markerAt(const QPoint &pos) const
{
    const QwtScaleMap yMap = plot->canvasMap(QwtPlot::yLeft);
    int best = -1;
    double bestDistance = grabDistance + 1;
    for (int i = 0; i < 2; ++i) {
        if (!markers[i]->isVisible())
            continue;
        const double distance = std::fabs(yMap.transform(markers[i]->yValue()) - pos.y());
        if (distance <= grabDistance && distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

bool SimpleTimeChartPrivate::canvasEvent(QEvent *event)
{
    QWidget *canvas = plot->canvas();
    switch (event->type()) {
    case QEvent::Wheel: {
        auto wheel = static_cast<QWheelEvent *>(event);
        const double notches = wheel->angleDelta().y() / 120.0;
        if (notches == 0.0)
            return true;
        const double factor = std::pow(wheelStep, -notches);
        const QPointF pos = wheel->position();
        if (wheel->modifiers() & Qt::ControlModifier)
            zoomValues(factor, plot->canvasMap(QwtPlot::yLeft).invTransform(pos.y()));
        else
            zoomTime(factor, plot->canvasMap(QwtPlot::xBottom).invTransform(pos.x()));
        applyScales();
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto mouse = static_cast<QMouseEvent *>(event);
        pressPos = mouse->pos();
        pressTime = shownTime;
        pressY = shownY;
        pressYRight = shownYRight;
        if (mouse->button() == Qt::LeftButton && markersMoveable) {
            dragMarker = markerAt(mouse->pos());
            if (dragMarker >= 0) {
                drag = Drag::Marker;
                dragStartValue = markers[dragMarker]->yValue();
                return true;
            }
        }
        const bool zoom = mouse->button() == Qt::RightButton
            || (mouse->button() == Qt::LeftButton && (mouse->modifiers() & Qt::ShiftModifier));
        if (zoom) {
            drag = Drag::Zoom;
            if (!rubberBand)
                rubberBand = new QRubberBand(QRubberBand::Rectangle, canvas);
            rubberBand->setGeometry(QRect(pressPos, QSize()));
            rubberBand->show();
        } else if (mouse->button() == Qt::LeftButton) {
            drag = Drag::Pan;
        }
        return true;
    }
    case QEvent::MouseMove: {
        auto mouse = static_cast<QMouseEvent *>(event);
        if (drag == Drag::None) {
            const bool overMarker = markersMoveable && markerAt(mouse->pos()) >= 0;
            if (overMarker) {
                canvas->setCursor(Qt::SizeVerCursor);
                cursorSet = true;
            } else if (cursorSet) {
                canvas->unsetCursor();
                cursorSet = false;
            }
            return false;
        }
        if (drag == Drag::Marker) {
            if (mouse->pos().y() == pressPos.y())
                return true; // not moved (yet): keep the exact value
            double value = plot->canvasMap(QwtPlot::yLeft).invTransform(mouse->pos().y());
            if (markerRangeSet[dragMarker])
                value = qBound(markerRanges[dragMarker].min, value, markerRanges[dragMarker].max);
            markers[dragMarker]->setYValue(roundToTenth(value));
            labelMarker(dragMarker);
            plot->replot();
        } else if (drag == Drag::Pan) {
            const QPoint delta = mouse->pos() - pressPos;
            if (delta.manhattanLength() == 0)
                return true;
            const QwtScaleMap xMap = plot->canvasMap(QwtPlot::xBottom);
            const QwtScaleMap yMap = plot->canvasMap(QwtPlot::yLeft);
            const double dx = delta.x() * (pressTime.max - pressTime.min) / qMax(1.0, xMap.pDist());
            const double dy = delta.y() * (pressY.max - pressY.min) / qMax(1.0, yMap.pDist());
            shownY = pressY;
            shownYRight = pressYRight;
            setTimeRange(pressTime.min - dx, pressTime.max - dx);
            setValueRange(pressY.min + dy, pressY.max + dy);
            applyScales();
        } else if (drag == Drag::Zoom) {
            rubberBand->setGeometry(QRect(pressPos, mouse->pos()).normalized());
        }
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const Drag finished = drag;
        drag = Drag::None;
        if (finished == Drag::Marker) {
            const double value = markers[dragMarker]->yValue();
            const int marker = dragMarker;
            dragMarker = -1;
            if (value == dragStartValue) // a click without a move changes nothing
                return true;
            if (marker == 0)
                emit q->vOnMarkerChanged(value);
            else
                emit q->vOffMarkerChanged(value);
        } else if (finished == Drag::Zoom) {
            rubberBand->hide();
            const QRect rect = rubberBand->geometry();
            if (rect.width() > 4 && rect.height() > 4) {
                const QwtScaleMap xMap = plot->canvasMap(QwtPlot::xBottom);
                const QwtScaleMap yMap = plot->canvasMap(QwtPlot::yLeft);
                setTimeRange(xMap.invTransform(rect.left()), xMap.invTransform(rect.right()));
                setValueRange(yMap.invTransform(rect.bottom()), yMap.invTransform(rect.top()));
                applyScales();
            }
        }
        return finished != Drag::None;
    }
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            followNewest(true);
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace Utils
