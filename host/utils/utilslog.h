#pragma once

#include <QLoggingCategory>

namespace Utils {
namespace Internal {
Q_DECLARE_LOGGING_CATEGORY(utilsLog)
} // namespace Internal
} // namespace Utils
