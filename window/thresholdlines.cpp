// Switching points as lines over the chart of a digital sensor, the analog output's markers of
// the others, and the threshold store.

#include "window/sensorwindow.h"

#include "parameters/sensorsession.h"
#include "window/sensorwindow_p.h"

namespace DrumoSensorPlugin {
namespace Core {

bool SensorWindow::setThresholds(int output, ThresholdType type)
{
    return session().io().setThresholds(output, type);
}

// Nothing reads thresholds back from the sensor: the switching points come with the parameter
// reads, and the "Read Thresholds" action stays hidden and disabled.
bool SensorWindow::refreshThresholds(int output)
{
    Q_UNUSED(output)
    return false;
}

// Not built yet: the lines and markers stay where they are.
void SensorWindow::refreshSwitchingPoints(int output)
{
    Q_UNUSED(output)
}

void SensorWindow::chartThresholdChanged(unsigned int index, double value)
{
    Q_UNUSED(index)
    Q_UNUSED(value)
}

void SensorWindow::slotOffMarkerChanged(double value)
{
    Q_UNUSED(value)
}

void SensorWindow::slotOnMarkerChanged(double value)
{
    Q_UNUSED(value)
}

void SensorWindow::showSwitchingPoint(int output, double value)
{
    Q_UNUSED(output)
    Q_UNUSED(value)
}

void SensorWindow::showReadSwitchingPoint(int output, double value)
{
    Q_UNUSED(output)
    Q_UNUSED(value)
}

void SensorWindow::setSwitchingPointRow(int output, double value)
{
    Q_UNUSED(output)
    Q_UNUSED(value)
}

void SensorWindow::setThresholdsRange(double low, double high)
{
    Q_UNUSED(low)
    Q_UNUSED(high)
}

void SensorWindow::updateUpperMark() { }

QString SensorWindow::thresholdHex(int output, int component) const
{
    Q_UNUSED(output)
    Q_UNUSED(component)
    return QString();
}

} // namespace Core
} // namespace DrumoSensorPlugin
