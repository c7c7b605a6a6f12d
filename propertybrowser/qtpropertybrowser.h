#pragma once

#include "propertybrowser_global.h"

#include <QtCore/QList>
#include <QtCore/QSet>
#include <QtGui/QIcon>
#include <QtWidgets/QWidget>

#include <memory>

class QtAbstractPropertyManager;
class QtAbstractPropertyBrowser;
class QtPropertyPrivate;
class QtAbstractPropertyManagerPrivate;
class QtBrowserItemPrivate;
class QtAbstractPropertyBrowserPrivate;

// One named, editable datum. Its value lives in the manager that created it; the property holds
// what every kind shares: name, text id, tool tip, enabled state and its sub-properties. A
// property may be the sub-property of several parents. Its manager deletes it (clear() or the
// manager's destruction); deleting it detaches it from all parents and removes it from browsers.
class PROPERTYBROWSER_EXPORT QtProperty
{
public:
    virtual ~QtProperty();

    QList<QtProperty *> subProperties() const;
    QtAbstractPropertyManager *propertyManager() const;

    QString toolTip() const;
    QString statusTip() const;
    QString whatsThis() const;
    QString propertyName() const;
    QString propertyId() const;
    bool isEnabled() const;
    bool isModified() const;

    bool hasValue() const;
    QIcon valueIcon() const;
    QString valueText() const;

    void setToolTip(const QString &text);
    void setStatusTip(const QString &text);
    void setWhatsThis(const QString &text);
    void setPropertyName(const QString &text);
    void setPropertyId(const QString &id);
    void setEnabled(bool enable);
    void setModified(bool modified);

    void addSubProperty(QtProperty *property);
    // Inserts after afterProperty; a null (or foreign) afterProperty inserts at the front.
    // A property that already is a sub-property, or that would create a cycle, is not inserted.
    void insertSubProperty(QtProperty *property, QtProperty *afterProperty);
    // Detaches only; the property stays alive and may be added elsewhere.
    void removeSubProperty(QtProperty *property);

protected:
    explicit QtProperty(QtAbstractPropertyManager *manager);
    // Tells the manager (and so every browser) that the name, tool tip or state changed.
    void propertyChanged();

private:
    Q_DISABLE_COPY(QtProperty)
    friend class QtAbstractPropertyManager;
    std::unique_ptr<QtPropertyPrivate> d;
};

// Creates properties of one kind and keeps their values. Derived managers call clear() in their
// own destructor so that uninitializeProperty() still reaches them.
class PROPERTYBROWSER_EXPORT QtAbstractPropertyManager : public QObject
{
    Q_OBJECT
public:
    explicit QtAbstractPropertyManager(QObject *parent = nullptr);
    ~QtAbstractPropertyManager() override;

    QSet<QtProperty *> properties() const;
    // Deletes every property of this manager.
    void clear() const;
    QtProperty *addProperty(const QString &name = QString());

signals:
    void propertyInserted(QtProperty *property, QtProperty *parent, QtProperty *after);
    void propertyChanged(QtProperty *property);
    void propertyRemoved(QtProperty *property, QtProperty *parent);
    void propertyDestroyed(QtProperty *property);

protected:
    virtual bool hasValue(const QtProperty *property) const;
    virtual QIcon valueIcon(const QtProperty *property) const;
    virtual QString valueText(const QtProperty *property) const;
    virtual void initializeProperty(QtProperty *property) = 0;
    virtual void uninitializeProperty(QtProperty *property);
    virtual QtProperty *createProperty();

private:
    friend class QtProperty;
    std::unique_ptr<QtAbstractPropertyManagerPrivate> d;
};

// Creates in-place editors for the properties of the managers it was given.
class PROPERTYBROWSER_EXPORT QtAbstractEditorFactoryBase : public QObject
{
    Q_OBJECT
public:
    virtual QWidget *createEditor(QtProperty *property, QWidget *parent) = 0;

protected:
    explicit QtAbstractEditorFactoryBase(QObject *parent = nullptr);
    // Forgets the manager (called when the last browser stops using this factory for it).
    virtual void breakConnection(QtAbstractPropertyManager *manager) = 0;

protected slots:
    virtual void managerDestroyed(QObject *manager) = 0;

private:
    friend class QtAbstractPropertyBrowserPrivate;
};

template<class PropertyManager> class QtAbstractEditorFactory : public QtAbstractEditorFactoryBase
{
public:
    explicit QtAbstractEditorFactory(QObject *parent = nullptr)
        : QtAbstractEditorFactoryBase(parent)
    {
    }

    QWidget *createEditor(QtProperty *property, QWidget *parent) override
    {
        if (PropertyManager *manager = propertyManager(property))
            return createEditor(manager, property, parent);
        return nullptr;
    }

    void addPropertyManager(PropertyManager *manager)
    {
        if (!manager || m_managers.contains(manager))
            return;
        m_managers.insert(manager);
        connectPropertyManager(manager);
        QObject::connect(manager, SIGNAL(destroyed(QObject *)), this,
                         SLOT(managerDestroyed(QObject *)));
    }

    void removePropertyManager(PropertyManager *manager)
    {
        if (!m_managers.remove(manager))
            return;
        QObject::disconnect(manager, SIGNAL(destroyed(QObject *)), this,
                            SLOT(managerDestroyed(QObject *)));
        disconnectPropertyManager(manager);
    }

    QSet<PropertyManager *> propertyManagers() const { return m_managers; }

    PropertyManager *propertyManager(QtProperty *property) const
    {
        if (!property)
            return nullptr;
        const QtAbstractPropertyManager *manager = property->propertyManager();
        for (PropertyManager *candidate : m_managers) {
            if (candidate == manager)
                return candidate;
        }
        return nullptr;
    }

protected:
    virtual void connectPropertyManager(PropertyManager *manager) = 0;
    virtual QWidget *createEditor(PropertyManager *manager, QtProperty *property, QWidget *parent)
        = 0;
    virtual void disconnectPropertyManager(PropertyManager *manager) = 0;

    void managerDestroyed(QObject *manager) override
    {
        // Only the address is compared: the manager is already half destroyed.
        for (auto it = m_managers.begin(); it != m_managers.end(); ++it) {
            if (static_cast<QObject *>(*it) == manager) {
                m_managers.erase(it);
                return;
            }
        }
    }

    void breakConnection(QtAbstractPropertyManager *manager) override
    {
        for (PropertyManager *candidate : m_managers) {
            if (candidate == manager) {
                removePropertyManager(candidate);
                return;
            }
        }
    }

private:
    QSet<PropertyManager *> m_managers;
};

// One appearance of a property in a browser; a property shown twice has two items.
class PROPERTYBROWSER_EXPORT QtBrowserItem
{
public:
    QtProperty *property() const;
    QtBrowserItem *parent() const;
    QList<QtBrowserItem *> children() const;
    QtAbstractPropertyBrowser *browser() const;

private:
    QtBrowserItem(QtAbstractPropertyBrowser *browser, QtProperty *property, QtBrowserItem *parent);
    ~QtBrowserItem();
    Q_DISABLE_COPY(QtBrowserItem)
    friend class QtAbstractPropertyBrowserPrivate;
    std::unique_ptr<QtBrowserItemPrivate> d;
};

// Shows top-level properties with all their sub-properties and keeps the shown structure in
// step with later insertions, removals and changes.
class PROPERTYBROWSER_EXPORT QtAbstractPropertyBrowser : public QWidget
{
    Q_OBJECT
public:
    explicit QtAbstractPropertyBrowser(QWidget *parent = nullptr);
    ~QtAbstractPropertyBrowser() override;

    QList<QtProperty *> properties() const;
    QList<QtBrowserItem *> items(QtProperty *property) const;
    QtBrowserItem *topLevelItem(QtProperty *property) const;
    QList<QtBrowserItem *> topLevelItems() const;
    void clear();

    template<class PropertyManager>
    void setFactoryForManager(PropertyManager *manager,
                              QtAbstractEditorFactory<PropertyManager> *factory)
    {
        if (bindFactory(manager, factory))
            factory->addPropertyManager(manager);
    }
    void unsetFactoryForManager(QtAbstractPropertyManager *manager);

    QtBrowserItem *currentItem() const;
    void setCurrentItem(QtBrowserItem *item);

signals:
    void currentItemChanged(QtBrowserItem *current);

public slots:
    QtBrowserItem *addProperty(QtProperty *property);
    // Returns null when the property already is a top-level property of this browser.
    QtBrowserItem *insertProperty(QtProperty *property, QtProperty *afterProperty);
    void removeProperty(QtProperty *property);

protected:
    virtual void itemInserted(QtBrowserItem *item, QtBrowserItem *afterItem) = 0;
    virtual void itemRemoved(QtBrowserItem *item) = 0;
    virtual void itemChanged(QtBrowserItem *item) = 0;
    virtual QWidget *createEditor(QtProperty *property, QWidget *parent);

private:
    // Returns true when the factory is newly bound to the manager in this browser.
    bool bindFactory(QtAbstractPropertyManager *manager, QtAbstractEditorFactoryBase *factory);
    friend class QtAbstractPropertyBrowserPrivate;
    std::unique_ptr<QtAbstractPropertyBrowserPrivate> d;
};
