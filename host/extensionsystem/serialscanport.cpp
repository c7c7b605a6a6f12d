#include "serialscanport.h"

#include "seriallog.h"

#include <QDeadlineTimer>
#include <QSerialPort>

#include <atomic>

namespace ExtensionSystem {

using Internal::serialLog;

namespace {
// Upper bound for handing a text to the driver; the scan's texts are a few characters.
constexpr int sendTimeoutMs = 1000;
// Bounds one readAll(), so that a line full of noise cannot keep the scan reading forever.
constexpr int maxReadRounds = 256;
} // namespace

class SerialScanPort::Private
{
public:
    // Moves what the driver holds into QSerialPort's buffer without waiting.
    void pull()
    {
        for (int round = 0; round < maxReadRounds && !cancelled; ++round) {
            if (!port->waitForReadyRead(0))
                break;
        }
    }

    QString portName;
    int baudRate = 38400;
    std::unique_ptr<QSerialPort> port;
    std::atomic<bool> cancelled { false };
    QString errorString;
};

SerialScanPort::SerialScanPort(const QString &portName)
    : d(std::make_unique<Private>())
{
    d->portName = portName;
}

SerialScanPort::~SerialScanPort()
{
    vClose();
}

void SerialScanPort::vApplySettings(PortSettings *settings)
{
    if (settings)
        d->baudRate = settings->baudrate;
}

void SerialScanPort::vGetPortName(QString &portName)
{
    portName = d->portName;
}

void SerialScanPort::vPrepare()
{
    vClose();
    if (d->cancelled)
        return;
    d->port = std::make_unique<QSerialPort>();
    d->port->setPortName(d->portName);
    if (!d->port->open(QIODevice::ReadWrite) || !d->port->setBaudRate(d->baudRate)
        || !d->port->setDataBits(QSerialPort::Data8) || !d->port->setParity(QSerialPort::NoParity)
        || !d->port->setStopBits(QSerialPort::OneStop)
        || !d->port->setFlowControl(QSerialPort::NoFlowControl)) {
        d->errorString = d->port->errorString();
        qCWarning(serialLog).noquote() << "Scan cannot use" << d->portName << ":" << d->errorString;
        d->port.reset();
        return;
    }
    d->errorString.clear();
    d->port->clear();
}

void SerialScanPort::vClose()
{
    if (!d->port)
        return;
    d->port->close();
    d->port.reset();
}

void SerialScanPort::vClear()
{
    if (!isOpen())
        return;
    d->pull();
    d->port->clear(QSerialPort::Input);
    d->port->readAll();
}

void SerialScanPort::vSend(const std::string &text)
{
    if (!isOpen() || d->cancelled)
        return;
    d->port->write(text.data(), qint64(text.size()));
    const QDeadlineTimer deadline(sendTimeoutMs);
    while (d->port->bytesToWrite() > 0 && !d->cancelled && !deadline.hasExpired()) {
        if (!d->port->waitForBytesWritten(int(qMin<qint64>(deadline.remainingTime(), 50)))
            && d->port->error() != QSerialPort::NoError
            && d->port->error() != QSerialPort::TimeoutError) {
            qCWarning(serialLog).noquote()
                << "Scan write on" << d->portName << "failed:" << d->port->errorString();
            break;
        }
    }
}

int SerialScanPort::iBytesAvailable()
{
    if (!isOpen() || d->cancelled)
        return 0;
    d->pull();
    return int(d->port->bytesAvailable());
}

std::string SerialScanPort::readAll()
{
    if (!isOpen() || d->cancelled)
        return {};
    d->pull();
    return d->port->readAll().toStdString();
}

void SerialScanPort::cancel()
{
    d->cancelled = true;
}

bool SerialScanPort::isCancelled() const
{
    return d->cancelled;
}

bool SerialScanPort::isOpen() const
{
    return d->port && d->port->isOpen();
}

int SerialScanPort::baudRate() const
{
    return d->baudRate;
}

QString SerialScanPort::errorString() const
{
    return d->errorString;
}

} // namespace ExtensionSystem
