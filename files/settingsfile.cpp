// Not built yet: no file is read or written.

#include "files/settingsfile.h"

#include "model/parameterrows.h"

namespace DrumoSensorPlugin {
namespace Core {

SettingsReadResult readSettingsFile(const QString &)
{
    return {};
}

bool writeSettingsFile(const QString &, const SettingsDocument &, QString *)
{
    return false;
}

std::string propertyText(const ParameterRows &)
{
    return std::string();
}

void applyPropertyText(ParameterRows &, const std::string &) { }

QString defaultSettingsFileName(const QString &sensorName, const QDate &date)
{
    return sensorName + date.toString(QStringLiteral("-settings-dd-MM-yyyy.ovs"));
}

} // namespace Core
} // namespace DrumoSensorPlugin
