#include "serialcommunication.h"

#include "seriallog.h"

#include <QSerialPort>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace ExtensionSystem {

using Internal::serialLog;

namespace {
bool isFatal(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError:
    case QSerialPort::NotOpenError:
        return true;
    default:
        return false;
    }
}
// A removed adapter (and a closed pseudo-terminal master) hangs the line up: reads return zero
// bytes, which QSerialPort 5.15 reports as ReadError with a stale errno rather than
// ResourceError. A zero-length read also happens on a healthy line when the data was already
// taken by an earlier read, so only the line's own state tells the two apart.
bool lineHungUp(const QSerialPort *port)
{
#ifdef Q_OS_UNIX
    pollfd descriptor { int(port->handle()), POLLIN, 0 };
    return ::poll(&descriptor, 1, 0) > 0 && (descriptor.revents & (POLLHUP | POLLERR | POLLNVAL));
#else
    Q_UNUSED(port)
    return false;
#endif
}
} // namespace

class SerialCommunication::Private
{
public:
    QSerialPort *port = nullptr;
    PortSettings settings;
};

SerialCommunication::SerialCommunication(QObject *parent)
    : DeviceCommunication(parent)
    , d(std::make_unique<Private>())
{
    d->port = new QSerialPort(this);
    setDevice(d->port);
    // QtSerialPort 5.15 can stop delivering readyRead after a read of zero bytes; pulling what
    // is pending every few milliseconds keeps an answer from going unnoticed until the time-out.
    enablePolling();
    connect(d->port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (error == QSerialPort::NoError || !d->port->isOpen())
            return; // failures to open are reported by open()
        QString reason = d->port->errorString();
        if (error == QSerialPort::ResourceError && reason == qt_error_string(EAGAIN)
            && !lineHungUp(d->port)) {
            // The system reported input that was gone when the port read it (discarded before
            // the next frame), or had no room for a write for a moment. Neither ends the line;
            // QSerialPort stopped watching for input, so it watches again.
            qCDebug(serialLog).noquote() << portPath() << "nothing to read or write for now";
            d->port->clearError();
            d->port->setReadBufferSize(d->port->readBufferSize());
            return;
        }
        const bool hungUp = !isFatal(error) && lineHungUp(d->port);
        if (hungUp)
            reason = tr("The device was disconnected");
        if (!isFatal(error) && !hungUp) {
            // Zero-length reads on a healthy line end up here too, hence debug level.
            qCDebug(serialLog).noquote() << portPath() << error << reason;
            d->port->clearError();
            if (error == QSerialPort::WriteError)
                failSending();
            return;
        }
        failPort(reason);
    });
}

SerialCommunication::~SerialCommunication()
{
    QObject::disconnect(d->port, nullptr, this, nullptr);
    d->port->close();
    finishPending();
}

bool SerialCommunication::open(const PortSettings &settings, QString *errorMessage)
{
    if (d->port->isOpen())
        vClose();
    setErrorString({});
    d->port->setPortName(settings.portName);
    setPortPath(settings.portName);
    QString reason;
    if (!d->port->open(QIODevice::ReadWrite)) {
        reason = d->port->errorString();
    } else if (!d->port->setBaudRate(settings.baudrate) || !d->port->setDataBits(QSerialPort::Data8)
               || !d->port->setParity(QSerialPort::NoParity)
               || !d->port->setStopBits(QSerialPort::OneStop)
               || !d->port->setFlowControl(QSerialPort::NoFlowControl)) {
        reason = d->port->errorString();
        d->port->close();
    }
    if (!reason.isEmpty()) {
        setErrorString(tr("Cannot open %1: %2").arg(settings.portName, reason));
        qCWarning(serialLog).noquote() << errorString();
        if (errorMessage)
            *errorMessage = errorString();
        return false;
    }
    d->port->clear();
    d->settings = settings;
    qCInfo(serialLog).noquote() << "Opened" << settings.portName << "at" << settings.baudrate
                                << "baud";
    return true;
}

bool SerialCommunication::isOpen() const
{
    return d->port->isOpen();
}

void SerialCommunication::vSendRawData(std::string data)
{
    if (!d->port->isOpen()) {
        qCWarning(serialLog) << "Raw data dropped: the port is not open";
        return;
    }
    d->port->write(data.data(), qint64(data.size()));
}

void SerialCommunication::vSetPortSettings(const PortSettings &settings)
{
    const int applied = d->port->isOpen() ? d->port->baudRate() : d->settings.baudrate;
    d->settings = settings;
    if (!d->port->isOpen())
        return;
    if (settings.baudrate != applied && !d->port->setBaudRate(settings.baudrate)) {
        qCWarning(serialLog).noquote() << "Baud rate" << settings.baudrate << "refused on"
                                       << portPath() << d->port->errorString();
        d->port->clearError();
    }
    d->settings.baudrate = d->port->baudRate();
    qCDebug(serialLog) << "baud rate now" << d->settings.baudrate;
}

PortSettings SerialCommunication::getPortSettings()
{
    PortSettings current = d->settings;
    if (d->port->isOpen())
        current.baudrate = d->port->baudRate();
    return current;
}

void SerialCommunication::vClose()
{
    if (d->port->isOpen()) {
        qCInfo(serialLog).noquote() << "Closing" << portPath();
        d->port->close();
    }
    finishPending();
}

// Drops what QSerialPort holds and what is still in the driver's buffer. A hung-up line
// closes the port on the way.
void SerialCommunication::discardInput()
{
    d->port->clear(QSerialPort::Input);
    d->port->readAll();
}

// A frame's characters go to the driver in one system call. Through QSerialPort they would
// first be buffered and the port would watch for room to write: two more turns of the event
// loop per frame for a few characters the driver takes at once. Whatever the driver does not
// take (its buffer is full, or it failed) goes through QSerialPort, which writes it when there
// is room or reports the failure.
void SerialCommunication::writeCharacters(const char *data, int count)
{
    qint64 written = 0;
#ifdef Q_OS_UNIX
    const int descriptor = int(d->port->handle());
    if (descriptor >= 0 && d->port->bytesToWrite() == 0) {
        ssize_t result;
        do
            result = ::write(descriptor, data, size_t(count));
        while (result < 0 && errno == EINTR);
        written = qMax<qint64>(0, result);
    }
#endif
    if (written < count) {
        d->port->write(data + written, count - written);
        d->port->flush();
    }
}

bool SerialCommunication::writeDrained() const
{
    return d->port->bytesToWrite() == 0;
}

// QSerialPort reports what it reads here through readyRead.
void SerialCommunication::fetchPending()
{
    d->port->waitForReadyRead(0);
}

// The line discipline reports the line readable once that many characters are in (VMIN with
// VTIME 0); reads still return whatever is there, since the port does not block.
void SerialCommunication::setReadThreshold(int characters)
{
#ifdef Q_OS_UNIX
    const int descriptor = int(d->port->handle());
    termios attributes {};
    if (descriptor < 0 || ::tcgetattr(descriptor, &attributes) != 0)
        return;
    attributes.c_cc[VMIN] = cc_t(qBound(0, characters, 255));
    attributes.c_cc[VTIME] = 0;
    ::tcsetattr(descriptor, TCSANOW, &attributes);
#else
    Q_UNUSED(characters)
#endif
}

double SerialCommunication::characterTimeMs() const
{
    const int baud = d->port->isOpen() ? d->port->baudRate() : d->settings.baudrate;
    return baud > 0 ? 10000.0 / baud : 0.0;
}

void SerialCommunication::closeDevice()
{
    d->port->close();
}

} // namespace ExtensionSystem
