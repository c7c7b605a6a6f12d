#pragma once

#include <QLoggingCategory>

namespace ExtensionSystem {
namespace Internal {
// Everything that happens on the serial line: opening, failures, and (at debug level) every
// request and answer. Enable with QT_LOGGING_RULES="orbexa.serial.debug=true".
Q_DECLARE_LOGGING_CATEGORY(serialLog)
} // namespace Internal
} // namespace ExtensionSystem
