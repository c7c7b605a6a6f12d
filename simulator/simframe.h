#pragma once

#include "quxsim_global.h"

#include <QByteArray>

namespace QuxSim {

// The sensor's frame: "/" + two hex digits (body length - 2) + body + two hex digits of XOR
// checksum over everything before them + ".". The simulator carries its own copy of these few
// lines so that it never depends on the plug-in it is meant to test.
namespace Frame {

// The length field has two hex digits for the body length minus 2: no frame is longer.
constexpr int maxLength = 1 + 2 + (0xFF + 2) + 2 + 1;

QUXSIM_EXPORT QByteArray checksum(const QByteArray &text);
QUXSIM_EXPORT QByteArray build(const QByteArray &body);
// The body of a frame whose checksum is right (upper-case digits), else an empty array. Like the
// sensor, it looks neither at the length field nor at the start and end characters.
QUXSIM_EXPORT QByteArray decode(const QByteArray &frame);
// The frame with checksum digits that are wrong but still look like upper-case hex digits, so
// that an answer keeps matching its pattern and only a checksum test notices.
QUXSIM_EXPORT QByteArray corruptChecksum(const QByteArray &frame);

} // namespace Frame
} // namespace QuxSim
