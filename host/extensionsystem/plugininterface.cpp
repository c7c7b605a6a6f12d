#include "plugininterface.h"

#include "connectionmanager.h"

namespace ExtensionSystem {

PluginInterface::PluginInterface(QObject *parent)
    : QObject(parent)
{}

PluginInterface::~PluginInterface()
{
    // A plug-in that forgot to unregister must not leave its port held.
    ConnectionManager::instance()->unregisterPlugin(this);
}

QString PluginInterface::getPluginNamespace()
{
    return {};
}

QString PluginInterface::getPluginGroup()
{
    return {};
}

QStringList PluginInterface::getList()
{
    return {};
}

void PluginInterface::vSensorListUpdated(const QList<SensorBasic> &) {}

void PluginInterface::vAvailablePortsUpdated(QStringList) {}

void PluginInterface::vActionOpen(const QString &) {}

void PluginInterface::vAutoConnect(const QString &) {}

void PluginInterface::vSetCompleteNameDescription(const QString &) {}

void PluginInterface::vRegisterConnection(const PortSettings &settings,
                                          CommunicationInterface **connection,
                                          PluginInterface *self)
{
    CommunicationInterface *opened = ConnectionManager::instance()->registerConnection(settings,
                                                                                       self);
    if (connection)
        *connection = opened;
}

void PluginInterface::vUnregisterConnection(PluginInterface *self)
{
    ConnectionManager::instance()->unregisterConnection(self);
}

void PluginInterface::vUnregisterPlugin(PluginInterface *self)
{
    ConnectionManager::instance()->unregisterPlugin(self);
}

} // namespace ExtensionSystem
