// An edit's way to the sensor once it has settled, the bulk transfers and the factory reset, with
// the polling suspended around each; the rows and widgets of pin 2's function.

#include "window/sensorwindow.h"

#include "parameters/sensorsession.h"
#include "window/sensorwindow_p.h"

namespace DrumoSensorPlugin {
namespace Core {

// Not built yet: nothing is read or written.
void SensorWindow::readAllProperties() { }

void SensorWindow::writeAllProperties() { }

void SensorWindow::vRestoreFactorySettings() { }

void SensorWindow::vClearHistory() { }

void SensorWindow::applyPropertyToSensor(QtProperty *property, const QVariant &value)
{
    Q_UNUSED(property)
    Q_UNUSED(value)
}

void SensorWindow::sendDelayValue() { }

bool SensorWindow::suspendPolling()
{
    return false;
}

void SensorWindow::resumePolling(bool liveData)
{
    Q_UNUSED(liveData)
}

void SensorWindow::deferWrite() { }

void SensorWindow::applyPin2Mode(bool analog)
{
    Q_UNUSED(analog)
}

void SensorWindow::convertDisplayedTemperatures(bool toFahrenheit)
{
    session().io().convertDisplayedTemperatures(toFahrenheit);
}

} // namespace Core
} // namespace DrumoSensorPlugin
