#include "pacedwriter.h"

#include <climits>

namespace QuxSim {

namespace {
// The shortest wait between two writes of one answer. The host waits for whole answers, so
// only the last character's moment counts; a wake-up per character (87 us at 115200 baud)
// would cost sixteen simulators beside one host more than the host itself.
constexpr qint64 batchNs = 1000000;
} // namespace

PacedWriter::PacedWriter(SimulatedSensor *sensor, LineOpen lineOpen, Write write, QObject *parent)
    : QObject(parent)
    , m_sensor(sensor)
    , m_lineOpen(std::move(lineOpen))
    , m_write(std::move(write))
{
    connect(&m_pacer, &ExtensionSystem::CharacterPacer::due, this, &PacedWriter::writeDue);
    m_retryTimer.setSingleShot(true);
    m_retryTimer.setInterval(1);
    connect(&m_retryTimer, &QTimer::timeout, this, &PacedWriter::writeDue);
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
    m_pacer.stop();
    m_retryTimer.stop();
    m_pending.clear();
}

void PacedWriter::queueAnswer(const QByteArray &bytes)
{
    if (!m_lineOpen() || bytes.isEmpty())
        return;
    // An idle line starts a new clock; an answer queued behind another follows it on the same
    // clock, as it would on the wire.
    if (m_pending.isEmpty()) {
        m_characterNs = qMax<qint64>(1, 10LL * 1000000000 / qMax(1, m_sensor->model().baudrate()));
        m_pacer.start(m_characterNs);
        m_sentSinceStart = 0;
    }
    m_pending.append(bytes);
    if (!m_retryTimer.isActive())
        waitForNext();
}

void PacedWriter::writeDue()
{
    if (!m_lineOpen()) {
        clear();
        return;
    }
    const qint64 due = m_pacer.ticksDue() - m_sentSinceStart;
    if (due > 0) {
        const int count = int(qMin<qint64>(due, m_pending.size()));
        const qint64 written = m_write(m_pending, count);
        if (written < 0) {
            clear();
            return;
        }
        m_pending.remove(0, int(written));
        m_sentSinceStart += written;
        if (written == 0 && !m_pending.isEmpty()) {
            m_retryTimer.start();
            return;
        }
    }
    if (!m_pending.isEmpty())
        waitForNext();
}

// Wakes up when the next character's stop bit ends, or, when characters are shorter than a
// batch, when the last character of the next batch (never past the answer's end) is through.
void PacedWriter::waitForNext()
{
    const qint64 batch = qMax<qint64>(1, batchNs / m_characterNs);
    const qint64 last = m_sentSinceStart + m_pending.size();
    const qint64 next = qMin(last, qMax(m_sentSinceStart + 1, m_pacer.ticksDue() + batch));
    m_pacer.waitFor(int(qMin<qint64>(next, INT_MAX)));
}

} // namespace QuxSim
