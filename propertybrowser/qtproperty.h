#pragma once

#include "propertybrowser_global.h"

#include <QtCore/QList>
#include <QtCore/QObject>
#include <QtCore/QSet>
#include <QtGui/QIcon>

#include <memory>

class QtAbstractPropertyManager;
class QtPropertyPrivate;
class QtAbstractPropertyManagerPrivate;

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
