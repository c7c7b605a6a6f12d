#pragma once

#include <QObject>
#include <QPointer>

QT_BEGIN_NAMESPACE
class QTcpServer;
class QTcpSocket;
QT_END_NAMESPACE

namespace QuxSim {

class PacedWriter;
class SimulatedSensor;

// Serves a simulated sensor on 127.0.0.1:PORT as a serial device server would: raw TCP, one
// client at a time (a second one is closed at once, as such a server's port is busy), answers
// paced at the sensor's line speed. The unplug fault drops the connection.
class TcpServer : public QObject
{
    Q_OBJECT

public:
    explicit TcpServer(SimulatedSensor *sensor, QObject *parent = nullptr);

    // Port 0 takes a free port; port() tells which.
    bool listen(quint16 port, QString *errorMessage);
    quint16 port() const;
    QString portName() const;

signals:
    void unplugged();

private:
    void accept();
    void readRequests();
    void dropClient();

    SimulatedSensor *m_sensor;
    QTcpServer *m_server;
    QPointer<QTcpSocket> m_client;
    PacedWriter *m_writer;
};

} // namespace QuxSim
