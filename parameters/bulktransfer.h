#pragma once

namespace DrumoSensorPlugin {
namespace Core {

class ParameterIo;
class ParameterRows;
class RowDispatcher;
class SessionEvents;
struct SessionState;

// The whole parameter set at once: from the sensor into the rows, from the rows to the
// sensor, and the sensor's factory defaults.
class BulkTransfer
{
public:
    BulkTransfer(ParameterIo &io, RowDispatcher &dispatcher, ParameterRows &rows,
                 SessionEvents &events, SessionState &state);

    // Every parameter in a fixed order (the unit before any temperature, the sensor switched to
    // °C for the temperature reads and back to °F at the end when the rows show °F). Each step
    // has its own attempts; a failed parameter keeps its row's value and the read goes on.
    void readAll();

    // Every row in pre-order through the row dispatch; rows without a command send nothing.
    // Stops sending when the dispatch's connection check fails (the view went offline).
    // Callers clear deferValueWrites first, so that the deferred rows go out at once and the
    // analog range as it stands, and set it again afterwards.
    void writeAll();

    // "0R", then reading all, then the host's own defaults (the chart's temperature and the
    // table's host values) and the table's sensor values written once more. False when "0R"
    // failed.
    bool factoryReset();

private:
    ParameterIo &m_io;
    RowDispatcher &m_dispatcher;
    ParameterRows &m_rows;
    SessionEvents &m_events;
    SessionState &m_state;
};

} // namespace Core
} // namespace DrumoSensorPlugin
