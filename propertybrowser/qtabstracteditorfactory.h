#pragma once

#include "qtproperty.h"

class QWidget;

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
