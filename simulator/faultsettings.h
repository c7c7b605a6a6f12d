#pragma once

#include "quxsim_global.h"

#include <QMetaType>

namespace QuxSim {

// Faults the simulated line injects. Percentages are per request and drawn from the sensor's
// seeded generator, so a run with the same seed and the same requests repeats exactly.
struct QUXSIM_EXPORT FaultSettings
{
    enum class BaudMismatch {
        Garble, // answers turn into unreadable bytes while host and sensor rates differ
        Ignore, // the sensor answers whatever rate the host uses
    };

    bool silent = false; // never answer
    double dropPercent = 0.0; // answers lost after the sensor acted on the request
    double corruptPercent = 0.0; // answers with wrong checksum digits
    int delayMs = 0; // every answer leaves this much later
    int noiseBytes = 0; // random bytes before and after every answer (never "/")
    bool foreignGroup = false; // identification reports another group
    bool foreignType = false; // identification reports a type number not in the catalogue entry
    BaudMismatch baudMismatch = BaudMismatch::Garble;
    int unplugAfter = -1; // the line goes away after answering this many requests; -1 never
};

} // namespace QuxSim

Q_DECLARE_METATYPE(QuxSim::FaultSettings)
