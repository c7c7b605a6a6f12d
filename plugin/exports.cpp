#include "plugin/exports.h"

#include <plugininterface.h>
#include <sensorbasic.h>
#include <serialportinterface.h>

void vInitialisePlugin() {}

const char *pcHalvornOrbexaPluginName()
{
    return "QUXfamily";
}

const char *pcPluginVersion()
{
    return "1.0.0";
}

const char *pcDescription()
{
    return "Plugin for handling Vexa sensors family";
}

const char *pcCommunicationType()
{
    return "SERIAL";
}

void vSensorMap(std::list<ExtensionSystem::SensorBasic> &sensors)
{
    sensors.clear();
}

ExtensionSystem::SensorBasic *scanForSensor(ExtensionSystem::SerialPortInterface *port)
{
    Q_UNUSED(port)
    return nullptr;
}

ExtensionSystem::PluginInterface *poGetInterfaceInstance(const ExtensionSystem::SensorBasic *sensor,
                                                         QMdiSubWindow *subWindow)
{
    Q_UNUSED(sensor)
    Q_UNUSED(subWindow)
    return nullptr;
}
