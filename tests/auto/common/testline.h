#pragma once

// What the in-process fixtures share: a simulated sensor of a type of the catalogue that lies
// next to the test programs, and a line to it whose time-outs and delays are scaled down
// (`timeScale`: a silent sensor costs timeout × timeScale per request) with at most 1 ms of
// latency, so that a test runs quickly and answers still arrive in time on a loaded machine.

#include <sensortype.h>
#include <simulatedcommunication.h>

#include <QCoreApplication>

namespace TestLine {

inline QuxSim::SensorType catalogueType(const char *sensorName)
{
    const QList<QuxSim::SensorType> types = QuxSim::readCatalogue(
        QCoreApplication::applicationDirPath() + QStringLiteral("/QUXfamily.xml"));
    QuxSim::SensorType type;
    if (!QuxSim::findSensorType(types, QString::fromUtf8(sensorName), &type))
        qFatal("no sensor type %s in the catalogue", sensorName);
    return type;
}

inline QuxSim::SimulatedConnectionOptions quickOptions(double timeScale = 0.1)
{
    QuxSim::SimulatedConnectionOptions options;
    options.latencyMinMs = 0;
    options.latencyMaxMs = 1;
    options.timeScale = timeScale;
    return options;
}

// The request bodies `sensor` received since the last call.
inline QList<QByteArray> takeRequests(QuxSim::SimulatedSensor &sensor)
{
    const QList<QByteArray> requests = sensor.log().requests();
    sensor.log().clear();
    return requests;
}

} // namespace TestLine
