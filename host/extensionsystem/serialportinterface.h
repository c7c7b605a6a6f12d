#pragma once

#include "extensionsystem_global.h"
#include "portsettings.h"

#include <QString>

#include <string>

namespace ExtensionSystem {

// A blocking serial port handed to a plug-in's scanForSensor(). Not a QObject: the scan runs
// straight through without an event loop.
class EXTENSIONSYSTEM_EXPORT SerialPortInterface
{
public:
    virtual ~SerialPortInterface();

    // Takes baud rate and timing from the settings; applied at the next vPrepare().
    virtual void vApplySettings(PortSettings *settings) = 0;
    virtual void vGetPortName(QString &portName) = 0;
    // Opens the port (8N1, no flow control) with the applied settings and clears its buffers.
    virtual void vPrepare() = 0;
    virtual void vClose() = 0;
    // Discards everything received so far.
    virtual void vClear() = 0;
    virtual void vSend(const std::string &text) = 0;
    virtual int iBytesAvailable() = 0;
    // Everything received since the last read or clear.
    virtual std::string readAll() = 0;
};

} // namespace ExtensionSystem
