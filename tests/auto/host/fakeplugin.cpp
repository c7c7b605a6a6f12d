// A small plug-in for the host's tests: the eight entry points around an interface object that
// records every call the host makes in the application property "fakeCalls", so that tests can
// check order and lifetime even after the object is gone.

#include <globals.h>
#include <plugininterface.h>
#include <sensorbasic.h>
#include <serialportinterface.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMdiSubWindow>
#include <QThread>

#define FAKE_EXPORT extern "C" Q_DECL_EXPORT

namespace {

void record(const QString &call)
{
    QStringList calls = qApp->property("fakeCalls").toStringList();
    calls << call;
    qApp->setProperty("fakeCalls", calls);
}

ExtensionSystem::SensorBasic makeSensor(const char *name, int group, std::vector<int> types)
{
    ExtensionSystem::SensorBasic sensor;
    sensor.setName(name);
    sensor.setGroup(group);
    sensor.setType(types);
    return sensor;
}

class FakeWindow : public QWidget
{
public:
    FakeWindow() { new QLabel(QStringLiteral("fake sensor window"), this); }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (qApp->property("fakeRefuseClose").toBool()) {
            event->ignore();
            return;
        }
        record(QStringLiteral("windowClosed"));
        event->accept();
    }
    void changeEvent(QEvent *event) override
    {
        if (event->type() == QEvent::LanguageChange)
            record(QStringLiteral("languageChange:")
                   + QString::fromStdString(ExtensionSystem::Globals::getLanguage()));
        QWidget::changeEvent(event);
    }
};

class FakeInterface : public ExtensionSystem::PluginInterface
{
    Q_OBJECT

public:
    explicit FakeInterface(QMdiSubWindow *subWindow)
        : m_window(new FakeWindow)
    {
        subWindow->setWidget(m_window);
        m_window->show();
    }
    ~FakeInterface() override
    {
        vUnregisterPlugin(this);
        delete m_window;
        record(QStringLiteral("destroyed"));
    }

    void vAvailablePortsUpdated(QStringList ports) override
    {
        record(QStringLiteral("ports:") + ports.join(QLatin1Char(',')));
    }
    void vActionOpen(const QString &fileName) override
    {
        record(QStringLiteral("open:") + fileName);
    }
    void vAutoConnect(const QString &port) override
    {
        record(QStringLiteral("autoConnect:") + port);
        ExtensionSystem::PortSettings settings;
        settings.portName = port;
        vRegisterConnection(settings, &m_connection, this);
    }

public slots:
    void vUpdate(const QVariant &value) { record(QStringLiteral("update:") + value.toString()); }
    void vActionExit(const QString &)
    {
        record(QStringLiteral("exit"));
        m_window->close();
    }
    void setWindowActive(bool active)
    {
        record(QStringLiteral("active:") + QString::number(active));
    }
    void setSensorName(const QString &name) { record(QStringLiteral("name:") + name); }

private:
    FakeWindow *m_window;
    ExtensionSystem::CommunicationInterface *m_connection = nullptr;
};

} // namespace

FAKE_EXPORT void vInitialisePlugin() { }

FAKE_EXPORT const char *pcHalvornOrbexaPluginName()
{
    return "FakeSensors";
}

FAKE_EXPORT const char *pcPluginVersion()
{
    return "0.1.0";
}

FAKE_EXPORT const char *pcDescription()
{
    return "Sensors for testing the host";
}

FAKE_EXPORT const char *pcCommunicationType()
{
    return "SERIAL";
}

FAKE_EXPORT void vSensorMap(std::list<ExtensionSystem::SensorBasic> &sensors)
{
    sensors.clear();
    sensors.push_back(makeSensor("Fake A", 7, { 1, 2 }));
    sensors.push_back(makeSensor("Fake B", 7, { 3 }));
    sensors.push_back(makeSensor("Fake Null", 8, { 1 }));
}

#ifndef FAKE_WITHOUT_SCAN
// Nothing answers. Ports named "slow..." keep the scan busy for seconds unless the host cancels
// (the port then reports -1 bytes available).
FAKE_EXPORT ExtensionSystem::SensorBasic *scanForSensor(ExtensionSystem::SerialPortInterface *port)
{
    QString name;
    port->vGetPortName(name);
    port->vPrepare();
    const bool slow = name.startsWith(QLatin1String("slow"));
    for (int i = 0; slow && i < 100 && port->iBytesAvailable() >= 0; ++i)
        QThread::msleep(50);
    port->vClose();
    return nullptr;
}
#endif

FAKE_EXPORT ExtensionSystem::PluginInterface *
poGetInterfaceInstance(const ExtensionSystem::SensorBasic *sensor, QMdiSubWindow *subWindow)
{
    if (!subWindow || sensor->name() == "Fake Null")
        return nullptr;
    return new FakeInterface(subWindow);
}

#include "fakeplugin.moc"
