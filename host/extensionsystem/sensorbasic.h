#pragma once

#include "extensionsystem_global.h"

#include <QMetaType>

#include <sstream>
#include <string>
#include <vector>

namespace ExtensionSystem {

// One sensor type as the host lists it: a name, the group and type numbers the sensor reports
// when identified, firmware versions and a free description. A plain copyable value.
class EXTENSIONSYSTEM_EXPORT SensorBasic
{
public:
    SensorBasic();

    const std::string &name() const { return m_name; }
    const std::vector<int> &type() const { return m_types; }
    const int &group() const { return m_group; }
    const std::vector<int> &firmwareVersion() const { return m_firmwareVersion; }
    const std::string &description() const { return m_description; }

    void setName(const std::string &name) { m_name = name; }
    void setType(const std::vector<int> &types) { m_types = types; }
    void setFirmwareVersion(const std::vector<int> &versions) { m_firmwareVersion = versions; }
    void setGroup(const int &group) { m_group = group; }
    void setCcustomDescription(const std::string &description) { m_description = description; }

    // Reads one catalogue entry: the XML text of its child elements (an optional XML
    // declaration, then <name>, <group>, <types>, <description> among others, in any order).
    // "name" must be non-empty, "group" a decimal 0..255, "types" decimal numbers separated
    // by ";" with at least one. "description" is optional. On acceptance the record takes the
    // values and true is returned; otherwise the record is left unchanged. The whole stream is
    // consumed either way and nothing is thrown. A text nested deeper than maxXmlNesting
    // (xmlnesting.h) is rejected with a warning before it is parsed.
    bool fromXMLStream(std::stringstream &in);

private:
    std::string m_name;
    std::vector<int> m_types;
    int m_group = 0;
    std::vector<int> m_firmwareVersion;
    std::string m_description;
};

} // namespace ExtensionSystem

Q_DECLARE_METATYPE(ExtensionSystem::SensorBasic)
