#include "qtpropertymanager.h"

#include <QtCore/QHash>
#include <QtCore/QLocale>

#include <limits>

namespace {

// What the int and double managers share: a value kept inside a range that is never empty.
template<class Value> struct RangeData
{
    Value value = 0;
    Value minimum = std::numeric_limits<Value>::lowest();
    Value maximum = std::numeric_limits<Value>::max();
    Value singleStep = 1;
    int decimals = 2;

    Value bounded(Value val) const { return qBound(minimum, val, maximum); }
};

// Sets a new range on data and reports it; returns whether the value moved into the range.
template<class Value, class Manager>
void applyRange(Manager *manager, QtProperty *property, RangeData<Value> &data, Value minVal,
                Value maxVal)
{
    if (data.minimum == minVal && data.maximum == maxVal)
        return;
    const Value oldValue = data.value;
    data.minimum = minVal;
    data.maximum = maxVal;
    data.value = data.bounded(oldValue);
    const Value newValue = data.value;
    emit manager->rangeChanged(property, minVal, maxVal);
    if (newValue != oldValue) {
        emit manager->propertyChanged(property);
        emit manager->valueChanged(property, newValue);
    }
}

} // namespace

// Int

class QtIntPropertyManagerPrivate
{
public:
    QHash<const QtProperty *, RangeData<int>> values;
};

QtIntPropertyManager::QtIntPropertyManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
    , d(new QtIntPropertyManagerPrivate)
{
}

QtIntPropertyManager::~QtIntPropertyManager()
{
    clear();
}

int QtIntPropertyManager::value(const QtProperty *property) const
{
    return d->values.value(property).value;
}

int QtIntPropertyManager::minimum(const QtProperty *property) const
{
    return d->values.value(property).minimum;
}

int QtIntPropertyManager::maximum(const QtProperty *property) const
{
    return d->values.value(property).maximum;
}

int QtIntPropertyManager::singleStep(const QtProperty *property) const
{
    return d->values.value(property).singleStep;
}

void QtIntPropertyManager::setValue(QtProperty *property, int val)
{
    const auto it = d->values.find(property);
    if (it == d->values.end())
        return;
    val = it->bounded(val);
    if (it->value == val)
        return;
    it->value = val;
    emit propertyChanged(property);
    emit valueChanged(property, val);
}

void QtIntPropertyManager::setMinimum(QtProperty *property, int minVal)
{
    const auto it = d->values.find(property);
    if (it != d->values.end())
        applyRange(this, property, *it, minVal, qMax(minVal, it->maximum));
}

void QtIntPropertyManager::setMaximum(QtProperty *property, int maxVal)
{
    const auto it = d->values.find(property);
    if (it != d->values.end())
        applyRange(this, property, *it, qMin(maxVal, it->minimum), maxVal);
}

void QtIntPropertyManager::setRange(QtProperty *property, int minVal, int maxVal)
{
    const auto it = d->values.find(property);
    if (it == d->values.end())
        return;
    if (minVal > maxVal)
        qSwap(minVal, maxVal);
    applyRange(this, property, *it, minVal, maxVal);
}

void QtIntPropertyManager::setSingleStep(QtProperty *property, int step)
{
    const auto it = d->values.find(property);
    if (it == d->values.end() || step < 0 || it->singleStep == step)
        return;
    it->singleStep = step;
    emit singleStepChanged(property, step);
}

QString QtIntPropertyManager::valueText(const QtProperty *property) const
{
    const auto it = d->values.constFind(property);
    return it == d->values.cend() ? QString() : QString::number(it->value);
}

void QtIntPropertyManager::initializeProperty(QtProperty *property)
{
    d->values.insert(property, {});
}

void QtIntPropertyManager::uninitializeProperty(QtProperty *property)
{
    d->values.remove(property);
}

// Double

class QtDoublePropertyManagerPrivate
{
public:
    QHash<const QtProperty *, RangeData<double>> values;
};

QtDoublePropertyManager::QtDoublePropertyManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
    , d(new QtDoublePropertyManagerPrivate)
{
}

QtDoublePropertyManager::~QtDoublePropertyManager()
{
    clear();
}

double QtDoublePropertyManager::value(const QtProperty *property) const
{
    return d->values.value(property).value;
}

double QtDoublePropertyManager::minimum(const QtProperty *property) const
{
    return d->values.value(property).minimum;
}

double QtDoublePropertyManager::maximum(const QtProperty *property) const
{
    return d->values.value(property).maximum;
}

double QtDoublePropertyManager::singleStep(const QtProperty *property) const
{
    return d->values.value(property).singleStep;
}

int QtDoublePropertyManager::decimals(const QtProperty *property) const
{
    return d->values.value(property).decimals;
}

void QtDoublePropertyManager::setValue(QtProperty *property, double val)
{
    const auto it = d->values.find(property);
    if (it == d->values.end())
        return;
    val = it->bounded(val);
    if (it->value == val)
        return;
    it->value = val;
    emit propertyChanged(property);
    emit valueChanged(property, val);
}

void QtDoublePropertyManager::setMinimum(QtProperty *property, double minVal)
{
    const auto it = d->values.find(property);
    if (it != d->values.end())
        applyRange(this, property, *it, minVal, qMax(minVal, it->maximum));
}

void QtDoublePropertyManager::setMaximum(QtProperty *property, double maxVal)
{
    const auto it = d->values.find(property);
    if (it != d->values.end())
        applyRange(this, property, *it, qMin(maxVal, it->minimum), maxVal);
}

void QtDoublePropertyManager::setRange(QtProperty *property, double minVal, double maxVal)
{
    const auto it = d->values.find(property);
    if (it == d->values.end())
        return;
    if (minVal > maxVal)
        qSwap(minVal, maxVal);
    applyRange(this, property, *it, minVal, maxVal);
}

void QtDoublePropertyManager::setSingleStep(QtProperty *property, double step)
{
    const auto it = d->values.find(property);
    if (it == d->values.end() || step < 0 || it->singleStep == step)
        return;
    it->singleStep = step;
    emit singleStepChanged(property, step);
}

void QtDoublePropertyManager::setDecimals(QtProperty *property, int prec)
{
    const auto it = d->values.find(property);
    if (it == d->values.end())
        return;
    // The double spin box cannot show more than that reliably.
    prec = qBound(0, prec, 13);
    if (it->decimals == prec)
        return;
    it->decimals = prec;
    emit decimalsChanged(property, prec);
    emit propertyChanged(property);
}

QString QtDoublePropertyManager::valueText(const QtProperty *property) const
{
    const auto it = d->values.constFind(property);
    if (it == d->values.cend())
        return QString();
    return QLocale().toString(it->value, 'f', it->decimals);
}

void QtDoublePropertyManager::initializeProperty(QtProperty *property)
{
    d->values.insert(property, {});
}

void QtDoublePropertyManager::uninitializeProperty(QtProperty *property)
{
    d->values.remove(property);
}
