#include "sessionmanager.h"

#include "hostlog.h"
#include "portwatcher.h"
#include "sensorsubwindow.h"

#include <connectionmanager.h>

#include <QMdiArea>

using ExtensionSystem::ConnectionManager;

namespace Orbexa::Internal {

SessionManager::SessionManager(QMdiArea *area, PortWatcher *ports, QObject *parent)
    : QObject(parent)
    , m_area(area)
    , m_ports(ports)
{
    connect(m_area, &QMdiArea::subWindowActivated, this, &SessionManager::onSubWindowActivated);
    connect(m_ports, &PortWatcher::portsChanged, this, &SessionManager::distributePorts);
    // Queued: the manager reports from inside a plug-in's own port selection, and the
    // interface must finish it before it is handed a new port list.
    connect(ConnectionManager::instance(), &ConnectionManager::connectionsChanged, this,
            &SessionManager::onConnectionsChanged, Qt::QueuedConnection);
}

SessionManager::~SessionManager() = default;

// The sub-window was sized before the plug-in put its window in; take the window's size (the
// plug-in chooses it), within the visible area, and give a window without one a usable frame.
void SessionManager::fitToContent(SensorSubWindow *window) const
{
    const QSize frame = window->size() - window->contentsRect().size();
    QSize wanted(640, 420);
    if (const QWidget *content = window->widget()) {
        if (content->width() >= 200 && content->height() >= 120)
            wanted = content->size() + frame;
    }
    const QSize available = m_area->viewport()->size();
    window->resize(wanted.boundedTo(available).expandedTo(QSize(320, 200)));
}

SensorSubWindow *SessionManager::openSensor(LoadedPlugin *plugin,
                                            const ExtensionSystem::SensorBasic &sensor,
                                            QString *error)
{
    auto window = new SensorSubWindow(plugin, sensor);
    m_area->addSubWindow(window);
    if (!window->createInterface(error)) {
        qCWarning(hostLog).noquote() << *error;
        m_area->removeSubWindow(window);
        delete window;
        return nullptr;
    }
    connect(window, &QObject::destroyed, this, &SessionManager::sensorWindowsChanged);
    window->show();
    fitToContent(window);
    if (m_lastUpdate.isValid())
        window->sendUpdate(m_lastUpdate);
    window->offerPorts(freePorts());
    m_area->setActiveSubWindow(window);
    emit sensorWindowsChanged();
    return window;
}

QList<SensorSubWindow *> SessionManager::sensorWindows() const
{
    QList<SensorSubWindow *> windows;
    for (QMdiSubWindow *window : m_area->subWindowList()) {
        if (auto sensorWindow = qobject_cast<SensorSubWindow *>(window))
            windows << sensorWindow;
    }
    return windows;
}

SensorSubWindow *SessionManager::activeSensorWindow() const
{
    return qobject_cast<SensorSubWindow *>(m_area->activeSubWindow());
}

void SessionManager::broadcastUpdate(const QVariant &value)
{
    m_lastUpdate = value;
    for (SensorSubWindow *window : sensorWindows())
        window->sendUpdate(value);
}

QStringList SessionManager::freePorts() const
{
    return PortWatcher::freePorts(m_ports->ports(), ConnectionManager::instance()->heldPorts());
}

void SessionManager::distributePorts()
{
    const QStringList ports = freePorts();
    for (SensorSubWindow *window : sensorWindows())
        window->offerPorts(ports);
}

bool SessionManager::closeAll()
{
    for (SensorSubWindow *window : sensorWindows()) {
        if (!window->close())
            return false;
    }
    return true;
}

void SessionManager::onSubWindowActivated(QMdiSubWindow *window)
{
    auto sensorWindow = qobject_cast<SensorSubWindow *>(window);
    if (sensorWindow == m_active)
        return;
    if (m_active)
        m_active->setWindowActive(false);
    m_active = sensorWindow;
    if (m_active)
        m_active->setWindowActive(true);
}

void SessionManager::onConnectionsChanged()
{
    for (SensorSubWindow *window : sensorWindows())
        window->updateTitle();
    distributePorts();
}

} // namespace Orbexa::Internal
