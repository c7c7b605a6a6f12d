#include "simframe.h"

namespace QuxSim {
namespace Frame {

static QByteArray hex2(unsigned value)
{
    return QByteArray::number(value & 0xFF, 16).toUpper().rightJustified(2, '0');
}

QByteArray checksum(const QByteArray &text)
{
    unsigned char sum = 0;
    for (char c : text)
        sum ^= static_cast<unsigned char>(c);
    return hex2(sum);
}

QByteArray build(const QByteArray &body)
{
    QByteArray frame = "/" + hex2(unsigned(body.size() - 2)) + body;
    return frame + checksum(frame) + ".";
}

QByteArray decode(const QByteArray &frame)
{
    if (frame.size() < 8)
        return {};
    const int size = frame.size();
    if (frame.mid(size - 3, 2) != checksum(frame.left(size - 3)))
        return {};
    return frame.mid(3, size - 6);
}

QByteArray corruptChecksum(const QByteArray &frame)
{
    if (frame.size() < 8)
        return frame;
    const int size = frame.size();
    const unsigned right = frame.mid(size - 3, 2).toUInt(nullptr, 16);
    QByteArray result = frame;
    // Flipping a bit of the low digit keeps the digits in the 0-9/A-F range of the pattern.
    result.replace(size - 3, 2, hex2(right ^ 0x01));
    return result;
}

} // namespace Frame
} // namespace QuxSim
