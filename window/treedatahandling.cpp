// The way of an edit in the property tree: the managers' value signals reach the window's value
// slots, which record the edit in vPropertyChanged. Effects that only concern the window (the
// expert rows, the chart's temperature choice, pin 2's layout, the analog output's units, and
// while no sensor is connected the temperature unit) happen at once; the edit itself is handed
// to the sensor 10 ms later by vSettingsChanged, so that quick successive edits send only the
// last one.

#include "window/sensorwindow.h"

#include "parameters/sensorsession.h"
#include "window/chartpresenter.h"
#include "window/sensorwindow_p.h"
#include "window/treehandling.h"

#include <qtpropertymanager.h>
#include <simpletimechart.h>

namespace DrumoSensorPlugin {
namespace Core {

// Switches the four value connections from the bool, int, double and enum managers (see
// TreeHandling); the plug-in's own changes to rows happen inside a TreeHandlingGuard.
void SensorWindow::enableTreeDataHandling(bool on)
{
    d->treeHandling->setOn(on);
}

void SensorWindow::intValueChanged(QtProperty *property, int value)
{
    vPropertyChanged(property, QVariant(value));
}

void SensorWindow::doubleValueChanged(QtProperty *property, double value)
{
    vPropertyChanged(property, QVariant(value));
}

void SensorWindow::boolValueChanged(QtProperty *property, bool value)
{
    vPropertyChanged(property, QVariant(value));
}

void SensorWindow::stringValueChanged(QtProperty *property, const QString &value)
{
    vPropertyChanged(property, QVariant(value));
}

void SensorWindow::enumValueChanged(QtProperty *property, int value)
{
    vPropertyChanged(property, QVariant(value));
}

void SensorWindow::buttonClicked(QtProperty *property)
{
    vPropertyChanged(property, QVariant(QString()));
}

void SensorWindow::vPropertyChanged(QtProperty *property, const QVariant &value)
{
    // The polling goes on until the dispatch suspends it around the write, 10 ms from now.
    lastProperty = property;
    {
        TreeHandlingGuard quiet(*d->treeHandling);
        applyViewEffects(property);
    }
    pendingValue = value;
    settingsTimer->start();
}

// What an edit does to the window at once, before it reaches the sensor.
void SensorWindow::applyViewEffects(QtProperty *property)
{
    const QString id = property ? property->propertyId() : QString();
    const int index = property ? d->enumManager->value(property) : 0;

    // Without a sensor the tree is all there is to update; with one, the unit's write does it.
    if (!isConnected() && id == QLatin1String("unit")) {
        updateTemperatureCaption();
        applyTemperatureUnitToChart(index != 0);
        convertDisplayedTemperatures(index != 0);
    }

    if (id == QLatin1String("ExpertMenu")) {
        setExpertMenu(index != 0);
    } else if (id == QLatin1String("readTemp")) {
        session().state().measuredTemp = index != 0;
    } else if (id == QLatin1String("2A")) {
        applyPin2Mode(index != 0);
        if (index == 1) {
            // Toggling the right axis' zoom makes the chart take the new right scale.
            d->presenter->toggleRightAxisZoom();
        }
    } else if (id == QLatin1String("2analogoutput")) {
        showAnalogOutputMode(index);
    }
}

// Runs only while a sensor is connected: the connect sequence wires settingsTimer to it.
void SensorWindow::vSettingsChanged()
{
    applyPropertyToSensor(lastProperty, pendingValue);
}

} // namespace Core
} // namespace DrumoSensorPlugin
