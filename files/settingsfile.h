#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

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

// Limits against hostile files, never against the program's own: a file may be as large as the
// memory available takes (loading holds the file's text and the samples read from it, together
// about twice its size), and a sensor has a few dozen rows.
qint64 settingsFileByteLimit();
const long long maxSettingsPropertyItems = 10000;

// A text handed over in pieces, and a writer of one: it hands its text to `out` piece by piece
// and returns false when `out` refused one.
using TextPieces = std::function<bool(std::string_view piece)>;
using TextWriter = std::function<bool(const TextPieces &out)>;

struct SettingsDocument
{
    std::string pluginId;
    std::string sensorId;
    bool hasPluginSettings = false;
    // Missing when the file lacks the element or its "data".
    std::optional<std::string> propertyText;
    std::optional<std::string> chartText;
    // Writing: when set, it makes the chart text as the file is written, instead of chartText.
    TextWriter chartWriter;
};

// The document of a sensor window's state: its sensor name, the property text of its rows,
// and the chart text, or what writes it as the file is written.
SettingsDocument settingsDocument(const std::string &sensorName, const ParameterRows &rows,
                                  std::string chartText);
SettingsDocument settingsDocument(const std::string &sensorName, const ParameterRows &rows,
                                  TextWriter chartWriter);

// Where a reader puts the chart text as it reads the file, instead of keeping it in the
// document (a week of samples is some 400 MB of text): `append` takes the next piece (false
// once it wants no more), `restart` drops what it was given, to be given the text once more.
struct ChartTextSink
{
    TextPieces append;
    std::function<void()> restart;
};

// Why a file is not read or not written, in the order a reader checks. The window shows
// settingsErrorText for each; what else happens is the loader's decision (see the window).
enum class SettingsError {
    None,
    Missing, // there is no such file
    Directory, // the name is a folder
    NotRegularFile, // a device, FIFO or socket
    NotReadable, // permission denied, or an I/O error
    TooLarge, // the file is larger than settingsFileByteLimit()
    NotLoadable, // it is not XML
    NoRoot, // XML without an element "root"
    OtherSensor, // for another plug-in or another sensor name
    NotANumber, // a property value that reads as no finite number ("nan", "inf", "1e999")
    TooManyProperties, // a property text of more than maxSettingsPropertyItems items
    NotWritten, // saving: the file could not be written
};

// The files were not read at all: they count as not loadable.
inline bool isUnreadable(SettingsError error)
{
    return error == SettingsError::Missing || error == SettingsError::Directory
        || error == SettingsError::NotRegularFile || error == SettingsError::NotReadable
        || error == SettingsError::NotLoadable;
}

// The text the user reads for an error, untranslated (translation context "SensorWindow"):
// "%1" and "%2" stand for the figures or the file name and the reason (see settingsMessage).
const char *settingsErrorText(SettingsError error);

// Progress of a long file operation, 0 to 1000; may run the event loop.
using FileProgress = std::function<void(int permille)>;

struct SettingsReadResult
{
    SettingsError error = SettingsError::NotLoadable;
    SettingsDocument document; // filled when error is None
    qint64 fileBytes = 0;
    qint64 limit = 0; // the limit that was passed (TooLarge, TooManyProperties)
    long long items = 0; // of the text that was too long (TooManyProperties)
    QString reason; // the system's words (NotReadable)
};

// A refusal in the user's language (context "SensorWindow"), with its figures.
QString settingsMessage(const SettingsReadResult &read);
// A save's failure in the user's language: the file and why.
QString settingsWriteMessage(const QString &path, const QString &reason);

// Reads a settings file and checks it against the sensor name `sensorName`. With `chart`,
// the chart text goes there while the file is read, and the document's chartText is empty
// when the file has one (whether or not the file is then refused, `chart` may have been given
// some text: use it only when the result is None).
SettingsReadResult readSettingsFile(const QString &path, const std::string &sensorName,
                                    const FileProgress &progress = {},
                                    const ChartTextSink *chart = nullptr);
// The same for a file's bytes, whole.
SettingsReadResult parseSettings(const QByteArray &bytes, const std::string &sensorName);
// The same as readSettingsFile, for bytes arriving in pieces of `pieceBytes`.
SettingsReadResult parseSettingsInPieces(const QByteArray &bytes, const std::string &sensorName,
                                         size_t pieceBytes, const ChartTextSink *chart = nullptr);

// The file's text for a document.
QByteArray settingsText(const SettingsDocument &document);

// Writes the file so that an existing one is replaced only by a complete new one: the text
// goes into ".<name>.saving-XXXXXX" beside it, which is synced and takes the old one's place
// (an atomic rename) only once complete. Only a regular file or a new name is replaced; a
// folder, device, FIFO or socket is refused. False, with the reason (translated) in
// `errorMessage`, when it could not be written; an existing file of that name is then as it was.
bool writeSettingsFile(const QString &path, const SettingsDocument &document,
                       QString *errorMessage = nullptr, const FileProgress &progress = {});

// Whether `path` could be saved to, checked before the work of saving: false with the reason
// when it names a folder, device, FIFO or socket, or a folder that does not exist or take it.
bool checkSettingsTarget(const QString &path, QString *errorMessage);

// "<sensor name>-settings-dd-MM-yyyy.ovs"
QString defaultSettingsFileName(const QString &sensorName, const QDate &date);

} // namespace Core
} // namespace DrumoSensorPlugin
