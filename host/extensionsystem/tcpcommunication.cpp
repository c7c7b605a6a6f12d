#include "tcpcommunication.h"

#include "networkport.h"
#include "seriallog.h"

#include <QNetworkSession>
#include <QTcpSocket>

namespace ExtensionSystem {

using Internal::serialLog;

namespace {

// QAbstractSocket::connectToHost looks this type up on its first call, which registers it.
// Sockets that connect from several threads at once (quxctl's ports in parallel) could register
// it twice, and Qt then warns on standard error; registered while the library loads, it is
// registered once.
QT_WARNING_PUSH
QT_WARNING_DISABLE_DEPRECATED
[[maybe_unused]] const int networkSessionType = qMetaTypeId<QSharedPointer<QNetworkSession>>();
QT_WARNING_POP

} // namespace

class TcpCommunication::Private
{
public:
    QTcpSocket *socket = nullptr;
    PortSettings settings;
    bool closing = false; // our own close: its disconnect is no failure
    bool failed = false; // the disconnect that follows an error is reported already
};

TcpCommunication::TcpCommunication(QObject *parent)
    : DeviceCommunication(parent)
    , d(std::make_unique<Private>())
{
    d->socket = new QTcpSocket(this);
    setDevice(d->socket);
    const auto fail = [this](const QString &reason) {
        if (d->closing || d->failed)
            return;
        d->failed = true;
        failPort(reason);
    };
    connect(d->socket, &QTcpSocket::disconnected, this,
            [fail] { fail(TcpCommunication::tr("The server closed the connection")); });
    connect(d->socket, &QAbstractSocket::errorOccurred, this,
            [this, fail](QAbstractSocket::SocketError) { fail(d->socket->errorString()); });
}

TcpCommunication::~TcpCommunication()
{
    QObject::disconnect(d->socket, nullptr, this, nullptr);
    d->socket->abort();
    finishPending();
}

bool TcpCommunication::open(const PortSettings &settings, QString *errorMessage)
{
    if (isOpen())
        vClose();
    setErrorString({});
    d->failed = false;
    d->settings = settings;
    setPortPath(settings.portName);
    NetworkPort address;
    QString reason;
    if (!NetworkPort::parse(settings.portName, &address)) {
        reason = tr("not of the form %1").arg(NetworkPort::form());
    } else {
        d->closing = true; // failures to connect are reported here, not as a broken port
        d->socket->connectToHost(address.host, address.port);
        if (!d->socket->waitForConnected(connectTimeoutMs)) {
            reason = d->socket->error() == QAbstractSocket::SocketTimeoutError
                ? tr("no answer from the server within %1 s").arg(connectTimeoutMs / 1000)
                : d->socket->errorString();
            d->socket->abort();
        }
        d->closing = false;
    }
    if (!reason.isEmpty()) {
        setErrorString(tr("Cannot connect to %1: %2").arg(settings.portName, reason));
        qCWarning(serialLog).noquote() << errorString();
        if (errorMessage)
            *errorMessage = errorString();
        return false;
    }
    d->socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    qCInfo(serialLog).noquote() << "Connected to" << settings.portName;
    return true;
}

bool TcpCommunication::isOpen() const
{
    return d->socket->state() == QAbstractSocket::ConnectedState;
}

void TcpCommunication::vSendRawData(std::string data)
{
    if (!isOpen()) {
        qCWarning(serialLog) << "Raw data dropped: the connection is not open";
        return;
    }
    d->socket->write(data.data(), qint64(data.size()));
}

void TcpCommunication::vSetPortSettings(const PortSettings &settings)
{
    const int rate = d->settings.baudrate;
    d->settings = settings;
    d->settings.baudrate = rate; // the server's, not ours to change
}

PortSettings TcpCommunication::getPortSettings()
{
    return d->settings;
}

void TcpCommunication::vClose()
{
    if (d->socket->state() != QAbstractSocket::UnconnectedState) {
        qCInfo(serialLog).noquote() << "Closing" << portPath();
        closeDevice();
    }
    finishPending();
}

void TcpCommunication::writeCharacters(const char *data, int count)
{
    d->socket->write(data, count);
    d->socket->flush();
}

void TcpCommunication::closeDevice()
{
    d->closing = true;
    d->socket->abort();
    d->closing = false;
}

} // namespace ExtensionSystem
