#pragma once

#include "extensionsystem_global.h"
#include "portsettings.h"
#include "sensorbasic.h"

#include <QList>
#include <QObject>
#include <QStringList>

namespace ExtensionSystem {

class CommunicationInterface;

// Base of the object a plug-in hands out for each opened sensor. The host owns it and destroys
// it through the virtual destructor. Further slots of the concrete class (vUpdate, vActionExit,
// setWindowActive, ...) are reached by the host through the meta-object system.
class EXTENSIONSYSTEM_EXPORT PluginInterface : public QObject
{
    Q_OBJECT

public:
    explicit PluginInterface(QObject *parent = nullptr);
    ~PluginInterface() override;

    virtual QString getPluginNamespace();
    virtual QString getPluginGroup();
    virtual QStringList getList();
    virtual void vSensorListUpdated(const QList<SensorBasic> &sensors);
    virtual void vAvailablePortsUpdated(QStringList ports);
    virtual void vActionOpen(const QString &fileName);
    virtual void vAutoConnect(const QString &port);
    virtual void vSetCompleteNameDescription(const QString &description);

    // Opens a host connection for the settings and stores it in *connection (null when the port
    // cannot be opened or another plug-in instance holds it). The host keeps ownership.
    void vRegisterConnection(const PortSettings &settings, CommunicationInterface **connection,
                             PluginInterface *self);
    // Releases the connection that `self` holds, if any.
    void vUnregisterConnection(PluginInterface *self);
    // Detaches `self` from the host before it is destroyed (releases its connection too).
    void vUnregisterPlugin(PluginInterface *self);
};

} // namespace ExtensionSystem
