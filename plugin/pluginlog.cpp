#include "plugin/pluginlog.h"

namespace DrumoSensorPlugin {
namespace Core {
Q_LOGGING_CATEGORY(pluginLog, "qux.plugin", QtWarningMsg)
} // namespace Core
} // namespace DrumoSensorPlugin
