// Switching points as lines over the chart of a digital sensor, the analog output's markers of
// the others, and the threshold store.
//
// The store keeps both switching points in threshold set 1, component 4: output 1 as its low
// value, output 2 as its high value, in the display unit. The lines and the rows
// "1switchingOn"/"2switchingOn" follow each other: a value read or typed moves its line, a line
// dragged is written to the sensor and into its row. Only digital sensors have the line widget;
// for the others every line call is skipped and only the store is kept.

#include "window/sensorwindow.h"

#include "model/parameterrows.h"
#include "parameters/sensorsession.h"
#include "protocol/temperature.h"
#include "ui_sensorwindow.h"
#include "window/sensorwindow_p.h"
#include "window/windowtexts.h"

#include <qtpropertymanager.h>
#include <thresholddatamanager.h>
#include <thresholdwindowwidget.h>

#include <QCoreApplication>
#include <QDebug>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

constexpr int switchingSet = 1;
constexpr int switchingComponent = 4;

QString switchingPointRow(int output)
{
    return QString::asprintf("%.1dswitchingOn", output);
}

} // namespace

bool SensorWindow::setThresholds(int output, ThresholdType type)
{
    return session().io().setThresholds(
        output, type, [this](int line, int component) { return thresholdHex(line, component); });
}

// Nothing reads thresholds back from the sensor: the switching points come with the parameter
// reads, and the "Read Thresholds" action stays hidden and disabled.
bool SensorWindow::refreshThresholds(int output)
{
    Q_UNUSED(output)
    return false;
}

// Copies the stored switching point of output 1 or 2 into its row; nothing is sent. Output 2's
// point is read where it is stored, as the high value of the set.
void SensorWindow::refreshSwitchingPoints(int output)
{
    double value = 0.0;
    if (output == 1)
        value = d->thresholdData->low(switchingSet, switchingComponent);
    else if (output == 2)
        value = d->thresholdData->high(switchingSet, switchingComponent);
    else
        return;
    setSwitchingPointRow(output, value);
}

// The user dragged a line (0 the lower, output 1; else the upper, output 2). The polling rests
// while the new point is written, since every transaction of the write runs a nested event
// loop; a write that fails five times leaves line and row at the dragged value (the next read of
// all parameters puts the sensor's value back).
void SensorWindow::chartThresholdChanged(unsigned int index, double value)
{
    enableTreeDataHandling(false);
    value = displayLimits(session().io().unitIndex() == 1).bounded(value);
    const int output = index != 0 ? 2 : 1;
    if (d->thresholdWidget) {
        d->thresholdWidget->setWindowSizeVisible(false);
        if (output == 2) {
            d->thresholdWidget->enableUpperMark(true);
            d->thresholdWidget->setUpperMark(value);
            d->thresholdWidget->setUpperMarkerValue(value, WindowTexts::tr("A2: "));
        } else {
            d->thresholdWidget->enableLowerMark(true);
            d->thresholdWidget->setLowerMark(value);
            d->thresholdWidget->setLowerMarkerValue(value, WindowTexts::tr("A1: "));
        }
    }
    if (output == 2)
        d->thresholdData->setHigh(switchingSet, switchingComponent, value, true, true);
    else
        d->thresholdData->setLow(switchingSet, switchingComponent, value, true, true);
    session().dispatcher().writeDraggedPoint(output, value);
    enableTreeDataHandling(true);
}

// Analog sensors: the on marker stands for the low end of the output ("0v"), the off marker for
// the high end ("10v"), as the markers are placed at construction and by refreshAnalogChart.
// The row is set with the tree connections on, so the change is written to the sensor like a
// typed value.
void SensorWindow::slotOnMarkerChanged(double value)
{
    if (QtProperty *row = findProperty(d->rootProperty, "0v"))
        d->doubleManager->setValue(row, value);
}

void SensorWindow::slotOffMarkerChanged(double value)
{
    if (QtProperty *row = findProperty(d->rootProperty, "10v"))
        d->doubleManager->setValue(row, value);
}

// After a read, a row edit that was written or a unit conversion. Output 2 has a line only while
// pin 2 is a switching output.
void SensorWindow::showSwitchingPoint(int output, double value)
{
    if (output == 2 && session().io().pin2Analog() != 0)
        return;
    if (output == 1 || output == 2)
        showReadSwitchingPoint(output, value);
}

// A switching point as the sensor reported it: onto its line whatever pin 2 does, limited to
// the display unit's range.
void SensorWindow::showReadSwitchingPoint(int output, double value)
{
    value = displayLimits(session().io().unitIndex() == 1).bounded(value);
    if (output == 1) {
        d->thresholdData->setLow(switchingSet, switchingComponent, value, true, true);
        if (d->thresholdWidget) {
            d->thresholdWidget->setLowerMark(value);
            d->thresholdWidget->setLowerMarkerValue(value, WindowTexts::tr("A1: "));
            d->thresholdWidget->enableLowerMark(true);
        }
    } else if (output == 2) {
        d->thresholdData->setHigh(switchingSet, switchingComponent, value, true, true);
        if (d->thresholdWidget) {
            d->thresholdWidget->setUpperMark(value);
            d->thresholdWidget->setUpperMarkerValue(value, WindowTexts::tr("A2: "));
            d->thresholdWidget->enableUpperMark(true);
        }
    }
    if (d->thresholdWidget)
        d->thresholdWidget->setWindowSizeVisible(false);
}

// The row of a switching point, from the sensor's side: nothing is sent.
void SensorWindow::setSwitchingPointRow(int output, double value)
{
    session().rows().setValue(switchingPointRow(output), value);
}

void SensorWindow::setThresholdsRange(double low, double high)
{
    if (d->thresholdWidget)
        d->thresholdWidget->setThresholdsRange(low, high);
}

// After reading all parameters: the upper line is shown exactly while output 2 is a switching
// output (its LED is visible).
void SensorWindow::updateUpperMark()
{
    if (d->thresholdWidget)
        d->thresholdWidget->enableUpperMark(ui->actionOutput_2->isVisible());
}

QString SensorWindow::thresholdHex(int output, int component) const
{
    return d->thresholdData->toHexString(output, component);
}

} // namespace Core
} // namespace DrumoSensorPlugin
