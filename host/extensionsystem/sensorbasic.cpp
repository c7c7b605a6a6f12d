#include "sensorbasic.h"

#include "extensionsystemlog.h"
#include "xmlnesting.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <cerrno>
#include <cstdlib>
#include <iterator>

namespace ExtensionSystem {

namespace {

std::string trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// A whole decimal number and nothing else (surrounding blanks allowed).
bool readDecimal(const std::string &text, long &value)
{
    const std::string t = trimmed(text);
    if (t.empty())
        return false;
    errno = 0;
    char *end = nullptr;
    value = std::strtol(t.c_str(), &end, 10);
    return errno == 0 && end && *end == '\0';
}

} // namespace

SensorBasic::SensorBasic() = default;

bool SensorBasic::fromXMLStream(std::stringstream &in)
{
    // Consume whatever is left in the stream, whether or not the entry is accepted.
    const std::string text { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };

    // The reader and the tree recurse per level; a deep text would overflow the stack.
    if (xmlNestingDepth(text) > maxXmlNesting) {
        qCWarning(extensionSystemLog).noquote()
            << "Sensor entry ignored: its XML is nested deeper than" << maxXmlNesting << "elements";
        return false;
    }

    boost::property_tree::ptree entry;
    try {
        std::istringstream source(text);
        boost::property_tree::read_xml(source, entry,
                                       boost::property_tree::xml_parser::no_comments
                                           | boost::property_tree::xml_parser::trim_whitespace);
    } catch (...) {
        return false;
    }

    const std::string name = entry.get<std::string>("name", std::string());
    if (trimmed(name).empty())
        return false;

    long group = -1;
    if (!readDecimal(entry.get<std::string>("group", std::string()), group) || group < 0
        || group > 255)
        return false;

    std::vector<int> types;
    const std::string typeText = entry.get<std::string>("types", std::string());
    std::size_t start = 0;
    while (start <= typeText.size()) {
        const std::size_t end = typeText.find(';', start);
        const std::string piece
            = typeText.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!trimmed(piece).empty()) {
            long type = 0;
            if (!readDecimal(piece, type) || type < 0 || type > 255)
                return false;
            types.push_back(int(type));
        }
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    if (types.empty())
        return false;

    m_name = name;
    m_group = int(group);
    m_types = types;
    m_description = entry.get<std::string>("description", std::string());
    return true;
}

} // namespace ExtensionSystem
