#include "thresholdwindowwidget.h"

#include <qwt_plot.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_zoneitem.h>
#include <qwt_scale_map.h>

#include <QMouseEvent>
#include <QPointer>

#include <cmath>
#include <limits>

namespace Utils {

namespace {
const int grabDistance = 5;
enum Line { Lower = 0, Upper = 1 };

// The plot deletes its items when it goes away, possibly before this object (a child of the
// plot) is destroyed; the items clear their slot so that nobody deletes them twice.
template<class Item> class TrackedItem : public Item
{
public:
    explicit TrackedItem(Item **slot)
        : m_slot(slot)
    {
        *slot = this;
    }
    ~TrackedItem() override { *m_slot = nullptr; }

private:
    Item **m_slot;
};
} // namespace

class ThresholdWindowWidgetPrivate
{
public:
    void updateLabel(int line);
    void updateBand();
    int lineAt(const QPoint &pos) const;
    double dragLimit(int line, double value) const;

    QPointer<QwtPlot> plot;
    int id = -1;
    QwtPlotMarker *lines[2] = { nullptr, nullptr };
    QwtPlotZoneItem *band = nullptr;
    QString prefixes[2];
    bool enabled[2] = { false, false };
    double rangeMin = -std::numeric_limits<double>::max();
    double rangeMax = std::numeric_limits<double>::max();
    bool overlapping = false;
    bool readOnly = false;
    bool oneDecimal = false;
    bool bandVisible = false;
    int dragLine = -1;
    double dragStartValue = 0.0;
    int pressY = 0;
    bool cursorSet = false; // the hover cursor over a line is ours to reset
};

void ThresholdWindowWidgetPrivate::updateLabel(int line)
{
    const double value = lines[line]->yValue();
    const QString number = oneDecimal ? QString::number(value, 'f', 1) : QString::number(value);
    QwtText text(prefixes[line] + number);
    text.setColor(lines[line]->linePen().color());
    text.setBackgroundBrush(QColor(255, 255, 255, 200)); // readable over the curves
    QFont font = text.font();
    font.setBold(true);
    text.setFont(font);
    lines[line]->setLabel(text);
}

void ThresholdWindowWidgetPrivate::updateBand()
{
    const double a = lines[Lower]->yValue();
    const double b = lines[Upper]->yValue();
    band->setInterval(qMin(a, b), qMax(a, b));
    band->setVisible(bandVisible && enabled[Lower] && enabled[Upper]);
}

int ThresholdWindowWidgetPrivate::lineAt(const QPoint &pos) const
{
    const QwtScaleMap yMap = plot->canvasMap(QwtPlot::yLeft);
    int best = -1;
    double bestDistance = grabDistance + 1;
    for (int line : { Upper, Lower }) {
        if (!enabled[line])
            continue;
        const double distance = std::fabs(yMap.transform(lines[line]->yValue()) - pos.y());
        if (distance <= grabDistance && distance < bestDistance) {
            best = line;
            bestDistance = distance;
        }
    }
    return best;
}

// The value a dragged line may take: inside the range, and without overlapping not past
// the other (enabled) line. Rounded to the one decimal the thresholds are kept in.
double ThresholdWindowWidgetPrivate::dragLimit(int line, double value) const
{
    double low = rangeMin;
    double high = rangeMax;
    const int other = line == Lower ? Upper : Lower;
    if (!overlapping && enabled[other]) {
        if (line == Lower)
            high = qMin(high, lines[Upper]->yValue());
        else
            low = qMax(low, lines[Lower]->yValue());
    }
    value = std::round(value * 10.0) / 10.0;
    if (high < low) // the other line is outside the range: stay where the range allows
        return qBound(rangeMin, value, rangeMax);
    // Rounding may step over a limit that is not on the 0.1 grid.
    return qBound(low, value, high);
}

ThresholdWindowWidget::ThresholdWindowWidget(QwtPlot *plot, int id)
    : QObject(plot)
    , d(new ThresholdWindowWidgetPrivate)
{
    d->plot = plot;
    d->id = id;
    const QColor colors[2] = { QColor(0x1f, 0x8a, 0x4c), QColor(0xc0, 0x39, 0x2b) };
    for (int line : { Lower, Upper }) {
        auto marker = new TrackedItem<QwtPlotMarker>(&d->lines[line]);
        marker->setLineStyle(QwtPlotMarker::HLine);
        marker->setLinePen(colors[line], 2.0);
        marker->setLabelAlignment(Qt::AlignLeft | Qt::AlignTop);
        marker->setZ(40);
        marker->setVisible(false);
        d->updateLabel(line);
    }
    new TrackedItem<QwtPlotZoneItem>(&d->band);
    d->band->setOrientation(Qt::Horizontal);
    d->band->setBrush(QColor(0x2d, 0x6c, 0xdf, 40));
    d->band->setPen(QPen(Qt::NoPen));
    d->band->setZ(5);
    d->band->setVisible(false);
    if (plot) {
        for (QwtPlotMarker *marker : d->lines)
            marker->attach(plot);
        d->band->attach(plot);
        // Installed after the chart's own filter, so this one sees presses first and a grab
        // of a line does not start a pan.
        plot->canvas()->installEventFilter(this);
        plot->canvas()->setMouseTracking(true);
    }
}

ThresholdWindowWidget::~ThresholdWindowWidget()
{
    // Deleting an item detaches it; items the plot already deleted are null here.
    delete d->lines[Lower];
    delete d->lines[Upper];
    delete d->band;
    delete d;
}

int ThresholdWindowWidget::id() const
{
    return d->id;
}

static void replotSoon(QwtPlot *plot)
{
    if (plot)
        plot->replot();
}

void ThresholdWindowWidget::setUpperMark(double value)
{
    d->lines[Upper]->setYValue(value);
    d->updateLabel(Upper);
    d->updateBand();
    replotSoon(d->plot);
}

void ThresholdWindowWidget::setLowerMark(double value)
{
    d->lines[Lower]->setYValue(value);
    d->updateLabel(Lower);
    d->updateBand();
    replotSoon(d->plot);
}

double ThresholdWindowWidget::upperMark() const
{
    return d->lines[Upper]->yValue();
}

double ThresholdWindowWidget::lowerMark() const
{
    return d->lines[Lower]->yValue();
}

void ThresholdWindowWidget::setUpperMarkerValue(double value, const QString &prefix)
{
    d->prefixes[Upper] = prefix;
    setUpperMark(value);
}

void ThresholdWindowWidget::setLowerMarkerValue(double value, const QString &prefix)
{
    d->prefixes[Lower] = prefix;
    setLowerMark(value);
}

QString ThresholdWindowWidget::upperLabel() const
{
    return d->lines[Upper]->label().text();
}

QString ThresholdWindowWidget::lowerLabel() const
{
    return d->lines[Lower]->label().text();
}

void ThresholdWindowWidget::enableUpperMark(bool enable)
{
    d->enabled[Upper] = enable;
    d->lines[Upper]->setVisible(enable);
    d->updateBand();
    replotSoon(d->plot);
}

void ThresholdWindowWidget::enableLowerMark(bool enable)
{
    d->enabled[Lower] = enable;
    d->lines[Lower]->setVisible(enable);
    d->updateBand();
    replotSoon(d->plot);
}

void ThresholdWindowWidget::setThresholdsRange(double min, double max)
{
    d->rangeMin = qMin(min, max);
    d->rangeMax = qMax(min, max);
}

void ThresholdWindowWidget::allowOverlapping(bool allow)
{
    d->overlapping = allow;
}

void ThresholdWindowWidget::setReadOnly(bool readOnly)
{
    d->readOnly = readOnly;
}

void ThresholdWindowWidget::formatText(bool fixedOneDecimal)
{
    d->oneDecimal = fixedOneDecimal;
    d->updateLabel(Lower);
    d->updateLabel(Upper);
    replotSoon(d->plot);
}

void ThresholdWindowWidget::setWindowSizeVisible(bool visible)
{
    d->bandVisible = visible;
    d->updateBand();
    replotSoon(d->plot);
}

bool ThresholdWindowWidget::isWindowSizeVisible() const
{
    return d->band->isVisible();
}

bool ThresholdWindowWidget::eventFilter(QObject *watched, QEvent *event)
{
    // Only mouse events touch the plot: the canvas also sends events while the plot is
    // being destroyed, when asking the plot anything is no longer safe.
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove
        && type != QEvent::MouseButtonRelease)
        return QObject::eventFilter(watched, event);
    if (!d->plot || watched != d->plot->canvas() || d->readOnly)
        return QObject::eventFilter(watched, event);
    QWidget *canvas = d->plot->canvas();
    switch (type) {
    case QEvent::MouseButtonPress: {
        auto mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        d->dragLine = d->lineAt(mouse->pos());
        if (d->dragLine >= 0) {
            d->dragStartValue = d->lines[d->dragLine]->yValue();
            d->pressY = mouse->pos().y();
        }
        return d->dragLine >= 0;
    }
    case QEvent::MouseMove: {
        auto mouse = static_cast<QMouseEvent *>(event);
        if (d->dragLine < 0) {
            // Hovering: show that a line can be grabbed; leave other cursors alone.
            if (d->lineAt(mouse->pos()) >= 0) {
                canvas->setCursor(Qt::SizeVerCursor);
                d->cursorSet = true;
            } else if (d->cursorSet) {
                canvas->unsetCursor();
                d->cursorSet = false;
            }
            return false;
        }
        if (mouse->pos().y() == d->pressY)
            return true; // not moved (yet): keep the exact value
        const double raw = d->plot->canvasMap(QwtPlot::yLeft).invTransform(mouse->pos().y());
        const int line = d->dragLine;
        d->lines[line]->setYValue(d->dragLimit(line, raw));
        d->updateLabel(line);
        d->updateBand();
        d->plot->replot();
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (d->dragLine < 0)
            return false;
        const int line = d->dragLine;
        d->dragLine = -1;
        // A click without a move is no change: it must not write the same value again.
        if (d->lines[line]->yValue() != d->dragStartValue)
            emit emitValueChanged(static_cast<unsigned int>(line), d->lines[line]->yValue());
        return true;
    }
    default:
        return false;
    }
}

} // namespace Utils
