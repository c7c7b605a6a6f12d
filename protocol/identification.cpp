#include "protocol/identification.h"

#include "protocol/commands.h"
#include "protocol/frame.h"

#include <QtGlobal>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Leading hex digits of `count` characters at `position`, as an unsigned number; characters
// past the end of the text end the number.
int hexNumber(const std::string &text, std::size_t position, std::size_t count)
{
    int value = 0;
    for (std::size_t i = position; i < position + count && i < text.size(); ++i) {
        const int digit = hexDigit(text[i]);
        if (digit < 0)
            break;
        value = value * 16 + digit;
    }
    return value;
}

} // namespace

std::string identificationFrame()
{
    return buildFrame(requestBody(Command::Identify));
}

std::optional<Identification> parseIdentification(const std::string &answer, std::size_t start)
{
    // "/070V8" f ":" g g t t
    if (start >= answer.size() || answer[start] != '/')
        return std::nullopt;
    Identification result;
    if (start + 6 < answer.size()) {
        result.firmware = answer[start + 6];
        result.firmwareDigit = qMax(0, hexDigit(result.firmware));
    }
    result.group = hexNumber(answer, start + 8, 2);
    result.type = hexNumber(answer, start + 10, 2);
    return result;
}

std::optional<Identification> parseIdentification(const std::string &answer)
{
    return parseIdentification(answer, answer.find('/'));
}

} // namespace Core
} // namespace DrumoSensorPlugin
