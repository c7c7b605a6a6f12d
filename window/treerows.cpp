#include "window/treerows.h"

#include "window/propertyeditors.h"
#include "window/treehandling.h"

#include <buttonmanager.h>
#include <qtpropertymanager.h>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

void collectIds(QtProperty *parent, QStringList &ids)
{
    for (QtProperty *child : parent->subProperties()) {
        ids.append(child->propertyId());
        collectIds(child, ids);
    }
}

} // namespace

QtProperty *findPropertyById(QtProperty *parent, const std::string &id)
{
    if (!parent)
        return nullptr;
    const QLatin1String wanted(id.c_str(), int(id.size()));
    for (QtProperty *child : parent->subProperties()) {
        if (child->propertyId() == wanted)
            return child;
        if (!child->subProperties().isEmpty()) {
            if (QtProperty *found = findPropertyById(child, id))
                return found;
        }
    }
    return nullptr;
}

TreeRows::TreeRows(PropertyEditors &editors, TreeHandling &treeHandling)
    : m_editors(editors)
    , m_treeHandling(treeHandling)
{
}

QtProperty *TreeRows::property(const QString &id) const
{
    return findPropertyById(m_editors.rootProperty, id.toLatin1().toStdString());
}

ParameterRows::Kind TreeRows::kind(const QtProperty *property) const
{
    if (!property)
        return Kind::Missing;
    const QtAbstractPropertyManager *manager = property->propertyManager();
    if (manager == m_editors.enumManager)
        return Kind::Enumerator;
    if (manager == m_editors.intManager)
        return Kind::Integer;
    if (manager == m_editors.doubleManager)
        return Kind::Double;
    if (manager == m_editors.boolManager)
        return Kind::Bool;
    if (manager == m_editors.groupManager)
        return Kind::Group;
    if (manager == m_editors.buttonManager)
        return Kind::Action;
    return Kind::Missing;
}

ParameterRows::Kind TreeRows::kind(const QString &id) const
{
    return kind(property(id));
}

QVariant TreeRows::value(const QString &id) const
{
    QtProperty *row = property(id);
    switch (kind(row)) {
    case Kind::Enumerator:
        return m_editors.enumManager->value(row);
    case Kind::Integer:
        return m_editors.intManager->value(row);
    case Kind::Double:
        return m_editors.doubleManager->value(row);
    case Kind::Bool:
        return m_editors.boolManager->value(row);
    default:
        return QVariant();
    }
}

void TreeRows::silently(const std::function<void()> &change)
{
    TreeHandlingGuard guard(m_treeHandling);
    change();
}

void TreeRows::setValue(const QString &id, const QVariant &value)
{
    QtProperty *row = property(id);
    switch (kind(row)) {
    case Kind::Enumerator:
        silently([&] { m_editors.enumManager->setValue(row, value.toInt()); });
        break;
    case Kind::Integer:
        silently([&] { m_editors.intManager->setValue(row, value.toInt()); });
        break;
    case Kind::Double:
        silently([&] { m_editors.doubleManager->setValue(row, value.toDouble()); });
        break;
    case Kind::Bool:
        silently(
            [&] { m_editors.boolManager->setValue(row, value.toBool(), QString(), QString()); });
        break;
    default:
        break;
    }
}

double TreeRows::minimum(const QString &id) const
{
    QtProperty *row = property(id);
    switch (kind(row)) {
    case Kind::Integer:
        return m_editors.intManager->minimum(row);
    case Kind::Double:
        return m_editors.doubleManager->minimum(row);
    default:
        return 0.0;
    }
}

double TreeRows::maximum(const QString &id) const
{
    QtProperty *row = property(id);
    switch (kind(row)) {
    case Kind::Integer:
        return m_editors.intManager->maximum(row);
    case Kind::Double:
        return m_editors.doubleManager->maximum(row);
    default:
        return 0.0;
    }
}

void TreeRows::setMinimum(const QString &id, double minimum)
{
    QtProperty *row = property(id);
    if (kind(row) == Kind::Double)
        silently([&] { m_editors.doubleManager->setMinimum(row, minimum); });
    else if (kind(row) == Kind::Integer)
        silently([&] { m_editors.intManager->setMinimum(row, int(minimum)); });
}

void TreeRows::setMaximum(const QString &id, double maximum)
{
    QtProperty *row = property(id);
    if (kind(row) == Kind::Double)
        silently([&] { m_editors.doubleManager->setMaximum(row, maximum); });
    else if (kind(row) == Kind::Integer)
        silently([&] { m_editors.intManager->setMaximum(row, int(maximum)); });
}

void TreeRows::setDecimals(const QString &id, int decimals)
{
    QtProperty *row = property(id);
    if (kind(row) == Kind::Double)
        m_editors.doubleManager->setDecimals(row, decimals);
}

void TreeRows::setSingleStep(const QString &id, double step)
{
    QtProperty *row = property(id);
    if (kind(row) == Kind::Double)
        m_editors.doubleManager->setSingleStep(row, step);
    else if (kind(row) == Kind::Integer)
        m_editors.intManager->setSingleStep(row, int(step));
}

QString TreeRows::caption(const QString &id) const
{
    QtProperty *row = property(id);
    return row ? row->propertyName() : QString();
}

void TreeRows::setCaption(const QString &id, const QString &caption)
{
    if (QtProperty *row = property(id))
        row->setPropertyName(caption);
}

QStringList TreeRows::enumNames(const QString &id) const
{
    QtProperty *row = property(id);
    return kind(row) == Kind::Enumerator ? m_editors.enumManager->enumNames(row) : QStringList();
}

QStringList TreeRows::ids() const
{
    QStringList result;
    if (m_editors.rootProperty)
        collectIds(m_editors.rootProperty, result);
    return result;
}

} // namespace Core
} // namespace DrumoSensorPlugin
