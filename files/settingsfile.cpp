#include "files/settingsfile.h"

#include "files/propertytext.h"

#include <QBuffer>
#include <QFile>
#include <QLocale>
#include <QSaveFile>

#include <tinyxml2.h>

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <vector>

namespace DrumoSensorPlugin {
namespace Core {

const char settingsPluginId[] = "QUXfamily";

namespace {

const qint64 chunkBytes = 4 * 1024 * 1024;

// tinyxml2's printer, writing into a device in pieces instead of building the whole text in
// memory: the chart text of a million samples is some 50 MB.
class DevicePrinter : public tinyxml2::XMLPrinter
{
public:
    DevicePrinter(QIODevice &device, qint64 expectedBytes, const FileProgress &progress)
        : m_device(device)
        , m_expected(qMax<qint64>(expectedBytes, 1))
        , m_progress(progress)
    {
        m_buffer.reserve(int(chunkBytes));
    }

    // Writes what is left; false when the device refused anything.
    bool finish()
    {
        flush();
        return !m_failed;
    }

protected:
    void Write(const char *data, size_t size) override
    {
        if (qint64(m_buffer.size() + size) < chunkBytes) {
            m_buffer.append(data, int(size));
            return;
        }
        flush();
        while (size > 0) { // long runs (the chart text) go out in chunks
            const size_t piece = std::min<size_t>(size, size_t(chunkBytes));
            writeOut(data, qint64(piece));
            data += piece;
            size -= piece;
        }
    }

    void Putc(char ch) override { Write(&ch, 1); }

    void Print(const char *format, ...) override
    {
        va_list args;
        va_start(args, format);
        va_list copy;
        va_copy(copy, args);
        const int length = std::vsnprintf(nullptr, 0, format, copy);
        va_end(copy);
        if (length > 0) {
            std::vector<char> text(size_t(length) + 1);
            std::vsnprintf(text.data(), text.size(), format, args);
            Write(text.data(), size_t(length));
        }
        va_end(args);
    }

private:
    void flush()
    {
        writeOut(m_buffer.constData(), m_buffer.size());
        m_buffer.clear();
    }

    void writeOut(const char *data, qint64 size)
    {
        if (m_failed || size == 0)
            return;
        if (m_device.write(data, size) != size) {
            m_failed = true;
            return;
        }
        m_written += size;
        if (m_progress)
            m_progress(int(qMin<qint64>(1000, m_written * 1000 / m_expected)));
    }

    QIODevice &m_device;
    qint64 m_expected;
    const FileProgress m_progress; // a copy: settingsText() hands over a temporary
    QByteArray m_buffer;
    qint64 m_written = 0;
    bool m_failed = false;
};

// The document through the printer, exactly as tinyxml2 prints the same XMLDocument, without
// copying the texts into one.
void printDocument(const SettingsDocument &document, tinyxml2::XMLPrinter &printer)
{
    printer.PushDeclaration("xml version=\"1.0\" encoding=\"utf-8\"");
    printer.OpenElement("root");
    printer.PushAttribute("pluginid", document.pluginId.c_str());
    printer.PushAttribute("sensorid", document.sensorId.c_str());
    if (document.hasPluginSettings) {
        printer.OpenElement("pluginsettings");
        if (document.propertyText) {
            printer.OpenElement("propertytreedata");
            printer.PushAttribute("data", document.propertyText->c_str());
            printer.CloseElement();
        }
        if (document.chartText) {
            printer.OpenElement("chartdata");
            printer.PushAttribute("data", document.chartText->c_str());
            printer.CloseElement();
        }
        printer.CloseElement();
    }
    printer.CloseElement();
}

qint64 expectedBytes(const SettingsDocument &document)
{
    return 300 + qint64(document.sensorId.size())
        + qint64(document.propertyText ? document.propertyText->size() : 0)
        + qint64(document.chartText ? document.chartText->size() : 0);
}

// The "data" text of `parent`'s child `name`; nothing when either is missing.
std::optional<std::string> dataOf(const tinyxml2::XMLElement *parent, const char *name)
{
    const tinyxml2::XMLElement *element = parent->FirstChildElement(name);
    const char *data = element ? element->Attribute("data") : nullptr;
    if (!data)
        return std::nullopt;
    return std::string(data);
}

long long countOf(const std::string &text, char c)
{
    return std::count(text.begin(), text.end(), c);
}

SettingsReadResult parse(const char *data, size_t size, const std::string &sensorName,
                         const std::function<void()> &parsed = {})
{
    SettingsReadResult result;
    result.fileBytes = qint64(size);
    tinyxml2::XMLDocument xml(true, tinyxml2::PRESERVE_WHITESPACE);
    if (xml.Parse(data, size) != tinyxml2::XML_SUCCESS)
        return result; // NotLoadable
    if (parsed)
        parsed();
    const tinyxml2::XMLElement *root = xml.FirstChildElement("root");
    if (!root) {
        result.error = SettingsError::NoRoot;
        return result;
    }
    // A missing attribute counts as different; the sensor name is compared byte for byte.
    const char *pluginId = root->Attribute("pluginid");
    const char *sensorId = root->Attribute("sensorid");
    if (!pluginId || std::strcmp(pluginId, settingsPluginId) != 0 || !sensorId
        || sensorName != sensorId) {
        result.error = SettingsError::OtherSensor;
        return result;
    }

    SettingsDocument &document = result.document;
    document.pluginId = pluginId;
    document.sensorId = sensorId;
    if (const tinyxml2::XMLElement *settings = root->FirstChildElement("pluginsettings")) {
        document.hasPluginSettings = true;
        document.propertyText = dataOf(settings, "propertytreedata");
        const long long items
            = document.propertyText ? propertyItemCount(*document.propertyText) : 0;
        if (items > maxSettingsPropertyItems) {
            result.error = SettingsError::TooManyProperties;
            result.items = items;
            result.document = SettingsDocument();
            return result;
        }
        document.chartText = dataOf(settings, "chartdata");
        const long long samples = document.chartText ? 1 + countOf(*document.chartText, ';') : 0;
        if (samples > maxSettingsChartSamples) {
            result.error = SettingsError::TooManySamples;
            result.items = samples;
            result.document = SettingsDocument();
            return result;
        }
    }
    result.error = SettingsError::None;
    return result;
}

} // namespace

SettingsDocument settingsDocument(const std::string &sensorName, const ParameterRows &rows,
                                  std::string chartText)
{
    SettingsDocument document;
    document.pluginId = settingsPluginId;
    document.sensorId = sensorName;
    document.hasPluginSettings = true;
    document.propertyText = propertyText(rows);
    document.chartText = std::move(chartText);
    return document;
}

const char *settingsErrorText(SettingsError error)
{
    switch (error) {
    case SettingsError::None:
        return "";
    case SettingsError::TooLarge:
        return QT_TRANSLATE_NOOP("SensorWindow",
                                 "The selected settings file is too large (%1 MB, at most %2 MB)");
    case SettingsError::NotLoadable:
    case SettingsError::NoRoot:
        return QT_TRANSLATE_NOOP("SensorWindow", "The selected settings are corupted");
    case SettingsError::OtherSensor:
        return QT_TRANSLATE_NOOP("SensorWindow",
                                 "The selected settings are not for the current sensor");
    case SettingsError::TooManyProperties:
        return QT_TRANSLATE_NOOP("SensorWindow",
                                 "The selected settings hold too many properties (%1, at most %2)");
    case SettingsError::TooManySamples:
        return QT_TRANSLATE_NOOP(
            "SensorWindow", "The selected settings hold too many chart samples (%1, at most %2)");
    case SettingsError::ChartTooLarge:
        return QT_TRANSLATE_NOOP(
            "SensorWindow",
            "The chart holds %1 samples, more than a settings file keeps (%2). Clear the "
            "chart history and save again.");
    case SettingsError::NotWritten:
        return QT_TRANSLATE_NOOP(
            "SensorWindow",
            "The settings were not saved to %1: %2. A file of that name is unchanged.");
    }
    return "";
}

SettingsReadResult parseSettings(const QByteArray &bytes, const std::string &sensorName)
{
    return parse(bytes.constData(), size_t(bytes.size()), sensorName);
}

SettingsReadResult readSettingsFile(const QString &path, const std::string &sensorName,
                                    const FileProgress &progress)
{
    SettingsReadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return result; // NotLoadable
    // Read in chunks up to one byte past the limit: the size a file reports may be wrong
    // (special files report 0).
    const qint64 reported = file.size();
    if (reported > maxSettingsFileBytes) {
        result.error = SettingsError::TooLarge;
        result.fileBytes = reported;
        return result;
    }
    QByteArray bytes(int(reported), Qt::Uninitialized);
    qint64 got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (got > maxSettingsFileBytes) {
                result.error = SettingsError::TooLarge;
                result.fileBytes = got;
                return result;
            }
            bytes.resize(int(qMin(maxSettingsFileBytes + 1, qMax(2 * got, chunkBytes))));
        }
        const qint64 read = file.read(bytes.data() + got, qMin(chunkBytes, bytes.size() - got));
        if (read <= 0)
            break;
        got += read;
        if (progress && reported > 0)
            progress(int(qMin<qint64>(500, got * 500 / reported)));
    }
    bytes.resize(int(got));
    if (file.error() != QFileDevice::NoError)
        return result; // NotLoadable
    // The parser keeps a copy of its own: the bytes go before the texts are taken out.
    result = parse(bytes.constData(), size_t(bytes.size()), sensorName,
                   [&bytes] { bytes = QByteArray(); });
    if (progress)
        progress(1000);
    return result;
}

QByteArray settingsText(const SettingsDocument &document)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    DevicePrinter printer(buffer, expectedBytes(document), FileProgress());
    printDocument(document, printer);
    printer.finish();
    return buffer.data();
}

bool writeSettingsFile(const QString &path, const SettingsDocument &document, QString *errorMessage,
                       const FileProgress &progress)
{
    // Deleting the old file first would lose it when the new one cannot be written; the save
    // file replaces it only once the new one is complete.
    QSaveFile file(path);
    const auto fail = [&file, errorMessage] {
        if (errorMessage)
            *errorMessage = file.errorString();
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    DevicePrinter printer(file, expectedBytes(document), progress);
    printDocument(document, printer);
    if (!printer.finish())
        return fail();
    if (!file.commit()) {
        if (errorMessage)
            *errorMessage = file.errorString();
        return false;
    }
    return true;
}

QString defaultSettingsFileName(const QString &sensorName, const QDate &date)
{
    // The C locale: ASCII digits whatever the user's locale.
    return sensorName + QLocale::c().toString(date, QStringLiteral("'-settings-'dd-MM-yyyy'.ovs'"));
}

} // namespace Core
} // namespace DrumoSensorPlugin
