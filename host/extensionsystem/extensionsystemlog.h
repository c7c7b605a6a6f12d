#pragma once

#include "extensionsystem_global.h"

#include <QLoggingCategory>

namespace ExtensionSystem {
EXTENSIONSYSTEM_EXPORT Q_DECLARE_LOGGING_CATEGORY(extensionSystemLog)
} // namespace ExtensionSystem
