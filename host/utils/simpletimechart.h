#pragma once

#include "utils_global.h"

#include <QWidget>

#include <functional>
#include <string>
#include <string_view>

class QwtPlot;

namespace Utils {

class ValueOverTime;
class SimpleTimeChartPrivate;

// A live chart of samples over time: the time axis shows local date and time, the left axis
// the measured value, the optional right axis a second signal (for instance an analog output).
//
// Mouse: the wheel zooms the time axis around the cursor (with Ctrl the value axis), dragging
// with the left button pans, dragging with the right button (or Shift + left) zooms into the
// rectangle, a double click goes back to following the newest samples. While the chart
// follows, new samples are painted incrementally; the whole plot is redrawn only when a scale
// changes. Drawing reduces the visible samples to a few points per pixel column.
class UTILS_EXPORT SimpleTimeChart : public QWidget
{
    Q_OBJECT

public:
    explicit SimpleTimeChart(QWidget *parent = nullptr);
    ~SimpleTimeChart() override;

    // Records one sample at the current time. Times never decrease: a clock set back is
    // treated as no time having passed.
    void vAppend(double leftValue, double rightValue);
    // Records one sample at the given time (ms since the epoch); used for replaying data.
    void appendAt(double timeMs, double leftValue, double rightValue);
    void clear();

    // The left axis range shown while following; zooming and panning start from it and
    // jumpToPlottingArea() returns to it.
    void vSetYScale(double min, double max);
    void vEnableYRightAxis(bool enable);
    void setYRightAxisScale(double min, double max, double step);
    // The outermost left-axis range the user can pan or zoom out to (no limit until set).
    void setTimelineScale(double min, double max);
    // How far, in seconds, the user can pan the time axis beyond the oldest and the newest
    // sample (default 60).
    void setMaxPanOffset(int seconds);
    // Decimals of the current value shown above the plot (default 1). The text follows new
    // samples within 100 ms.
    void setCurrendValuePrecision(int precision);
    QString currentValueText() const;
    // When false the left axis never shows values below zero (default true).
    void setAllowNegativeValues(bool allow);
    // Shows the right-axis signal as a second curve (default false).
    void setCustomSignal(bool enable);
    // When true, zooming and panning move the right axis together with the left one; when
    // false the right axis goes back to the scale of setYRightAxisScale() and stays there.
    void setZoomingRightAxes(bool enable);
    // A horizontal reference line at this left-axis value.
    void setBaselineTo(double value);
    // Leaves any zoom or pan and follows the newest samples again with the scale of
    // vSetYScale().
    void jumpToPlottingArea();
    // Length of the time window shown while following, in ms (default 60 s).
    void setVisibleTimeSpan(double ms);
    bool isFollowing() const;

    double getYMin() const;
    double getYMax() const;
    double getYRightMin() const;
    double getYRightMax() const;

    // Two horizontal markers on the left axis, hidden until they get their first value. When
    // movable the user drags them; a drag stays inside the marker's range and is reported on
    // release by vOnMarkerChanged / vOffMarkerChanged. Values set here are shown as given.
    void vSetOnMarker(double value);
    void vSetOffMarker(double value);
    void setOnMarkerRange(double min, double max);
    void setOffMarkerRange(double min, double max);
    void vSetMarkersMoveable(bool moveable);
    double onMarker() const;
    double offMarker() const;

    QwtPlot *poPlot() const;
    const ValueOverTime *poData() const;

    // One item per sample, items joined by separator; an item is time, left value and right
    // value joined by ",", in the C locale, each the shortest text that reads back exactly. Reading
    // is all or nothing: unreadable text returns false and changes nothing.
    void dataToString(QString &text, const QString &separator) const;
    bool setDataFromString(const QString &text, const QString &separator);
    // The same for large data, reporting now and then how far they are (samples written, or
    // characters read, out of all). The report may run the event loop: samples appended
    // meanwhile are not part of the text, and a text read replaces them.
    using TextProgress = std::function<void(int done, int total)>;
    void dataToString(QString &text, const QString &separator, const TextProgress &progress) const;
    bool setDataFromString(const QString &text, const QString &separator,
                           const TextProgress &progress);
    // The same text as UTF-8 bytes, without a UTF-16 copy of hundreds of megabytes.
    void dataToText(std::string &text, std::string_view separator,
                    const TextProgress &progress = {}) const;
    bool setDataFromText(std::string_view text, std::string_view separator,
                         const TextProgress &progress = {});
    // The same text in pieces of about a megabyte, handed to `out` as they are made: a week of
    // samples need not be held as one text. False when `out` refused a piece.
    using TextPieces = std::function<bool(std::string_view piece)>;
    bool dataToText(const TextPieces &out, std::string_view separator,
                    const TextProgress &progress = {}) const;
    // Replaces the samples, for instance by those of a ChartTextReader (handed over, not
    // kept: a copy kept elsewhere would be copied at the chart's first change).
    void setData(ValueOverTime samples);

signals:
    void vOnMarkerChanged(const double &value);
    void vOffMarkerChanged(const double &value);

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class SimpleTimeChartPrivate;
    SimpleTimeChartPrivate *d;
};

} // namespace Utils
