// The property tree of a sensor window, built from the sensor's description in the catalogue
// (see model/description.h for the format).

#include "window/propertytree.h"

#include "model/description.h"
#include "model/sensor.h"
#include "window/sensorwindow_p.h"
#include "window/treerows.h"

#include <buttonmanager.h>
#include <globals.h>
#include <qtpropertymanager.h>
#include <qttreepropertybrowser.h>

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

PropertyTree::PropertyTree(SensorWindowPrivate &d, QtTreePropertyBrowser *browser)
    : d(d)
    , m_browser(browser)
{
}

void PropertyTree::build(const Sensor &record, const QString &title)
{
    d.rootProperty = d.groupManager->addProperty(title);
    d.rootProperty->setPropertyId(QStringLiteral("root"));

    for (const auto &child : record.getPropertyTreeGui()) {
        if (Description::isElement(child))
            addDescriptionNode(child.second, d.rootProperty, true);
    }

    m_browser->addProperty(d.rootProperty);
    m_browser->setRootIsDecorated(true);
    m_browser->show();
}

void PropertyTree::addDescriptionNode(const pt::ptree &element, QtProperty *parent,
                                      bool useDefaults)
{
    if (!parent || element.empty())
        return;

    const std::string type = Description::type(element);
    const QString name = Description::name(element, d.language);
    const char *const initial = Description::initialValuePath(useDefaults);

    QtProperty *property = nullptr;
    if (type == "category") {
        property = d.groupManager->addProperty(name);
    } else if (type == "enumerator") {
        property = d.enumManager->addProperty(name);
        d.enumManager->setEnumNames(property, Description::enumEntries(element, d.language));
        d.enumManager->setValue(property, Description::number<int>(element, initial));
    } else if (type == "int") {
        property = d.intManager->addProperty(name);
        d.intManager->setMinimum(property, Description::number<int>(element, "min"));
        d.intManager->setMaximum(property, Description::number<int>(element, "max"));
        d.intManager->setValue(property, Description::number<int>(element, initial));
    } else if (type == "double") {
        property = d.doubleManager->addProperty(name);
        d.doubleManager->setMinimum(property, Description::number<double>(element, "min"));
        d.doubleManager->setMaximum(property, Description::number<double>(element, "max"));
        d.doubleManager->setValue(property, Description::number<double>(element, initial));
    } else if (type == "bool") {
        property = d.boolManager->addProperty(name);
        d.boolManager->setValue(property, Description::number<int>(element, initial) != 0,
                                QString(), QString());
    } else if (type == "action") {
        property = d.buttonManager->addProperty(name);
        d.buttonManager->setValue(property, Description::actionCaption(element, d.language));
    } else {
        // An unknown kind of row: neither it nor anything below it is shown.
        return;
    }
    property->setPropertyName(name);

    property->setPropertyId(QString::fromLatin1(Description::id(element).c_str()));
    property->setEnabled(!Description::isReadOnly(element));
    parent->addSubProperty(property);

    for (const auto &child : element) {
        if (child.first == "property")
            addDescriptionNode(child.second, property, useDefaults);
    }
}

void PropertyTree::retranslateNode(const pt::ptree &element)
{
    if (element.empty())
        return;
    if (d.language.empty())
        d.language = "en";

    const std::string type = Description::type(element);
    const QString name = Description::name(element, d.language);

    if (QtProperty *property = find(Description::id(element))) {
        property->setPropertyName(name);
        if (type == "action") {
            d.buttonManager->setValue(property, Description::actionCaption(element, d.language));
        } else if (type == "enumerator") {
            const int index = d.enumManager->value(property);
            d.enumManager->setEnumNames(property, Description::enumEntries(element, d.language));
            d.enumManager->setValue(property, index);
        }
    }

    for (const auto &child : element) {
        if (child.first == "property")
            retranslateNode(child.second);
    }
}

void PropertyTree::retranslate(const Sensor &record)
{
    d.language = ExtensionSystem::Globals::getLanguage();
    for (const auto &child : record.getPropertyTreeGui())
        retranslateNode(child.second);
}

QtProperty *PropertyTree::root() const
{
    return d.rootProperty;
}

QtProperty *PropertyTree::find(const std::string &id) const
{
    return findPropertyById(d.rootProperty, id);
}

QList<QtProperty *> PropertyTree::allRows() const
{
    QList<QtProperty *> result;
    if (d.rootProperty)
        collectDescendants(d.rootProperty, result);
    return result;
}

void PropertyTree::setRowVisible(const QString &id, bool visible)
{
    QtProperty *property = find(id.toLatin1().toStdString());
    if (!property)
        return;

    QList<QtBrowserItem *> pending;
    for (QtBrowserItem *top : m_browser->topLevelItems())
        pending.append(top->children());
    while (!pending.isEmpty()) {
        QtBrowserItem *item = pending.takeFirst();
        if (item->property() == property)
            m_browser->setItemVisible(item, visible);
        pending.append(item->children());
    }
}

void PropertyTree::showExpertRows(bool on)
{
    for (const char *id : { "time", "emisivity", "unit", "laser", "readTemp" })
        setRowVisible(QString::fromLatin1(id), on);
}

void PropertyTree::showPin2Rows(bool analog)
{
    for (const char *id : { "2teach", "2analogoutput" })
        setRowVisible(QLatin1String(id), analog);
    for (const char *id : { "2switchingOn", "2type", "2operateOutputs" })
        setRowVisible(QLatin1String(id), !analog);
}

void PropertyTree::removeSubProperties(QtProperty *property)
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
