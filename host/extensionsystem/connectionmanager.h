#pragma once

#include "extensionsystem_global.h"
#include "portsettings.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

namespace ExtensionSystem {

class CommunicationInterface;
class PluginInterface;

// Owns the open connections of the host, at most one per plug-in instance and one per port.
// The factory that opens a connection is replaceable, so that tests can hand out simulated
// connections instead of serial ones.
class EXTENSIONSYSTEM_EXPORT ConnectionManager : public QObject
{
    Q_OBJECT

public:
    // Opens a connection for the settings; returns null and fills *errorMessage on failure.
    using Factory = std::function<CommunicationInterface *(const PortSettings &settings,
                                                           QString *errorMessage)>;

    static ConnectionManager *instance();

    // An empty factory restores the default one, which opens serial ports.
    void setFactory(Factory factory);
    static Factory defaultFactory();

    // Opens a connection for `owner`. A connection `owner` already holds is released first.
    // Returns null when the port is held by another owner or cannot be opened.
    CommunicationInterface *registerConnection(const PortSettings &settings,
                                               PluginInterface *owner);
    void unregisterConnection(PluginInterface *owner);
    void unregisterPlugin(PluginInterface *owner);

    CommunicationInterface *connection(const PluginInterface *owner) const;
    QString portOf(const PluginInterface *owner) const;
    QStringList heldPorts() const;
    QString lastError() const;

signals:
    void connectionsChanged();
    void pluginUnregistered(ExtensionSystem::PluginInterface *owner);
    // The connection of `owner` on `port` failed while open (an adapter unplugged) and closed
    // itself; `owner` still holds it until it unregisters. Connections report this through a
    // signal "portFailed(QString)" of their own, when they have one.
    void portLost(const ExtensionSystem::PluginInterface *owner, const QString &port,
                  const QString &reason);

private slots:
    void onPortFailed(const QString &reason);

private:
    ConnectionManager();
    ~ConnectionManager() override;

    class Private;
    std::unique_ptr<Private> d;
};

} // namespace ExtensionSystem
