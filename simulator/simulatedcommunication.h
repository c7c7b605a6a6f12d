#pragma once

#include "quxsim_global.h"
#include "simulatedsensor.h"

#include <extensionsystem/communicationinterface.h>
#include <extensionsystem/connectionmanager.h>

#include <QStringList>

#include <memory>

namespace QuxSim {

// Timing of a simulated connection.
struct QUXSIM_EXPORT SimulatedConnectionOptions
{
    int latencyMinMs = 2; // the sensor's reaction time, drawn per answer
    int latencyMaxMs = 5;
    double timeScale = 1.0; // scales time-outs and character delays (tests: e.g. 0.01)
    bool lineSpeed = false; // add 10 bit times per character at the port's rate
    quint32 seed = 1; // for the latency draw
};

// A host connection served in-process by a simulated sensor: the same transaction rules as the
// serial connection (ids from 1, one transaction at a time, emitFinished from the event loop,
// time-outs), with timers instead of a port. Answers are cut out and matched by the host's own
// AnswerCollector, exactly as on the serial line. Unlike a real line, an answer that arrives
// after its entry ended (a late answer) is known as such and dropped, never taken for the next
// entry.
//
// The sensor outlives connections: it is shared, so that a test can reopen the port and find
// the sensor as it left it, and read its request log at any time.
class QUXSIM_EXPORT SimulatedCommunication : public ExtensionSystem::CommunicationInterface
{
    Q_OBJECT

public:
    using Options = SimulatedConnectionOptions;

    explicit SimulatedCommunication(std::shared_ptr<SimulatedSensor> sensor,
                                    const ExtensionSystem::PortSettings &settings,
                                    const Options &options, QObject *parent = nullptr);
    explicit SimulatedCommunication(std::shared_ptr<SimulatedSensor> sensor,
                                    const ExtensionSystem::PortSettings &settings = {},
                                    QObject *parent = nullptr);
    ~SimulatedCommunication() override;

    void vSendRawData(std::string data) override;
    unsigned int uiSendDataFrame(DataFrame *frame) override;
    void vSetPortSettings(const ExtensionSystem::PortSettings &settings) override;
    ExtensionSystem::PortSettings getPortSettings() override;
    void vClose() override;

    bool isOpen() const;
    SimulatedSensor *sensor() const;

    // A factory for ConnectionManager::setFactory() that opens a connection to `sensor` on the
    // given ports (any port when the list is empty) and fails for every other port.
    static ExtensionSystem::ConnectionManager::Factory
    factory(std::shared_ptr<SimulatedSensor> sensor, const QStringList &ports = {},
            const Options &options = Options());

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace QuxSim
