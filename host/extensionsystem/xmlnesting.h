#pragma once

#include "extensionsystem_global.h"

#include <string_view>

namespace ExtensionSystem {

// Catalogue texts are read by recursive XML readers (and their trees copied and destroyed
// recursively), so a text nested a few thousand elements deep would overflow the stack before
// any reader could report an error. Such texts are rejected up front: no catalogue entry or
// sensor description comes anywhere near this depth, and the stack holds far more, also in
// sanitizer builds and on threads with small stacks.
constexpr int maxXmlNesting = 100;

// The deepest element nesting of `text`, found by a linear, non-recursive scan; counting stops
// at `limit` + 1. Comments, CDATA sections, processing instructions, declarations and quoted
// attribute values are skipped, so a "<" or "/>" inside them does not count. The scan never
// reports less than a recursive reader would nest, for well-formed and malformed texts alike;
// malformed texts may come out deeper than any reader gets.
EXTENSIONSYSTEM_EXPORT int xmlNestingDepth(std::string_view text, int limit = maxXmlNesting);

} // namespace ExtensionSystem
