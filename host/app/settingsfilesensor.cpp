#include "settingsfilesensor.h"

#include <safefile.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QXmlStreamReader>

#include <limits>

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
    // Looked at before it is opened: a FIFO would block the host, a device never end.
    std::FILE *handle = nullptr;
    const ExtensionSystem::FileStatus status
        = ExtensionSystem::openRegularFile(fileName, std::numeric_limits<qint64>::max(), &handle);
    QFile file;
    if (status.ok() && file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return readSettingsFileSensor(&file);
    if (handle)
        std::fclose(handle);
    QString reason = status.ok() ? file.errorString() : status.reason;
    if (status.problem == ExtensionSystem::FileProblem::Directory)
        reason
            = QCoreApplication::translate("Orbexa::Internal::SettingsFileSensor", "it is a folder");
    else if (status.problem == ExtensionSystem::FileProblem::NotRegularFile)
        reason = QCoreApplication::translate("Orbexa::Internal::SettingsFileSensor",
                                             "it is a device, pipe or socket, not a file");
    return failed(
        QCoreApplication::translate("Orbexa::Internal::SettingsFileSensor", "%1 cannot be read: %2")
            .arg(QDir::toNativeSeparators(fileName), reason));
}

} // namespace Orbexa::Internal
