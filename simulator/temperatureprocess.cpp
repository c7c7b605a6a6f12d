#include "temperatureprocess.h"

#include <cmath>

namespace QuxSim {

TemperatureProcess::TemperatureProcess(Clock clock, quint32 seed)
    : m_clock(std::move(clock))
    , m_random(seed)
{
    m_lastTime = m_clock();
}

void TemperatureProcess::setClock(Clock clock)
{
    advance();
    m_clock = std::move(clock);
    m_lastTime = m_clock();
}

void TemperatureProcess::setSeed(quint32 seed)
{
    m_random.seed(seed);
}

void TemperatureProcess::setTemperature(double celsius)
{
    m_lastTime = m_clock();
    m_value = celsius;
    m_target = celsius;
}

void TemperatureProcess::setTarget(double celsius)
{
    advance();
    m_target = celsius;
}

void TemperatureProcess::setRamp(double celsiusPerSecond)
{
    advance();
    m_ramp = std::abs(celsiusPerSecond);
}

void TemperatureProcess::setNoise(double standardDeviation)
{
    m_noise = std::abs(standardDeviation);
}

void TemperatureProcess::advance()
{
    const qint64 now = m_clock();
    const double seconds = double(now - m_lastTime) / 1000.0;
    m_lastTime = now;
    if (m_ramp <= 0.0) {
        m_value = m_target;
        return;
    }
    const double step = m_ramp * std::max(0.0, seconds);
    if (std::abs(m_target - m_value) <= step)
        m_value = m_target;
    else
        m_value += m_target > m_value ? step : -step;
}

double TemperatureProcess::trueValue()
{
    advance();
    return m_value;
}

double TemperatureProcess::measure()
{
    advance();
    if (m_noise <= 0.0)
        return m_value;
    std::normal_distribution<double> distribution(0.0, m_noise);
    return m_value + distribution(m_random);
}

} // namespace QuxSim
