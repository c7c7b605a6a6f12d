#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariant>

class QMdiArea;
class QMdiSubWindow;

namespace ExtensionSystem {
class PluginInterface;
class SensorBasic;
}

namespace Orbexa::Internal {

class LoadedPlugin;
class PortWatcher;
class SensorSubWindow;

// The opened sensors of one MDI area: opens them, tells each which ports are free, routes
// window activation to the interfaces, and closes them. Kept apart from the main window so
// that it can be driven without one.
class SessionManager : public QObject
{
    Q_OBJECT

public:
    SessionManager(QMdiArea *area, PortWatcher *ports, QObject *parent = nullptr);
    ~SessionManager() override;

    // Opens a sub-window for the sensor. Null, with *error set, when the plug-in gives no
    // interface; nothing is left behind then.
    SensorSubWindow *openSensor(LoadedPlugin *plugin, const ExtensionSystem::SensorBasic &sensor,
                                QString *error);

    QList<SensorSubWindow *> sensorWindows() const;
    SensorSubWindow *activeSensorWindow() const;

    // Sends the value to every interface's vUpdate (and to those opened later).
    void broadcastUpdate(const QVariant &value);
    QVariant lastUpdate() const { return m_lastUpdate; }

    // The ports offered to the interfaces: the known ports less those any window holds. The
    // network ports ("tcp://HOST:PORT") follow the serial ones; nothing lists them, so they are
    // offered while they are configured.
    QStringList freePorts() const;
    void setNetworkPorts(const QStringList &ports);
    QStringList networkPorts() const { return m_networkPorts; }

    // False when a window refused to close.
    bool closeAll();

    // When on, a window whose port was lost (an adapter unplugged) and that went offline
    // connects again by itself (vAutoConnect: the sensor's settings are read, nothing is
    // written) once the port is listed again after it was gone. Off by default.
    void setReconnectWhenPortReturns(bool on) { m_reconnect = on; }
    bool reconnectWhenPortReturns() const { return m_reconnect; }

public slots:
    void distributePorts();

signals:
    void sensorWindowsChanged();
    // Emitted just before a window is connected again to its port that came back.
    void reconnecting(Orbexa::Internal::SensorSubWindow *window, const QString &port);

private:
    void onSubWindowActivated(QMdiSubWindow *window);
    void placeNewWindow(SensorSubWindow *window) const;
    void onConnectionsChanged();
    void onPortLost(const ExtensionSystem::PluginInterface *owner, const QString &port);
    void reconnectReturnedPorts();

    // A window whose port was lost, followed until it is connected again.
    struct LostPort
    {
        QPointer<SensorSubWindow> window;
        QString port;
        bool seenGone = false; // the port left the list after it was lost
        bool seenOffline = false; // the window let go of the dead connection
    };

    QMdiArea *m_area;
    PortWatcher *m_ports;
    QStringList m_networkPorts;
    QPointer<QMdiSubWindow> m_active;
    QVariant m_lastUpdate;
    QList<LostPort> m_lost;
    bool m_reconnect = false;
};

} // namespace Orbexa::Internal
