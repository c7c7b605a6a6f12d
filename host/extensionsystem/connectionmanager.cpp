#include "connectionmanager.h"

#include "communicationinterface.h"
#include "extensionsystemlog.h"

#include <QHash>
#include <QPointer>

namespace ExtensionSystem {

class ConnectionManager::Private
{
public:
    struct Entry
    {
        QPointer<CommunicationInterface> connection;
        QString port;
    };

    Factory factory;
    QHash<const PluginInterface *, Entry> connections;
    QString lastError;
};

ConnectionManager::ConnectionManager()
    : d(std::make_unique<Private>())
{}

ConnectionManager::~ConnectionManager() = default;

ConnectionManager *ConnectionManager::instance()
{
    static ConnectionManager manager;
    return &manager;
}

void ConnectionManager::setFactory(Factory factory)
{
    d->factory = std::move(factory);
}

CommunicationInterface *ConnectionManager::registerConnection(const PortSettings &settings,
                                                              PluginInterface *owner)
{
    unregisterConnection(owner);
    d->lastError.clear();

    for (auto it = d->connections.cbegin(); it != d->connections.cend(); ++it) {
        if (it.value().port == settings.portName) {
            d->lastError = tr("Port %1 is already in use by another sensor window.")
                               .arg(settings.portName);
            qCWarning(extensionSystemLog).noquote() << d->lastError;
            return nullptr;
        }
    }

    const Factory factory = d->factory ? d->factory : defaultFactory();
    QString error;
    CommunicationInterface *connection = factory ? factory(settings, &error) : nullptr;
    if (!connection) {
        d->lastError = error.isEmpty() ? tr("Port %1 could not be opened.").arg(settings.portName)
                                       : error;
        qCWarning(extensionSystemLog).noquote() << d->lastError;
        return nullptr;
    }
    d->connections.insert(owner, {connection, settings.portName});
    const int failed = connection->metaObject()->indexOfSignal("portFailed(QString)");
    if (failed >= 0) {
        QMetaObject::connect(connection, failed, this,
                             metaObject()->indexOfSlot("onPortFailed(QString)"));
    }
    qCInfo(extensionSystemLog).noquote() << "Connection opened on" << settings.portName;
    emit connectionsChanged();
    return connection;
}

void ConnectionManager::unregisterConnection(PluginInterface *owner)
{
    const auto it = d->connections.find(owner);
    if (it == d->connections.end())
        return;
    const Private::Entry entry = it.value();
    d->connections.erase(it);
    if (entry.connection) {
        // Closing finishes whatever is still pending, so no caller keeps waiting; the object
        // itself goes later, since we may be inside one of its own signal emissions.
        entry.connection->vClose();
        entry.connection->deleteLater();
    }
    qCInfo(extensionSystemLog).noquote() << "Connection closed on" << entry.port;
    emit connectionsChanged();
}

void ConnectionManager::unregisterPlugin(PluginInterface *owner)
{
    unregisterConnection(owner);
    emit pluginUnregistered(owner);
}

CommunicationInterface *ConnectionManager::connection(const PluginInterface *owner) const
{
    return d->connections.value(owner).connection;
}

QString ConnectionManager::portOf(const PluginInterface *owner) const
{
    return d->connections.value(owner).port;
}

QStringList ConnectionManager::heldPorts() const
{
    QStringList ports;
    for (const Private::Entry &entry : qAsConst(d->connections))
        ports << entry.port;
    ports.sort();
    return ports;
}

void ConnectionManager::onPortFailed(const QString &reason)
{
    for (auto it = d->connections.cbegin(); it != d->connections.cend(); ++it) {
        if (it.value().connection == sender()) {
            emit portLost(it.key(), it.value().port, reason);
            return;
        }
    }
}

QString ConnectionManager::lastError() const
{
    return d->lastError;
}

} // namespace ExtensionSystem
