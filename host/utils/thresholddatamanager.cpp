#include "thresholddatamanager.h"

#include <cmath>

namespace Utils {

void ThresholdDataManager::setOutputs(int count)
{
    m_outputs.resize(qMax(0, count));
}

int ThresholdDataManager::outputs() const
{
    return m_outputs.size();
}

const ThresholdsData::Value *ThresholdDataManager::find(int output, int component) const
{
    if (output < 1 || output > m_outputs.size() || component < ThresholdsData::Component1
        || component > ThresholdsData::Component5)
        return nullptr;
    return &m_outputs.at(output - 1).values[component - 1];
}

ThresholdsData::Value *ThresholdDataManager::find(int output, int component)
{
    if (output < 1 || output > m_outputs.size() || component < ThresholdsData::Component1
        || component > ThresholdsData::Component5)
        return nullptr;
    return &m_outputs[output - 1].values[component - 1];
}

void ThresholdDataManager::setHigh(int output, int component, double value, bool enabled,
                                   bool valid)
{
    if (ThresholdsData::Value *v = find(output, component)) {
        v->high = value;
        v->highEnabled = enabled && valid;
    }
}

void ThresholdDataManager::setLow(int output, int component, double value, bool enabled, bool valid)
{
    if (ThresholdsData::Value *v = find(output, component)) {
        v->low = value;
        v->lowEnabled = enabled && valid;
    }
}

double ThresholdDataManager::low(int output, int component) const
{
    const ThresholdsData::Value *v = find(output, component);
    return v ? v->low : 0.0;
}

double ThresholdDataManager::high(int output, int component) const
{
    const ThresholdsData::Value *v = find(output, component);
    return v ? v->high : 0.0;
}

bool ThresholdDataManager::isLowEnabled(int output, int component) const
{
    const ThresholdsData::Value *v = find(output, component);
    return v && v->lowEnabled;
}

bool ThresholdDataManager::isHighEnabled(int output, int component) const
{
    const ThresholdsData::Value *v = find(output, component);
    return v && v->highEnabled;
}

QString ThresholdDataManager::toHexString(int output, int component) const
{
    const double tenths = std::round(low(output, component) * 10.0);
    // Through a 64-bit integer so that out-of-range values wrap instead of being undefined.
    const qint64 wide = std::isfinite(tenths) ? qint64(qBound(-9.0e15, tenths, 9.0e15)) : 0;
    const quint16 word = quint16(quint64(wide) & 0xFFFFu);
    return QStringLiteral("%1").arg(word, 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace Utils
