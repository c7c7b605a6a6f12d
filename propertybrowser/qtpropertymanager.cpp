#include "qtpropertymanager.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QHash>
#include <QtGui/QPainter>
#include <QtGui/QPixmap>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleOptionButton>

namespace {

// The value column of a bool row looks like a check box even while no editor is open.
QPixmap checkBoxPixmap(QStyle *style, bool checked, bool enabled)
{
    QStyleOptionButton option;
    option.state = checked ? QStyle::State_On : QStyle::State_Off;
    if (enabled)
        option.state |= QStyle::State_Enabled;
    const int width = style->pixelMetric(QStyle::PM_IndicatorWidth, &option);
    const int height = style->pixelMetric(QStyle::PM_IndicatorHeight, &option);
    option.rect = QRect(0, 0, width, height);
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter);
    return pixmap;
}

QIcon checkBoxIcon(bool checked)
{
    // Managers may live in a program without widgets; there is no style to draw with then.
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return QIcon();
    QStyle *style = QApplication::style();
    QIcon icon;
    icon.addPixmap(checkBoxPixmap(style, checked, true), QIcon::Normal);
    icon.addPixmap(checkBoxPixmap(style, checked, false), QIcon::Disabled);
    return icon;
}

} // namespace

// Group

QtGroupPropertyManager::QtGroupPropertyManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
{
}

QtGroupPropertyManager::~QtGroupPropertyManager()
{
    clear();
}

bool QtGroupPropertyManager::hasValue(const QtProperty *) const
{
    return false;
}

void QtGroupPropertyManager::initializeProperty(QtProperty *) { }

// Bool

class QtBoolPropertyManagerPrivate
{
public:
    struct Data
    {
        bool value = false;
        QString falseText;
        QString trueText;
    };
    QHash<const QtProperty *, Data> values;
};

QtBoolPropertyManager::QtBoolPropertyManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
    , d(new QtBoolPropertyManagerPrivate)
{
}

QtBoolPropertyManager::~QtBoolPropertyManager()
{
    clear();
}

bool QtBoolPropertyManager::value(const QtProperty *property) const
{
    return d->values.value(property).value;
}

QString QtBoolPropertyManager::falseText(const QtProperty *property) const
{
    return d->values.value(property).falseText;
}

QString QtBoolPropertyManager::trueText(const QtProperty *property) const
{
    return d->values.value(property).trueText;
}

void QtBoolPropertyManager::setValue(QtProperty *property, bool val)
{
    const auto it = d->values.find(property);
    if (it == d->values.end())
        return;
    setValue(property, val, it->falseText, it->trueText);
}

void QtBoolPropertyManager::setValue(QtProperty *property, bool val, const QString &falseText,
                                     const QString &trueText)
{
    const auto it = d->values.find(property);
    if (it == d->values.end())
        return;
    const bool valueChanges = it->value != val;
    if (!valueChanges && it->falseText == falseText && it->trueText == trueText)
        return;
    it->value = val;
    it->falseText = falseText;
    it->trueText = trueText;
    emit propertyChanged(property);
    if (valueChanges)
        emit valueChanged(property, val);
}

QString QtBoolPropertyManager::valueText(const QtProperty *property) const
{
    const auto it = d->values.constFind(property);
    if (it == d->values.cend())
        return QString();
    if (it->value)
        return it->trueText.isEmpty() ? tr("True") : it->trueText;
    return it->falseText.isEmpty() ? tr("False") : it->falseText;
}

QIcon QtBoolPropertyManager::valueIcon(const QtProperty *property) const
{
    const auto it = d->values.constFind(property);
    if (it == d->values.cend())
        return QIcon();
    return checkBoxIcon(it->value);
}

void QtBoolPropertyManager::initializeProperty(QtProperty *property)
{
    d->values.insert(property, {});
}

void QtBoolPropertyManager::uninitializeProperty(QtProperty *property)
{
    d->values.remove(property);
}

// String

class QtStringPropertyManagerPrivate
{
public:
    QHash<const QtProperty *, QString> values;
};

QtStringPropertyManager::QtStringPropertyManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
    , d(new QtStringPropertyManagerPrivate)
{
}

QtStringPropertyManager::~QtStringPropertyManager()
{
    clear();
}

QString QtStringPropertyManager::value(const QtProperty *property) const
{
    return d->values.value(property);
}

void QtStringPropertyManager::setValue(QtProperty *property, const QString &val)
{
    const auto it = d->values.find(property);
    if (it == d->values.end() || *it == val)
        return;
    *it = val;
    emit propertyChanged(property);
    emit valueChanged(property, val);
}

QString QtStringPropertyManager::valueText(const QtProperty *property) const
{
    return value(property);
}

void QtStringPropertyManager::initializeProperty(QtProperty *property)
{
    d->values.insert(property, QString());
}

void QtStringPropertyManager::uninitializeProperty(QtProperty *property)
{
    d->values.remove(property);
}

// Enum

class QtEnumPropertyManagerPrivate
{
public:
    struct Data
    {
        int value = -1;
        QStringList names;
    };
    QHash<const QtProperty *, Data> values;
};

QtEnumPropertyManager::QtEnumPropertyManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
    , d(new QtEnumPropertyManagerPrivate)
{
}

QtEnumPropertyManager::~QtEnumPropertyManager()
{
    clear();
}

int QtEnumPropertyManager::value(const QtProperty *property) const
{
    return d->values.value(property).value;
}

QStringList QtEnumPropertyManager::enumNames(const QtProperty *property) const
{
    return d->values.value(property).names;
}

void QtEnumPropertyManager::setValue(QtProperty *property, int val)
{
    const auto it = d->values.find(property);
    if (it == d->values.end() || val < 0 || val >= it->names.size() || it->value == val)
        return;
    it->value = val;
    emit propertyChanged(property);
    emit valueChanged(property, val);
}

void QtEnumPropertyManager::setEnumNames(QtProperty *property, const QStringList &names)
{
    const auto it = d->values.find(property);
    if (it == d->values.end() || it->names == names)
        return;
    const int oldValue = it->value;
    it->names = names;
    it->value = names.isEmpty() ? -1 : qBound(0, oldValue, names.size() - 1);
    const int newValue = it->value;
    emit enumNamesChanged(property, names);
    emit propertyChanged(property);
    if (newValue != oldValue)
        emit valueChanged(property, newValue);
}

QString QtEnumPropertyManager::valueText(const QtProperty *property) const
{
    const auto it = d->values.constFind(property);
    if (it == d->values.cend())
        return QString();
    return it->names.value(it->value);
}

void QtEnumPropertyManager::initializeProperty(QtProperty *property)
{
    d->values.insert(property, {});
}

void QtEnumPropertyManager::uninitializeProperty(QtProperty *property)
{
    d->values.remove(property);
}
