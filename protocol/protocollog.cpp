#include "protocol/protocollog.h"

namespace DrumoSensorPlugin {
namespace Core {
Q_LOGGING_CATEGORY(protocolLog, "qux.protocol", QtWarningMsg)
} // namespace Core
} // namespace DrumoSensorPlugin
