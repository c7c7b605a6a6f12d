// The way of an edit in the property tree: the managers' value signals reach the window's value
// slots, which record the edit in vPropertyChanged. Effects that only concern the window (the
// expert rows, the chart's temperature choice, pin 2's layout, the analog output's units, and
// while no sensor is connected the temperature unit) happen at once; the edit itself is handed
// to the sensor 10 ms later by vSettingsChanged, so that quick successive edits send only the
// last one.

#include "window/sensorwindow.h"

#include "parameters/sensorsession.h"
#include "window/sensorwindow_p.h"

#include <qtpropertymanager.h>
#include <simpletimechart.h>

namespace DrumoSensorPlugin {
namespace Core {

// Switches the four value connections from the bool, int, double and enum managers. Every
// change the plug-in makes to rows itself is bracketed by off and on, so that values read from
// the sensor are never sent back to it. Operations nest (an inner "on" may come before the
// outer one), so the connections are made unique: a nested "on" never doubles a connection,
// and each edit reaches vPropertyChanged exactly once.
void SensorWindow::enableTreeDataHandling(bool on)
{
    d->treeHandling = on;
    if (on) {
        connect(d->boolManager, SIGNAL(valueChanged(QtProperty *, bool)), this,
                SLOT(boolValueChanged(QtProperty *, bool)), Qt::UniqueConnection);
        connect(d->intManager, SIGNAL(valueChanged(QtProperty *, int)), this,
                SLOT(intValueChanged(QtProperty *, int)), Qt::UniqueConnection);
        connect(d->doubleManager, SIGNAL(valueChanged(QtProperty *, double)), this,
                SLOT(doubleValueChanged(QtProperty *, double)), Qt::UniqueConnection);
        connect(d->enumManager, SIGNAL(valueChanged(QtProperty *, int)), this,
                SLOT(enumValueChanged(QtProperty *, int)), Qt::UniqueConnection);
    } else {
        disconnect(d->boolManager, SIGNAL(valueChanged(QtProperty *, bool)), this,
                   SLOT(boolValueChanged(QtProperty *, bool)));
        disconnect(d->intManager, SIGNAL(valueChanged(QtProperty *, int)), this,
                   SLOT(intValueChanged(QtProperty *, int)));
        disconnect(d->doubleManager, SIGNAL(valueChanged(QtProperty *, double)), this,
                   SLOT(doubleValueChanged(QtProperty *, double)));
        disconnect(d->enumManager, SIGNAL(valueChanged(QtProperty *, int)), this,
                   SLOT(enumValueChanged(QtProperty *, int)));
    }
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
    enableTreeDataHandling(false);

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
            enableTreeDataHandling(false);
            d->chart->setZoomingRightAxes(false);
            d->chart->setZoomingRightAxes(true);
            d->chart->setZoomingRightAxes(false);
            enableTreeDataHandling(true);
        }
    } else if (id == QLatin1String("2analogoutput")) {
        showAnalogOutputMode(index);
    }

    enableTreeDataHandling(true);
    pendingValue = value;
    settingsTimer->start();
}

// Runs only while a sensor is connected: the connect sequence wires settingsTimer to it.
void SensorWindow::vSettingsChanged()
{
    applyPropertyToSensor(lastProperty, pendingValue);
}

} // namespace Core
} // namespace DrumoSensorPlugin
