#include "parameters/bulktransfer.h"

#include "model/parameterrows.h"
#include "parameters/attempts.h"
#include "parameters/parameterio.h"
#include "parameters/parametertable.h"
#include "parameters/rowdispatcher.h"
#include "parameters/sessionevents.h"
#include "parameters/sessionstate.h"
#include "protocol/temperature.h"

namespace DrumoSensorPlugin {
namespace Core {

BulkTransfer::BulkTransfer(ParameterIo &io, RowDispatcher &dispatcher, ParameterRows &rows,
                           SessionEvents &events, SessionState &state)
    : m_io(io)
    , m_dispatcher(dispatcher)
    , m_rows(rows)
    , m_events(events)
    , m_state(state)
{
}

// In the table's order; the temperatures are read with the sensor in °C.
void BulkTransfer::readAll()
{
    bool celsius = false;
    for (const ParameterDefinition &row : parameterTable) {
        if (!row.read)
            continue;
        if (row.temperature && !celsius) {
            m_io.vSwitchSensorUnit(false);
            celsius = true;
        }
        attempt(row.readAttempts, row.readTrace, [&] { return m_io.read(row); });
    }
    if (m_io.unitIndex() == 1)
        attempt(5, nullptr, [&] { return m_io.bWriteUnit(1); });

    emit m_events.analogChartChanged();
    emit m_events.upperMarkChanged();
}

void BulkTransfer::writeAll()
{
    for (const QString &id : m_rows.ids()) {
        switch (m_rows.kind(id)) {
        case ParameterRows::Kind::Enumerator:
        case ParameterRows::Kind::Integer:
        case ParameterRows::Kind::Double:
        case ParameterRows::Kind::Bool:
            // Does nothing once the view went offline.
            m_dispatcher.apply(id, m_rows.value(id));
            break;
        default:
            break;
        }
    }
}

bool BulkTransfer::factoryReset()
{
    if (!m_io.sendFactoryReset())
        return false;
    readAll();

    // The host's own settings (the analog range's upper end, the chart's temperature, the
    // expert rows) go back to its defaults; the sensor's factory values the table names are
    // written once more.
    m_state.measuredTemp = true;
    for (const ParameterDefinition &row : parameterTable) {
        if (row.reset != ResetAction::HostValue)
            continue;
        const QString id = row.rowId();
        if (row.has(ExpertRows))
            emit m_events.expertMenuChanged(row.resetValue != 0.0);
        if (!row.temperature) {
            m_rows.setValue(id, int(row.resetValue));
        } else if (m_rows.contains(id)) {
            m_rows.setMaximum(id, sensorLimits.highest);
            m_rows.setMinimum(id, sensorLimits.lowest);
            m_rows.setValue(id, row.resetValue);
        }
    }
    for (const ParameterDefinition &row : parameterTable) {
        if (row.reset == ResetAction::SensorValue)
            attempt(5, nullptr, [&] { return m_io.write(row, row.resetValue); });
    }
    return true;
}

} // namespace Core
} // namespace DrumoSensorPlugin
