#pragma once

#include "utils_global.h"

#include <QString>
#include <QVector>

namespace Utils {

// The thresholds of one output: a low and a high value per component.
class UTILS_EXPORT ThresholdsData
{
public:
    enum Component { Component1 = 1, Component2, Component3, Component4, Component5 };
    static constexpr int ComponentCount = 5;

    struct Value
    {
        double low = 0.0;
        double high = 0.0;
        bool lowEnabled = false;
        bool highEnabled = false;
    };

    Value values[ComponentCount];
};

// Threshold store for the outputs 1..outputs(). The two flags of setLow/setHigh are kept per
// value: the first says the value is enabled, the second that it is valid (read from or
// written to the device). Unknown outputs or components read as 0 and "0000".
class UTILS_EXPORT ThresholdDataManager
{
public:
    ThresholdDataManager() = default;

    void setOutputs(int count);
    int outputs() const;

    void setHigh(int output, int component, double value, bool enabled, bool valid);
    void setLow(int output, int component, double value, bool enabled, bool valid);
    double low(int output, int component) const;
    double high(int output, int component) const;
    bool isLowEnabled(int output, int component) const;
    bool isHighEnabled(int output, int component) const;

    // The low value in tenths, rounded, as a 16-bit two's complement number in four upper-case
    // hex digits (-25.0 gives "FF06"); values beyond 16 bits wrap.
    QString toHexString(int output, int component) const;

private:
    const ThresholdsData::Value *find(int output, int component) const;
    ThresholdsData::Value *find(int output, int component);

    QVector<ThresholdsData> m_outputs;
};

} // namespace Utils
