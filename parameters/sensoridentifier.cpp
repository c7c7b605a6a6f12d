// Not built yet: the identification on the open port. Nothing answers.

#include "parameters/sensoridentifier.h"

#include "model/sensor.h"

namespace DrumoSensorPlugin {
namespace Core {

IdentifyResult identifySensor(ExtensionSystem::CommunicationInterface *, TransactionRunner &,
                              const Sensor &)
{
    return {};
}

} // namespace Core
} // namespace DrumoSensorPlugin
