#include "xmlnesting.h"

namespace ExtensionSystem {

namespace {
// Position after the first occurrence of `token` at or after `from`, or the end of the text.
std::size_t skipPast(std::string_view text, std::size_t from, std::string_view token)
{
    const std::size_t found = text.find(token, from);
    return found == std::string_view::npos ? text.size() : found + token.size();
}

} // namespace

int xmlNestingDepth(std::string_view text, int limit)
{
    int depth = 0;
    int deepest = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t open = text.find('<', i);
        if (open == std::string_view::npos)
            break;
        const std::string_view rest = text.substr(open);
        if (rest.substr(0, 4) == "<!--") {
            i = skipPast(text, open + 4, "-->");
        } else if (rest.substr(0, 9) == "<![CDATA[") {
            i = skipPast(text, open + 9, "]]>");
        } else if (rest.substr(0, 2) == "<?") {
            i = skipPast(text, open + 2, "?>");
        } else if (rest.substr(0, 2) == "<!") {
            // A declaration ends at the first ">". A document type's "[...]" may hold more, but
            // reading what follows as content can only count deeper, never shallower.
            i = skipPast(text, open + 2, ">");
        } else if (rest.substr(0, 2) == "</") {
            if (depth > 0)
                --depth;
            i = skipPast(text, open + 2, ">");
        } else {
            // A start tag: up to its ">", with quoted attribute values skipped whole.
            std::size_t j = open + 1;
            bool selfClosing = false;
            while (j < text.size() && text[j] != '>') {
                const char c = text[j];
                if (c == '"' || c == '\'') {
                    const std::size_t close = text.find(c, j + 1);
                    j = close == std::string_view::npos ? text.size() : close + 1;
                    continue;
                }
                selfClosing = c == '/';
                ++j;
            }
            i = j < text.size() ? j + 1 : text.size();
            // An empty element is one level deeper too; an unterminated tag counts as open: a
            // reader may get that deep before it fails.
            ++depth;
            if (depth > deepest) {
                deepest = depth;
                if (deepest > limit)
                    return deepest;
            }
            if (selfClosing && j < text.size())
                --depth;
        }
    }
    return deepest;
}

} // namespace ExtensionSystem
