#pragma once

#include <sensorbasic.h>

namespace ExtensionSystem {
class SerialPortInterface;
}

namespace DrumoSensorPlugin {
namespace Core {

// Pauses of one identification attempt, in milliseconds: after the wake-up "." and after the
// identification request. Tests shorten them; the host always gets the defaults.
struct ScanTiming
{
    unsigned long wakeUpPause = 10;
    unsigned long answerPause = 800;
};

// Probes one serial port for a sensor of the family: up to five identification attempts at
// 38400 baud. On an answer returns a new record (owned by the caller) with the group, type and
// firmware digit the sensor reported and the description "DrumoResponse"; else null. Blocks
// the calling thread, about 4 s for a silent port. The port is closed before every attempt and
// once more before returning.
ExtensionSystem::SensorBasic *scanPortForSensor(ExtensionSystem::SerialPortInterface *port,
                                                const ScanTiming &timing = ScanTiming());

} // namespace Core
} // namespace DrumoSensorPlugin
