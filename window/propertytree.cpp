// The property tree of a sensor window: QtProperty rows made from the walk of the sensor's
// description in the catalogue (model/description.h), the same walk the memory rows use.

#include "window/propertytree.h"

#include "model/description.h"
#include "model/sensor.h"
#include "parameters/parametertable.h"
#include "window/propertyeditors.h"
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

PropertyTree::PropertyTree(PropertyEditors &editors, QtTreePropertyBrowser *browser)
    : m_editors(editors)
    , m_language(ExtensionSystem::Globals::getLanguage())
    , m_browser(browser)
{
}

void PropertyTree::build(const Sensor &record, const QString &title)
{
    m_editors.rootProperty = m_editors.groupManager->addProperty(title);
    m_editors.rootProperty->setPropertyId(QStringLiteral("root"));

    addRows(Description::treeRows(record.getPropertyTreeGui(), m_language, true),
            m_editors.rootProperty);

    m_browser->addProperty(m_editors.rootProperty);
    m_browser->setRootIsDecorated(true);
    m_browser->show();
}

void PropertyTree::addDescriptionNode(const pt::ptree &element, QtProperty *parent,
                                      bool useDefaults)
{
    if (parent)
        addRows(Description::rows(element, m_language, useDefaults), parent);
}

void PropertyTree::addRows(const QVector<Description::Row> &rows, QtProperty *parent)
{
    QVector<QtProperty *> added;
    added.reserve(rows.size());
    for (const Description::Row &row : rows) {
        QtProperty *property = nullptr;
        switch (row.kind) {
        case ParameterRows::Kind::Enumerator:
            property = m_editors.enumManager->addProperty(row.name);
            m_editors.enumManager->setEnumNames(property, row.enumItems);
            m_editors.enumManager->setValue(property, row.value.toInt());
            break;
        case ParameterRows::Kind::Integer:
            property = m_editors.intManager->addProperty(row.name);
            m_editors.intManager->setMinimum(property, int(row.minimum));
            m_editors.intManager->setMaximum(property, int(row.maximum));
            m_editors.intManager->setValue(property, row.value.toInt());
            break;
        case ParameterRows::Kind::Double:
            property = m_editors.doubleManager->addProperty(row.name);
            m_editors.doubleManager->setMinimum(property, row.minimum);
            m_editors.doubleManager->setMaximum(property, row.maximum);
            m_editors.doubleManager->setValue(property, row.value.toDouble());
            break;
        case ParameterRows::Kind::Bool:
            property = m_editors.boolManager->addProperty(row.name);
            m_editors.boolManager->setValue(property, row.value.toBool(), QString(), QString());
            break;
        case ParameterRows::Kind::Action:
            property = m_editors.buttonManager->addProperty(row.name);
            m_editors.buttonManager->setValue(property, row.actionCaption);
            break;
        default:
            property = m_editors.groupManager->addProperty(row.name);
            break;
        }
        property->setPropertyName(row.name);
        property->setPropertyId(row.id);
        property->setEnabled(!row.readOnly);
        (row.parent < 0 ? parent : added.at(row.parent))->addSubProperty(property);
        added.append(property);
    }
}

void PropertyTree::retranslate(const Sensor &record)
{
    m_language = ExtensionSystem::Globals::getLanguage();
    if (m_language.empty())
        m_language = "en";

    const auto rows = Description::treeRows(record.getPropertyTreeGui(), m_language, true);
    for (const Description::Row &row : rows) {
        QtProperty *property = find(row.id.toLatin1().toStdString());
        if (!property)
            continue;
        property->setPropertyName(row.name);
        if (row.kind == ParameterRows::Kind::Action) {
            m_editors.buttonManager->setValue(property, row.actionCaption);
        } else if (row.kind == ParameterRows::Kind::Enumerator) {
            const int index = m_editors.enumManager->value(property);
            m_editors.enumManager->setEnumNames(property, row.enumItems);
            m_editors.enumManager->setValue(property, index);
        }
    }
}

QtProperty *PropertyTree::root() const
{
    return m_editors.rootProperty;
}

QtProperty *PropertyTree::find(const std::string &id) const
{
    return findPropertyById(m_editors.rootProperty, id);
}

QList<QtProperty *> PropertyTree::allRows() const
{
    QList<QtProperty *> result;
    if (m_editors.rootProperty)
        collectDescendants(m_editors.rootProperty, result);
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
    for (const ParameterDefinition &row : parameterTable) {
        if (row.shown == Shown::Expert)
            setRowVisible(row.rowId(), on);
    }
}

void PropertyTree::showPin2Rows(bool analog)
{
    for (const ParameterDefinition &row : parameterTable) {
        if (row.shown == Shown::Pin2Analog || row.shown == Shown::Pin2Output)
            setRowVisible(row.rowId(), (row.shown == Shown::Pin2Analog) == analog);
    }
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
