// An edit's way to the sensor once it has settled, the bulk transfers and the factory reset, with
// the polling suspended around each; the rows and widgets of pin 2's function.

#include "window/sensorwindow.h"

#include "parameters/attempts.h"
#include "parameters/sensorsession.h"
#include "ui_sensorwindow.h"
#include "window/sensorwindow_p.h"
#include "window/windowtexts.h"

#include <qtproperty.h>
#include <simpletimechart.h>
#include <thresholdwindowwidget.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>

namespace DrumoSensorPlugin {
namespace Core {

void SensorWindow::readAllProperties()
{
    enableTreeDataHandling(false);
    session().bulk().readAll();
    enableTreeDataHandling(true);
}

// The callers (connecting with the PC's settings, applying a settings file) clear
// deferValueWrites around it.
void SensorWindow::writeAllProperties()
{
    enableTreeDataHandling(false);
    session().bulk().writeAll();
    enableTreeDataHandling(true);
}

bool SensorWindow::bFactoryReset()
{
    enableTreeDataHandling(false);
    const bool reset = session().bulk().factoryReset();
    enableTreeDataHandling(true);
    return reset;
}

// A reset that fails five times is followed by a connection check of its own: a sensor that
// no longer answers takes the window offline, without a message.
void SensorWindow::vRestoreFactorySettings()
{
    QPointer<SensorWindow> alive(this);
    const int answer = showMessage(
        QMessageBox::Warning, WindowTexts::tr("Restore factory defaults"),
        WindowTexts::tr("All settings will be restored to factory defaults, continue ?"),
        QMessageBox::Ok | QMessageBox::Cancel);
    if (!alive)
        return;
    if (answer == QMessageBox::Ok) {
        const bool liveData = suspendPolling();
        if (!attempt(5, "BUCLA ON RESET", [this] { return bFactoryReset(); })) {
            if (bConnectToSensor()) {
                enableStatusChecking(true);
            } else {
                d->portBox->setCurrentIndex(0);
                vConnectionControlBoxChanged(0);
            }
        }
        restoreLiveData(liveData);
    }
    if (isConnected())
        enableStatusChecking(true);
}

void SensorWindow::vClearHistory()
{
    const int answer = showMessage(QMessageBox::Warning, WindowTexts::tr("Clear chart history"),
                                   WindowTexts::tr("Do you really want to clear chart history ?"),
                                   QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    d->chart->clear();
    // New samples enable it again.
    ui->chartToolbar->setEnabled(false);
}

void SensorWindow::applyPropertyToSensor(QtProperty *property, const QVariant &value)
{
    if (!property || !isConnected())
        return;
    enableTreeDataHandling(false);
    lastProperty = property;
    session().dispatcher().apply(property->propertyId(), value);
    enableTreeDataHandling(true);
}

// The write of the row edited last, once the typing paused for 600 ms.
void SensorWindow::sendDelayValue()
{
    SessionState &state = session().state();
    if (state.skipNextDelayedWrite) {
        // The rows were converted after a unit change: nothing the user typed.
        state.skipNextDelayedWrite = false;
        return;
    }
    if (!lastProperty || !isConnected())
        return;
    enableTreeDataHandling(false);
    session().dispatcher().writeDeferred(lastProperty->propertyId());
    enableTreeDataHandling(true);
}

bool SensorWindow::suspendPolling()
{
    enableStatusChecking(false);
    const bool liveData = ui->actionEnable_live_data->isChecked();
    if (liveData)
        ui->actionEnable_live_data->setChecked(false); // toggled: slotLiveDataToggled(false)
    else
        slotLiveDataToggled(false);
    return liveData;
}

void SensorWindow::restoreLiveData(bool on)
{
    if (on && ui->actionEnable_live_data->isChecked())
        slotLiveDataToggled(true);
    else
        ui->actionEnable_live_data->setChecked(on);
}

void SensorWindow::deferWrite()
{
    delayTimer.start();
}

// Pin 2 is either output 2 (its contact rows, its LED, the upper threshold line) or the analog
// output (its signal rows, the right axis with the output's signal).
void SensorWindow::applyPin2Mode(bool analog)
{
    for (const char *id : { "2teach", "2analogoutput" })
        setPropertyVisible(QLatin1String(id), analog);
    for (const char *id : { "2switchingOn", "2type", "2operateOutputs" })
        setPropertyVisible(QLatin1String(id), !analog);
    ui->actionOutput_2->setVisible(!analog);
    ui->analogCaption->setVisible(analog);

    d->chart->vEnableYRightAxis(analog);
    d->chart->setTimelineScale(-25.0, 660.0);
    if (analog) {
        if (d->thresholdWidget)
            d->thresholdWidget->enableUpperMark(false);
        d->chart->setCustomSignal(true);
        refreshAnalogChart();
    } else {
        d->chart->setCustomSignal(false);
        const bool fahrenheit = session().io().unitIndex() == 1;
        d->chart->vSetYScale(fahrenheit ? -60.0 : -50.0, fahrenheit ? 700.0 : 400.0);
        if (d->thresholdWidget)
            d->thresholdWidget->setThresholdsRange(fahrenheit ? -13.0 : -50.0,
                                                   fahrenheit ? 662.0 : 400.0);
    }
    d->chart->setBaselineTo(0);
}

void SensorWindow::convertDisplayedTemperatures(bool toFahrenheit)
{
    session().io().convertDisplayedTemperatures(toFahrenheit);
}

} // namespace Core
} // namespace DrumoSensorPlugin
