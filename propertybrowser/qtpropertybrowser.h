#pragma once

// The core of the property browser: properties and their managers (qtproperty.h), editor
// factories (qtabstracteditorfactory.h), and the browser items and abstract browser below.
#include "qtabstracteditorfactory.h"
#include "qtproperty.h"

#include <QtWidgets/QWidget>

class QtAbstractPropertyBrowser;
class QtBrowserItemPrivate;
class QtAbstractPropertyBrowserPrivate;

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
