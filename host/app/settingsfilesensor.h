#pragma once

#include <QString>

class QIODevice;

namespace Orbexa::Internal {

// Which plug-in and sensor type a sensor settings file (".ovs") was saved for: the `pluginid`
// and `sensorid` attributes of its root element. The host needs them to open the file in the
// right sensor's window before the plug-in reads the rest.
struct SettingsFileSensor
{
    QString pluginId;
    QString sensorId;
    QString error; // empty when the file names a sensor
};

// Only the start of the file is read: the root element must begin within it, so that a file
// of any size, or no settings file at all, is answered at once.
constexpr qint64 settingsFileHeadLimit = 64 * 1024;

SettingsFileSensor readSettingsFileSensor(QIODevice *device);
SettingsFileSensor readSettingsFileSensor(const QString &fileName);

} // namespace Orbexa::Internal
