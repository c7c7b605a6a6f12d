#pragma once

#include <QLoggingCategory>

namespace DrumoSensorPlugin {
namespace Core {
Q_DECLARE_LOGGING_CATEGORY(windowLog)
} // namespace Core
} // namespace DrumoSensorPlugin
