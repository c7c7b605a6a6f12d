#pragma once

#include "extensionsystem_global.h"
#include "serialportinterface.h"

#include <memory>

namespace ExtensionSystem {

// The scan's port object for a network port ("tcp://HOST:PORT"): a blocking QTcpSocket with
// the same rules as SerialScanPort (created by vPrepare() and destroyed by vClose() in the
// calling thread, no event loop needed, cancel() from any thread). The server sets the line
// rate, so the baud rate of the applied settings is kept but has no effect.
class EXTENSIONSYSTEM_EXPORT TcpScanPort : public SerialPortInterface
{
public:
    explicit TcpScanPort(const QString &portName);
    ~TcpScanPort() override;

    void vApplySettings(PortSettings *settings) override;
    void vGetPortName(QString &portName) override;
    void vPrepare() override;
    void vClose() override;
    void vClear() override;
    void vSend(const std::string &text) override;
    int iBytesAvailable() override;
    std::string readAll() override;

    void cancel();
    bool isOpen() const;
    // Why the last vPrepare() failed, empty after a successful one.
    QString errorString() const;

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace ExtensionSystem
