#include "extensionsystemlog.h"

namespace ExtensionSystem {
Q_LOGGING_CATEGORY(extensionSystemLog, "orbexa.extensionsystem", QtInfoMsg)
} // namespace ExtensionSystem
