#include "blockingscanport.h"

#include <QIODevice>

#include <atomic>

namespace ExtensionSystem {

namespace {
// Bounds one read, so that a line full of noise (or a server sending without pause) cannot
// keep the scan reading forever.
constexpr int maxReadRounds = 256;
} // namespace

class BlockingScanPort::Private
{
public:
    QString portName;
    std::unique_ptr<QIODevice> device;
    std::atomic<bool> cancelled { false };
    QString errorString;
};

BlockingScanPort::BlockingScanPort(const QString &portName)
    : d(std::make_unique<Private>())
{
    d->portName = portName;
}

// Subclasses close their device in their own destructor; what is left here is only freed.
BlockingScanPort::~BlockingScanPort() = default;

void BlockingScanPort::vGetPortName(QString &portName)
{
    portName = d->portName;
}

void BlockingScanPort::vClose()
{
    if (!d->device)
        return;
    closeDevice();
    d->device.reset();
}

void BlockingScanPort::vClear()
{
    if (!isOpen())
        return;
    pull();
    discardInput();
}

int BlockingScanPort::iBytesAvailable()
{
    if (!isOpen() || d->cancelled)
        return 0;
    pull();
    return int(d->device->bytesAvailable());
}

std::string BlockingScanPort::readAll()
{
    if (!d->device || d->cancelled)
        return {};
    pull();
    return d->device->readAll().toStdString();
}

void BlockingScanPort::cancel()
{
    d->cancelled = true;
}

bool BlockingScanPort::isCancelled() const
{
    return d->cancelled;
}

QString BlockingScanPort::errorString() const
{
    return d->errorString;
}

QString BlockingScanPort::portName() const
{
    return d->portName;
}

QIODevice *BlockingScanPort::device() const
{
    return d->device.get();
}

void BlockingScanPort::setDevice(std::unique_ptr<QIODevice> device)
{
    d->device = std::move(device);
}

void BlockingScanPort::setErrorString(const QString &reason)
{
    d->errorString = reason;
}

void BlockingScanPort::discardInput()
{
    d->device->readAll();
}

void BlockingScanPort::closeDevice()
{
    d->device->close();
}

void BlockingScanPort::pull()
{
    for (int round = 0; round < maxReadRounds && !d->cancelled; ++round) {
        if (!d->device->waitForReadyRead(0))
            break;
    }
}

} // namespace ExtensionSystem
