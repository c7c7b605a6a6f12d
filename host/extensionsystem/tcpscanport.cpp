#include "tcpscanport.h"

#include "networkport.h"
#include "seriallog.h"
#include "tcpcommunication.h"

#include <QTcpSocket>

#include <atomic>

namespace ExtensionSystem {

using Internal::serialLog;

namespace {
constexpr int sendTimeoutMs = 1000;
// Bounds one read, so that a server sending without pause cannot keep the scan reading.
constexpr int maxReadRounds = 256;
} // namespace

class TcpScanPort::Private
{
public:
    void pull()
    {
        for (int round = 0; round < maxReadRounds && !cancelled; ++round) {
            if (!socket->waitForReadyRead(0))
                break;
        }
    }

    QString portName;
    std::unique_ptr<QTcpSocket> socket;
    std::atomic<bool> cancelled { false };
    QString errorString;
};

TcpScanPort::TcpScanPort(const QString &portName)
    : d(std::make_unique<Private>())
{
    d->portName = portName;
}

TcpScanPort::~TcpScanPort()
{
    vClose();
}

void TcpScanPort::vApplySettings(PortSettings *) { }

void TcpScanPort::vGetPortName(QString &portName)
{
    portName = d->portName;
}

void TcpScanPort::vPrepare()
{
    vClose();
    if (d->cancelled)
        return;
    NetworkPort address;
    if (!NetworkPort::parse(d->portName, &address)) {
        d->errorString = QStringLiteral("not of the form %1").arg(NetworkPort::form());
        return;
    }
    d->socket = std::make_unique<QTcpSocket>();
    d->socket->connectToHost(address.host, address.port);
    if (!d->socket->waitForConnected(TcpCommunication::connectTimeoutMs)) {
        d->errorString = d->socket->errorString();
        qCWarning(serialLog).noquote() << "Scan cannot use" << d->portName << ":" << d->errorString;
        d->socket.reset();
        return;
    }
    d->socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    d->errorString.clear();
}

void TcpScanPort::vClose()
{
    if (!d->socket)
        return;
    d->socket->abort();
    d->socket.reset();
}

void TcpScanPort::vClear()
{
    if (!isOpen())
        return;
    d->pull();
    d->socket->readAll();
}

void TcpScanPort::vSend(const std::string &text)
{
    if (!isOpen() || d->cancelled)
        return;
    d->socket->write(text.data(), qint64(text.size()));
    d->socket->waitForBytesWritten(sendTimeoutMs);
}

int TcpScanPort::iBytesAvailable()
{
    if (!isOpen() || d->cancelled)
        return 0;
    d->pull();
    return int(d->socket->bytesAvailable());
}

std::string TcpScanPort::readAll()
{
    if (!d->socket || d->cancelled)
        return {};
    d->pull();
    return d->socket->readAll().toStdString();
}

void TcpScanPort::cancel()
{
    d->cancelled = true;
}

bool TcpScanPort::isOpen() const
{
    return d->socket && d->socket->state() == QAbstractSocket::ConnectedState;
}

QString TcpScanPort::errorString() const
{
    return d->errorString;
}

} // namespace ExtensionSystem
