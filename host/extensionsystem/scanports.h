#pragma once

#include "extensionsystem_global.h"
#include "serialportinterface.h"

#include <memory>

namespace ExtensionSystem {

// The scan's port object for a port name: a TcpScanPort for "tcp://HOST:PORT", a
// SerialScanPort otherwise.
EXTENSIONSYSTEM_EXPORT std::unique_ptr<SerialPortInterface> makeScanPort(const QString &portName);
// Ends a scan early on a port object made by makeScanPort(); callable from any thread.
EXTENSIONSYSTEM_EXPORT void cancelScanPort(SerialPortInterface *port);

} // namespace ExtensionSystem
