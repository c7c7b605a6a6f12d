// The plug-in's catalogue reader against the host's record reader:
// - a whole catalogue file: nested deeper than the host's limit, it lists nothing; where Qt's
//   XML reader finds the file well-formed (7-bit text without a document type), the list holds
//   exactly the entries below document/sensorList that the host's SensorBasic accepts, in
//   order, with their names, groups and types; a lookup by a listed name gives that entry's
//   record (or the default record, when an entry before it stops the search), and a copy of a
//   record reads the same as the record;
// - one entry's text: the plug-in's record accepts exactly what SensorBasic accepts, with the
//   same values, and its copies and assignments read the same as the record.

#include "fuzzsupport.h"

#include "model/sensor.h"
#include "model/sensorcatalogue.h"

#include <xmlnesting.h>

#include <QFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <sstream>

#include <unistd.h>

using namespace DrumoSensorPlugin::Core;
using ExtensionSystem::SensorBasic;

namespace {

QString *cataloguePath = nullptr;

bool sameBase(const SensorBasic &a, const SensorBasic &b)
{
    return a.name() == b.name() && a.group() == b.group() && a.type() == b.type()
        && a.description() == b.description();
}

bool sameRecord(const Sensor &a, const Sensor &b)
{
    return sameBase(a, b) && a.descriptionTree() == b.descriptionTree()
        && a.getBaudrates() == b.getBaudrates() && a.getLineDelay() == b.getLineDelay()
        && a.getCharacterDelay() == b.getCharacterDelay()
        && a.getChartRangeMin() == b.getChartRangeMin()
        && a.getChartRangeMax() == b.getChartRangeMax()
        && a.getThresholdsReadOnly() == b.getThresholdsReadOnly()
        && a.getThresholdsOverlapping() == b.getThresholdsOverlapping()
        && a.isDigital() == b.isDigital() && a.getLanguage() == b.getLanguage();
}

void checkCopies(const Sensor &record)
{
    const Sensor copy(record);
    FUZZ_CHECK(sameRecord(copy, record), "a copy reads differently");
    Sensor assigned;
    assigned = record;
    FUZZ_CHECK(sameRecord(assigned, record), "an assigned record reads differently");
}

// The entries below document/sensorList as Qt's reader finds them: each one's content written
// out again token by token (elements, text, CDATA, comments), as the text the record readers
// take. Nothing when the file is not in the language both readers share.
struct Entries
{
    bool comparable = false;
    bool ours = false; // the document is a catalogue of our family
    std::vector<std::string> texts;
};

Entries entriesWithQt(const QByteArray &bytes)
{
    Entries result;
    for (char c : bytes) {
        if (c == 0 || (c & 0x80))
            return result;
    }
    if (bytes.contains("<!DOCTYPE"))
        return result;
    QXmlStreamReader xml(bytes);
    xml.setNamespaceProcessing(false);
    int depth = 0;
    bool rootIsDocument = false;
    // documentId: its text, when it is plain text (a comment or CDATA in it reads differently).
    enum { Before, Inside, Done } documentId = Before;
    QString documentIdText;
    bool documentIdPlain = true;
    enum { NotYet, InList, AfterList } list = NotYet;
    QString entry;
    std::unique_ptr<QXmlStreamWriter> writer;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            if (depth == 1) {
                rootIsDocument = xml.qualifiedName() == QLatin1String("document");
            } else if (depth == 2 && documentId == Before
                       && xml.qualifiedName() == QLatin1String("documentId")) {
                documentId = Inside;
            } else if (depth == 2 && list == NotYet
                       && xml.qualifiedName() == QLatin1String("sensorList")) {
                list = InList;
            } else if (depth == 3 && list == InList) {
                entry.clear();
                writer = std::make_unique<QXmlStreamWriter>(&entry);
            } else if (depth > 3 && writer) {
                writer->writeStartElement(xml.qualifiedName().toString());
                writer->writeAttributes(xml.attributes());
            }
            if (documentId == Inside && depth > 2)
                documentIdPlain = false;
        } else if (xml.isEndElement()) {
            if (depth > 3 && writer) {
                writer->writeEndElement();
            } else if (depth == 3 && writer) {
                writer.reset();
                result.texts.push_back("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                                       + entry.toStdString());
            } else if (depth == 2 && documentId == Inside) {
                documentId = Done;
            } else if (depth == 2 && list == InList) {
                list = AfterList;
            }
            --depth;
        } else if (xml.isCharacters() || xml.isComment()) {
            if (documentId == Inside) {
                if (xml.isCDATA() || xml.isComment())
                    documentIdPlain = false;
                documentIdText += xml.text();
            }
            if (writer) {
                if (xml.isComment())
                    writer->writeComment(xml.text().toString());
                else if (xml.isCDATA())
                    writer->writeCDATA(xml.text().toString());
                else
                    writer->writeCharacters(xml.text().toString());
            }
        }
    }
    if (xml.hasError() || !documentIdPlain)
        return result;
    result.comparable = true;
    result.ours = rootIsDocument && documentIdText.simplified() == QLatin1String("QUXfamily")
        && list != NotYet;
    if (!result.ours)
        result.texts.clear();
    return result;
}

void checkCatalogue(const QByteArray &bytes)
{
    {
        QFile file(*cataloguePath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(bytes) != bytes.size())
            return;
    }
    const std::list<SensorBasic> listed = readSensorCatalogue(*cataloguePath);
    // Too deep for the recursive readers: refused as a whole.
    if (ExtensionSystem::xmlNestingDepth(bytes.toStdString()) > ExtensionSystem::maxXmlNesting) {
        FUZZ_CHECK(listed.empty(), "listed %zu entries of a catalogue nested too deep",
                   listed.size());
        return;
    }
    const Entries entries = entriesWithQt(bytes);
    if (entries.comparable) {
        std::vector<SensorBasic> accepted;
        for (const std::string &text : entries.texts) {
            SensorBasic sensor;
            std::stringstream in(text);
            if (sensor.fromXMLStream(in))
                accepted.push_back(sensor);
        }
        FUZZ_CHECK(accepted.size() == listed.size(), "listed %zu entries, the host accepts %zu",
                   listed.size(), accepted.size());
        auto it = listed.begin();
        for (const SensorBasic &sensor : accepted) {
            FUZZ_CHECK(sameBase(*it, sensor), "entry %s listed as %s", sensor.name().c_str(),
                       it->name().c_str());
            ++it;
        }
    }
    // Lookups by the listed names (a few: every lookup reads the file).
    int lookups = 0;
    for (const SensorBasic &sensor : listed) {
        if (++lookups > 3)
            break;
        const Sensor found = findSensorInCatalogue(sensor.name(), *cataloguePath);
        if (found.name().empty())
            continue; // an entry before it ended the search, or one of that name was refused
        FUZZ_CHECK(found.name() == sensor.name(), "looked up %s, found %s", sensor.name().c_str(),
                   found.name().c_str());
        const auto first = std::find_if(listed.begin(), listed.end(), [&](const SensorBasic &s) {
            return s.name() == sensor.name();
        });
        FUZZ_CHECK(sameBase(found, *first), "the record of %s differs from its list entry",
                   sensor.name().c_str());
        checkCopies(found);
    }
}

void checkEntry(const std::string &text)
{
    SensorBasic basic;
    std::stringstream basicIn(text);
    const bool basicAccepts = basic.fromXMLStream(basicIn);
    Sensor record;
    std::stringstream recordIn(text);
    const bool recordAccepts = record.fromXMLStream(recordIn);
    FUZZ_CHECK(recordAccepts == basicAccepts, "the record %s, the host %s",
               recordAccepts ? "accepts" : "refuses", basicAccepts ? "accepts" : "refuses");
    if (recordAccepts)
        FUZZ_CHECK(sameBase(record, basic), "values differ from the host's");
    checkCopies(record);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceLogging();
    cataloguePath = new QString(QStringLiteral("/tmp/fuzz_catalogue.%1.xml").arg(::getpid()));
    std::atexit([] { QFile::remove(*cataloguePath); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    const bool wholeFile = input.byte() & 1;
    const std::string text = input.rest();
    if (wholeFile)
        checkCatalogue(QByteArray::fromStdString(text));
    else
        checkEntry(text);
    return 0;
}
