#pragma once

#include <optional>
#include <string>

namespace DrumoSensorPlugin {
namespace Core {

// The identification request "0V" and its answer "/070V8" + firmware + ":" + group (two hex
// digits) + type (two hex digits) + checksum + ".". The port scan and the connect sequence both
// read it here.

// "/000V49."
std::string identificationFrame();

struct Identification
{
    char firmware = 0; // the character after "/070V8"
    int firmwareDigit = 0; // that character as a hex digit, 0 when it is none
    int group = 0;
    int type = 0;
};

// Reads the fields at their fixed positions after the "/" at `start`. Group and type are two
// characters each, read as an unsigned hexadecimal number from their leading hex digits ("1G"
// gives 1, "-D" or "GG" give 0); a field past the end of the text reads as 0. Nothing when
// there is no "/" at `start`. The checksum and the rest of the frame are not examined: the
// answer pattern has done that.
std::optional<Identification> parseIdentification(const std::string &answer, std::size_t start);

// The same from the answer's first "/".
std::optional<Identification> parseIdentification(const std::string &answer);

} // namespace Core
} // namespace DrumoSensorPlugin
