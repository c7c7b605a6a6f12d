#pragma once

#include "plugin/plugin_global.h"

#include <list>

class QMdiSubWindow;

namespace ExtensionSystem {
class PluginInterface;
class SensorBasic;
class SerialPortInterface;
} // namespace ExtensionSystem

// The eight functions through which the host drives the plug-in. C linkage, resolved by name.
QUXFAMILY_EXPORT void vInitialisePlugin();
QUXFAMILY_EXPORT const char *pcHalvornOrbexaPluginName();
QUXFAMILY_EXPORT const char *pcPluginVersion();
QUXFAMILY_EXPORT const char *pcDescription();
QUXFAMILY_EXPORT const char *pcCommunicationType();
QUXFAMILY_EXPORT void vSensorMap(std::list<ExtensionSystem::SensorBasic> &sensors);
QUXFAMILY_EXPORT ExtensionSystem::SensorBasic *
scanForSensor(ExtensionSystem::SerialPortInterface *port);
QUXFAMILY_EXPORT ExtensionSystem::PluginInterface *
poGetInterfaceInstance(const ExtensionSystem::SensorBasic *sensor, QMdiSubWindow *subWindow);
