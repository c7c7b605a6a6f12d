#include "window/windowlog.h"

namespace DrumoSensorPlugin {
namespace Core {
Q_LOGGING_CATEGORY(windowLog, "qux.window", QtWarningMsg)
} // namespace Core
} // namespace DrumoSensorPlugin
