#pragma once

#include <string>

namespace DrumoSensorPlugin {
namespace Core {

// A frame on the serial line: "/" + length field + body + checksum + ".".
// The length field is the body length minus 2 and the checksum the XOR of every character
// before it, both as two upper-case hex digits ("%.2X"). So the body "0V" travels as "/000V49.".

// The complete frame for a body of at least two 7-bit characters.
std::string buildFrame(std::string body);

// The two checksum digits of a non-empty text: the XOR of all its characters, "%.2X".
std::string frameChecksum(std::string text);

// The body of an answer whose checksum digits are right (upper case), else "". The start and end
// characters and the length field are not examined: matching the shape of an answer is the
// job of the answer pattern that travels with the request.
std::string decodeFrame(std::string answer);

} // namespace Core
} // namespace DrumoSensorPlugin
