#pragma once

#include "blockingscanport.h"
#include "extensionsystem_global.h"

namespace ExtensionSystem {

// The scan's port object for a network port ("tcp://HOST:PORT"): a blocking QTcpSocket. The
// server sets the line rate, so the baud rate of the applied settings is kept but has no effect.
class EXTENSIONSYSTEM_EXPORT TcpScanPort : public BlockingScanPort
{
public:
    explicit TcpScanPort(const QString &portName);
    ~TcpScanPort() override;

    void vApplySettings(PortSettings *settings) override;
    void vPrepare() override;
    void vSend(const std::string &text) override;

    bool isOpen() const override;

protected:
    void closeDevice() override;
};

} // namespace ExtensionSystem
