#include "pacedwriter.h"

namespace QuxSim {

PacedWriter::PacedWriter(SimulatedSensor *sensor, LineOpen lineOpen, Write write, QObject *parent)
    : QObject(parent)
    , m_sensor(sensor)
    , m_lineOpen(std::move(lineOpen))
    , m_write(std::move(write))
{
    m_paceTimer.setTimerType(Qt::PreciseTimer);
    m_paceTimer.setInterval(1);
    connect(&m_paceTimer, &QTimer::timeout, this, &PacedWriter::writePaced);
    m_paceClock.start();
}

void PacedWriter::send(const QList<SimulatedSensor::Output> &outputs)
{
    for (const SimulatedSensor::Output &output : outputs) {
        if (output.delayMs > 0)
            QTimer::singleShot(output.delayMs, this,
                               [this, bytes = output.bytes] { queueAnswer(bytes); });
        else
            queueAnswer(output.bytes);
    }
}

void PacedWriter::clear()
{
    m_paceTimer.stop();
    m_pending.clear();
}

void PacedWriter::queueAnswer(const QByteArray &bytes)
{
    if (!m_lineOpen())
        return;
    if (m_pending.isEmpty()) {
        m_paceStartNs = m_paceClock.nsecsElapsed();
        m_sentSinceStart = 0;
    }
    m_pending.append(bytes);
    if (!m_paceTimer.isActive())
        m_paceTimer.start();
}

void PacedWriter::writePaced()
{
    const int baud = m_sensor->model().baudrate();
    const qint64 elapsedNs = m_paceClock.nsecsElapsed() - m_paceStartNs;
    const qint64 due = elapsedNs * baud / 10 / 1000000000 - m_sentSinceStart;
    if (due > 0 && m_lineOpen()) {
        const int count = int(qMin<qint64>(due, m_pending.size()));
        const qint64 written = m_write(m_pending, count);
        if (written > 0) {
            m_pending.remove(0, int(written));
            m_sentSinceStart += written;
        } else if (written < 0) {
            m_pending.clear();
        }
    }
    if (m_pending.isEmpty() || !m_lineOpen())
        m_paceTimer.stop();
}

} // namespace QuxSim
