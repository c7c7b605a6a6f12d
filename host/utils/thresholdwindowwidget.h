#pragma once

#include "utils_global.h"

#include <QObject>

class QwtPlot;

namespace Utils {

class ThresholdWindowWidgetPrivate;

// Two horizontal threshold lines (lower and upper) on a plot's left axis, each with a label,
// and an optional shaded band between them (the window size). Unless read-only the user drags
// the lines; a drag stays inside the thresholds range, cannot cross the other line unless
// overlapping is allowed, is rounded to one decimal and is reported on release through
// emitValueChanged (output 0 = lower, 1 = upper) when the value changed. Both lines are hidden
// until enabled. Values set by the program are shown as given.
class UTILS_EXPORT ThresholdWindowWidget : public QObject
{
    Q_OBJECT

public:
    explicit ThresholdWindowWidget(QwtPlot *plot, int id = -1);
    ~ThresholdWindowWidget() override;

    int id() const;

    void setUpperMark(double value);
    void setLowerMark(double value);
    double upperMark() const;
    double lowerMark() const;
    // Sets the label text: prefix followed by the value (one decimal with formatText(true)).
    void setUpperMarkerValue(double value, const QString &prefix);
    void setLowerMarkerValue(double value, const QString &prefix);
    QString upperLabel() const;
    QString lowerLabel() const;

    void enableUpperMark(bool enable);
    void enableLowerMark(bool enable);
    void setThresholdsRange(double min, double max);
    void allowOverlapping(bool allow);
    void setReadOnly(bool readOnly);
    void formatText(bool fixedOneDecimal);
    void setWindowSizeVisible(bool visible);
    bool isWindowSizeVisible() const;

signals:
    void emitValueChanged(unsigned int output, const double value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ThresholdWindowWidgetPrivate *d;
};

} // namespace Utils
