#pragma once

#include "qtpropertybrowser.h"

#include <QtCore/QHash>

#include <limits>

namespace PropertyBrowser::Internal {

// One property of a numeric manager: a value kept inside a range that is never empty.
template<class Value> struct NumericPropertyData
{
    Value value = 0;
    Value minimum = std::numeric_limits<Value>::lowest();
    Value maximum = std::numeric_limits<Value>::max();
    Value singleStep = 1;
    int decimals = 2; // read by the double manager only

    Value bounded(Value val) const { return qBound(minimum, val, maximum); }
};

// What the int and double managers share: the storage of their properties and the rules by
// which value, range and step change. Manager is the public class whose signals are emitted;
// every signal goes out only when something really changed, propertyChanged() before
// valueChanged() so that views are up to date when value listeners run.
template<class Value, class Manager> class NumericManagerPrivate
{
public:
    using Data = NumericPropertyData<Value>;

    explicit NumericManagerPrivate(Manager *manager)
        : m_manager(manager)
    {
    }

    // A copy with the defaults for a property this manager does not know.
    Data data(const QtProperty *property) const { return m_values.value(property); }

    // Null for a property this manager does not know.
    Data *find(const QtProperty *property)
    {
        const auto it = m_values.find(property);
        return it == m_values.end() ? nullptr : &it.value();
    }

    const Data *find(const QtProperty *property) const
    {
        const auto it = m_values.constFind(property);
        return it == m_values.cend() ? nullptr : &it.value();
    }

    void initialize(const QtProperty *property) { m_values.insert(property, Data()); }
    void uninitialize(const QtProperty *property) { m_values.remove(property); }

    void setValue(QtProperty *property, Value val)
    {
        Data *data = find(property);
        if (!data)
            return;
        val = data->bounded(val);
        if (data->value == val)
            return;
        data->value = val;
        emit m_manager->propertyChanged(property);
        emit m_manager->valueChanged(property, val);
    }

    // A new minimum above the maximum takes the maximum along, and the other way round.
    void setMinimum(QtProperty *property, Value minVal)
    {
        if (Data *data = find(property))
            applyRange(property, *data, minVal, qMax(minVal, data->maximum));
    }

    void setMaximum(QtProperty *property, Value maxVal)
    {
        if (Data *data = find(property))
            applyRange(property, *data, qMin(maxVal, data->minimum), maxVal);
    }

    void setRange(QtProperty *property, Value minVal, Value maxVal)
    {
        Data *data = find(property);
        if (!data)
            return;
        if (minVal > maxVal)
            qSwap(minVal, maxVal);
        applyRange(property, *data, minVal, maxVal);
    }

    void setSingleStep(QtProperty *property, Value step)
    {
        Data *data = find(property);
        if (!data || step < 0 || data->singleStep == step)
            return;
        data->singleStep = step;
        emit m_manager->singleStepChanged(property, step);
    }

private:
    // The value follows the range; it is reported after the range when it had to move.
    void applyRange(QtProperty *property, Data &data, Value minVal, Value maxVal)
    {
        if (data.minimum == minVal && data.maximum == maxVal)
            return;
        const Value oldValue = data.value;
        data.minimum = minVal;
        data.maximum = maxVal;
        data.value = data.bounded(oldValue);
        const Value newValue = data.value;
        emit m_manager->rangeChanged(property, minVal, maxVal);
        if (newValue != oldValue) {
            emit m_manager->propertyChanged(property);
            emit m_manager->valueChanged(property, newValue);
        }
    }

    Manager *const m_manager;
    QHash<const QtProperty *, Data> m_values;
};

} // namespace PropertyBrowser::Internal
