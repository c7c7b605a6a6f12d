#pragma once

#include <QLoggingCategory>

namespace DrumoSensorPlugin {
namespace Core {
Q_DECLARE_LOGGING_CATEGORY(modelLog)
} // namespace Core
} // namespace DrumoSensorPlugin
