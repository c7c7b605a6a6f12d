#pragma once

#include "blockingscanport.h"
#include "extensionsystem_global.h"

namespace ExtensionSystem {

// The scan's port object for a serial line: a blocking QSerialPort (8N1, no flow control).
// The thread that prepares it must be a QThread (the GUI thread or a worker, with or without a
// running event loop): QSerialPort registers its notifiers with the thread's event dispatcher
// even when only its blocking calls are used.
class EXTENSIONSYSTEM_EXPORT SerialScanPort : public BlockingScanPort
{
public:
    explicit SerialScanPort(const QString &portName);
    ~SerialScanPort() override;

    void vApplySettings(PortSettings *settings) override;
    void vPrepare() override;
    void vSend(const std::string &text) override;

    bool isOpen() const override;
    int baudRate() const;

protected:
    void discardInput() override;

private:
    int m_baudRate = 38400;
};

} // namespace ExtensionSystem
