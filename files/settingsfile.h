#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <functional>
#include <optional>
#include <string>

namespace DrumoSensorPlugin {
namespace Core {

class ParameterRows;

// The sensor settings file (".ovs"): an XML document, written with tinyxml2's indented printer
//
//   <?xml version="1.0" encoding="utf-8"?>
//   <root pluginid="QUXfamily" sensorid="<sensor name>">
//       <pluginsettings>
//           <propertytreedata data="<property text>"/>
//           <chartdata data="<chart text>"/>
//       </pluginsettings>
//   </root>
//
// The property text is described in propertytext.h; the chart text is the chart's own
// (Utils::SimpleTimeChart::dataToString with ";"), carried here as it is. Child elements of
// "propertytreedata" are not part of the format and are ignored.
//
// Nothing here shows anything: the window (and the command-line tool) turn the results into
// messages and dialogs.

extern const char settingsPluginId[]; // "QUXfamily"

// Limits. A file the window writes always stays below them: it refuses to save a chart of
// more samples than a file may hold, and a sample takes at most 75 characters.
const qint64 maxSettingsFileBytes = 160LL * 1024 * 1024;
const long long maxSettingsChartSamples = 2000000; // about 36 hours of live data
const long long maxSettingsPropertyItems = 10000; // a sensor has a few dozen rows

struct SettingsDocument
{
    std::string pluginId;
    std::string sensorId;
    bool hasPluginSettings = false;
    // Missing when the file lacks the element or its "data".
    std::optional<std::string> propertyText;
    std::optional<std::string> chartText;
};

// The document of a sensor window's state: its sensor name, the property text of its rows,
// and the chart text.
SettingsDocument settingsDocument(const std::string &sensorName, const ParameterRows &rows,
                                  std::string chartText);

// Why a file is not read or not written, in the order a reader checks. The window shows
// settingsErrorText for each; what else happens is the loader's decision (see the window).
enum class SettingsError {
    None,
    TooLarge, // the file is larger than maxSettingsFileBytes
    NotLoadable, // it cannot be read, or is not XML
    NoRoot, // XML without an element "root"
    OtherSensor, // for another plug-in or another sensor name
    TooManyProperties, // a property text of more than maxSettingsPropertyItems items
    TooManySamples, // a chart text of more than maxSettingsChartSamples items
    ChartTooLarge, // saving: the chart holds more than maxSettingsChartSamples samples
    NotWritten, // saving: the file could not be written
};

// The text the user reads for an error, untranslated (translation context "SensorWindow"):
// "%1" and "%2" stand for the figures or the file name and the reason (see the window).
const char *settingsErrorText(SettingsError error);

// Progress of a long file operation, 0 to 1000; may run the event loop.
using FileProgress = std::function<void(int permille)>;

struct SettingsReadResult
{
    SettingsError error = SettingsError::NotLoadable;
    SettingsDocument document; // filled when error is None
    qint64 fileBytes = 0;
    long long items = 0; // of the text that was too long (TooManyProperties, TooManySamples)
};

// Reads a settings file and checks it against the sensor name `sensorName`.
SettingsReadResult readSettingsFile(const QString &path, const std::string &sensorName,
                                    const FileProgress &progress = {});
// The same for a file's bytes.
SettingsReadResult parseSettings(const QByteArray &bytes, const std::string &sensorName);

// The file's text for a document.
QByteArray settingsText(const SettingsDocument &document);

// Writes the file so that an existing one is replaced only by a complete new one: the text
// goes into a new file beside it, which takes the old one's place (an atomic rename) only once
// it is complete. False, with the reason in `errorMessage`, when it could not be written; an
// existing file of that name is then as it was.
bool writeSettingsFile(const QString &path, const SettingsDocument &document,
                       QString *errorMessage = nullptr, const FileProgress &progress = {});

// "<sensor name>-settings-dd-MM-yyyy.ovs"
QString defaultSettingsFileName(const QString &sensorName, const QDate &date);

} // namespace Core
} // namespace DrumoSensorPlugin
