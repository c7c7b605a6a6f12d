// Connecting: the port box, the connection switch dialog, the identification, going offline and
// the baud-rate change.

#include "window/sensorwindow.h"

#include "parameters/sensorsession.h"
#include "window/sensorwindow_p.h"

namespace DrumoSensorPlugin {
namespace Core {

// Not built yet: choosing a port does nothing.
void SensorWindow::vConnectionControlBoxChanged(int index)
{
    Q_UNUSED(index)
}

void SensorWindow::vAutoConnect(const QString &ComPort)
{
    Q_UNUSED(ComPort)
}

void SensorWindow::vDisconnect() { }

bool SensorWindow::bCheckConnection()
{
    return false;
}

bool SensorWindow::bConnectToSensor()
{
    return false;
}

bool SensorWindow::checkConnection()
{
    return bCheckConnection();
}

bool SensorWindow::confirmBaudRateChange()
{
    return false;
}

void SensorWindow::showCurrentBaudRate() { }

void SensorWindow::baudRateWritten() { }

} // namespace Core
} // namespace DrumoSensorPlugin
