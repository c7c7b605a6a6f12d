#pragma once

#include "quxsim_global.h"

#include <QLoggingCategory>

namespace QuxSim {
QUXSIM_EXPORT Q_DECLARE_LOGGING_CATEGORY(simulatorLog)
} // namespace QuxSim
