#pragma once

#include "quxsim_global.h"
#include "simclock.h"

#include <random>

namespace QuxSim {

// The measured object's temperature in degrees Celsius. It moves from its current value towards
// the target at `ramp` degrees per second (0: it jumps there at once), and every reading adds
// normally distributed noise with the given standard deviation (0: none), drawn from a seeded
// generator so that runs repeat exactly.
class QUXSIM_EXPORT TemperatureProcess
{
public:
    explicit TemperatureProcess(Clock clock = systemClock(), quint32 seed = 1);

    void setClock(Clock clock);
    void setSeed(quint32 seed);

    // Sets the current value (and the target, so that the value stays there).
    void setTemperature(double celsius);
    void setTarget(double celsius);
    void setRamp(double celsiusPerSecond);
    void setNoise(double standardDeviation);

    double target() const { return m_target; }
    double ramp() const { return m_ramp; }
    double noise() const { return m_noise; }

    // The value now, without noise.
    double trueValue();
    // The value now, with noise: what the sensor measures.
    double measure();

private:
    void advance();

    Clock m_clock;
    std::mt19937 m_random;
    qint64 m_lastTime = 0;
    double m_value = 25.0;
    double m_target = 25.0;
    double m_ramp = 0.0;
    double m_noise = 0.0;
};

} // namespace QuxSim
