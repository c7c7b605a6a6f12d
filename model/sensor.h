#pragma once

#include <sensorbasic.h>

#include <boost/property_tree/ptree.hpp>

#include <sstream>
#include <string>
#include <vector>

namespace DrumoSensorPlugin {
namespace Core {

// One sensor type of the catalogue with everything a sensor window needs: the host's base
// record plus the entry's whole element tree (port timing, chart settings, digital flag and the
// description of the parameter tree). The getters read the tree on every call and fall back to
// a default for a missing element or an unreadable number, so a default record (unknown sensor,
// missing catalogue) is usable: no baud rates, zero delays, zero chart range, empty description.
class Sensor : public ExtensionSystem::SensorBasic
{
public:
    Sensor();
    Sensor(const Sensor &other);
    Sensor &operator=(const Sensor &other);
    virtual ~Sensor();

    // Loads one catalogue entry (the XML text of its child elements) into the element tree and
    // the base record. Returns what the base record's reader returns; false also when the text
    // cannot be taken at all. Never throws.
    bool fromXMLStream(std::stringstream &in);

    // The rates of "portsettings.baudrate" in text order; each piece between ";" is read with
    // atoi, so an unreadable piece counts as 0 and a trailing ";" adds nothing.
    std::vector<int> getBaudrates() const;
    int getLineDelay() const;
    int getCharacterDelay() const;
    int getChartRangeMin() const;
    int getChartRangeMax() const;
    bool getThresholdsReadOnly() const;
    bool getThresholdsOverlapping() const;
    bool isDigital() const;
    // The "propertytreegui" subtree, or the whole element tree when the entry has none.
    const boost::property_tree::ptree &getPropertyTreeGui() const;
    // The host's interface language when the record was created.
    std::string getLanguage() const;

    const boost::property_tree::ptree &descriptionTree() const { return m_descriptionTree; }

private:
    int intValue(const char *path) const;

    boost::property_tree::ptree m_descriptionTree;
    std::string m_language;
};

} // namespace Core
} // namespace DrumoSensorPlugin
