#include "sensorsubwindow.h"

#include "hostlog.h"
#include "pluginloader.h"

#include <connectionmanager.h>
#include <plugininterface.h>

#include <QCloseEvent>
#include <QMdiArea>
#include <QTimer>

using ExtensionSystem::ConnectionManager;
using ExtensionSystem::PluginInterface;

namespace Orbexa::Internal {

SensorSubWindow::SensorSubWindow(LoadedPlugin *plugin, const ExtensionSystem::SensorBasic &sensor,
                                 QWidget *parent)
    : QMdiSubWindow(parent)
    , m_plugin(plugin)
    , m_sensor(sensor)
{
    setAttribute(Qt::WA_DeleteOnClose);
    updateTitle();
}

SensorSubWindow::~SensorSubWindow()
{
    // Before QWidget's destructor deletes our children, the plug-in's window among them.
    releaseInterface(true);
}

QString SensorSubWindow::sensorName() const
{
    return QString::fromStdString(m_sensor.name());
}

QString SensorSubWindow::connectedPort() const
{
    return m_interface ? ConnectionManager::instance()->portOf(m_interface) : QString();
}

bool SensorSubWindow::createInterface(QString *error)
{
    PluginInterface *pluginInterface = m_plugin->createInterface(m_sensor, this);
    if (!pluginInterface) {
        *error = tr("The plug-in %1 returned no interface for the sensor %2.")
                     .arg(m_plugin->name(), sensorName());
        return false;
    }
    m_interface = pluginInterface;
    m_pluginWidget = widget();
    if (m_pluginWidget)
        m_pluginWidget->installEventFilter(this);
    invoke("setSensorName", Q_ARG(QString, sensorName()));
    updateTitle();
    return true;
}

bool SensorSubWindow::invoke(const char *slot, QGenericArgument argument)
{
    if (!m_interface)
        return false;
    if (!QMetaObject::invokeMethod(m_interface, slot, Qt::DirectConnection, argument)) {
        qCDebug(hostLog) << "The interface of" << sensorName() << "has no slot" << slot;
        return false;
    }
    return true;
}

void SensorSubWindow::offerPorts(const QStringList &ports)
{
    if (!m_interface || (m_portsOffered && ports == m_offeredPorts))
        return;
    m_portsOffered = true;
    m_offeredPorts = ports;
    m_interface->vAvailablePortsUpdated(ports);
}

void SensorSubWindow::setWindowActive(bool active)
{
    invoke("setWindowActive", Q_ARG(bool, active));
}

void SensorSubWindow::sendUpdate(const QVariant &value)
{
    invoke("vUpdate", Q_ARG(QVariant, value));
}

void SensorSubWindow::openSettings(const QString &fileName)
{
    if (m_interface)
        m_interface->vActionOpen(fileName);
}

void SensorSubWindow::autoConnect(const QString &port)
{
    if (m_interface)
        m_interface->vAutoConnect(port);
}

void SensorSubWindow::updateTitle()
{
    const QString port = connectedPort();
    setWindowTitle(port.isEmpty() ? sensorName() : tr("%1 on %2").arg(sensorName(), port));
}

void SensorSubWindow::closeEvent(QCloseEvent *event)
{
    if (!releaseInterface(false)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

bool SensorSubWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The plug-in may close its window on its own (an exit action of its own); the empty
    // frame around it then goes too, once the close has gone through.
    if (watched == m_pluginWidget && event->type() == QEvent::Close && !m_releasing) {
        QTimer::singleShot(0, this, [this] {
            if (!m_releasing && (!m_pluginWidget || m_pluginWidget->isHidden()))
                close();
        });
    }
    return QMdiSubWindow::eventFilter(watched, event);
}

bool SensorSubWindow::releaseInterface(bool force)
{
    if (!m_interface || m_releasing)
        return true;
    m_releasing = true;

    const bool wasHidden = !m_pluginWidget || m_pluginWidget->isHidden();
    invoke("vActionExit", Q_ARG(QString, QString()));
    if (!force && !wasHidden && m_pluginWidget && !m_pluginWidget->isHidden()) {
        // The window said no (for example the user cancelled a question it asked).
        m_releasing = false;
        return false;
    }

    if (m_pluginWidget) {
        m_pluginWidget->removeEventFilter(this);
        if (widget() == m_pluginWidget)
            setWidget(nullptr);
    }
    PluginInterface *pluginInterface = m_interface;
    m_interface = nullptr;
    delete pluginInterface;
    if (m_pluginWidget) {
        // An interface that did not delete its window leaves it to us. It may still be working
        // in it (a message of its own open while the host quits from a timer, after which it
        // deletes the window itself), so it is not deleted from under that work: hidden, it
        // goes with the area at the latest, not as a top-level window of its own.
        qCDebug(hostLog) << "The interface of" << sensorName() << "left its window behind";
        if (QMdiArea *area = mdiArea()) {
            m_pluginWidget->hide();
            m_pluginWidget->setParent(area);
            m_pluginWidget->hide();
        } else {
            m_pluginWidget->deleteLater();
        }
    }
    m_releasing = false;
    return true;
}

} // namespace Orbexa::Internal
