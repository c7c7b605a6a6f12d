#pragma once

#include "extensionsystem_global.h"
#include "serialportinterface.h"

#include <memory>

namespace ExtensionSystem {

// The port object handed to a plug-in's scanForSensor(): a blocking QSerialPort (8N1, no flow
// control) that works without an event loop, so a scan can run in a worker thread.
//
// The QSerialPort is created by vPrepare() and destroyed by vClose(), always in the thread
// that calls them; use one object from one thread at a time and call vClose() (or destroy the
// object) in the thread that prepared it. That thread must be a QThread (the GUI thread or a
// worker, with or without a running event loop): QSerialPort registers its notifiers with the
// thread's event dispatcher even when only its blocking calls are used. cancel() is the exception: it may be called from any
// thread and makes every later prepare, send and read a no-op, so a host can end a scan early.
class EXTENSIONSYSTEM_EXPORT SerialScanPort : public SerialPortInterface
{
public:
    explicit SerialScanPort(const QString &portName);
    ~SerialScanPort() override;

    void vApplySettings(PortSettings *settings) override;
    void vGetPortName(QString &portName) override;
    void vPrepare() override;
    void vClose() override;
    void vClear() override;
    void vSend(const std::string &text) override;
    int iBytesAvailable() override;
    std::string readAll() override;

    void cancel();
    bool isCancelled() const;
    bool isOpen() const;
    int baudRate() const;
    // Why the last vPrepare() failed, empty after a successful one.
    QString errorString() const;

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace ExtensionSystem
