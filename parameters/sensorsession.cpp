#include "parameters/sensorsession.h"

#include <networkport.h>

namespace DrumoSensorPlugin {
namespace Core {

SensorSession::SensorSession(const Sensor &sensor, TransactionRunner &runner, ParameterRows &rows,
                             SensorView &view)
    : m_sensor(sensor)
    , m_runner(runner)
    , m_rows(rows)
    , m_view(view)
    , m_poller(m_state)
    , m_io(runner, rows, m_events, m_state, lineTiming(sensor))
    , m_dispatcher(m_io, rows, view, m_events, m_poller, m_state, m_connection)
    , m_bulk(m_io, m_dispatcher, rows, m_events, m_state)
{
    m_state.analogLow = double(sensor.getChartRangeMin());
    m_state.analogHigh = double(sensor.getChartRangeMax());
}

void SensorSession::setConnection(ExtensionSystem::CommunicationInterface *connection)
{
    m_connection = connection;
    m_poller.setConnection(connection);
    m_state.lineRateFixed = connection
        && ExtensionSystem::NetworkPort::isNetworkPortName(connection->getPortSettings().portName);
}

IdentifyResult SensorSession::identify()
{
    return identifySensor(m_connection, m_runner, m_sensor);
}

} // namespace Core
} // namespace DrumoSensorPlugin
