// The window's settings files and chart export: the dialogs and messages around the files layer.

#include "window/sensorwindow.h"

#include "window/sensorwindow_p.h"

namespace DrumoSensorPlugin {
namespace Core {

// Not built yet: the save, load and export actions do nothing.
void SensorWindow::vSaveSettings() { }

bool SensorWindow::bOpenSettings(const QString &fileName)
{
    Q_UNUSED(fileName)
    return false;
}

void SensorWindow::vLoadSettings()
{
    bOpenSettings(QString());
}

void SensorWindow::vExportDocument() { }

} // namespace Core
} // namespace DrumoSensorPlugin
