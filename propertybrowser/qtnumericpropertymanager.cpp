#include "qtnumericpropertymanager_p.h"
#include "qtpropertymanager.h"

#include <QtCore/QLocale>

using namespace PropertyBrowser::Internal;

// Both managers keep their properties in NumericManagerPrivate; what is left here is what
// differs between them: the value text, and the decimals of the double manager.

// Int

class QtIntPropertyManagerPrivate : public NumericManagerPrivate<int, QtIntPropertyManager>
{
public:
    using NumericManagerPrivate::NumericManagerPrivate;
};

QtIntPropertyManager::QtIntPropertyManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
    , d(new QtIntPropertyManagerPrivate(this))
{
}

QtIntPropertyManager::~QtIntPropertyManager()
{
    clear();
}

int QtIntPropertyManager::value(const QtProperty *property) const
{
    return d->data(property).value;
}

int QtIntPropertyManager::minimum(const QtProperty *property) const
{
    return d->data(property).minimum;
}

int QtIntPropertyManager::maximum(const QtProperty *property) const
{
    return d->data(property).maximum;
}

int QtIntPropertyManager::singleStep(const QtProperty *property) const
{
    return d->data(property).singleStep;
}

void QtIntPropertyManager::setValue(QtProperty *property, int val)
{
    d->setValue(property, val);
}

void QtIntPropertyManager::setMinimum(QtProperty *property, int minVal)
{
    d->setMinimum(property, minVal);
}

void QtIntPropertyManager::setMaximum(QtProperty *property, int maxVal)
{
    d->setMaximum(property, maxVal);
}

void QtIntPropertyManager::setRange(QtProperty *property, int minVal, int maxVal)
{
    d->setRange(property, minVal, maxVal);
}

void QtIntPropertyManager::setSingleStep(QtProperty *property, int step)
{
    d->setSingleStep(property, step);
}

QString QtIntPropertyManager::valueText(const QtProperty *property) const
{
    const auto data = d->find(property);
    return data ? QString::number(data->value) : QString();
}

void QtIntPropertyManager::initializeProperty(QtProperty *property)
{
    d->initialize(property);
}

void QtIntPropertyManager::uninitializeProperty(QtProperty *property)
{
    d->uninitialize(property);
}

// Double

class QtDoublePropertyManagerPrivate : public NumericManagerPrivate<double, QtDoublePropertyManager>
{
public:
    using NumericManagerPrivate::NumericManagerPrivate;
};

QtDoublePropertyManager::QtDoublePropertyManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
    , d(new QtDoublePropertyManagerPrivate(this))
{
}

QtDoublePropertyManager::~QtDoublePropertyManager()
{
    clear();
}

double QtDoublePropertyManager::value(const QtProperty *property) const
{
    return d->data(property).value;
}

double QtDoublePropertyManager::minimum(const QtProperty *property) const
{
    return d->data(property).minimum;
}

double QtDoublePropertyManager::maximum(const QtProperty *property) const
{
    return d->data(property).maximum;
}

double QtDoublePropertyManager::singleStep(const QtProperty *property) const
{
    return d->data(property).singleStep;
}

int QtDoublePropertyManager::decimals(const QtProperty *property) const
{
    return d->data(property).decimals;
}

void QtDoublePropertyManager::setValue(QtProperty *property, double val)
{
    d->setValue(property, val);
}

void QtDoublePropertyManager::setMinimum(QtProperty *property, double minVal)
{
    d->setMinimum(property, minVal);
}

void QtDoublePropertyManager::setMaximum(QtProperty *property, double maxVal)
{
    d->setMaximum(property, maxVal);
}

void QtDoublePropertyManager::setRange(QtProperty *property, double minVal, double maxVal)
{
    d->setRange(property, minVal, maxVal);
}

void QtDoublePropertyManager::setSingleStep(QtProperty *property, double step)
{
    d->setSingleStep(property, step);
}

void QtDoublePropertyManager::setDecimals(QtProperty *property, int prec)
{
    const auto data = d->find(property);
    if (!data)
        return;
    // The double spin box cannot show more than that reliably.
    prec = qBound(0, prec, 13);
    if (data->decimals == prec)
        return;
    data->decimals = prec;
    emit decimalsChanged(property, prec);
    emit propertyChanged(property);
}

QString QtDoublePropertyManager::valueText(const QtProperty *property) const
{
    const auto data = d->find(property);
    return data ? QLocale().toString(data->value, 'f', data->decimals) : QString();
}

void QtDoublePropertyManager::initializeProperty(QtProperty *property)
{
    d->initialize(property);
}

void QtDoublePropertyManager::uninitializeProperty(QtProperty *property)
{
    d->uninitialize(property);
}
