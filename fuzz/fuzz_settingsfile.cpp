// The settings-file reader on any bytes, for the rows of a catalogue sensor (plus an integer and
// a bool row, kinds the catalogue does not use):
// - the refusal codes agree with an independent XML reader (Qt's) on files both read (7-bit text
//   without control characters or a document type): the first element decides NoRoot, the
//   root's attributes decide OtherSensor, and an accepted file carries the texts Qt's reader
//   finds;
// - applying the property text sets exactly the rows its items name, each within its range, an
//   enumerator only to one of its items, with the values the C library reads from the texts;
// - read in pieces of any size, the chart text cut out as it arrives, a file reads exactly as
//   the whole document's parse reads it;
// - what the writer makes of those rows and of the chart text reads back to the same texts, and
//   the property text is a fixed point of writing and reading.

#include "fuzzsupport.h"

#include "files/propertytext.h"
#include "files/settingsfile.h"
#include "model/memoryrows.h"
#include "model/sensorcatalogue.h"

#include <QHash>
#include <QSet>
#include <QXmlStreamReader>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <vector>

using namespace DrumoSensorPlugin::Core;
using Kind = ParameterRows::Kind;

namespace {

struct Template
{
    std::string name;
    MemoryRows rows;
};
std::vector<Template> *templates = nullptr;

// What Qt's reader finds in a file; `comparable` when the file is in the language both readers
// share and the attributes looked at were written plainly (attribute-value normalisation turns
// white space into blanks in one reader and not in the other).
struct Reference
{
    bool comparable = false;
    bool wellFormed = false;
    QString firstElement;
    std::optional<QString> pluginId, sensorId, propertyText, chartText;
    bool hasPluginSettings = false;
    bool plainAttributes = true;
};

bool plainTag(const QByteArray &tag)
{
    return !tag.contains('\t') && !tag.contains('\n') && !tag.contains('\r') && !tag.contains("&#");
}

Reference readWithQt(const QByteArray &bytes)
{
    Reference ref;
    // Qt's reader lets control characters pass where XML (and tinyxml2) allow none.
    for (char c : bytes) {
        if ((c >= 0 && c < 0x20 && c != '\t' && c != '\n' && c != '\r') || (c & 0x80))
            return ref;
    }
    if (bytes.contains("<!DOCTYPE"))
        return ref;
    ref.comparable = true;
    QXmlStreamReader xml(bytes);
    int depth = 0;
    // The first "pluginsettings" below the root, and the first of each text element in it.
    enum { Before, Inside, After } settings = Before;
    bool propertySeen = false, chartSeen = false;
    while (!xml.atEnd()) {
        const qint64 tokenStart = xml.characterOffset();
        xml.readNext();
        if (xml.isEndElement()) {
            if (depth-- == 2 && settings == Inside)
                settings = After;
            continue;
        }
        if (!xml.isStartElement())
            continue;
        ++depth;
        const QByteArray tag = bytes.mid(int(tokenStart), int(xml.characterOffset() - tokenStart));
        const QXmlStreamAttributes attributes = xml.attributes();
        const auto attribute = [&](const char *name) {
            if (!plainTag(tag))
                ref.plainAttributes = false;
            const QString key = QString::fromLatin1(name);
            return attributes.hasAttribute(key)
                ? std::optional<QString>(attributes.value(key).toString())
                : std::nullopt;
        };
        if (depth == 1 && ref.firstElement.isEmpty()) {
            ref.firstElement = xml.name().toString();
            ref.pluginId = attribute("pluginid");
            ref.sensorId = attribute("sensorid");
        } else if (depth == 2 && settings == Before
                   && xml.name() == QLatin1String("pluginsettings")) {
            ref.hasPluginSettings = true;
            settings = Inside;
        } else if (depth == 3 && settings == Inside && !propertySeen
                   && xml.name() == QLatin1String("propertytreedata")) {
            propertySeen = true;
            ref.propertyText = attribute("data");
        } else if (depth == 3 && settings == Inside && !chartSeen
                   && xml.name() == QLatin1String("chartdata")) {
            chartSeen = true;
            ref.chartText = attribute("data");
        }
    }
    ref.wellFormed = !xml.hasError();
    return ref;
}

void checkCodes(const SettingsReadResult &result, const QByteArray &bytes, const std::string &name)
{
    FUZZ_CHECK(result.fileBytes == bytes.size(), "file size %lld", (long long)result.fileBytes);
    if (result.error != SettingsError::None) {
        FUZZ_CHECK(!result.document.propertyText && !result.document.chartText
                       && result.document.sensorId.empty(),
                   "a refused file left a document behind");
    } else {
        FUZZ_CHECK(result.document.pluginId == settingsPluginId && result.document.sensorId == name,
                   "accepted a file for %s / %s", result.document.pluginId.c_str(),
                   result.document.sensorId.c_str());
        FUZZ_CHECK(result.document.hasPluginSettings
                       || (!result.document.propertyText && !result.document.chartText),
                   "texts without pluginsettings");
    }

    // Which files are XML at all the readers see differently (Qt's lets characters pass in
    // names that XML and tinyxml2 refuse): compared are the decisions on a file both read.
    const Reference ref = readWithQt(bytes);
    if (!ref.comparable || !ref.wellFormed || result.error == SettingsError::NotLoadable)
        return;
    const bool rooted = ref.firstElement == QLatin1String("root");
    FUZZ_CHECK(rooted == (result.error != SettingsError::NoRoot), "first element %s, error %d",
               qPrintable(ref.firstElement), int(result.error));
    if (!rooted || !ref.plainAttributes)
        return;
    const bool ours = ref.pluginId == QString::fromLatin1(settingsPluginId)
        && ref.sensorId == QString::fromStdString(name);
    FUZZ_CHECK(ours == (result.error != SettingsError::OtherSensor), "other sensor: %d, error %d",
               int(ours), int(result.error));
    if (result.error != SettingsError::None)
        return;
    const SettingsDocument &document = result.document;
    FUZZ_CHECK(document.hasPluginSettings == ref.hasPluginSettings, "pluginsettings");
    const auto same = [](const std::optional<std::string> &a, const std::optional<QString> &b) {
        return bool(a) == bool(b) && (!a || QString::fromStdString(*a) == *b);
    };
    FUZZ_CHECK(same(document.propertyText, ref.propertyText), "property text differs");
    FUZZ_CHECK(same(document.chartText, ref.chartText), "chart text differs");
}

// Values as the C library reads them (strtol, strtod), ints held at the ends of their range.
int cInt(const std::string &text)
{
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return int(std::clamp<long>(value, INT_MIN, INT_MAX));
}

// The rows after applying `text` as the rules say, computed apart from the plug-in; ids whose
// double value a C library would read as hexadecimal are left unchecked.
void checkApplied(const MemoryRows &before, const MemoryRows &after, const std::string &text,
                  const PropertyTextResult &result)
{
    QHash<QString, QVariant> expected;
    QSet<QString> unchecked;
    const std::vector<PropertyItem> items = propertyItems(text);
    FUZZ_CHECK(result.applied + result.skipped == int(items.size()), "items %d + %d of %zu",
               result.applied, result.skipped, items.size());
    for (const PropertyItem &item : items) {
        const QString id = QString::fromLatin1(item.id.data(), int(item.id.size()));
        const Kind kind = before.kind(id);
        const QVariant current = expected.value(id, before.value(id));
        const double low = before.minimum(id), high = before.maximum(id);
        switch (kind) {
        case Kind::Enumerator: {
            const int index = cInt(item.value);
            expected[id]
                = index >= 0 && index < before.enumNames(id).size() ? QVariant(index) : current;
            break;
        }
        case Kind::Integer:
            expected[id] = int(std::clamp(double(cInt(item.value)), low, high));
            break;
        case Kind::Bool:
            expected[id] = cInt(item.value) != 0;
            break;
        case Kind::Double: {
            if (item.value.find_first_of("xX") != std::string::npos)
                unchecked.insert(id);
            const double value = std::strtod(item.value.c_str(), nullptr);
            // Not a number goes to the bottom, as the editors' qBound puts it.
            expected[id] = std::isnan(value) ? low : std::clamp(value, low, high);
            break;
        }
        default:
            break;
        }
    }
    for (const QString &id : after.ids()) {
        const QVariant value = after.value(id);
        switch (after.kind(id)) {
        case Kind::Enumerator: {
            const int index = value.toInt();
            FUZZ_CHECK(after.enumNames(id).isEmpty()
                           ? index == -1
                           : index >= 0 && index < after.enumNames(id).size(),
                       "%s: item %d", qPrintable(id), index);
            break;
        }
        case Kind::Integer:
        case Kind::Double:
            FUZZ_CHECK(value.toDouble() >= after.minimum(id)
                           && value.toDouble() <= after.maximum(id),
                       "%s: %g outside %g..%g", qPrintable(id), value.toDouble(), after.minimum(id),
                       after.maximum(id));
            break;
        default:
            break;
        }
        if (unchecked.contains(id))
            continue;
        const QVariant wanted = expected.value(id, before.value(id));
        const bool same = after.kind(id) == Kind::Double
            ? std::abs(value.toDouble() - wanted.toDouble()) <= 1e-300
                || value.toDouble() == wanted.toDouble()
            : value == wanted;
        FUZZ_CHECK(same, "%s: %s, expected %s", qPrintable(id), qPrintable(value.toString()),
                   qPrintable(wanted.toString()));
    }
}

void checkRoundTrip(const Template &sensor, const MemoryRows &rows, const std::string &chartText)
{
    const SettingsDocument document = settingsDocument(sensor.name, rows, chartText);
    const SettingsReadResult read = parseSettings(settingsText(document), sensor.name);
    FUZZ_CHECK(read.error == SettingsError::None, "own file refused: %d", int(read.error));
    FUZZ_CHECK(read.document.propertyText == document.propertyText, "property text changed");
    FUZZ_CHECK(read.document.chartText == document.chartText, "chart text changed");
    MemoryRows again = sensor.rows;
    applyPropertyText(again, *read.document.propertyText);
    FUZZ_CHECK(propertyText(again) == *document.propertyText, "not a fixed point:\n%s\n%s",
               propertyText(again).c_str(), document.propertyText->c_str());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceLogging();
    templates = new std::vector<Template>;
    const QString catalogue = QStringLiteral(QUX_CATALOGUE);
    for (const ExtensionSystem::SensorBasic &entry : readSensorCatalogue(catalogue)) {
        Template t { entry.name(), MemoryRows(findSensorInCatalogue(entry.name(), catalogue)) };
        t.rows.addRow(QStringLiteral("fuzzInteger"), Kind::Integer, 7, -50, 50);
        t.rows.addRow(QStringLiteral("fuzzBool"), Kind::Bool, true);
        templates->push_back(std::move(t));
    }
    if (templates->empty()) {
        std::fprintf(stderr, "no sensors in %s\n", QUX_CATALOGUE);
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    const Template &sensor = (*templates)[input.byte() % templates->size()];
    const size_t piece = 1 + input.byte() % 64;
    const std::string rest = input.rest();
    const QByteArray bytes = QByteArray::fromStdString(rest);

    const SettingsReadResult result = parseSettings(bytes, sensor.name);
    std::string given;
    const ChartTextSink sink { [&given](std::string_view text) {
                                  given.append(text);
                                  return true;
                              },
                               [&given] { given.clear(); } };
    const SettingsReadResult pieces = parseSettingsInPieces(bytes, sensor.name, piece, &sink);
    FUZZ_CHECK(pieces.error == result.error, "in pieces of %zu: error %d, whole: %d", piece,
               int(pieces.error), int(result.error));
    FUZZ_CHECK(pieces.document.propertyText == result.document.propertyText
                   && bool(pieces.document.chartText) == bool(result.document.chartText),
               "in pieces of %zu: other parts", piece);
    FUZZ_CHECK(result.error != SettingsError::None || !result.document.chartText
                   || given == *result.document.chartText,
               "in pieces of %zu: other chart text", piece);
    checkCodes(result, bytes, sensor.name);
    if (result.error != SettingsError::None)
        return 0;

    MemoryRows rows = sensor.rows;
    if (result.document.propertyText) {
        const PropertyTextResult applied = applyPropertyText(rows, *result.document.propertyText);
        checkApplied(sensor.rows, rows, *result.document.propertyText, applied);
    }
    // The chart text is carried as it is; an attribute cannot hold a NUL, and a reader turns a
    // carriage return into a line feed, so those the chart never writes are left out.
    std::string chart = result.document.chartText.value_or(std::string());
    if (chart.find_first_of(std::string("\0\r", 2)) != std::string::npos)
        chart.clear();
    checkRoundTrip(sensor, rows, chart);
    return 0;
}
