#include "simulatorlog.h"

namespace QuxSim {
Q_LOGGING_CATEGORY(simulatorLog, "qux.simulator", QtInfoMsg)
} // namespace QuxSim
