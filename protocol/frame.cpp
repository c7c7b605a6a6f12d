#include "protocol/frame.h"

#include <cstdint>
#include <cstdio>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

// A frame is at least "/", two length digits, a two-character body, two checksum digits and ".".
constexpr std::size_t minimumFrameSize = 8;

std::string hexByte(int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.2X", value);
    return text;
}

} // namespace

std::string buildFrame(std::string body)
{
    // The length is an unsigned count; bodies shorter than two characters never occur.
    const std::uint32_t length = std::uint32_t(body.size()) - 2u;
    char lengthText[16];
    std::snprintf(lengthText, sizeof lengthText, "%.2X", length);

    std::string frame = "/";
    frame += lengthText;
    frame += body;
    frame += frameChecksum(frame);
    frame += '.';
    return frame;
}

std::string frameChecksum(std::string text)
{
    if (text.empty())
        return hexByte(0);
    // A signed 8-bit accumulator widened with its sign: for 7-bit text this is 00..7F.
    signed char sum = static_cast<signed char>(text[0]);
    for (std::size_t i = 1; i < text.size(); ++i)
        sum = static_cast<signed char>(sum ^ static_cast<signed char>(text[i]));
    return hexByte(int(sum));
}

std::string decodeFrame(std::string answer)
{
    const std::size_t size = answer.size();
    if (size < minimumFrameSize)
        return std::string();
    const std::string expected = frameChecksum(answer.substr(0, size - 3));
    if (answer.compare(size - 3, 2, expected) != 0)
        return std::string();
    return answer.substr(3, size - 6);
}

} // namespace Core
} // namespace DrumoSensorPlugin
