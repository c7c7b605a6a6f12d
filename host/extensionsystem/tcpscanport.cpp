#include "tcpscanport.h"

#include "networkport.h"
#include "seriallog.h"
#include "tcpcommunication.h"

#include <QTcpSocket>

namespace ExtensionSystem {

using Internal::serialLog;

namespace {
constexpr int sendTimeoutMs = 1000;
} // namespace

TcpScanPort::TcpScanPort(const QString &portName)
    : BlockingScanPort(portName)
{
}

TcpScanPort::~TcpScanPort()
{
    vClose();
}

void TcpScanPort::vApplySettings(PortSettings *) { }

void TcpScanPort::vPrepare()
{
    vClose();
    if (isCancelled())
        return;
    NetworkPort address;
    if (!NetworkPort::parse(portName(), &address)) {
        setErrorString(QStringLiteral("not of the form %1").arg(NetworkPort::form()));
        return;
    }
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(address.host, address.port);
    if (!socket->waitForConnected(TcpCommunication::connectTimeoutMs)) {
        setErrorString(socket->errorString());
        qCWarning(serialLog).noquote() << "Scan cannot use" << portName() << ":" << errorString();
        return;
    }
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    setErrorString({});
    setDevice(std::move(socket));
}

void TcpScanPort::vSend(const std::string &text)
{
    if (!isOpen() || isCancelled())
        return;
    device()->write(text.data(), qint64(text.size()));
    device()->waitForBytesWritten(sendTimeoutMs);
}

bool TcpScanPort::isOpen() const
{
    auto *socket = static_cast<QTcpSocket *>(device());
    return socket && socket->state() == QAbstractSocket::ConnectedState;
}

void TcpScanPort::closeDevice()
{
    static_cast<QTcpSocket *>(device())->abort();
}

} // namespace ExtensionSystem
