#pragma once

#include <QLoggingCategory>

#include <functional>

namespace DrumoSensorPlugin {
namespace Core {

// The trace of the parameter operations: every failed attempt of a read or write leaves a line
// beginning with "BUCLA" at debug level (QT_LOGGING_RULES="qux.parameters.debug=true").
Q_DECLARE_LOGGING_CATEGORY(parametersLog)

// Calls `operation` until it succeeds, `times` calls at most, and writes `trace` (unless null)
// to the debug log after every call that failed. True when one call succeeded.
bool attempt(int times, const char *trace, const std::function<bool()> &operation);

} // namespace Core
} // namespace DrumoSensorPlugin
