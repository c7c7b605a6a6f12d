#include "qtproperty.h"

#include "propertybrowserlog_p.h"

class QtPropertyPrivate
{
public:
    QtAbstractPropertyManager *manager = nullptr;
    QString name;
    QString id;
    QString toolTip;
    QString statusTip;
    QString whatsThis;
    bool enabled = true;
    bool modified = false;
    QList<QtProperty *> subProperties;
    // A property may appear below several parents; each keeps it in its list.
    QList<QtProperty *> parents;
};

class QtAbstractPropertyManagerPrivate
{
public:
    QSet<QtProperty *> properties;
};

QtProperty::QtProperty(QtAbstractPropertyManager *manager)
    : d(new QtPropertyPrivate)
{
    d->manager = manager;
}

QtProperty::~QtProperty()
{
    // Browsers and editor factories let go first, while the property is still complete.
    QtAbstractPropertyManager *manager = d->manager;
    if (manager)
        emit manager->propertyDestroyed(this);

    const QList<QtProperty *> parents = d->parents;
    for (QtProperty *parent : parents)
        parent->removeSubProperty(this);
    for (QtProperty *sub : qAsConst(d->subProperties))
        sub->d->parents.removeAll(this);
    d->subProperties.clear();

    if (manager) {
        manager->uninitializeProperty(this);
        manager->d->properties.remove(this);
    }
}

QList<QtProperty *> QtProperty::subProperties() const
{
    return d->subProperties;
}

QtAbstractPropertyManager *QtProperty::propertyManager() const
{
    return d->manager;
}

QString QtProperty::toolTip() const
{
    return d->toolTip;
}

QString QtProperty::statusTip() const
{
    return d->statusTip;
}

QString QtProperty::whatsThis() const
{
    return d->whatsThis;
}

QString QtProperty::propertyName() const
{
    return d->name;
}

QString QtProperty::propertyId() const
{
    return d->id;
}

bool QtProperty::isEnabled() const
{
    return d->enabled;
}

bool QtProperty::isModified() const
{
    return d->modified;
}

bool QtProperty::hasValue() const
{
    return d->manager && d->manager->hasValue(this);
}

QIcon QtProperty::valueIcon() const
{
    return d->manager ? d->manager->valueIcon(this) : QIcon();
}

QString QtProperty::valueText() const
{
    return d->manager ? d->manager->valueText(this) : QString();
}

void QtProperty::setToolTip(const QString &text)
{
    if (d->toolTip == text)
        return;
    d->toolTip = text;
    propertyChanged();
}

void QtProperty::setStatusTip(const QString &text)
{
    if (d->statusTip == text)
        return;
    d->statusTip = text;
    propertyChanged();
}

void QtProperty::setWhatsThis(const QString &text)
{
    if (d->whatsThis == text)
        return;
    d->whatsThis = text;
    propertyChanged();
}

void QtProperty::setPropertyName(const QString &text)
{
    if (d->name == text)
        return;
    d->name = text;
    propertyChanged();
}

void QtProperty::setPropertyId(const QString &id)
{
    // The id is not shown, so nobody needs to hear about it.
    d->id = id;
}

void QtProperty::setEnabled(bool enable)
{
    if (d->enabled == enable)
        return;
    d->enabled = enable;
    propertyChanged();
}

void QtProperty::setModified(bool modified)
{
    if (d->modified == modified)
        return;
    d->modified = modified;
    propertyChanged();
}

void QtProperty::addSubProperty(QtProperty *property)
{
    insertSubProperty(property, d->subProperties.isEmpty() ? nullptr : d->subProperties.last());
}

void QtProperty::insertSubProperty(QtProperty *property, QtProperty *afterProperty)
{
    if (!property || property == this || d->subProperties.contains(property))
        return;

    // A property below itself would make every walk over the tree endless.
    QList<QtProperty *> pending = property->d->subProperties;
    while (!pending.isEmpty()) {
        QtProperty *candidate = pending.takeLast();
        if (candidate == this) {
            qCWarning(lcPropertyBrowser) << "Refusing to insert" << property->propertyName()
                                         << "below its own descendant" << propertyName();
            return;
        }
        pending += candidate->d->subProperties;
    }

    const int index = afterProperty ? d->subProperties.indexOf(afterProperty) + 1 : 0;
    QtProperty *properAfter = index > 0 ? d->subProperties.at(index - 1) : nullptr;
    d->subProperties.insert(index, property);
    property->d->parents.append(this);
    if (d->manager)
        emit d->manager->propertyInserted(property, this, properAfter);
}

void QtProperty::removeSubProperty(QtProperty *property)
{
    const int index = d->subProperties.indexOf(property);
    if (index < 0)
        return;
    d->subProperties.removeAt(index);
    property->d->parents.removeOne(this);
    if (d->manager)
        emit d->manager->propertyRemoved(property, this);
}

void QtProperty::propertyChanged()
{
    if (d->manager)
        emit d->manager->propertyChanged(this);
}

QtAbstractPropertyManager::QtAbstractPropertyManager(QObject *parent)
    : QObject(parent)
    , d(new QtAbstractPropertyManagerPrivate)
{
}

QtAbstractPropertyManager::~QtAbstractPropertyManager()
{
    clear();
}

QSet<QtProperty *> QtAbstractPropertyManager::properties() const
{
    return d->properties;
}

void QtAbstractPropertyManager::clear() const
{
    // Each property removes itself from the set while it is destroyed.
    while (!d->properties.isEmpty())
        delete *d->properties.cbegin();
}

QtProperty *QtAbstractPropertyManager::addProperty(const QString &name)
{
    QtProperty *property = createProperty();
    if (!property)
        return nullptr;
    property->d->name = name;
    d->properties.insert(property);
    initializeProperty(property);
    return property;
}

bool QtAbstractPropertyManager::hasValue(const QtProperty *) const
{
    return true;
}

QIcon QtAbstractPropertyManager::valueIcon(const QtProperty *) const
{
    return QIcon();
}

QString QtAbstractPropertyManager::valueText(const QtProperty *) const
{
    return QString();
}

void QtAbstractPropertyManager::uninitializeProperty(QtProperty *) { }

QtProperty *QtAbstractPropertyManager::createProperty()
{
    return new QtProperty(this);
}
