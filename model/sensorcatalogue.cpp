#include "model/sensorcatalogue.h"

#include "model/modellog.h"

#include <safefile.h>
#include <xmlnesting.h>

#include <QCoreApplication>

#include <boost/optional.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <sstream>

namespace pt = boost::property_tree;

namespace DrumoSensorPlugin {
namespace Core {

namespace {

const char catalogueName[] = "QUXfamily";
// The shipped catalogue has about 40 KB; a file a thousand times larger is not a catalogue.
constexpr qint64 maximumCatalogueSize = 32 * 1024 * 1024;

// The list of entries of a readable catalogue of our family, or nothing.
boost::optional<pt::ptree> readEntries(const QString &path)
{
    // The path goes to the file system as Latin-1 text. Only a regular file is read, and only
    // up to the limit: a FIFO would block the start, a device never end.
    std::string text;
    const ExtensionSystem::FileStatus status = ExtensionSystem::readRegularFile(
        QString::fromLatin1(path.toLatin1()), maximumCatalogueSize, &text);
    if (status.problem == ExtensionSystem::FileProblem::TooLarge) {
        qCWarning(modelLog) << "Sensor catalogue refused, larger than" << maximumCatalogueSize
                            << "bytes:" << path;
        return boost::none;
    }
    if (status.problem == ExtensionSystem::FileProblem::Directory
        || status.problem == ExtensionSystem::FileProblem::NotRegularFile) {
        qCWarning(modelLog) << "Sensor catalogue refused, not a regular file:" << path;
        return boost::none;
    }
    if (!status.ok()) {
        qCDebug(modelLog) << "Sensor catalogue not readable:" << path << status.reason;
        return boost::none;
    }
    if (ExtensionSystem::xmlNestingDepth(text) > ExtensionSystem::maxXmlNesting) {
        qCWarning(modelLog) << "Sensor catalogue refused, nested deeper than"
                            << ExtensionSystem::maxXmlNesting << "elements:" << path;
        return boost::none;
    }

    pt::ptree document;
    try {
        std::istringstream stream(text);
        pt::read_xml(stream, document,
                     pt::xml_parser::no_comments | pt::xml_parser::trim_whitespace);
    } catch (const pt::ptree_error &error) {
        qCDebug(modelLog) << "Sensor catalogue not readable:" << error.what();
        return boost::none;
    }

    const auto documentId = document.get_optional<std::string>("document.documentId");
    if (!documentId || *documentId != catalogueName) {
        qCDebug(modelLog) << "Not a" << catalogueName << "catalogue:" << path;
        return boost::none;
    }
    const auto sensorList = document.get_child_optional("document.sensorList");
    if (!sensorList) {
        qCDebug(modelLog) << "Sensor catalogue without a sensor list:" << path;
        return boost::none;
    }
    return *sensorList;
}

// The reader hands the list's attributes over as a child "<xmlattr>" among the entries: they
// are no entry (as an entry they could list a sensor of their own, and having no name, they
// would end every lookup).
bool isEntry(const pt::ptree::value_type &child)
{
    return child.first != pt::xml_parser::xmlattr<std::string>();
}

// An entry as the record readers take it: an XML declaration, then the entry's child elements
// without the entry's own tag, on one line.
void writeEntry(std::stringstream &out, const pt::ptree &entry)
{
    pt::write_xml(out, entry, pt::xml_writer_make_settings<std::string>(' ', 0, "utf-8"));
}

} // namespace

QString sensorCataloguePath()
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(catalogueName)
        + QLatin1String(".xml");
}

std::list<ExtensionSystem::SensorBasic> readSensorCatalogue()
{
    return readSensorCatalogue(sensorCataloguePath());
}

std::list<ExtensionSystem::SensorBasic> readSensorCatalogue(const QString &path)
{
    std::list<ExtensionSystem::SensorBasic> sensors;
    try {
        const auto entries = readEntries(path);
        if (!entries)
            return sensors;
        for (const auto &entry : *entries) {
            if (!isEntry(entry))
                continue;
            // A fresh record and stream per entry: a rejected entry leaves nothing behind.
            std::stringstream text;
            writeEntry(text, entry.second);
            ExtensionSystem::SensorBasic sensor;
            if (sensor.fromXMLStream(text))
                sensors.push_back(sensor);
            else
                qCDebug(modelLog) << "Catalogue entry rejected:" << entry.first.c_str();
        }
    } catch (...) {
        // Out of memory or a broken entry: the host gets what was read so far.
        qCWarning(modelLog) << "Reading the sensor catalogue failed:" << path;
    }
    return sensors;
}

Sensor findSensorInCatalogue(const std::string &name)
{
    return findSensorInCatalogue(name, sensorCataloguePath());
}

Sensor findSensorInCatalogue(const std::string &name, const QString &path)
{
    Sensor sensor;
    try {
        const auto entries = readEntries(path);
        if (!entries)
            return sensor;
        for (const auto &entry : *entries) {
            if (!isEntry(entry))
                continue;
            // An entry without a name ends the search (the lookup throws).
            if (entry.second.get<std::string>("name") != name)
                continue;
            std::stringstream text;
            writeEntry(text, entry.second);
            sensor.fromXMLStream(text);
            return sensor;
        }
    } catch (...) {
        qCDebug(modelLog) << "Sensor lookup stopped at a broken catalogue entry:" << path;
    }
    return sensor;
}

} // namespace Core
} // namespace DrumoSensorPlugin
