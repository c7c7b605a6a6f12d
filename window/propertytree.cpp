// The property tree of a sensor window, built from the sensor's description in the catalogue
// (see model/description.h for the format).

#include "window/sensorwindow.h"

#include "model/description.h"
#include "window/sensorwindow_p.h"
#include "window/treerows.h"

#include <buttonmanager.h>
#include <qtpropertymanager.h>
#include <qttreepropertybrowser.h>

#include <QDockWidget>

#include <boost/property_tree/ptree.hpp>

namespace pt = boost::property_tree;

namespace DrumoSensorPlugin {
namespace Core {

namespace {

void collectDescendants(QtProperty *parent, QList<QtProperty *> &result)
{
    for (QtProperty *child : parent->subProperties()) {
        result.append(child);
        collectDescendants(child, result);
    }
}

} // namespace

bool SensorWindow::buildPropertyTree(const Sensor &record)
{
    d->rootProperty = d->groupManager->addProperty(windowTitle());
    d->rootProperty->setPropertyId(QStringLiteral("root"));

    for (const auto &child : record.getPropertyTreeGui()) {
        if (Description::isElement(child))
            addDescriptionNode(child.second, d->rootProperty, true);
    }

    propertyBrowser->addProperty(d->rootProperty);
    propertyBrowser->setRootIsDecorated(true);
    propertyBrowser->show();
    d->propertyDock->setWidget(propertyBrowser);
    d->propertyDock->resize(400, d->propertyDock->height());
    addDockWidget(Qt::LeftDockWidgetArea, d->propertyDock);
    propertyBrowser->setMinimumWidth(300);
    return false;
}

bool SensorWindow::addDescriptionNode(const pt::ptree &element, QtProperty *parent,
                                      bool useDefaults)
{
    if (!parent || element.empty())
        return false;

    const std::string type = Description::type(element);
    const QString name = Description::name(element, d->language);
    const char *const initial = Description::initialValuePath(useDefaults);

    QtProperty *property = nullptr;
    if (type == "category") {
        property = d->groupManager->addProperty(name);
    } else if (type == "enumerator") {
        property = d->enumManager->addProperty(name);
        d->enumManager->setEnumNames(property, Description::enumEntries(element, d->language));
        d->enumManager->setValue(property, Description::number<int>(element, initial));
    } else if (type == "int") {
        property = d->intManager->addProperty(name);
        d->intManager->setMinimum(property, Description::number<int>(element, "min"));
        d->intManager->setMaximum(property, Description::number<int>(element, "max"));
        d->intManager->setValue(property, Description::number<int>(element, initial));
    } else if (type == "double") {
        property = d->doubleManager->addProperty(name);
        d->doubleManager->setMinimum(property, Description::number<double>(element, "min"));
        d->doubleManager->setMaximum(property, Description::number<double>(element, "max"));
        d->doubleManager->setValue(property, Description::number<double>(element, initial));
    } else if (type == "bool") {
        property = d->boolManager->addProperty(name);
        d->boolManager->setValue(property, Description::number<int>(element, initial) != 0,
                                 QString(), QString());
    } else if (type == "action") {
        property = d->buttonManager->addProperty(name);
        d->buttonManager->setValue(property, Description::actionCaption(element, d->language));
    } else {
        // An unknown kind of row: neither it nor anything below it is shown.
        return false;
    }
    property->setPropertyName(name);

    property->setPropertyId(QString::fromLatin1(Description::id(element).c_str()));
    property->setEnabled(!Description::isReadOnly(element));
    parent->addSubProperty(property);

    for (const auto &child : element) {
        if (child.first == "property")
            addDescriptionNode(child.second, property, useDefaults);
    }
    return false;
}

void SensorWindow::retranslateDescriptionNode(const pt::ptree &element)
{
    if (element.empty())
        return;
    if (d->language.empty())
        d->language = "en";

    const std::string type = Description::type(element);
    const QString name = Description::name(element, d->language);

    if (QtProperty *property = findProperty(d->rootProperty, Description::id(element))) {
        property->setPropertyName(name);
        if (type == "action") {
            d->buttonManager->setValue(property, Description::actionCaption(element, d->language));
        } else if (type == "enumerator") {
            const int index = d->enumManager->value(property);
            d->enumManager->setEnumNames(property, Description::enumEntries(element, d->language));
            d->enumManager->setValue(property, index);
        }
    }

    for (const auto &child : element) {
        if (child.first == "property")
            retranslateDescriptionNode(child.second);
    }
}

QtProperty *SensorWindow::findProperty(QtProperty *parent, const std::string &id) const
{
    return findPropertyById(parent, id);
}

QList<QtProperty *> SensorWindow::allSubProperties(QtProperty *parent) const
{
    QList<QtProperty *> result;
    if (parent)
        collectDescendants(parent, result);
    return result;
}

void SensorWindow::setPropertyVisible(const QString &id, bool visible)
{
    QtProperty *property = findProperty(d->rootProperty, id.toLatin1().toStdString());
    if (!property)
        return;

    // Top-level items stay as they are; only rows below them are shown or hidden.
    QList<QtBrowserItem *> pending;
    for (QtBrowserItem *top : propertyBrowser->topLevelItems())
        pending.append(top->children());
    while (!pending.isEmpty()) {
        QtBrowserItem *item = pending.takeFirst();
        if (item->property() == property)
            propertyBrowser->setItemVisible(item, visible);
        pending.append(item->children());
    }
}

void SensorWindow::setExpertMenu(bool on)
{
    expertMenu = on;
    for (const char *id : { "time", "emisivity", "unit", "laser", "readTemp" })
        setPropertyVisible(QString::fromLatin1(id), on);
}

void SensorWindow::removeSubProperties(QtProperty *property)
{
    if (!property)
        return;
    while (!property->subProperties().isEmpty()) {
        QtProperty *first = property->subProperties().first();
        if (!first->subProperties().isEmpty()) {
            removeSubProperties(first);
            continue;
        }
        property->removeSubProperty(first);
    }
}

} // namespace Core
} // namespace DrumoSensorPlugin
