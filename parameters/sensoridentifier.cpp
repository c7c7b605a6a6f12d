// The identification on the open port: which sensor answers, at which of the standard rates.

#include "parameters/sensoridentifier.h"

#include "model/sensor.h"
#include "protocol/commands.h"
#include "protocol/frame.h"

#include <networkport.h>

#include <QDebug>
#include <QPointer>

#include <algorithm>

namespace DrumoSensorPlugin {
namespace Core {

namespace {
// Enough for the host's baud stepping to go round the five standard rates twice.
constexpr int identificationAttempts = 12;
} // namespace

IdentifyResult identifySensor(ExtensionSystem::CommunicationInterface *connection,
                              TransactionRunner &runner, const Sensor &sensor)
{
    IdentifyResult result;
    // One frame for every attempt: the connection resets its entry before each run.
    DataFrame frame { makeRequest(Command::Identify, {}, lineTiming(sensor)) };
    // The port may close inside a wait (the adapter unplugged, the window going offline).
    QPointer<ExtensionSystem::CommunicationInterface> line = connection;
    if (!line)
        return result;

    // Copied once; the host's baud stepping (vSetBaudrateDefault(1) before every attempt)
    // decides which rate each attempt tries. Where a new identification starts its round is
    // the host's: the step count travels with the settings the connection holds.
    ExtensionSystem::PortSettings settings = line->getPortSettings();
    // A serial device server's line rate is set on the server: nothing to step through there.
    const bool stepRates = !ExtensionSystem::NetworkPort::isNetworkPortName(settings.portName);
    bool answered = false;
    for (int attempt = 0; attempt < identificationAttempts && !answered; ++attempt) {
        if (stepRates) {
            settings.vSetBaudrateDefault(1);
            qDebug().nospace() << "BAUDRATE::: " << settings.baudrate;
            line->vSetPortSettings(settings);
        }
        runner.runTransaction(frame);
        if (!line)
            return result;
        // Any complete answer counts, also one that does not match the pattern: its group and
        // type tell whether the right sensor is on the line.
        answered = frame.front().status != 0;
    }
    if (!answered)
        return result;

    const std::string &answer = frame.front().answer;
    const std::string body = decodeFrame(answer);
    if (body.size() > 3)
        result.firmware = QString(QLatin1Char(body[3]));

    // An answer without a "/" is no answer from this family; it reads as group 0.
    result.identification = parseIdentification(answer).value_or(Identification {});
    if (result.identification.group != sensor.group()) {
        result.status = IdentifyResult::ForeignGroup;
        return result;
    }
    const std::vector<int> &types = sensor.type();
    if (std::find(types.begin(), types.end(), result.identification.type) == types.end()) {
        result.status = IdentifyResult::ForeignType;
        return result;
    }
    result.status = IdentifyResult::Identified;
    return result;
}

} // namespace Core
} // namespace DrumoSensorPlugin
