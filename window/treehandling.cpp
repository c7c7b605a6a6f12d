#include "window/treehandling.h"

#include <qtpropertymanager.h>

namespace DrumoSensorPlugin {
namespace Core {

TreeHandling::TreeHandling(QtBoolPropertyManager *boolManager, QtIntPropertyManager *intManager,
                           QtDoublePropertyManager *doubleManager,
                           QtEnumPropertyManager *enumManager, QObject *parent)
    : QObject(parent)
    , m_boolManager(boolManager)
    , m_intManager(intManager)
    , m_doubleManager(doubleManager)
    , m_enumManager(enumManager)
{
}

void TreeHandling::setOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    if (!on) {
        for (QMetaObject::Connection &connection : m_connections)
            disconnect(connection);
        return;
    }
    const auto report
        = [this](QtProperty *property, const QVariant &value) { emit edited(property, value); };
    m_connections = {
        connect(m_boolManager, &QtBoolPropertyManager::valueChanged, this,
                [report](QtProperty *property, bool value) { report(property, value); }),
        connect(m_intManager, &QtIntPropertyManager::valueChanged, this,
                [report](QtProperty *property, int value) { report(property, value); }),
        connect(m_doubleManager, &QtDoublePropertyManager::valueChanged, this,
                [report](QtProperty *property, double value) { report(property, value); }),
        connect(m_enumManager, &QtEnumPropertyManager::valueChanged, this,
                [report](QtProperty *property, int value) { report(property, value); }),
    };
}

} // namespace Core
} // namespace DrumoSensorPlugin
