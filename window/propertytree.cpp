// The property tree of a sensor window, built from the sensor's description in the catalogue.
//
// A description is a list of property elements; each holds its values in child elements ("id",
// "type", "text.<language>", "readonly", "defaultvalue", "min", "max", "items",
// "caption.text.<language>") and its child rows as elements named "property". Values are read
// leniently: a missing element or a text that is not one number gives the default.

#include "window/sensorwindow.h"

#include "window/sensorwindow_p.h"

#include <buttonmanager.h>
#include <qtpropertymanager.h>
#include <qttreepropertybrowser.h>

#include <QDockWidget>

#include <boost/property_tree/ptree.hpp>

namespace pt = boost::property_tree;

namespace DrumoSensorPlugin {
namespace Core {

namespace {

const std::string defaultCaption = "action";

// Nodes that the XML reader adds for comments and attributes are not elements of a description.
bool isElement(const pt::ptree::value_type &node)
{
    return node.first != "<xmlcomment>" && node.first != "<xmlattr>";
}

// The text of `path` + "." + language, or of `path` + ".en" when that is empty.
QString localizedText(const pt::ptree &element, const std::string &path,
                      const std::string &language)
{
    const std::string prefix = path.empty() ? std::string() : path + '.';
    std::string text = element.get<std::string>(prefix + language, std::string());
    if (text.empty())
        text = element.get<std::string>(prefix + "en", std::string());
    return QString::fromStdString(text);
}

QStringList enumEntries(const pt::ptree &element, const std::string &language)
{
    QStringList entries;
    const auto items = element.get_child_optional("items");
    if (!items)
        return entries;
    for (const auto &item : *items) {
        if (isElement(item))
            entries.append(localizedText(item.second, std::string(), language));
    }
    return entries;
}

QString actionCaption(const pt::ptree &element, const std::string &language)
{
    std::string caption = element.get<std::string>("caption.text." + language, defaultCaption);
    if (caption.empty())
        caption = element.get<std::string>("caption.text.en", defaultCaption);
    return QString::fromStdString(caption);
}

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
        if (isElement(child))
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

    const std::string id = element.get<std::string>("id", std::string());
    const std::string type = element.get<std::string>("type", std::string());
    const QString name = localizedText(element, "text", d->language);
    const char *const valuePath = useDefaults ? "defaultvalue" : "value";

    QtProperty *property = nullptr;
    if (type == "category") {
        property = d->groupManager->addProperty(name);
    } else if (type == "enumerator") {
        property = d->enumManager->addProperty(name);
        d->enumManager->setEnumNames(property, enumEntries(element, d->language));
        d->enumManager->setValue(property, element.get<int>(valuePath, 0));
    } else if (type == "int") {
        property = d->intManager->addProperty(name);
        d->intManager->setMinimum(property, element.get<int>("min", 0));
        d->intManager->setMaximum(property, element.get<int>("max", 0));
        d->intManager->setValue(property, element.get<int>(valuePath, 0));
    } else if (type == "double") {
        property = d->doubleManager->addProperty(name);
        d->doubleManager->setMinimum(property, element.get<double>("min", 0.0));
        d->doubleManager->setMaximum(property, element.get<double>("max", 0.0));
        d->doubleManager->setValue(property, element.get<double>(valuePath, 0.0));
    } else if (type == "bool") {
        property = d->boolManager->addProperty(name);
        d->boolManager->setValue(property, element.get<int>(valuePath, 0) != 0, QString(),
                                 QString());
    } else if (type == "action") {
        property = d->buttonManager->addProperty(name);
        d->buttonManager->setValue(property, actionCaption(element, d->language));
    } else {
        // An unknown kind of row: neither it nor anything below it is shown.
        return false;
    }
    property->setPropertyName(name);

    property->setPropertyId(QString::fromLatin1(id.c_str()));
    property->setEnabled(element.get<std::string>("readonly", std::string("false")) == "false");
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

    const std::string type = element.get<std::string>("type", std::string());
    const QString name = localizedText(element, "text", d->language);
    const std::string id = element.get<std::string>("id", std::string());

    if (QtProperty *property = findProperty(d->rootProperty, id)) {
        property->setPropertyName(name);
        if (type == "action") {
            d->buttonManager->setValue(property, actionCaption(element, d->language));
        } else if (type == "enumerator") {
            const int index = d->enumManager->value(property);
            d->enumManager->setEnumNames(property, enumEntries(element, d->language));
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
    if (!parent)
        return nullptr;
    const QLatin1String wanted(id.c_str(), int(id.size()));
    for (QtProperty *child : parent->subProperties()) {
        if (child->propertyId() == wanted)
            return child;
        if (!child->subProperties().isEmpty()) {
            if (QtProperty *found = findProperty(child, id))
                return found;
        }
    }
    return nullptr;
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
