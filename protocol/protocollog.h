#pragma once

#include <QLoggingCategory>

namespace DrumoSensorPlugin {
namespace Core {
Q_DECLARE_LOGGING_CATEGORY(protocolLog)
} // namespace Core
} // namespace DrumoSensorPlugin
