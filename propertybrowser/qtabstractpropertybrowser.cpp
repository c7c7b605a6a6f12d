#include "qtpropertybrowser.h"

#include "propertybrowserlog_p.h"

#include <QtCore/QHash>
#include <QtCore/QMap>
#include <QtCore/QPair>

class QtBrowserItemPrivate
{
public:
    QtAbstractPropertyBrowser *browser = nullptr;
    QtProperty *property = nullptr;
    QtBrowserItem *parent = nullptr;
    QList<QtBrowserItem *> children;
};

QtBrowserItem::QtBrowserItem(QtAbstractPropertyBrowser *browser, QtProperty *property,
                             QtBrowserItem *parent)
    : d(new QtBrowserItemPrivate)
{
    d->browser = browser;
    d->property = property;
    d->parent = parent;
}

QtBrowserItem::~QtBrowserItem() = default;

QtProperty *QtBrowserItem::property() const
{
    return d->property;
}

QtBrowserItem *QtBrowserItem::parent() const
{
    return d->parent;
}

QList<QtBrowserItem *> QtBrowserItem::children() const
{
    return d->children;
}

QtAbstractPropertyBrowser *QtBrowserItem::browser() const
{
    return d->browser;
}

namespace {

// How many browsers bind a factory to a manager: the factory keeps the manager until the last
// of them lets go.
using Binding = QPair<QtAbstractPropertyManager *, QtAbstractEditorFactoryBase *>;

QMap<Binding, int> &bindingCounts()
{
    static QMap<Binding, int> counts;
    return counts;
}

} // namespace

class QtAbstractPropertyBrowserPrivate
{
public:
    explicit QtAbstractPropertyBrowserPrivate(QtAbstractPropertyBrowser *browser)
        : q(browser)
    {
    }

    QtBrowserItem *createItem(QtProperty *property, QtBrowserItem *parent, QtBrowserItem *after);
    void removeItem(QtBrowserItem *item, bool notify);
    void watchManager(QtAbstractPropertyManager *manager);
    void releaseBinding(QtAbstractPropertyManager *manager, bool breakConnection);

    void propertyInserted(QtProperty *property, QtProperty *parent, QtProperty *after);
    void propertyRemoved(QtProperty *property, QtProperty *parent);
    void propertyDestroyed(QtProperty *property);
    void propertyChanged(QtProperty *property);

    static QtBrowserItem *childFor(QtBrowserItem *parent, QtProperty *property);

    QtAbstractPropertyBrowser *q;
    QList<QtProperty *> topProperties;
    QList<QtBrowserItem *> topItems;
    QHash<QtProperty *, QList<QtBrowserItem *>> propertyToItems;
    QHash<QtAbstractPropertyManager *, QtAbstractEditorFactoryBase *> factories;
    QSet<QtAbstractPropertyManager *> watchedManagers;
    QSet<QtAbstractEditorFactoryBase *> watchedFactories;
    QtBrowserItem *currentItem = nullptr;
};

QtBrowserItem *QtAbstractPropertyBrowserPrivate::childFor(QtBrowserItem *parent,
                                                          QtProperty *property)
{
    if (!parent || !property)
        return nullptr;
    for (QtBrowserItem *child : qAsConst(parent->d->children)) {
        if (child->property() == property)
            return child;
    }
    return nullptr;
}

QtBrowserItem *QtAbstractPropertyBrowserPrivate::createItem(QtProperty *property,
                                                            QtBrowserItem *parent,
                                                            QtBrowserItem *after)
{
    auto *item = new QtBrowserItem(q, property, parent);
    QList<QtBrowserItem *> &siblings = parent ? parent->d->children : topItems;
    siblings.insert(after ? siblings.indexOf(after) + 1 : 0, item);
    propertyToItems[property].append(item);
    watchManager(property->propertyManager());
    q->itemInserted(item, after);

    QtBrowserItem *previous = nullptr;
    const QList<QtProperty *> subProperties = property->subProperties();
    for (QtProperty *sub : subProperties)
        previous = createItem(sub, item, previous);
    return item;
}

void QtAbstractPropertyBrowserPrivate::removeItem(QtBrowserItem *item, bool notify)
{
    // Deepest first, so that a view never holds a row whose parent row is already gone.
    while (!item->d->children.isEmpty())
        removeItem(item->d->children.last(), notify);

    if (currentItem == item) {
        currentItem = nullptr;
        if (notify)
            emit q->currentItemChanged(nullptr);
    }
    if (notify)
        q->itemRemoved(item);

    QList<QtBrowserItem *> &siblings = item->d->parent ? item->d->parent->d->children : topItems;
    siblings.removeOne(item);
    auto it = propertyToItems.find(item->property());
    if (it != propertyToItems.end()) {
        it->removeOne(item);
        if (it->isEmpty())
            propertyToItems.erase(it);
    }
    delete item;
}

void QtAbstractPropertyBrowserPrivate::watchManager(QtAbstractPropertyManager *manager)
{
    if (!manager || watchedManagers.contains(manager))
        return;
    watchedManagers.insert(manager);
    QObject::connect(manager, &QtAbstractPropertyManager::propertyInserted, q,
                     [this](QtProperty *property, QtProperty *parent, QtProperty *after) {
                         propertyInserted(property, parent, after);
                     });
    QObject::connect(
        manager, &QtAbstractPropertyManager::propertyRemoved, q,
        [this](QtProperty *property, QtProperty *parent) { propertyRemoved(property, parent); });
    QObject::connect(manager, &QtAbstractPropertyManager::propertyDestroyed, q,
                     [this](QtProperty *property) { propertyDestroyed(property); });
    QObject::connect(manager, &QtAbstractPropertyManager::propertyChanged, q,
                     [this](QtProperty *property) { propertyChanged(property); });
    // By the time QObject announces the end, the manager has deleted all its properties.
    QObject::connect(manager, &QObject::destroyed, q, [this, manager] {
        watchedManagers.remove(manager);
        releaseBinding(manager, false);
    });
}

void QtAbstractPropertyBrowserPrivate::releaseBinding(QtAbstractPropertyManager *manager,
                                                      bool breakConnection)
{
    QtAbstractEditorFactoryBase *factory = factories.take(manager);
    if (!factory)
        return;
    auto it = bindingCounts().find(qMakePair(manager, factory));
    if (it == bindingCounts().end())
        return;
    if (--*it > 0)
        return;
    bindingCounts().erase(it);
    if (breakConnection)
        factory->breakConnection(manager);
}

void QtAbstractPropertyBrowserPrivate::propertyInserted(QtProperty *property, QtProperty *parent,
                                                        QtProperty *after)
{
    const QList<QtBrowserItem *> parentItems = propertyToItems.value(parent);
    for (QtBrowserItem *parentItem : parentItems)
        createItem(property, parentItem, childFor(parentItem, after));
}

void QtAbstractPropertyBrowserPrivate::propertyRemoved(QtProperty *property, QtProperty *parent)
{
    const QList<QtBrowserItem *> parentItems = propertyToItems.value(parent);
    for (QtBrowserItem *parentItem : parentItems) {
        if (QtBrowserItem *item = childFor(parentItem, property))
            removeItem(item, true);
    }
}

void QtAbstractPropertyBrowserPrivate::propertyDestroyed(QtProperty *property)
{
    // Rows below parents go when the dying property detaches itself from them.
    q->removeProperty(property);
}

void QtAbstractPropertyBrowserPrivate::propertyChanged(QtProperty *property)
{
    const QList<QtBrowserItem *> items = propertyToItems.value(property);
    for (QtBrowserItem *item : items)
        q->itemChanged(item);
}

QtAbstractPropertyBrowser::QtAbstractPropertyBrowser(QWidget *parent)
    : QWidget(parent)
    , d(new QtAbstractPropertyBrowserPrivate(this))
{
}

QtAbstractPropertyBrowser::~QtAbstractPropertyBrowser()
{
    // The view part is gone already; only the bookkeeping is left to drop.
    while (!d->topItems.isEmpty())
        d->removeItem(d->topItems.last(), false);
    const QList<QtAbstractPropertyManager *> managers = d->factories.keys();
    for (QtAbstractPropertyManager *manager : managers)
        d->releaseBinding(manager, true);
}

QList<QtProperty *> QtAbstractPropertyBrowser::properties() const
{
    return d->topProperties;
}

QList<QtBrowserItem *> QtAbstractPropertyBrowser::items(QtProperty *property) const
{
    return d->propertyToItems.value(property);
}

QtBrowserItem *QtAbstractPropertyBrowser::topLevelItem(QtProperty *property) const
{
    const int index = d->topProperties.indexOf(property);
    return index < 0 ? nullptr : d->topItems.at(index);
}

QList<QtBrowserItem *> QtAbstractPropertyBrowser::topLevelItems() const
{
    return d->topItems;
}

void QtAbstractPropertyBrowser::clear()
{
    while (!d->topProperties.isEmpty())
        removeProperty(d->topProperties.last());
}

void QtAbstractPropertyBrowser::unsetFactoryForManager(QtAbstractPropertyManager *manager)
{
    d->releaseBinding(manager, true);
}

QtBrowserItem *QtAbstractPropertyBrowser::currentItem() const
{
    return d->currentItem;
}

void QtAbstractPropertyBrowser::setCurrentItem(QtBrowserItem *item)
{
    if (item && item->browser() != this)
        return;
    if (d->currentItem == item)
        return;
    d->currentItem = item;
    emit currentItemChanged(item);
}

QtBrowserItem *QtAbstractPropertyBrowser::addProperty(QtProperty *property)
{
    return insertProperty(property, d->topProperties.isEmpty() ? nullptr : d->topProperties.last());
}

QtBrowserItem *QtAbstractPropertyBrowser::insertProperty(QtProperty *property,
                                                         QtProperty *afterProperty)
{
    if (!property || d->topProperties.contains(property))
        return nullptr;
    const int index = afterProperty ? d->topProperties.indexOf(afterProperty) + 1 : 0;
    QtBrowserItem *afterItem = index > 0 ? d->topItems.at(index - 1) : nullptr;
    d->topProperties.insert(index, property);
    return d->createItem(property, nullptr, afterItem);
}

void QtAbstractPropertyBrowser::removeProperty(QtProperty *property)
{
    const int index = d->topProperties.indexOf(property);
    if (index < 0)
        return;
    d->topProperties.removeAt(index);
    d->removeItem(d->topItems.at(index), true);
}

QWidget *QtAbstractPropertyBrowser::createEditor(QtProperty *property, QWidget *parent)
{
    if (!property)
        return nullptr;
    QtAbstractEditorFactoryBase *factory = d->factories.value(property->propertyManager());
    return factory ? factory->createEditor(property, parent) : nullptr;
}

bool QtAbstractPropertyBrowser::bindFactory(QtAbstractPropertyManager *manager,
                                            QtAbstractEditorFactoryBase *factory)
{
    if (!manager || !factory || d->factories.value(manager) == factory)
        return false;
    d->releaseBinding(manager, true);
    qCDebug(lcPropertyBrowser) << "Editors for" << manager->metaObject()->className() << "come from"
                               << factory->metaObject()->className();
    d->factories.insert(manager, factory);
    ++bindingCounts()[qMakePair(manager, factory)];
    d->watchManager(manager);
    if (!d->watchedFactories.contains(factory)) {
        d->watchedFactories.insert(factory);
        connect(factory, &QObject::destroyed, this, [this, factory] {
            d->watchedFactories.remove(factory);
            const QList<QtAbstractPropertyManager *> managers = d->factories.keys(factory);
            for (QtAbstractPropertyManager *manager : managers)
                d->releaseBinding(manager, false);
        });
    }
    return true;
}

QtAbstractEditorFactoryBase::QtAbstractEditorFactoryBase(QObject *parent)
    : QObject(parent)
{
}
