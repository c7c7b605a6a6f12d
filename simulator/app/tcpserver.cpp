#include "tcpserver.h"

#include "pacedwriter.h"

#include <simulatedsensor.h>

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace QuxSim {

TcpServer::TcpServer(SimulatedSensor *sensor, QObject *parent)
    : QObject(parent)
    , m_sensor(sensor)
    , m_server(new QTcpServer(this))
    // The server relays at the serial line's speed.
    , m_writer(new PacedWriter(
          sensor, [this] { return !m_client.isNull(); },
          [this](QByteArray &pending, int count) {
              m_client->write(pending.constData(), count);
              m_client->flush();
              return qint64(count);
          },
          this))
{
    connect(m_server, &QTcpServer::newConnection, this, &TcpServer::accept);
}

bool TcpServer::listen(quint16 port, QString *errorMessage)
{
    // Loopback only: the simulator is for this machine's host and tests.
    if (m_server->listen(QHostAddress::LocalHost, port))
        return true;
    *errorMessage = m_server->errorString();
    return false;
}

quint16 TcpServer::port() const
{
    return m_server->serverPort();
}

QString TcpServer::portName() const
{
    return QStringLiteral("tcp://127.0.0.1:%1").arg(port());
}

void TcpServer::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        if (m_client || m_sensor->isUnplugged()) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_client = socket;
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket, &QTcpSocket::readyRead, this, &TcpServer::readRequests);
        connect(socket, &QTcpSocket::disconnected, this, &TcpServer::dropClient);
    }
}

void TcpServer::readRequests()
{
    if (!m_client)
        return;
    const QByteArray received = m_client->readAll();
    if (received.isEmpty())
        return;
    // The server's line runs at the sensor's rate: no mismatch is possible here.
    m_writer->send(m_sensor->receive(received, 0));
    if (m_sensor->isUnplugged()) {
        m_client->abort();
        dropClient();
        emit unplugged();
    }
}

void TcpServer::dropClient()
{
    m_writer->clear();
    if (m_client) {
        m_client->disconnect(this);
        m_client->deleteLater();
    }
    m_client = nullptr;
}

} // namespace QuxSim
