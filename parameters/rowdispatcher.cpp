#include "parameters/rowdispatcher.h"

#include "model/parameterrows.h"
#include "parameters/attempts.h"
#include "parameters/livepause.h"
#include "parameters/parameterio.h"
#include "parameters/parametertable.h"
#include "parameters/sensorview.h"
#include "parameters/sessionevents.h"
#include "parameters/sessionstate.h"

#include <QtMath>

#include <iterator>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

constexpr int writeAttempts = 5;
constexpr int dispatchRepeats = 2;

} // namespace

RowDispatcher::RowDispatcher(ParameterIo &io, ParameterRows &rows, SensorView &view,
                             SessionEvents &events, LivePoller &poller, SessionState &state,
                             const Connection &connection)
    : m_io(io)
    , m_rows(rows)
    , m_view(view)
    , m_events(events)
    , m_poller(poller)
    , m_state(state)
    , m_connection(connection)
{
}

void RowDispatcher::apply(const QString &id, const QVariant &value)
{
    if (!m_state.connected)
        return;
    LivePause pause(m_poller);
    if (writeRow(id, value) == Outcome::Failed) {
        // A failed connection check means the view went offline: no repeat then.
        if (m_view.checkConnection() && m_repeats++ < dispatchRepeats)
            apply(id, value);
        m_repeats = 0;
    }
}

RowDispatcher::Outcome RowDispatcher::writeRow(const QString &id, const QVariant &value)
{
    const ParameterDefinition *row = findParameter(id);
    if (!row || row->coding == ValueCoding::Unhandled)
        return Outcome::Failed;
    const QVariant current = m_rows.contains(id) ? m_rows.value(id) : value;
    const int index = current.toInt();

    if (row->has(ExpertRows))
        emit m_events.expertMenuChanged(index != 0);
    if (row->has(MeasuredTemperature))
        m_state.measuredTemp = index != 0;
    if (row->coding == ValueCoding::None)
        return Outcome::Handled;
    if (row->pin2Output() && m_io.pin2Analog() != 0)
        return Outcome::Handled;
    if (row->deferred) {
        if (!m_state.deferValueWrites)
            return writeValueRow(*row, current, false);
        // A unit conversion's mark stays: the next delayed write is given up, whoever edited.
        emit m_events.deferredWriteRequested();
        return Outcome::Handled;
    }
    if (row->coding == ValueCoding::BaudRate)
        return writeBaudRate(index);
    return writeValueRow(*row, current, false);
}

void RowDispatcher::writeDeferred(const QString &id)
{
    const ParameterDefinition *row = findParameter(id);
    if (!row || !row->deferred || !m_rows.contains(id))
        return;
    LivePause pause(m_poller);
    writeValueRow(*row, m_rows.value(id), true);
}

void RowDispatcher::writeDraggedPoint(int output, double value)
{
    const ParameterDefinition *row = parameterWrittenBy(Command::WriteSwitchingPoint, output);
    if (!row)
        return;
    LivePause pause(m_poller);
    m_state.thresholdDragActive = true;
    attempt(writeAttempts, "BUCLA", [&] { return m_io.write(*row, value); });
    m_rows.setValue(row->rowId(), value);
    m_state.thresholdDragActive = false;
}

RowDispatcher::Outcome RowDispatcher::writeValueRow(const ParameterDefinition &row,
                                                    const QVariant &current, bool delayed)
{
    if (row.pin2Output() && m_io.pin2Analog() != 0)
        return Outcome::Handled;
    QVariant value = current;
    if (row.otherEnd)
        value = apartFromOtherEnd(row, current.toDouble());
    const char *trace = !delayed && row.immediateTrace ? row.immediateTrace : row.writeTrace;
    if (!attempt(writeAttempts, trace, [&] { return m_io.write(row, value); }))
        return row.failureHandled ? Outcome::Handled : Outcome::Failed;

    if (row.has(Pin2Layout)) {
        emit m_events.upperMarkChanged();
        if (!m_state.deferValueWrites)
            m_io.read(row);
    }
    if (row.has(UnitDisplay))
        m_io.convertDisplayedTemperatures(value.toInt() != 0);
    if (row.has(SwitchingLine))
        emit m_events.switchingPointChanged(row.output, value.toDouble());
    if (row.has(AnalogChart) || row.has(UnitDisplay))
        emit m_events.analogChartChanged();
    return Outcome::Handled;
}

RowDispatcher::Outcome RowDispatcher::writeBaudRate(int index)
{
    // A serial device server's rate is set on the server: a change is refused, the rate it
    // runs at already (writing all) needs nothing.
    if (m_state.lineRateFixed) {
        if (index == lineBaudRateIndex())
            return Outcome::Handled;
        m_view.refuseBaudRateChange();
        return Outcome::Declined;
    }
    // The sensor takes a new rate only at its next power-up: the user decides, also when the
    // row holds the line's rate (writing all) and it would change nothing.
    if (!m_view.confirmBaudRateChange()) {
        showLineBaudRate();
        return Outcome::Declined;
    }
    if (!m_io.writeBaudRate(index))
        return Outcome::Failed;
    m_view.baudRateWritten();
    return Outcome::Handled;
}

int RowDispatcher::lineBaudRateIndex() const
{
    if (!m_connection)
        return -1;
    static const int rates[] = { 9600, 19200, 38400, 57600, 115200 };
    const int rate = int(m_connection->getPortSettings().baudrate);
    for (int index = 0; index < int(std::size(rates)); ++index) {
        if (rates[index] == rate)
            return index;
    }
    return -1;
}

// A rate the row has no item for leaves it as it is.
void RowDispatcher::showLineBaudRate()
{
    const int index = lineBaudRateIndex();
    const ParameterDefinition *row = parameterWrittenBy(Command::WriteBaudRate);
    if (index >= 0 && row)
        m_rows.setValue(row->rowId(), index);
}

double RowDispatcher::apartFromOtherEnd(const ParameterDefinition &row, double value)
{
    if (qAbs(value - m_state.*row.otherEnd) < 1e-9) {
        value += 1.0;
        m_rows.setValue(row.rowId(), value);
    }
    return value;
}

} // namespace Core
} // namespace DrumoSensorPlugin
