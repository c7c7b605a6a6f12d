#pragma once

#include "utils_global.h"

#include <QMetaType>
#include <QSharedDataPointer>

namespace Utils {

class ValueOverTimeData;

// The samples of a time chart: per sample the time (ms since the epoch), the left-axis value
// and the right-axis value, kept in three contiguous arrays so that the chart can hand them
// to drawing code and binary-search the times without copying.
//
// Appending is amortised constant time. The arrays grow geometrically; from 64 KiB on each
// lives in an anonymous mapping of its own that grows with mremap() (Linux), so growing never
// copies and the capacity reserved ahead, never written, costs no resident memory: 24 bytes
// per sample.
// Copies share the arrays until one of them is changed (implicit sharing).
class UTILS_EXPORT ValueOverTime
{
public:
    ValueOverTime();
    ValueOverTime(const ValueOverTime &other);
    ValueOverTime &operator=(const ValueOverTime &other);
    ~ValueOverTime();

    int size() const;
    bool isEmpty() const { return size() == 0; }

    const double *pxData() const; // times, ms since the epoch
    const double *pyData() const; // left-axis values
    const double *pyRightData() const; // right-axis values

    void append(double x, double y, double yRight);
    void clear();
    void reserve(int samples);
    int capacity() const;

    // Index of the first sample whose time is >= x (size() when none); the times must not
    // decrease, which the chart guarantees.
    int lowerBound(double x) const;

private:
    QSharedDataPointer<ValueOverTimeData> d;
};

} // namespace Utils

Q_DECLARE_METATYPE(Utils::ValueOverTime)
