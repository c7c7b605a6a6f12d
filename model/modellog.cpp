#include "model/modellog.h"

namespace DrumoSensorPlugin {
namespace Core {
Q_LOGGING_CATEGORY(modelLog, "qux.model", QtWarningMsg)
} // namespace Core
} // namespace DrumoSensorPlugin
