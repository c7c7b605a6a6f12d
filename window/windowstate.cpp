// The window state file: toolbar and dock layout, geometry, two viewing choices (expert rows
// shown, temperature shown in the chart) and whether live data is published to the broker. Keys are the window's object name ("SensorWindow")
// plus a suffix, so every window of the plug-in shares them and the last one saved wins.
// A settings object is opened for every read or write; nothing is cached.

#include "window/sensorwindow.h"

#include "parameters/sensorsession.h"
#include "ui_sensorwindow.h"
#include "window/sensorwindow_p.h"
#include "window/windowstatefile.h"

#include <qtpropertymanager.h>

#include <QSettings>

namespace DrumoSensorPlugin {
namespace Core {

namespace {
const char geometryKey[] = "/geometry";
const char stateKey[] = "/state";
const char expertMenuKey[] = "/expertMenu";
// Spelt so in every existing state file.
const char measuredTempKey[] = "/mesuredTemp";
// Absent in files from before publishing: off.
const char publishKey[] = "/publishLiveData";
} // namespace

void SensorWindow::saveWindowState()
{
    QSettings settings(windowStateFilePath(), QSettings::IniFormat, this);
    settings.setValue(objectName() + QLatin1String(geometryKey), saveGeometry());
    settings.setValue(objectName() + QLatin1String(stateKey), saveState(0));
    settings.setValue(objectName() + QLatin1String(expertMenuKey), expertMenu);
    settings.setValue(objectName() + QLatin1String(measuredTempKey),
                      session().state().measuredTemp);
    settings.setValue(objectName() + QLatin1String(publishKey),
                      ui->actionPublish_live_data->isChecked());
}

// The geometry is written but left to the host's sub-window on the way back. Publishing, when
// on, starts with the first live sample of a connected sensor.
void SensorWindow::restoreWindowLayout()
{
    QSettings settings(windowStateFilePath(), QSettings::IniFormat, this);
    restoreState(settings.value(objectName() + QLatin1String(stateKey)).toByteArray(), 0);
    ui->actionPublish_live_data->setChecked(
        settings.value(objectName() + QLatin1String(publishKey), false).toBool());
}

void SensorWindow::loadExpertMenuSetting()
{
    bool on = false;
    {
        QSettings settings(windowStateFilePath(), QSettings::IniFormat, this);
        on = settings.value(objectName() + QLatin1String(expertMenuKey), false).toBool();
    }
    setExpertMenu(on);
    if (!on)
        return;
    // With the tree connections on, this goes the way of a user's choice; the row itself
    // never sends a command.
    if (QtProperty *row = findProperty(d->rootProperty, "ExpertMenu"))
        d->enumManager->setValue(row, 1);
}

void SensorWindow::loadMeasuredTempSetting()
{
    bool &measuredTemp = session().state().measuredTemp;
    {
        QSettings settings(windowStateFilePath(), QSettings::IniFormat, this);
        measuredTemp
            = settings.value(objectName() + QLatin1String(measuredTempKey), false).toBool();
    }
    if (QtProperty *row = findProperty(d->rootProperty, "readTemp"))
        d->enumManager->setValue(row, measuredTemp ? 1 : 0);
}

} // namespace Core
} // namespace DrumoSensorPlugin
