#pragma once

#include "extensionsystem_global.h"
#include "serialportinterface.h"

#include <QString>

#include <memory>

QT_BEGIN_NAMESPACE
class QIODevice;
QT_END_NAMESPACE

namespace ExtensionSystem {

// The blocking request/answer of the port object handed to a plug-in's scanForSensor(), over
// any byte stream device; subclasses open and close the device. It works without an event loop,
// so a scan can run in a worker thread.
//
// The device is created by vPrepare() and destroyed by vClose(), always in the thread that
// calls them; use one object from one thread at a time and call vClose() (or destroy the
// object) in the thread that prepared it. cancel() is the exception: it may be called from any
// thread and makes every later prepare, send and read a no-op, so a host can end a scan early.
class EXTENSIONSYSTEM_EXPORT BlockingScanPort : public SerialPortInterface
{
public:
    ~BlockingScanPort() override;

    void vGetPortName(QString &portName) override;
    void vClose() override;
    void vClear() override;
    int iBytesAvailable() override;
    std::string readAll() override;

    void cancel();
    bool isCancelled() const;
    virtual bool isOpen() const = 0;
    // Why the last vPrepare() failed, empty after a successful one.
    QString errorString() const;

protected:
    explicit BlockingScanPort(const QString &portName);

    QString portName() const;
    QIODevice *device() const;
    // Takes the device vPrepare() opened; null drops it.
    void setDevice(std::unique_ptr<QIODevice> device);
    void setErrorString(const QString &reason);
    // Drops what the device holds once pull() has fetched what the driver had.
    virtual void discardInput();
    // Ends the connection before the device is destroyed.
    virtual void closeDevice();
    // Moves what the driver holds into the device's buffer without waiting.
    void pull();

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace ExtensionSystem
