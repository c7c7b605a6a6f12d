#pragma once

#include "simpletimechart.h"
#include "valueovertime.h"

#include <QElapsedTimer>
#include <QPointF>
#include <QPointer>
#include <QTimer>

class QLabel;
class QRubberBand;
class QToolButton;
class QwtPlotGrid;
class QwtPlotMarker;

namespace Utils {

namespace Internal {
class TimeSeriesItem;
}

struct ChartRange
{
    double min = 0.0;
    double max = 0.0;
};

class SimpleTimeChartPrivate
{
public:
    explicit SimpleTimeChartPrivate(SimpleTimeChart *chart);

    void setupPlot();
    void updateValueLabel();
    void applyScales(); // axis ranges to the plot, then a full replot
    void followNewest(bool replot);
    bool shiftTimeWindowFor(double x);
    void drawNewSample();

    // User interaction (chartinteraction.cpp)
    bool canvasEvent(QEvent *event);
    void setTimeRange(double min, double max);
    void setValueRange(double min, double max);
    ChartRange limitedValueRange(double min, double max) const;
    void zoomTime(double factor, double anchor);
    void zoomValues(double factor, double anchor);
    int markerAt(const QPoint &pos) const;
    void moveMarker(int marker, double value); // shows the marker
    void labelMarker(int marker);

    SimpleTimeChart *q;
    ValueOverTime samples;
    QwtPlot *plot = nullptr;
    QLabel *valueLabel = nullptr;
    QToolButton *followButton = nullptr;
    QTimer labelTimer;
    QElapsedTimer labelClock; // since the text last changed
    Internal::TimeSeriesItem *leftCurve = nullptr;
    Internal::TimeSeriesItem *rightCurve = nullptr;
    QwtPlotGrid *grid = nullptr;
    QwtPlotMarker *baseline = nullptr;
    QwtPlotMarker *markers[2] = { nullptr, nullptr }; // on, off
    ChartRange markerRanges[2];
    bool markerRangeSet[2] = { false, false };
    bool markersMoveable = false;

    // Configured scales and the ones currently shown.
    ChartRange yScale { 0.0, 100.0 };
    ChartRange yRightScale { 0.0, 10.0 };
    double yRightStep = 0.0;
    ChartRange shownY { 0.0, 100.0 };
    ChartRange shownYRight { 0.0, 10.0 };
    ChartRange shownTime;
    bool timelineSet = false;
    ChartRange timeline;

    double timeSpan = 60000.0;
    double maxPanOffsetMs = 60000.0;
    bool following = true;
    bool rightAxis = false;
    bool customSignal = false;
    bool zoomRightAxis = false;
    bool allowNegative = true;
    int precision = 1;

    // Drag state of the canvas.
    enum class Drag { None, Pan, Zoom, Marker };
    Drag drag = Drag::None;
    int dragMarker = -1;
    double dragStartValue = 0.0;
    QPoint pressPos;
    ChartRange pressTime;
    ChartRange pressY;
    ChartRange pressYRight;
    QRubberBand *rubberBand = nullptr;
    bool cursorSet = false; // the hover cursor over a marker is ours to reset
};

} // namespace Utils
