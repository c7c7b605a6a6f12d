#pragma once

#include "parameters/transactionrunner.h"
#include "protocol/identification.h"

#include <QString>

namespace DrumoSensorPlugin {
namespace Core {

class Sensor;

struct IdentifyResult
{
    enum Status {
        Identified,
        NoAnswer, // twelve attempts without an answer
        ForeignGroup, // a sensor of another group answered
        ForeignType, // a sensor of the right group but none of the record's types answered
    };
    Status status = NoAnswer;
    // The firmware character, when the answer's checksum was right; else empty.
    QString firmware;
    Identification identification;
};

// Finds the sensor on the open port: up to twelve identification requests, each after one step
// of the host's baud stepping (PortSettings::vSetBaudrateDefault(1)) applied to the connection,
// so that a sensor whose rate was changed is found again. Any complete answer counts, also one
// that does not match the pattern; its group and type are then compared with the record. An
// answer after a step of the rate is taken only when the request, sent once more at the same
// rate, is answered too: the first may be a late answer to the attempt before.
IdentifyResult identifySensor(ExtensionSystem::CommunicationInterface *connection,
                              TransactionRunner &runner, const Sensor &sensor);

} // namespace Core
} // namespace DrumoSensorPlugin
