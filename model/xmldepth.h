#pragma once

#include <string>

namespace DrumoSensorPlugin {
namespace Core {

// The XML readers behind the catalogue and the sensor records build and copy their trees
// recursively, so a document nested a few thousand levels deep would exhaust the stack before
// any error could be caught. Documents are measured first and refused above this depth; the
// shipped catalogue needs nine levels.
constexpr int maximumXmlDepth = 100;

// The deepest element nesting of `text`, counted without building anything: start tags open a
// level, end tags close one, empty-element tags, comments, CDATA sections, processing
// instructions and declarations do not count. Stops counting at `limit` + 1, so a huge
// document costs no more than the part that already went too deep. Malformed text is measured
// as far as it goes; telling well-formed from malformed stays the parser's work.
int xmlNestingDepth(const std::string &text, int limit = maximumXmlDepth);

// True when `text` is nested no deeper than maximumXmlDepth.
inline bool xmlDepthAcceptable(const std::string &text)
{
    return xmlNestingDepth(text) <= maximumXmlDepth;
}

} // namespace Core
} // namespace DrumoSensorPlugin
