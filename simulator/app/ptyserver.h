#pragma once

#include <QObject>

QT_BEGIN_NAMESPACE
class QSocketNotifier;
QT_END_NAMESPACE

namespace QuxSim {

class PacedWriter;
class SimulatedSensor;

// Serves a simulated sensor on the master side of a pseudo-terminal. A pseudo-terminal moves
// bytes at memory speed, so the answers are paced here at the sensor's line speed (10 bits per
// character); the host's rate is read back from the terminal settings it applied to its side.
class PtyServer : public QObject
{
    Q_OBJECT

public:
    explicit PtyServer(SimulatedSensor *sensor, QObject *parent = nullptr);
    ~PtyServer() override;

    bool open(QString *errorMessage);
    QString portName() const { return m_portName; }

signals:
    // The unplug fault struck: the terminal is closed and the host's port fails.
    void unplugged();

private:
    void readRequests();
    qint64 writeToHost(QByteArray &pending, int count);
    int hostBaudrate() const;
    void closeTerminal();

    SimulatedSensor *m_sensor;
    int m_master = -1;
    int m_slave = -1;
    QString m_portName;
    QSocketNotifier *m_notifier = nullptr;
    PacedWriter *m_writer;
};

} // namespace QuxSim
