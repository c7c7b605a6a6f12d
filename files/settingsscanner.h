#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace DrumoSensorPlugin {
namespace Core {

// Splits a settings file, as its bytes arrive, into the chart text and the rest of the
// document: the chart text of a week of samples (some 400 MB) goes to `chart` in pieces, and
// the document keeps an empty "data" in its place, small enough for tinyxml2 to parse.
//
// It follows the document's structure as tinyxml2 reads it (text, "<?...?>", "<!--...-->",
// "<![CDATA[...]]>", "<!...>", tags with quoted attribute values; a NUL byte ends the text), so
// that on any document tinyxml2 takes, the value cut out is the one tinyxml2 finds as the
// "data" of the first "chartdata" in the first "pluginsettings" of the first "root". On other
// documents the rest fails to parse at the same place as the whole file would.
class SettingsScanner
{
public:
    using Pieces = std::function<bool(std::string_view piece)>;

    explicit SettingsScanner(Pieces chart);

    void feed(const char *data, size_t size);

    // The document without the chart text.
    const std::string &rest() const { return m_rest; }
    // Whether the chart text was cut out (and handed to `chart`).
    bool chartTaken() const { return m_chartTaken; }
    // The chart text holds an entity ("&amp;" and the like) or a carriage return: tinyxml2 must
    // unescape it, and what `chart` got is not the text.
    bool needsUnescaping() const { return m_entity; }

private:
    enum class State {
        Text,
        Open, // after "<"
        Declaration, // "<?", up to "?>"
        Bang, // after "<!"
        BangDash, // after "<!-"
        CdataHeader, // within "<![CDATA["
        Comment,
        Cdata,
        Unknown, // "<!", up to ">"
        Tag, // a start or end tag, outside any value
        Value, // an attribute value
        Ended, // after a NUL byte
    };
    enum class Role { Other, Root, Settings, Chart };

    size_t step(const char *data, size_t size); // bytes used from `data`
    size_t value(const char *data, size_t size);
    void endName();
    void tagEnds();

    Pieces m_chart;
    std::string m_rest;
    State m_state = State::Text;
    int m_count = 0; // dashes, brackets or header characters matched, per state
    bool m_endTag = false;
    bool m_inName = false;
    bool m_nameIsElement = false; // the name being read is the tag's element name
    std::string m_name; // the name being read, cut at a length no name of interest reaches
    std::string m_element;
    Role m_role = Role::Other;
    bool m_dataName = false; // the last name of this tag was "data"...
    bool m_equals = false; // ...followed by "="
    char m_quote = 0;
    bool m_target = false; // the value being read is the chart text
    bool m_lastSlash = false;
    int m_depth = 0;
    Role m_roles[3] = { Role::Other, Role::Other, Role::Other };
    bool m_rootSeen = false;
    bool m_settingsSeen = false;
    bool m_chartSeen = false;
    bool m_chartTaken = false;
    bool m_chartRefused = false;
    bool m_entity = false;
};

} // namespace Core
} // namespace DrumoSensorPlugin
