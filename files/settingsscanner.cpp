#include "files/settingsscanner.h"

#include <cstring>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

// White space as tinyxml2 skips it: ASCII only.
inline bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

const char cdataHeader[] = "[CDATA[";

} // namespace

SettingsScanner::SettingsScanner(Pieces chart)
    : m_chart(std::move(chart))
{
}

void SettingsScanner::feed(const char *data, size_t size)
{
    while (size > 0 && m_state != State::Ended) {
        const size_t used = m_state == State::Value ? value(data, size) : step(data, size);
        data += used;
        size -= used;
    }
}

size_t SettingsScanner::value(const char *data, size_t size)
{
    const char *close = static_cast<const char *>(std::memchr(data, m_quote, size));
    size_t run = close ? size_t(close - data) : size;
    if (const void *nul = std::memchr(data, 0, run)) {
        run = size_t(static_cast<const char *>(nul) - data);
        m_state = State::Ended; // tinyxml2 reads no further either
        close = nullptr;
    }
    if (!m_target) {
        m_rest.append(data, run);
    } else if (run > 0 && !m_entity && !m_chartRefused) {
        // tinyxml2 turns a carriage return into a line feed, as it unescapes entities.
        if (std::memchr(data, '&', run) || std::memchr(data, '\r', run))
            m_entity = true;
        else
            m_chartRefused = !m_chart(std::string_view(data, run));
    }
    if (m_state == State::Ended)
        return size;
    if (!close)
        return run;
    m_rest.push_back(m_quote);
    m_state = State::Tag;
    m_target = false;
    m_lastSlash = false;
    return run + 1;
}

void SettingsScanner::endName()
{
    m_inName = false;
    if (!m_nameIsElement) {
        m_dataName = m_name == "data";
        m_equals = false;
        return;
    }
    m_nameIsElement = false;
    if (m_endTag)
        return;
    // Only the first element of each name on the path counts, as tinyxml2's
    // FirstChildElement finds it.
    const Role parent = m_depth >= 1 && m_depth <= 3 ? m_roles[m_depth - 1] : Role::Other;
    m_role = Role::Other;
    if (m_depth == 0 && !m_rootSeen && m_name == "root") {
        m_rootSeen = true;
        m_role = Role::Root;
    } else if (m_depth == 1 && parent == Role::Root && !m_settingsSeen
               && m_name == "pluginsettings") {
        m_settingsSeen = true;
        m_role = Role::Settings;
    } else if (m_depth == 2 && parent == Role::Settings && !m_chartSeen && m_name == "chartdata") {
        m_chartSeen = true;
        m_role = Role::Chart;
    }
}

void SettingsScanner::tagEnds()
{
    if (m_inName)
        endName();
    if (m_endTag) {
        if (m_depth > 0)
            --m_depth;
    } else if (!m_lastSlash) { // "/>" closes the element at once
        if (m_depth < 3)
            m_roles[m_depth] = m_role;
        ++m_depth;
    }
    m_role = Role::Other;
    m_dataName = false;
    m_equals = false;
    m_state = State::Text;
}

size_t SettingsScanner::step(const char *data, size_t size)
{
    size_t i = 0;
    for (; i < size; ++i) {
        const char c = data[i];
        if (c == 0) {
            m_state = State::Ended;
            break;
        }
        bool again = true;
        while (again) { // a character that ends one state may be read by the next
            again = false;
            switch (m_state) {
            case State::Text:
                if (c == '<')
                    m_state = State::Open;
                break;
            case State::Open:
                if (c == '?') {
                    m_state = State::Declaration;
                    m_count = 0;
                } else if (c == '!') {
                    m_state = State::Bang;
                } else {
                    m_state = State::Tag;
                    m_endTag = c == '/';
                    m_nameIsElement = true;
                    m_inName = false;
                    m_lastSlash = false;
                    m_role = Role::Other;
                    again = !m_endTag;
                }
                break;
            case State::Declaration:
                if (c == '>' && m_count > 0)
                    m_state = State::Text;
                else
                    m_count = c == '?';
                break;
            case State::Bang:
                if (c == '-') {
                    m_state = State::BangDash;
                } else if (c == '[') {
                    m_state = State::CdataHeader;
                    m_count = 1;
                } else {
                    m_state = State::Unknown;
                    again = true;
                }
                break;
            case State::BangDash:
                m_state = c == '-' ? State::Comment : State::Unknown;
                m_count = 0;
                again = c != '-';
                break;
            case State::CdataHeader:
                if (c == cdataHeader[m_count]) {
                    if (++m_count == int(sizeof cdataHeader) - 1) {
                        m_state = State::Cdata;
                        m_count = 0;
                    }
                } else {
                    m_state = State::Unknown;
                    again = true;
                }
                break;
            case State::Comment:
            case State::Cdata: {
                const char mark = m_state == State::Comment ? '-' : ']';
                if (c == '>' && m_count >= 2)
                    m_state = State::Text;
                else
                    m_count = c == mark ? m_count + 1 : 0;
                break;
            }
            case State::Unknown:
                if (c == '>')
                    m_state = State::Text;
                break;
            case State::Tag:
                if (isSpace(c) || c == '=' || c == '/' || c == '>' || c == '"' || c == '\'') {
                    if (m_inName)
                        endName();
                    if (c == '=') {
                        m_equals = m_dataName;
                    } else if (c == '>') {
                        tagEnds();
                    } else if (c == '"' || c == '\'') {
                        m_target = !m_endTag && m_role == Role::Chart && !m_chartTaken && m_dataName
                            && m_equals;
                        m_chartTaken = m_chartTaken || m_target;
                        m_dataName = false;
                        m_equals = false;
                        m_quote = c;
                        m_state = State::Value;
                    }
                } else if (!m_inName) {
                    m_inName = true;
                    m_name.assign(1, c);
                    m_dataName = false;
                    m_equals = false;
                } else if (m_name.size() < 16) { // longer than any name looked for
                    m_name.push_back(c);
                }
                m_lastSlash = c == '/';
                break;
            case State::Value:
            case State::Ended:
                break;
            }
        }
        if (m_state == State::Value) {
            ++i;
            break;
        }
    }
    m_rest.append(data, i);
    return m_state == State::Ended ? size : i;
}

} // namespace Core
} // namespace DrumoSensorPlugin
