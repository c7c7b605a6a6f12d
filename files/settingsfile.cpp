#include "files/settingsfile.h"

#include "files/propertytext.h"
#include "files/settingsscanner.h"

#include <safefile.h>

#include <QCoreApplication>
#include <QFile>
#include <QLocale>

#include <tinyxml2.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include <unistd.h>

namespace DrumoSensorPlugin {
namespace Core {

const char settingsPluginId[] = "QUXfamily";

namespace {

const qint64 chunkBytes = 1024 * 1024;

using Sink = std::function<bool(const char *data, qint64 size)>;

// tinyxml2's printer, writing in pieces instead of building the whole text in memory: the
// chart text of a week of samples is some 200 MB.
class DevicePrinter : public tinyxml2::XMLPrinter
{
public:
    DevicePrinter(Sink sink, qint64 expectedBytes, const FileProgress &progress)
        : m_sink(std::move(sink))
        , m_expected(qMax<qint64>(expectedBytes, 1))
        , m_progress(progress)
    {
        m_buffer.reserve(int(chunkBytes));
    }

    // An attribute whose value comes in pieces, escaped as PushAttribute escapes it.
    bool pushAttribute(const char *name, const TextWriter &value)
    {
        Putc(' ');
        Write(name);
        Write("=\"");
        const bool written = value([this](std::string_view piece) {
            writeEscaped(piece);
            return !m_failed;
        });
        Putc('"');
        return written && !m_failed;
    }

    // Writes what is left; false when the device refused anything.
    bool finish()
    {
        flush();
        return !m_failed;
    }

protected:
    using tinyxml2::XMLPrinter::Write;

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
    void writeEscaped(std::string_view text)
    {
        const char *run = text.data();
        const char *const end = run + text.size();
        for (const char *p = run; p < end; ++p) {
            const char *entity = nullptr;
            switch (*p) {
            case '"':
                entity = "&quot;";
                break;
            case '&':
                entity = "&amp;";
                break;
            case '\'':
                entity = "&apos;";
                break;
            case '<':
                entity = "&lt;";
                break;
            case '>':
                entity = "&gt;";
                break;
            default:
                continue;
            }
            Write(run, size_t(p - run));
            Write(entity);
            run = p + 1;
        }
        Write(run, size_t(end - run));
    }

    void flush()
    {
        writeOut(m_buffer.constData(), m_buffer.size());
        m_buffer.clear();
    }

    void writeOut(const char *data, qint64 size)
    {
        if (m_failed || size == 0)
            return;
        if (!m_sink(data, size)) {
            m_failed = true;
            return;
        }
        m_written += size;
        if (m_progress)
            m_progress(int(qMin<qint64>(1000, m_written * 1000 / m_expected)));
    }

    Sink m_sink;
    qint64 m_expected;
    const FileProgress m_progress; // a copy: settingsText() hands over a temporary
    QByteArray m_buffer;
    qint64 m_written = 0;
    bool m_failed = false;
};

// The document through the printer, exactly as tinyxml2 prints the same XMLDocument, without
// copying the texts into one.
void printDocument(const SettingsDocument &document, DevicePrinter &printer)
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
        if (document.chartWriter) {
            printer.OpenElement("chartdata");
            printer.pushAttribute("data", document.chartWriter);
            printer.CloseElement();
        } else if (document.chartText) {
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

// Checks and takes the parts of a parsed document.
SettingsReadResult take(const tinyxml2::XMLDocument &xml, qint64 size,
                        const std::string &sensorName)
{
    SettingsReadResult result;
    result.fileBytes = size;
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
            result.limit = maxSettingsPropertyItems;
            result.document = SettingsDocument();
            return result;
        }
        // Refused before anything is applied: such a value would set a row to its limit.
        if (document.propertyText) {
            for (const PropertyItem &item : propertyItems(*document.propertyText)) {
                if (!std::isfinite(propertyDouble(item.value))) {
                    result.error = SettingsError::NotANumber;
                    result.document = SettingsDocument();
                    return result;
                }
            }
        }
        document.chartText = dataOf(settings, "chartdata");
    }
    result.error = SettingsError::None;
    return result;
}

// Reads a settings file in pieces from `read` (bytes read, 0 at the end, -1 on an I/O error):
// the chart text goes to `chart` as it comes, and only the rest of the document is parsed by
// tinyxml2. A chart text with entities in it is left to tinyxml2 to unescape: `parseWhole`
// parses the whole file then (a tinyxml2 error, or -1 on an I/O error).
SettingsReadResult fromStatus(const ExtensionSystem::FileStatus &status);

SettingsReadResult scanSettings(const std::function<qint64(char *, size_t)> &read, qint64 size,
                                const std::string &sensorName, const FileProgress &progress,
                                const ChartTextSink *chart, size_t pieceBytes,
                                const std::function<int(tinyxml2::XMLDocument &)> &parseWhole)
{
    std::string kept; // the chart text, when the caller wants it in the document
    ChartTextSink own;
    if (!chart) {
        own.append = [&kept](std::string_view piece) {
            kept.append(piece);
            return true;
        };
        own.restart = [&kept] { kept = std::string(); };
    }
    const ChartTextSink &sink = chart ? *chart : own;

    SettingsScanner scanner(sink.append);
    std::vector<char> buffer(pieceBytes);
    qint64 done = 0;
    for (;;) {
        const qint64 got = read(buffer.data(), buffer.size());
        if (got < 0)
            return fromStatus(ExtensionSystem::FileStatus::fromErrno(EIO, size));
        if (got == 0)
            break;
        scanner.feed(buffer.data(), size_t(got));
        done += got;
        if (progress)
            progress(int(qMin<qint64>(990, done * 990 / qMax<qint64>(size, 1))));
    }
    buffer = std::vector<char>();

    tinyxml2::XMLDocument xml(true, tinyxml2::PRESERVE_WHITESPACE);
    bool whole = scanner.needsUnescaping();
    if (whole) {
        const int parsed = parseWhole(xml);
        if (parsed < 0)
            return fromStatus(ExtensionSystem::FileStatus::fromErrno(EIO, size));
        if (parsed != tinyxml2::XML_SUCCESS) {
            SettingsReadResult result;
            result.fileBytes = size;
            return result; // NotLoadable
        }
    } else if (xml.Parse(scanner.rest().data(), scanner.rest().size()) != tinyxml2::XML_SUCCESS) {
        SettingsReadResult result;
        result.fileBytes = size;
        return result; // NotLoadable
    }
    SettingsReadResult result = take(xml, size, sensorName);
    std::optional<std::string> &chartText = result.document.chartText;
    if (result.error == SettingsError::None && chartText) {
        // The text tinyxml2 found is the one handed over, unless it had to unescape it.
        if (whole || !scanner.chartTaken() || !chartText->empty()) {
            sink.restart();
            sink.append(*chartText);
        }
        *chartText = chart ? std::string() : std::move(kept);
    }
    return result;
}

SettingsReadResult fromStatus(const ExtensionSystem::FileStatus &status)
{
    using ExtensionSystem::FileProblem;
    SettingsReadResult result;
    result.fileBytes = status.size;
    result.reason = status.reason;
    switch (status.problem) {
    case FileProblem::None:
        result.error = SettingsError::None;
        break;
    case FileProblem::Missing:
        result.error = SettingsError::Missing;
        break;
    case FileProblem::Directory:
        result.error = SettingsError::Directory;
        break;
    case FileProblem::NotRegularFile:
        result.error = SettingsError::NotRegularFile;
        break;
    case FileProblem::TooLarge:
        result.error = SettingsError::TooLarge;
        result.limit = settingsFileByteLimit();
        break;
    case FileProblem::NoPermission:
    case FileProblem::Failed:
        result.error = SettingsError::NotReadable;
        break;
    }
    return result;
}

QString translated(const char *text)
{
    return QCoreApplication::translate("SensorWindow", text);
}

QString megabytes(qint64 bytes)
{
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1);
}

// Why a file could not be replaced, in the user's words where the system has none.
QString writeReason(const ExtensionSystem::FileStatus &status)
{
    using ExtensionSystem::FileProblem;
    switch (status.problem) {
    case FileProblem::Directory:
        return translated(QT_TRANSLATE_NOOP("SensorWindow", "it is a folder"));
    case FileProblem::NotRegularFile:
        return translated(
            QT_TRANSLATE_NOOP("SensorWindow", "it is a device, pipe or socket, not a file"));
    default:
        return status.reason;
    }
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

SettingsDocument settingsDocument(const std::string &sensorName, const ParameterRows &rows,
                                  TextWriter chartWriter)
{
    SettingsDocument document = settingsDocument(sensorName, rows, std::string());
    document.chartText.reset();
    document.chartWriter = std::move(chartWriter);
    return document;
}

qint64 settingsFileByteLimit()
{
    // What the system can still give without taking it from others, halved: the file's text
    // and the samples read from it are held at once.
    qint64 available = 0;
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (meminfo.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (QByteArray line = meminfo.readLine(); !line.isEmpty(); line = meminfo.readLine()) {
            if (line.startsWith("MemAvailable:"))
                available = line.mid(13).trimmed().split(' ').value(0).toLongLong() * 1024;
        }
    }
    if (available <= 0)
        available = qint64(sysconf(_SC_AVPHYS_PAGES)) * sysconf(_SC_PAGESIZE);
    return qMax<qint64>(available / 2, 64LL * 1024 * 1024);
}

const char *settingsErrorText(SettingsError error)
{
    switch (error) {
    case SettingsError::None:
        return "";
    case SettingsError::Missing:
        return QT_TRANSLATE_NOOP("SensorWindow", "The selected settings file does not exist");
    case SettingsError::Directory:
        return QT_TRANSLATE_NOOP("SensorWindow",
                                 "The selected settings file is a folder, not a file");
    case SettingsError::NotRegularFile:
        return QT_TRANSLATE_NOOP(
            "SensorWindow", "The selected settings file is a device, pipe or socket, not a file");
    case SettingsError::NotReadable:
        return QT_TRANSLATE_NOOP("SensorWindow", "The selected settings file cannot be read: %1");
    case SettingsError::TooLarge:
        return QT_TRANSLATE_NOOP(
            "SensorWindow",
            "The selected settings file is too large for the memory available (%1 MB, at most "
            "%2 MB)");
    case SettingsError::NotLoadable:
    case SettingsError::NoRoot:
    case SettingsError::NotANumber:
        return QT_TRANSLATE_NOOP("SensorWindow", "The selected settings are corupted");
    case SettingsError::OtherSensor:
        return QT_TRANSLATE_NOOP("SensorWindow",
                                 "The selected settings are not for the current sensor");
    case SettingsError::TooManyProperties:
        return QT_TRANSLATE_NOOP("SensorWindow",
                                 "The selected settings hold too many properties (%1, at most %2)");
    case SettingsError::NotWritten:
        return QT_TRANSLATE_NOOP(
            "SensorWindow",
            "The settings were not saved to %1: %2. A file of that name is unchanged.");
    }
    return "";
}

QString settingsMessage(const SettingsReadResult &read)
{
    const QString text = translated(settingsErrorText(read.error));
    switch (read.error) {
    case SettingsError::TooLarge:
        return text.arg(megabytes(read.fileBytes), megabytes(read.limit));
    case SettingsError::TooManyProperties:
        return text.arg(read.items).arg(read.limit);
    case SettingsError::NotReadable:
        return text.arg(read.reason);
    default:
        return text;
    }
}

QString settingsWriteMessage(const QString &path, const QString &reason)
{
    return translated(settingsErrorText(SettingsError::NotWritten)).arg(path, reason);
}

SettingsReadResult parseSettings(const QByteArray &bytes, const std::string &sensorName)
{
    tinyxml2::XMLDocument xml(true, tinyxml2::PRESERVE_WHITESPACE);
    if (xml.Parse(bytes.constData(), size_t(bytes.size())) != tinyxml2::XML_SUCCESS) {
        SettingsReadResult result;
        result.fileBytes = bytes.size();
        return result; // NotLoadable
    }
    return take(xml, bytes.size(), sensorName);
}

SettingsReadResult readSettingsFile(const QString &path, const std::string &sensorName,
                                    const FileProgress &progress, const ChartTextSink *chart)
{
    std::FILE *file = nullptr;
    const ExtensionSystem::FileStatus status
        = ExtensionSystem::openRegularFile(path, settingsFileByteLimit(), &file);
    if (!status.ok())
        return fromStatus(status);
    SettingsReadResult result;
    try {
        result = scanSettings(
            [file](char *buffer, size_t size) -> qint64 {
                const size_t got = std::fread(buffer, 1, size, file);
                return got == 0 && std::ferror(file) ? -1 : qint64(got);
            },
            status.size, sensorName, progress, chart, size_t(chunkBytes),
            [file](tinyxml2::XMLDocument &xml) {
                std::rewind(file); // read to its end already
                const tinyxml2::XMLError loaded = xml.LoadFile(file);
                return loaded == tinyxml2::XML_ERROR_FILE_READ_ERROR ? -1 : int(loaded);
            });
    } catch (const std::bad_alloc &) {
        result = fromStatus(ExtensionSystem::FileStatus { ExtensionSystem::FileProblem::TooLarge,
                                                          QString(), status.size });
    }
    std::fclose(file);
    if (progress)
        progress(1000);
    return result;
}

SettingsReadResult parseSettingsInPieces(const QByteArray &bytes, const std::string &sensorName,
                                         size_t pieceBytes, const ChartTextSink *chart)
{
    qint64 offset = 0;
    return scanSettings(
        [&bytes, &offset](char *buffer, size_t size) -> qint64 {
            const qint64 got = qMin<qint64>(qint64(size), bytes.size() - offset);
            std::memcpy(buffer, bytes.constData() + offset, size_t(got));
            offset += got;
            return got;
        },
        bytes.size(), sensorName, FileProgress(), chart, qMax<size_t>(pieceBytes, 1),
        [&bytes](tinyxml2::XMLDocument &xml) {
            return int(xml.Parse(bytes.constData(), size_t(bytes.size())));
        });
}

QByteArray settingsText(const SettingsDocument &document)
{
    QByteArray text;
    DevicePrinter printer(
        [&text](const char *data, qint64 size) {
            text.append(data, int(size));
            return true;
        },
        expectedBytes(document), FileProgress());
    printDocument(document, printer);
    printer.finish();
    return text;
}

bool checkSettingsTarget(const QString &path, QString *errorMessage)
{
    const ExtensionSystem::FileStatus status = ExtensionSystem::checkReplaceable(path);
    if (!status.ok() && errorMessage)
        *errorMessage = writeReason(status);
    return status.ok();
}

bool writeSettingsFile(const QString &path, const SettingsDocument &document, QString *errorMessage,
                       const FileProgress &progress)
{
    // Deleting the old file first would lose it when the new one cannot be written; the new
    // one replaces it only once it is complete and on the disk.
    ExtensionSystem::SafeFileWriter file(path);
    if (file.open().ok()) {
        DevicePrinter printer(
            [&file](const char *data, qint64 size) { return file.write(data, size); },
            expectedBytes(document), progress);
        printDocument(document, printer);
        if (printer.finish())
            file.commit();
    }
    if (!file.status().ok() && errorMessage)
        *errorMessage = writeReason(file.status());
    return file.status().ok();
}

QString defaultSettingsFileName(const QString &sensorName, const QDate &date)
{
    // The C locale: ASCII digits whatever the user's locale.
    return sensorName + QLocale::c().toString(date, QStringLiteral("'-settings-'dd-MM-yyyy'.ovs'"));
}

} // namespace Core
} // namespace DrumoSensorPlugin
