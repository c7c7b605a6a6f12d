#include "seriallog.h"

namespace ExtensionSystem {
namespace Internal {
Q_LOGGING_CATEGORY(serialLog, "orbexa.serial", QtInfoMsg)
} // namespace Internal
} // namespace ExtensionSystem
