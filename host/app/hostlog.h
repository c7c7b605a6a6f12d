#pragma once

#include <QLoggingCategory>

namespace Orbexa::Internal {
Q_DECLARE_LOGGING_CATEGORY(hostLog)
} // namespace Orbexa::Internal
