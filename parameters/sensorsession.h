#pragma once

#include "model/sensor.h"
#include "parameters/bulktransfer.h"
#include "parameters/livepoller.h"
#include "parameters/parameterio.h"
#include "parameters/rowdispatcher.h"
#include "parameters/sensoridentifier.h"
#include "parameters/sessionevents.h"
#include "parameters/sessionstate.h"

namespace DrumoSensorPlugin {
namespace Core {

class ParameterRows;
class SensorView;

// Everything that talks to one opened sensor, without a widget: the single parameters, the row
// dispatch, the bulk transfers, the identification and the live polling, over one transaction
// runner, one set of rows and one view. The window owns one and forwards its sensor-facing
// members into it; command-line tools build one on rows kept in memory.
class SensorSession
{
public:
    SensorSession(const Sensor &sensor, TransactionRunner &runner, ParameterRows &rows,
                  SensorView &view);

    const Sensor &sensor() const { return m_sensor; }
    SessionState &state() { return m_state; }
    const SessionState &state() const { return m_state; }

    // The connection of the open port, null when none: the live polling uses it directly, the
    // synchronous transactions through the runner.
    void setConnection(ExtensionSystem::CommunicationInterface *connection);
    ExtensionSystem::CommunicationInterface *connection() const { return m_connection; }

    IdentifyResult identify();

    ParameterIo &io() { return m_io; }
    RowDispatcher &dispatcher() { return m_dispatcher; }
    BulkTransfer &bulk() { return m_bulk; }
    LivePoller &poller() { return m_poller; }
    ParameterRows &rows() { return m_rows; }
    SensorView &view() { return m_view; }
    SessionEvents &events() { return m_events; }

private:
    Sensor m_sensor;
    TransactionRunner &m_runner;
    ParameterRows &m_rows;
    SensorView &m_view;
    SessionState m_state;
    QPointer<ExtensionSystem::CommunicationInterface> m_connection;
    SessionEvents m_events;
    LivePoller m_poller;
    ParameterIo m_io;
    RowDispatcher m_dispatcher;
    BulkTransfer m_bulk;
};

} // namespace Core
} // namespace DrumoSensorPlugin
