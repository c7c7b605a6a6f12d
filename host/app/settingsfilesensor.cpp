#include "settingsfilesensor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QXmlStreamReader>

namespace Orbexa::Internal {

namespace {

SettingsFileSensor failed(const QString &error)
{
    SettingsFileSensor result;
    result.error = error;
    return result;
}

} // namespace

SettingsFileSensor readSettingsFileSensor(QIODevice *device)
{
    QXmlStreamReader xml(device->read(settingsFileHeadLimit));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() != QLatin1String("root"))
            break;
        SettingsFileSensor result;
        result.pluginId = xml.attributes().value(QLatin1String("pluginid")).toString();
        result.sensorId = xml.attributes().value(QLatin1String("sensorid")).toString();
        if (result.pluginId.isEmpty() || result.sensorId.isEmpty())
            return failed(
                QCoreApplication::translate("Orbexa::Internal::SettingsFileSensor",
                                            "The file names no plug-in or no sensor type."));
        return result;
    }
    return failed(QCoreApplication::translate("Orbexa::Internal::SettingsFileSensor",
                                              "The file is not a sensor settings file."));
}

SettingsFileSensor readSettingsFileSensor(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return failed(QCoreApplication::translate("Orbexa::Internal::SettingsFileSensor",
                                                  "%1 cannot be read: %2")
                          .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    return readSettingsFileSensor(&file);
}

} // namespace Orbexa::Internal
