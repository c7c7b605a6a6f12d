#pragma once

#include "model/sensor.h"

#include <sensorbasic.h>

#include <QString>

#include <list>
#include <string>

namespace DrumoSensorPlugin {
namespace Core {

// The catalogue "QUXfamily.xml" next to the host application lists the sensor types of the
// family. A missing, unreadable or foreign catalogue (documentId other than "QUXfamily",
// compared case-sensitively, or no documentId or sensorList at all) is not an error to the
// user: the list is empty and a lookup gives a default record. Nothing is cached; every call
// reads the file anew. None of these functions throws.

// <application directory>/QUXfamily.xml
QString sensorCataloguePath();

// Every entry that the host's record reader accepts, in document order.
std::list<ExtensionSystem::SensorBasic> readSensorCatalogue();
std::list<ExtensionSystem::SensorBasic> readSensorCatalogue(const QString &path);

// The record of the first entry whose name equals `name` byte for byte, else a default record.
Sensor findSensorInCatalogue(const std::string &name);
Sensor findSensorInCatalogue(const std::string &name, const QString &path);

} // namespace Core
} // namespace DrumoSensorPlugin
