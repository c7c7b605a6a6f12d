#pragma once

#include <plugininterface.h>
#include <sensorbasic.h>

#include <QMdiSubWindow>
#include <QPointer>
#include <QStringList>
#include <QVariant>

namespace Orbexa::Internal {

class LoadedPlugin;

// The sub-window of one opened sensor. It owns the plug-in's interface object; the plug-in's
// own window is this sub-window's widget but belongs to the interface object.
//
// Closing: the interface is asked to close its window (vActionExit); a window that refuses
// keeps the sub-window open. Then the window is taken out of the sub-window (so that only its
// owner deletes it) and the interface object is deleted, which unregisters its connection and
// deletes the window.
class SensorSubWindow : public QMdiSubWindow
{
    Q_OBJECT

public:
    SensorSubWindow(LoadedPlugin *plugin, const ExtensionSystem::SensorBasic &sensor,
                    QWidget *parent = nullptr);
    ~SensorSubWindow() override;

    // Asks the plug-in for the interface object. False, with *error set, when it returns none.
    // The sub-window must already be in its QMdiArea, where the plug-in shows its window.
    bool createInterface(QString *error);

    ExtensionSystem::PluginInterface *pluginInterface() const { return m_interface; }
    LoadedPlugin *plugin() const { return m_plugin; }
    const ExtensionSystem::SensorBasic &sensor() const { return m_sensor; }
    QString sensorName() const;
    // The port this window's connection holds; empty when not connected.
    QString connectedPort() const;

    // Hands the free ports to the interface, only when they differ from what it got last.
    void offerPorts(const QStringList &ports);
    QStringList offeredPorts() const { return m_offeredPorts; }

    void setWindowActive(bool active);
    void sendUpdate(const QVariant &value);
    void openSettings(const QString &fileName);
    void autoConnect(const QString &port);
    void updateTitle();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Returns false when the plug-in's window refuses to close (only when not forced).
    bool releaseInterface(bool force);
    bool invoke(const char *slot, QGenericArgument argument);

    LoadedPlugin *m_plugin;
    ExtensionSystem::SensorBasic m_sensor;
    QPointer<ExtensionSystem::PluginInterface> m_interface;
    QPointer<QWidget> m_pluginWidget;
    QStringList m_offeredPorts;
    bool m_portsOffered = false;
    bool m_releasing = false;
};

} // namespace Orbexa::Internal
