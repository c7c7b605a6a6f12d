#include "tcpserver.h"

#include <simulatedsensor.h>

#include <QTcpServer>
#include <QTcpSocket>

namespace QuxSim {

TcpServer::TcpServer(SimulatedSensor *sensor, QObject *parent)
    : QObject(parent)
    , m_sensor(sensor)
    , m_server(new QTcpServer(this))
{
    m_paceTimer.setTimerType(Qt::PreciseTimer);
    m_paceTimer.setInterval(1);
    connect(&m_paceTimer, &QTimer::timeout, this, &TcpServer::writePaced);
    connect(m_server, &QTcpServer::newConnection, this, &TcpServer::accept);
    m_paceClock.start();
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
    const QList<SimulatedSensor::Output> outputs = m_sensor->receive(received, 0);
    for (const SimulatedSensor::Output &output : outputs) {
        if (output.delayMs > 0)
            QTimer::singleShot(output.delayMs, this,
                               [this, bytes = output.bytes] { queueAnswer(bytes); });
        else
            queueAnswer(output.bytes);
    }
    if (m_sensor->isUnplugged()) {
        m_client->abort();
        dropClient();
        emit unplugged();
    }
}

void TcpServer::queueAnswer(const QByteArray &bytes)
{
    if (!m_client)
        return;
    if (m_pending.isEmpty()) {
        m_paceStartNs = m_paceClock.nsecsElapsed();
        m_sentSinceStart = 0;
    }
    m_pending.append(bytes);
    if (!m_paceTimer.isActive())
        m_paceTimer.start();
}

// The server relays at the serial line's speed: 10 bit times per character.
void TcpServer::writePaced()
{
    const int baud = m_sensor->model().baudrate();
    const qint64 elapsedNs = m_paceClock.nsecsElapsed() - m_paceStartNs;
    const qint64 due = elapsedNs * baud / 10 / 1000000000 - m_sentSinceStart;
    if (due > 0 && m_client) {
        const qint64 count = qMin<qint64>(due, m_pending.size());
        m_client->write(m_pending.constData(), count);
        m_client->flush();
        m_pending.remove(0, int(count));
        m_sentSinceStart += count;
    }
    if (m_pending.isEmpty() || !m_client)
        m_paceTimer.stop();
}

void TcpServer::dropClient()
{
    m_pending.clear();
    m_paceTimer.stop();
    if (m_client) {
        m_client->disconnect(this);
        m_client->deleteLater();
    }
    m_client = nullptr;
}

} // namespace QuxSim
