#pragma once

#include "faultsettings.h"
#include "quxsim_global.h"
#include "requestlog.h"
#include "sensormodel.h"

#include <QByteArray>
#include <QList>

#include <random>

namespace QuxSim {

// The sensor at the end of a line: collects request frames from the bytes the host sends,
// lets the model answer, applies the faults and logs every request. The front ends (the
// in-process connection and quxsim's pseudo-terminal) only move bytes and keep time.
class QUXSIM_EXPORT SimulatedSensor
{
public:
    // Bytes for the host, to be delivered `delayMs` after the request arrived.
    struct Output
    {
        QByteArray bytes;
        int delayMs = 0;
    };

    explicit SimulatedSensor(const SensorType &type = SensorType::fallback(),
                             Clock clock = systemClock(), quint32 seed = 1);

    SensorModel &model() { return m_model; }
    const SensorModel &model() const { return m_model; }
    RequestLog &log() { return m_log; }
    const RequestLog &log() const { return m_log; }

    const FaultSettings &faults() const { return m_faults; }
    void setFaults(const FaultSettings &faults);
    // Seeds the fault generator and the temperature noise (the latter with seed + 1).
    void setSeed(quint32 seed);
    void setClock(Clock clock);

    // Takes bytes from the host. `hostBaudrate` is the rate the host's port runs at, 0 when it
    // is not known (then no mismatch is assumed). Returns what the sensor sends back.
    QList<Output> receive(const QByteArray &bytes, int hostBaudrate = 0);

    // Requests that reached the sensor so far (complete frames, valid or not).
    int requestCount() const { return m_requestCount; }
    // True once the unplug fault struck; the front end then drops the line.
    bool isUnplugged() const { return m_unplugged; }
    // Plugs the sensor back in and power-cycles it: a pending baud rate applies now.
    void replug();

private:
    Output handleFrame(const QByteArray &frame, int hostBaudrate);
    bool chance(double percent);
    QByteArray randomBytes(int count);

    SensorModel m_model;
    RequestLog m_log;
    FaultSettings m_faults;
    Clock m_clock;
    std::mt19937 m_random;
    QByteArray m_buffer;
    int m_requestCount = 0;
    int m_answeredCount = 0;
    bool m_unplugged = false;
};

} // namespace QuxSim
