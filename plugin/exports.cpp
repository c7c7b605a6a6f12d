#include "plugin/exports.h"

#include "model/sensorcatalogue.h"
#include "plugin/sensorinterface.h"
#include "plugin/sensorscan.h"

#include <plugininterface.h>
#include <sensorbasic.h>
#include <serialportinterface.h>

// Nothing may unwind into the host: every entry point that does real work catches everything
// and reports failure through its result.

void vInitialisePlugin() { }

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
    try {
        sensors = DrumoSensorPlugin::Core::readSensorCatalogue();
    } catch (...) {
        sensors.clear();
    }
}

ExtensionSystem::SensorBasic *scanForSensor(ExtensionSystem::SerialPortInterface *port)
{
    if (!port)
        return nullptr;
    try {
        return DrumoSensorPlugin::Core::scanPortForSensor(port);
    } catch (...) {
        return nullptr;
    }
}

ExtensionSystem::PluginInterface *poGetInterfaceInstance(const ExtensionSystem::SensorBasic *sensor,
                                                         QMdiSubWindow *subWindow)
{
    if (!subWindow || !sensor)
        return nullptr;
    try {
        return new DrumoSensorPlugin::Core::SensorInterface(sensor, subWindow);
    } catch (...) {
        return nullptr;
    }
}
