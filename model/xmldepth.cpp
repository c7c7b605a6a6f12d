#include "model/xmldepth.h"

#include <cstring>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

// Position just past the first `terminator` at or after `from`, or the end of the text.
std::size_t skipPast(const std::string &text, std::size_t from, const char *terminator)
{
    const std::size_t found = text.find(terminator, from);
    return found == std::string::npos ? text.size() : found + std::strlen(terminator);
}

// Position of the ">" that ends the tag starting at `from`, stepping over quoted attribute
// values (which may hold ">"); the end of the text when the tag never ends.
std::size_t tagEnd(const std::string &text, std::size_t from)
{
    char quote = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i;
        }
    }
    return text.size();
}

} // namespace

int xmlNestingDepth(const std::string &text, int limit)
{
    int depth = 0;
    int deepest = 0;
    std::size_t i = text.find('<');
    while (i < text.size()) {
        if (text.compare(i, 4, "<!--") == 0) {
            i = skipPast(text, i + 4, "-->");
        } else if (text.compare(i, 9, "<![CDATA[") == 0) {
            i = skipPast(text, i + 9, "]]>");
        } else if (text.compare(i, 2, "<?") == 0) {
            i = skipPast(text, i + 2, "?>");
        } else if (text.compare(i, 2, "<!") == 0 || text.compare(i, 2, "</") == 0) {
            if (text[i + 1] == '/' && depth > 0)
                --depth;
            i = tagEnd(text, i + 2) + 1;
        } else {
            const std::size_t end = tagEnd(text, i + 1);
            const bool empty = end < text.size() && text[end - 1] == '/';
            if (!empty && ++depth > deepest) {
                deepest = depth;
                if (deepest > limit)
                    return deepest;
            }
            i = end + 1;
        }
        i = text.find('<', i);
    }
    return deepest;
}

} // namespace Core
} // namespace DrumoSensorPlugin
