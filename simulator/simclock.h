#pragma once

#include "quxsim_global.h"

#include <QtGlobal>

#include <functional>

namespace QuxSim {

// Milliseconds on a monotonic scale. Everything in the simulator that depends on time asks one
// of these, so that tests can drive time by hand.
using Clock = std::function<qint64()>;

// Milliseconds since the first call, from a monotonic system clock.
QUXSIM_EXPORT Clock systemClock();

} // namespace QuxSim
