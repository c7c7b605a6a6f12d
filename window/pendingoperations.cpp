// Slots and operations of the sensor window whose behaviour belongs to the connect sequence
// (protocol/), the parameter commands, the live chart and the thresholds (parameters/) and the
// settings files (files/). The window's own paths already call them; until those areas land
// they do nothing, and each area moves its bodies out of this file into its own.

#include "window/sensorwindow.h"

namespace DrumoSensorPlugin {
namespace Core {

// Lights the output LEDs from the status bits (live chart).
void SensorWindow::updateLeds(int states)
{
    Q_UNUSED(states)
}

// Reads every parameter from the sensor into the tree (bulk read).
void SensorWindow::readAllProperties() { }

// Writes every row of the tree to the sensor (bulk write).
void SensorWindow::writeAllProperties() { }

// Asks, then restores the sensor's factory defaults (bulk operations).
void SensorWindow::vRestoreFactorySettings() { }

// The user's choice in the port box: connect with the switch dialog, or go offline.
void SensorWindow::vConnectionControlBoxChanged(int index)
{
    Q_UNUSED(index)
}

// Asks, then clears the chart's samples (bulk operations).
void SensorWindow::vClearHistory() { }

// Opens the host's export dialog for the chart samples (chart export).
void SensorWindow::vExportDocument() { }

// Writes the tree values and chart samples to an ".ovs" file (settings file).
void SensorWindow::vSaveSettings() { }

// Loads an ".ovs" file into the tree and the chart (settings file).
bool SensorWindow::bOpenSettings(const QString &fileName)
{
    Q_UNUSED(fileName)
    return false;
}

// Connects to the named port without asking (connect sequence).
void SensorWindow::vAutoConnect(const QString &ComPort)
{
    Q_UNUSED(ComPort)
}

// Starts or ends the live polling chain (live chart).
void SensorWindow::slotLiveDataToggled(bool on)
{
    Q_UNUSED(on)
}

// The "Open Settings" action: bOpenSettings with a file dialog (settings file).
void SensorWindow::vLoadSettings() { }

// Closes the port and resets the connection state (connect sequence).
void SensorWindow::vDisconnect() { }

// One live poll, or the completion of one (live chart).
void SensorWindow::queryAnalogStatusData(unsigned int index)
{
    Q_UNUSED(index)
}

// Writes stored threshold values with the "0O0a" commands (thresholds).
bool SensorWindow::setThresholds(int output, ThresholdType type)
{
    Q_UNUSED(output)
    Q_UNUSED(type)
    return false;
}

// Re-identifies the sensor, going offline when it is gone (connect sequence).
bool SensorWindow::bCheckConnection()
{
    return false;
}

// Identifies the sensor on the open port and checks its group and type (connect sequence).
bool SensorWindow::bConnectToSensor()
{
    return false;
}

// Runs one synchronous transaction behind the progress dialog (transactions).
void SensorWindow::sendDataFrame(ExtensionSystem::CommunicationInterface::DataFrame *frame,
                                 bool showUi)
{
    Q_UNUSED(frame)
    Q_UNUSED(showUi)
}

// Copies a stored switching point into its row (thresholds).
void SensorWindow::refreshSwitchingPoints(int output)
{
    Q_UNUSED(output)
}

// A threshold line dragged on the chart writes its switching point (thresholds).
void SensorWindow::chartThresholdChanged(unsigned int index, double value)
{
    Q_UNUSED(index)
    Q_UNUSED(value)
}

// An analog sensor's off marker moved: the "0v" row follows (thresholds).
void SensorWindow::slotOffMarkerChanged(double value)
{
    Q_UNUSED(value)
}

// An analog sensor's on marker moved: the "10v" row follows (thresholds).
void SensorWindow::slotOnMarkerChanged(double value)
{
    Q_UNUSED(value)
}

// Writes the row whose typed value waited 600 ms (property dispatch).
void SensorWindow::sendDelayValue() { }

// Sends one edited row to the sensor with its retries (property dispatch).
void SensorWindow::applyPropertyToSensor(QtProperty *property, const QVariant &value)
{
    Q_UNUSED(property)
    Q_UNUSED(value)
}

// Shows the rows and chart axes of pin 2's function (parameter commands).
void SensorWindow::applyPin2Mode(bool analog)
{
    Q_UNUSED(analog)
}

// Chart scales after a change of the temperature unit (live chart).
void SensorWindow::applyTemperatureUnitToChart(bool toFahrenheit)
{
    Q_UNUSED(toFahrenheit)
}

// Converts the temperature rows between °C and °F (parameter commands).
void SensorWindow::convertDisplayedTemperatures(bool toFahrenheit)
{
    Q_UNUSED(toFahrenheit)
}

// Renames the analog range rows and the right axis for voltage or current (live chart).
void SensorWindow::showAnalogOutputMode(int mode)
{
    Q_UNUSED(mode)
}

} // namespace Core
} // namespace DrumoSensorPlugin
