#pragma once

#include <simulatedsensor.h>

#include <characterpacer.h>

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <functional>

namespace QuxSim {

// Sends a simulated sensor's answers at its line speed, 10 bit times per character (start bit,
// 8 data bits, stop bit), over whatever carries them to the host: a pseudo-terminal moves bytes
// at memory speed and a serial device server relays them at the line's speed. A character is
// handed on when its stop bit would end on the wire, so an answer's last character arrives when
// it would on a line; the ones before it go in batches, a wake-up per millisecond at most.
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
    void writeDue();
    void waitForNext();

    SimulatedSensor *m_sensor;
    LineOpen m_lineOpen;
    Write m_write;
    QByteArray m_pending;
    ExtensionSystem::CharacterPacer m_pacer;
    qint64 m_characterNs = 0;
    qint64 m_sentSinceStart = 0;
    // Tries again when the host's side took nothing (its buffer is full).
    QTimer m_retryTimer;
};

} // namespace QuxSim
