#include "serialscanport.h"

#include "seriallog.h"

#include <QDeadlineTimer>
#include <QSerialPort>

namespace ExtensionSystem {

using Internal::serialLog;

namespace {
// Upper bound for handing a text to the driver; the scan's texts are a few characters.
constexpr int sendTimeoutMs = 1000;
} // namespace

SerialScanPort::SerialScanPort(const QString &portName)
    : BlockingScanPort(portName)
{
}

SerialScanPort::~SerialScanPort()
{
    vClose();
}

void SerialScanPort::vApplySettings(PortSettings *settings)
{
    if (settings)
        m_baudRate = settings->baudrate;
}

void SerialScanPort::vPrepare()
{
    vClose();
    if (isCancelled())
        return;
    auto port = std::make_unique<QSerialPort>();
    port->setPortName(portName());
    if (!port->open(QIODevice::ReadWrite) || !port->setBaudRate(m_baudRate)
        || !port->setDataBits(QSerialPort::Data8) || !port->setParity(QSerialPort::NoParity)
        || !port->setStopBits(QSerialPort::OneStop)
        || !port->setFlowControl(QSerialPort::NoFlowControl)) {
        setErrorString(port->errorString());
        qCWarning(serialLog).noquote() << "Scan cannot use" << portName() << ":" << errorString();
        return;
    }
    setErrorString({});
    port->clear();
    setDevice(std::move(port));
}

void SerialScanPort::vSend(const std::string &text)
{
    if (!isOpen() || isCancelled())
        return;
    auto *port = static_cast<QSerialPort *>(device());
    port->write(text.data(), qint64(text.size()));
    const QDeadlineTimer deadline(sendTimeoutMs);
    while (port->bytesToWrite() > 0 && !isCancelled() && !deadline.hasExpired()) {
        if (!port->waitForBytesWritten(int(qMin<qint64>(deadline.remainingTime(), 50)))
            && port->error() != QSerialPort::NoError
            && port->error() != QSerialPort::TimeoutError) {
            qCWarning(serialLog).noquote()
                << "Scan write on" << portName() << "failed:" << port->errorString();
            break;
        }
    }
}

bool SerialScanPort::isOpen() const
{
    return device() && device()->isOpen();
}

int SerialScanPort::baudRate() const
{
    return m_baudRate;
}

void SerialScanPort::discardInput()
{
    auto *port = static_cast<QSerialPort *>(device());
    port->clear(QSerialPort::Input);
    port->readAll();
}

} // namespace ExtensionSystem
