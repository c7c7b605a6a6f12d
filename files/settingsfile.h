#pragma once

#include <QDate>
#include <QString>

#include <optional>
#include <string>

namespace DrumoSensorPlugin {
namespace Core {

class ParameterRows;

// The sensor settings file (".ovs"): an XML document
//
//   <root pluginid="QUXfamily" sensorid="<sensor name>">
//     <pluginsettings>
//       <propertytreedata data="<property text>"/>
//       <chartdata data="<chart text>"/>
//     </pluginsettings>
//   </root>
//
// The property text holds one item per row, each "id=value;" (enumerators their item index,
// bools 0 or 1, ints in decimal, doubles with six decimals); the chart text is the chart's own.
struct SettingsDocument
{
    std::string pluginId;
    std::string sensorId;
    bool hasPluginSettings = false;
    std::optional<std::string> propertyText;
    std::optional<std::string> chartText;
};

enum class SettingsReadError {
    None,
    NotLoadable, // missing, unreadable, or not XML
    NoRoot, // XML without any element
};

struct SettingsReadResult
{
    SettingsReadError error = SettingsReadError::NotLoadable;
    SettingsDocument document;
};

SettingsReadResult readSettingsFile(const QString &path);

// Writes the file so that an existing one is replaced only by a complete new one. False, with
// the reason in `errorMessage`, when the file could not be written; the old file is then intact.
bool writeSettingsFile(const QString &path, const SettingsDocument &document,
                       QString *errorMessage = nullptr);

// The property text of every row below the root, in pre-order.
std::string propertyText(const ParameterRows &rows);
// Sets the rows named in a property text; items whose id no row has, or whose row takes no
// value, are skipped.
void applyPropertyText(ParameterRows &rows, const std::string &text);

// "<sensor name>-settings-dd-MM-yyyy.ovs"
QString defaultSettingsFileName(const QString &sensorName, const QDate &date);

} // namespace Core
} // namespace DrumoSensorPlugin
