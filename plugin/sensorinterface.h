#pragma once

#include <plugininterface.h>
#include <portsettings.h>

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <string>

class QMdiSubWindow;

namespace ExtensionSystem {
class CommunicationInterface;
class SensorBasic;
} // namespace ExtensionSystem

namespace DrumoSensorPlugin {
namespace Core {

class SensorWindow;

// The object through which the host drives one opened sensor. It owns the sensor's window,
// holds the host connection of the port chosen in the window, and forwards the host's port
// lists and menu actions to the window. The host connects to the slots by signature; their
// order is part of the interface.
class SensorInterface : public ExtensionSystem::PluginInterface
{
    Q_OBJECT

public:
    // Creates the window and makes it the sub-window's widget.
    SensorInterface(const ExtensionSystem::SensorBasic *sensor, QMdiSubWindow *subWindow);
    // Leaves the host first (which releases the port), then deletes the window.
    ~SensorInterface() override;

    QString getPluginNamespace() override;
    QString getPluginGroup() override;
    QStringList getList() override;

    // Not slots: they must not change the meta-object table.
    SensorWindow *sensorWindow() const;
    bool isConnected() const { return connected; }
    const ExtensionSystem::PortSettings &currentPortSettings() const { return portSettings; }

public slots:
    void vComPortListChanged();
    // An empty name closes the port; another name opens that port instead of the current one.
    void vComPortChanged(const QString &port);
    void vUpdate(const QVariant &hideTree);
    void vSendDataBytes(const QString &text);
    void vReceivedData(const QString &text);
    void vAvailablePortsUpdated(QStringList ports) override;
    void vActionOpen(const QString &fileName) override;
    void vActionExport(const QString &fileName);
    void vActionExit(const QString &text);
    void setWindowActive(bool active);
    void vAboutToClose();
    void vAutoConnect(const QString &port) override;
    void setSensorName(const QString &name);
    QString getSensorName();

private slots:
    void receivedData(std::string data);

private:
    void releaseConnection();

    bool connected;
    // Owned. Guarded because the host may delete its sub-window, and the window with it,
    // before it destroys this object.
    QPointer<SensorWindow> window;
    ExtensionSystem::PortSettings portSettings;
    ExtensionSystem::CommunicationInterface *communication; // not owned
    QString sensorName;
};

} // namespace Core
} // namespace DrumoSensorPlugin
