#include "simulatedsensor.h"

#include "simframe.h"
#include "simulatorlog.h"

namespace QuxSim {

SimulatedSensor::SimulatedSensor(const SensorType &type, Clock clock, quint32 seed)
    : m_model(type, clock, seed + 1)
    , m_clock(std::move(clock))
    , m_random(seed)
{
}

void SimulatedSensor::setFaults(const FaultSettings &faults)
{
    m_faults = faults;
    m_model.setForeignGroup(faults.foreignGroup);
    m_model.setForeignType(faults.foreignType);
}

void SimulatedSensor::setSeed(quint32 seed)
{
    m_random.seed(seed);
    m_model.process().setSeed(seed + 1);
}

void SimulatedSensor::setClock(Clock clock)
{
    m_clock = clock;
    m_model.process().setClock(std::move(clock));
}

void SimulatedSensor::replug()
{
    m_unplugged = false;
    m_answeredCount = 0;
    m_buffer.clear();
    m_model.powerCycle();
}

bool SimulatedSensor::chance(double percent)
{
    if (percent <= 0.0)
        return false;
    std::uniform_real_distribution<double> distribution(0.0, 100.0);
    return distribution(m_random) < percent;
}

QByteArray SimulatedSensor::randomBytes(int count)
{
    // Anything but "/", which would start a frame of its own on the host's side.
    std::uniform_int_distribution<int> distribution(0, 254);
    QByteArray bytes;
    bytes.reserve(count);
    for (int i = 0; i < count; ++i) {
        int value = distribution(m_random);
        if (value >= '/')
            ++value;
        bytes.append(char(value));
    }
    return bytes;
}

QList<SimulatedSensor::Output> SimulatedSensor::receive(const QByteArray &bytes, int hostBaudrate)
{
    QList<Output> outputs;
    if (m_unplugged)
        return outputs;
    m_buffer.append(bytes);
    // A frame runs from a "/" to the next "."; a later "/" starts over, like on the wire. A frame
    // longer than any frame can be is line noise. Each byte is looked at a bounded number of
    // times, however the bytes are split.
    int position = 0;
    while (!m_unplugged) {
        const int end = m_buffer.indexOf('.', position);
        if (end < 0)
            break;
        int start = end - 1;
        while (start >= position && m_buffer.at(start) != '/')
            --start;
        const bool framed = start >= position && end - start + 1 <= Frame::maxLength;
        position = end + 1;
        if (!framed)
            continue;
        const Output output = handleFrame(m_buffer.mid(start, end - start + 1), hostBaudrate);
        if (!output.bytes.isEmpty())
            outputs.append(output);
    }
    // Keep the frame begun after the last "." (if any), as long as it can still become one.
    int start = m_buffer.lastIndexOf('/');
    if (m_unplugged || start < position || m_buffer.size() - start >= Frame::maxLength)
        m_buffer.clear();
    else
        m_buffer.remove(0, start);
    return outputs;
}

SimulatedSensor::Output SimulatedSensor::handleFrame(const QByteArray &frame, int hostBaudrate)
{
    ++m_requestCount;
    RequestLogEntry entry;
    entry.time = m_clock();
    entry.request = frame;
    entry.body = Frame::decode(frame);
    Output output;

    auto finish = [&](Outcome outcome) {
        entry.outcome = outcome;
        entry.answer = output.bytes;
        entry.delay = output.bytes.isEmpty() ? 0 : output.delayMs;
        m_log.append(entry);
        qCDebug(simulatorLog).noquote() << entry.toString();
        return output;
    };

    if (m_faults.unplugAfter >= 0 && m_answeredCount >= m_faults.unplugAfter) {
        m_unplugged = true;
        return finish(Outcome::Unplugged);
    }
    if (m_faults.silent)
        return finish(Outcome::Silent);
    if (hostBaudrate > 0 && hostBaudrate != m_model.baudrate()
        && m_faults.baudMismatch == FaultSettings::BaudMismatch::Garble) {
        // At the wrong rate neither side reads the other: the request means nothing to the
        // sensor, and what little comes back is rubbish of about a frame's length.
        ++m_answeredCount;
        output.bytes = randomBytes(frame.size() / 2 + 1);
        output.delayMs = m_faults.delayMs;
        return finish(Outcome::Garbled);
    }
    if (entry.body.isEmpty())
        return finish(Outcome::BadChecksum);
    const std::optional<QByteArray> body = m_model.answer(entry.body);
    if (!body)
        return finish(Outcome::UnknownCommand);

    ++m_answeredCount;
    if (chance(m_faults.dropPercent))
        return finish(Outcome::Dropped);
    Outcome outcome = Outcome::Answered;
    QByteArray answer = Frame::build(*body);
    if (chance(m_faults.corruptPercent)) {
        answer = Frame::corruptChecksum(answer);
        outcome = Outcome::Corrupted;
    }
    if (m_faults.noiseBytes > 0) {
        answer = randomBytes(m_faults.noiseBytes) + answer + randomBytes(m_faults.noiseBytes);
        entry.noiseBytes = 2 * m_faults.noiseBytes;
    }
    output.bytes = answer;
    output.delayMs = m_faults.delayMs;
    return finish(outcome);
}

} // namespace QuxSim
