#include "parameters/attempts.h"

namespace DrumoSensorPlugin {
namespace Core {

Q_LOGGING_CATEGORY(parametersLog, "qux.parameters", QtWarningMsg)

bool attempt(int times, const char *trace, const std::function<bool()> &operation)
{
    for (int i = 0; i < times; ++i) {
        if (operation())
            return true;
        if (trace)
            qCDebug(parametersLog).noquote() << trace;
    }
    return false;
}

} // namespace Core
} // namespace DrumoSensorPlugin
