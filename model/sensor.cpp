#include "model/sensor.h"

#include "model/modellog.h"

#include <globals.h>
#include <xmlnesting.h>

#include <boost/property_tree/xml_parser.hpp>

#include <cstdlib>
#include <iterator>

namespace pt = boost::property_tree;

namespace DrumoSensorPlugin {
namespace Core {

namespace {

// Deep copy through the XML text, so that a copy never shares anything with its source and
// reads exactly what a record loaded from that text would hold.
pt::ptree copiedTree(const pt::ptree &source)
{
    try {
        std::stringstream text;
        pt::write_xml(text, source, pt::xml_writer_make_settings<std::string>(' ', 0, "utf-8"));
        pt::ptree copy;
        pt::read_xml(text, copy);
        return copy;
    } catch (...) {
        // Only a tree that no XML text can carry ends up here; a plain copy keeps its content.
        return source;
    }
}

} // namespace

Sensor::Sensor()
    : m_language(ExtensionSystem::Globals::getLanguage())
{
}

Sensor::Sensor(const Sensor &other)
    : ExtensionSystem::SensorBasic(other)
    , m_descriptionTree(copiedTree(other.m_descriptionTree))
    , m_language(other.m_language)
{
}

Sensor &Sensor::operator=(const Sensor &other)
{
    if (this == &other)
        return *this;
    ExtensionSystem::SensorBasic::operator=(other);
    m_descriptionTree = copiedTree(other.m_descriptionTree);
    m_language = other.m_language;
    return *this;
}

Sensor::~Sensor() = default;

bool Sensor::fromXMLStream(std::stringstream &in)
{
    try {
        std::stringstream baseText;
        baseText << in.rdbuf();
        // rdbuf() leaves the stream failed when it was empty; the base reader copes with that.
        baseText.clear();
        const std::string text = baseText.str();
        if (ExtensionSystem::xmlNestingDepth(text) > ExtensionSystem::maxXmlNesting) {
            qCWarning(modelLog) << "Sensor description refused, nested deeper than"
                                << ExtensionSystem::maxXmlNesting << "elements";
            return false;
        }

        try {
            std::istringstream source(text);
            pt::read_xml(source, m_descriptionTree, pt::xml_parser::no_comments);
        } catch (const pt::xml_parser_error &error) {
            // An unreadable description still lets the base record decide about the entry.
            qCDebug(modelLog) << "Sensor description not readable:" << error.what();
        }
        return ExtensionSystem::SensorBasic::fromXMLStream(baseText);
    } catch (...) {
        return false;
    }
}

int Sensor::intValue(const char *path) const
{
    // The stream translator reads the whole text as one decimal number (blanks around it are
    // allowed); any other text, like a missing element, gives the default.
    return m_descriptionTree.get<int>(path, 0);
}

std::vector<int> Sensor::getBaudrates() const
{
    std::vector<int> rates;
    const std::string text
        = m_descriptionTree.get<std::string>("portsettings.baudrate", std::string());
    std::istringstream pieces(text);
    std::string piece;
    while (std::getline(pieces, piece, ';'))
        rates.push_back(std::atoi(piece.c_str()));
    return rates;
}

int Sensor::getLineDelay() const
{
    return intValue("portsettings.linedelay");
}

int Sensor::getCharacterDelay() const
{
    return intValue("portsettings.characterdelay");
}

int Sensor::getChartRangeMin() const
{
    return intValue("chartsettings.range.min");
}

int Sensor::getChartRangeMax() const
{
    return intValue("chartsettings.range.max");
}

bool Sensor::getThresholdsReadOnly() const
{
    return intValue("chartsettings.thresholdsreadonly") != 0;
}

bool Sensor::getThresholdsOverlapping() const
{
    // The element's name is spelt with one "p" in every catalogue.
    return intValue("chartsettings.thresholdsoverlaping") != 0;
}

bool Sensor::isDigital() const
{
    return intValue("isdigital") != 0;
}

const pt::ptree &Sensor::getPropertyTreeGui() const
{
    const auto gui = m_descriptionTree.get_child_optional("propertytreegui");
    return gui ? *gui : m_descriptionTree;
}

std::string Sensor::getLanguage() const
{
    return m_language;
}

} // namespace Core
} // namespace DrumoSensorPlugin
