#include "sessionmanager.h"

#include "hostlog.h"
#include "portwatcher.h"
#include "sensorsubwindow.h"

#include <connectionmanager.h>

#include <QApplication>
#include <QMdiArea>
#include <QStyle>

#include <algorithm>

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
    connect(ConnectionManager::instance(), &ConnectionManager::portLost, this,
            &SessionManager::onPortLost);
    // After every look, changed or not: a port may have come back while a message was open.
    connect(m_ports, &PortWatcher::looked, this, &SessionManager::reconnectReturnedPorts);
}

SessionManager::~SessionManager() = default;

namespace {
// Room for the property tree and a chart of readable width side by side.
const QSize comfortableSize(1100, 700);
} // namespace

// The sub-window was sized before the plug-in put its window in. A new window opens as large
// as the area allows up to a comfortable size, never below what the plug-in's window needs,
// and below and to the right of the windows already open so that their title bars stay in
// sight; when the area has no room left for that, the cascade starts again at the top left.
void SessionManager::placeNewWindow(SensorSubWindow *window) const
{
    const QSize frame = window->size() - window->contentsRect().size();
    QSize minimum(320, 200);
    QSize wanted = comfortableSize;
    if (const QWidget *content = window->widget()) {
        // An explicit minimum wins over the layout's hint, as it does when resizing.
        const QSize set = content->minimumSize();
        const QSize hint = content->minimumSizeHint();
        const QSize needed(set.width() > 0 ? set.width() : hint.width(),
                           set.height() > 0 ? set.height() : hint.height());
        minimum = minimum.expandedTo(needed + frame);
        // A plug-in that chose a larger window keeps it.
        if (content->width() >= 200 && content->height() >= 120)
            wanted = wanted.expandedTo(content->size() + frame);
    }
    const QSize available = m_area->viewport()->size();
    int others = 0;
    for (const QMdiSubWindow *other : m_area->subWindowList()) {
        if (other != window && other->isVisible() && !other->isMinimized())
            ++others;
    }
    const int step
        = qMax(16, window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window));
    int offset = others * step;
    QSize size = wanted.boundedTo(available - QSize(offset, offset)).expandedTo(minimum);
    if (offset + size.width() > available.width() || offset + size.height() > available.height()) {
        size = wanted.boundedTo(available).expandedTo(minimum);
        const int room = qMin(available.width() - size.width(), available.height() - size.height());
        const int positions = qMax(0, room) / step + 1;
        offset = (others % positions) * step;
    }
    window->setGeometry(QRect(QPoint(offset, offset), size));
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
    placeNewWindow(window);
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
    QStringList known = m_ports->ports();
    for (const QString &port : m_networkPorts) {
        if (!known.contains(port))
            known << port;
    }
    return PortWatcher::freePorts(known, ConnectionManager::instance()->heldPorts());
}

void SessionManager::setNetworkPorts(const QStringList &ports)
{
    if (ports == m_networkPorts)
        return;
    m_networkPorts = ports;
    distributePorts();
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
    // The area also reports activation while a sub-window is being destroyed, when it is no
    // longer a SensorSubWindow: the pointers are compared and cast as plain sub-windows.
    if (window == m_active)
        return;
    if (auto previous = qobject_cast<SensorSubWindow *>(m_active.data()))
        previous->setWindowActive(false);
    m_active = window;
    if (auto current = qobject_cast<SensorSubWindow *>(window))
        current->setWindowActive(true);
}

void SessionManager::onPortLost(const ExtensionSystem::PluginInterface *owner, const QString &port)
{
    for (SensorSubWindow *window : sensorWindows()) {
        if (window->pluginInterface() != owner)
            continue;
        m_lost.erase(
            std::remove_if(m_lost.begin(), m_lost.end(),
                           [window](const LostPort &lost) { return lost.window == window; }),
            m_lost.end());
        m_lost.append({ window, port, !m_ports->ports().contains(port), false });
        return;
    }
}

// The plug-in takes its window offline on its own after a lost port (its transactions fail,
// its connection check finds nothing). A window that is connected again after that (the user
// chose a port) is no longer followed; one that is still offline when its port is back gets
// connected, but not under an open message: the user reads it first.
void SessionManager::reconnectReturnedPorts()
{
    const QStringList ports = m_ports->ports();
    for (int i = 0; i < m_lost.size(); ++i) {
        LostPort &lost = m_lost[i];
        const bool offline = lost.window && lost.window->connectedPort().isEmpty();
        if (!lost.window || (!offline && lost.seenOffline)) {
            m_lost.removeAt(i--);
            continue;
        }
        lost.seenOffline = lost.seenOffline || offline;
        if (!ports.contains(lost.port)) {
            lost.seenGone = true;
            continue;
        }
        if (!m_reconnect || !offline || !lost.seenGone || QApplication::activeModalWidget())
            continue;
        // Taken off the list first: connecting runs nested event loops, in which the next
        // look comes here again.
        const LostPort returned = m_lost.takeAt(i);
        emit reconnecting(returned.window, returned.port);
        if (returned.window)
            returned.window->autoConnect(returned.port);
        return;
    }
}

void SessionManager::onConnectionsChanged()
{
    for (SensorSubWindow *window : sensorWindows())
        window->updateTitle();
    distributePorts();
}

} // namespace Orbexa::Internal
