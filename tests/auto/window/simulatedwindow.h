#pragma once

// A sensor window on a port to an in-process simulated sensor of the same catalogue type, for
// the tests of what the window sends and shows. The sensor outlives the connection, so a test
// reads its request log and parameters at any time.

#include "windowprobe.h"

#include "../common/testline.h"

#include <sensortype.h>
#include <simulatedcommunication.h>
#include <simulatedsensor.h>

#include <memory>
#include <optional>

namespace DrumoSensorPlugin {
namespace Core {

class SimulatedWindow
{
public:
    // `timeScale` shortens the connection's time-outs and delays (a silent sensor costs
    // timeout × timeScale per request). A `record` given replaces the catalogue's in the window.
    explicit SimulatedWindow(const char *sensorName = "QUX-T40 D", double timeScale = 0.1,
                             const std::optional<Sensor> &record = std::nullopt)
    {
        sensor = std::make_shared<QuxSim::SimulatedSensor>(TestLine::catalogueType(sensorName));

        ExtensionSystem::PortSettings settings;
        settings.vInit();
        settings.portName = QStringLiteral("sim0");
        connection = std::make_unique<QuxSim::SimulatedCommunication>(
            sensor, settings, TestLine::quickOptions(timeScale));

        window
            = std::make_unique<SensorWindow>(record ? *record : findSensorInCatalogue(sensorName));
        tester = std::make_unique<WindowProbe>(window.get());
        window->setConnection(connection.get());
    }

    ~SimulatedWindow()
    {
        // The window first: it may still hold the connection.
        tester.reset();
        window.reset();
        connection.reset();
    }

    // The state after a successful connect, without its requests: edits reach the sensor.
    void markConnected()
    {
        tester->setConnected(true);
        tester->view().setEditsReachSensor(true);
    }

    // The bodies of the requests the sensor received since the last call.
    QList<QByteArray> takeRequests() { return TestLine::takeRequests(*sensor); }

    QuxSim::SensorParameters &held() { return sensor->model().parameters(); }
    ParameterRows &rows() { return tester->rows(); }

    std::shared_ptr<QuxSim::SimulatedSensor> sensor;
    std::unique_ptr<QuxSim::SimulatedCommunication> connection;
    std::unique_ptr<SensorWindow> window;
    std::unique_ptr<WindowProbe> tester;
};

} // namespace Core
} // namespace DrumoSensorPlugin
