#include "hostlog.h"

namespace Orbexa::Internal {
Q_LOGGING_CATEGORY(hostLog, "orbexa.host", QtInfoMsg)
} // namespace Orbexa::Internal
