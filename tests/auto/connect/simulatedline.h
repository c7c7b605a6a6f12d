#pragma once

// The host's connection manager handing out in-process connections to one simulated sensor on
// the port "sim0" (every other port cannot be opened), with time-outs and character delays
// scaled down so that a silent sensor costs little: 10 times (an identification waits 50 ms),
// so that answers still arrive in time on a loaded machine or in a sanitizer build.

#include "../common/testline.h"

#include <connectionmanager.h>
#include <sensortype.h>
#include <simulatedcommunication.h>
#include <simulatedsensor.h>

#include <QtTest>

#include <memory>

class SimulatedLine
{
public:
    explicit SimulatedLine(const char *sensorName = "QUX-T40 D", double timeScale = 0.1)
    {
        sensor = std::make_shared<QuxSim::SimulatedSensor>(TestLine::catalogueType(sensorName));
        ExtensionSystem::ConnectionManager::instance()->setFactory(
            QuxSim::SimulatedCommunication::factory(sensor, { QStringLiteral("sim0") },
                                                    TestLine::quickOptions(timeScale)));
    }
    ~SimulatedLine() { ExtensionSystem::ConnectionManager::instance()->setFactory({}); }

    void setFaults(const QuxSim::FaultSettings &faults) { sensor->setFaults(faults); }

    // The request bodies since the last call.
    QList<QByteArray> takeRequests() { return TestLine::takeRequests(*sensor); }

    std::shared_ptr<QuxSim::SimulatedSensor> sensor;
};

// How many identification requests `requests` holds; they must all come first, before anything
// else the connect sequence sends.
inline int identifications(const QList<QByteArray> &requests, const QByteArray &identify = "0V")
{
    const int total = int(requests.count(identify));
    for (int i = 0; i < total; ++i) {
        if (requests.at(i) != identify) {
            qWarning() << "identification requests are not first:" << requests;
            return -1;
        }
    }
    return total;
}
