#include "plugin/sensorinterface.h"

#include "model/sensorcatalogue.h"
#include "window/sensorwindow.h"

#include <communicationinterface.h>
#include <sensorbasic.h>

#include <QMdiSubWindow>

namespace DrumoSensorPlugin {
namespace Core {

SensorInterface::SensorInterface(const ExtensionSystem::SensorBasic *sensor,
                                 QMdiSubWindow *subWindow)
    : ExtensionSystem::PluginInterface(nullptr)
    , connected(false)
    , communication(nullptr)
{
    // Only the name counts: it selects the sensor type's whole record in the catalogue.
    window = new SensorWindow(findSensorInCatalogue(sensor ? sensor->name() : std::string()));
    if (subWindow)
        subWindow->setWidget(window);
    window->resize(800, 500);
    window->show();

    connect(window, &SensorWindow::vSendData, this, &SensorInterface::vSendDataBytes);
    connect(window, &SensorWindow::vComPortSelected, this, &SensorInterface::vComPortChanged);
    connect(window, &SensorWindow::vAboutToClose, this, &SensorInterface::vAboutToClose);
    connected = false;
}

SensorInterface::~SensorInterface()
{
    vUnregisterPlugin(this);
    if (window && window->isWaiting()) {
        // Destroyed from inside one of the window's own waits (a host quitting from a timer):
        // the code that waits still works in the window, so it deletes itself once the waits
        // are over.
        window->hide();
        window->setParent(nullptr);
        window->abandon();
        return;
    }
    delete window.data();
}

SensorWindow *SensorInterface::sensorWindow() const
{
    return window;
}

QString SensorInterface::getPluginNamespace()
{
    return QStringLiteral("DrumoSensorPlugin");
}

QString SensorInterface::getPluginGroup()
{
    return QStringLiteral("DrumoSensors");
}

QStringList SensorInterface::getList()
{
    return {};
}

void SensorInterface::vComPortListChanged() { }

void SensorInterface::releaseConnection()
{
    communication = nullptr;
    if (window)
        window->setConnection(nullptr);
    portSettings.vInit();
    connected = false;
}

void SensorInterface::vComPortChanged(const QString &port)
{
    if (port.isEmpty()) {
        if (connected) {
            vUnregisterConnection(this);
            releaseConnection();
        }
        return;
    }
    if (port == portSettings.portName)
        return;

    if (connected)
        vUnregisterConnection(this);
    connected = false;
    portSettings.vInit();
    portSettings.portName = port;
    if (window) {
        const Sensor &record = window->sensorRecord();
        // A record without rates keeps the default rate of vInit().
        const std::vector<int> rates = record.getBaudrates();
        if (!rates.empty())
            portSettings.baudrate = rates.front();
        portSettings.characterDelay = record.getCharacterDelay();
        portSettings.lineDelay = record.getLineDelay();
    }
    portSettings.baudrateStep = 0;

    communication = nullptr;
    vRegisterConnection(portSettings, &communication, this);
    if (communication) {
        connected = true;
        if (window)
            window->setConnection(communication);
    } else if (window) {
        // The port name stays: choosing the same port again registers nothing until another
        // port was chosen in between.
        window->setConnection(nullptr);
    }
}

void SensorInterface::vUpdate(const QVariant &hideTree)
{
    if (window)
        window->vSensorUpdate(hideTree);
}

void SensorInterface::vSendDataBytes(const QString &text)
{
    if (!communication)
        return;
    const QByteArray bytes = text.toLatin1();
    // The connection takes the text up to its first zero byte.
    communication->vSendRawData(std::string(bytes.constData()));
}

void SensorInterface::vReceivedData(const QString &text)
{
    Q_UNUSED(text)
}

void SensorInterface::vAvailablePortsUpdated(QStringList ports)
{
    if (!window)
        return;
    // Refilling the window's port box must not look like a user's choice.
    disconnect(window, &SensorWindow::vComPortSelected, this, &SensorInterface::vComPortChanged);
    // The port in use is no longer free, yet it must stay selectable.
    if (connected)
        ports.append(portSettings.portName);
    window->updateComPortList(ports);
    connect(window, &SensorWindow::vComPortSelected, this, &SensorInterface::vComPortChanged);
}

void SensorInterface::vActionOpen(const QString &fileName)
{
    if (window)
        window->bOpenSettings(fileName);
}

void SensorInterface::vActionExport(const QString &fileName)
{
    Q_UNUSED(fileName)
}

void SensorInterface::vActionExit(const QString &text)
{
    Q_UNUSED(text)
    if (window)
        window->close();
}

void SensorInterface::setWindowActive(bool active)
{
    if (window)
        window->setWindowActive(active);
}

void SensorInterface::vAboutToClose()
{
    vUnregisterConnection(this);
    releaseConnection();
}

void SensorInterface::vAutoConnect(const QString &port)
{
    if (window)
        window->vAutoConnect(QString(port));
}

void SensorInterface::setSensorName(const QString &name)
{
    sensorName = name;
}

QString SensorInterface::getSensorName()
{
    return sensorName;
}

void SensorInterface::receivedData(std::string data)
{
    // Answers reach the window through the connection's transactions, not through here.
    const QString text = QString::fromStdString(data);
    Q_UNUSED(text)
}

} // namespace Core
} // namespace DrumoSensorPlugin
