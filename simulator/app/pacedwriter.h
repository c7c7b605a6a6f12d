#pragma once

#include <simulatedsensor.h>

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

namespace QuxSim {

// Sends a simulated sensor's answers at its line speed, 10 bit times per character (start bit,
// 8 data bits, stop bit), over whatever carries them to the host: a pseudo-terminal moves bytes
// at memory speed and a serial device server relays them at the line's speed.
class PacedWriter : public QObject
{
    Q_OBJECT

public:
    // Whether the host's side is there at all; answers for a closed line are dropped.
    using LineOpen = std::function<bool()>;
    // Writes the first `count` bytes of `pending` (it may change them in place) and returns how
    // many were taken, or -1 when the line lost them and everything pending with them.
    using Write = std::function<qint64(QByteArray &pending, int count)>;

    PacedWriter(SimulatedSensor *sensor, LineOpen lineOpen, Write write, QObject *parent = nullptr);

    // Queues the sensor's answers, each after its own delay.
    void send(const QList<SimulatedSensor::Output> &outputs);
    // Forgets what is still queued (the line closed).
    void clear();

private:
    void queueAnswer(const QByteArray &bytes);
    void writePaced();

    SimulatedSensor *m_sensor;
    LineOpen m_lineOpen;
    Write m_write;
    QByteArray m_pending;
    QTimer m_paceTimer;
    QElapsedTimer m_paceClock;
    qint64 m_paceStartNs = 0;
    qint64 m_sentSinceStart = 0;
};

} // namespace QuxSim
