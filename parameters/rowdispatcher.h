#pragma once

#include <communicationinterface.h>

#include <QPointer>
#include <QString>
#include <QVariant>

namespace DrumoSensorPlugin {
namespace Core {

class ParameterIo;
class ParameterRows;
struct ParameterDefinition;
class SensorView;
class SessionEvents;
class LivePoller;
struct SessionState;

// The way of one edited row to the sensor. Each row id has its write (or none), tried up to
// five times with a "BUCLA" trace line after every failure, and its follow-up on success; the
// rows typed digit by digit wait for the view's 600 ms delay while deferValueWrites is set.
// A row whose write fails five times makes the dispatch ask the view whether the sensor is
// still there and, when it is, run again, at most twice more: one edit sends at most fifteen
// attempts. The repeats are counted per dispatcher (one per opened sensor), not across
// windows. An id without a branch counts as failed as well (connection check and repeats, but
// nothing sent).
//
// The rows written are taken as they stand in the rows when the write runs (the value handed
// in only stands in for a row the rows lack). Pin 2's output rows (marked in the parameter
// table) send nothing while pin 2 is an analog output.
class RowDispatcher
{
public:
    enum class Outcome {
        Handled, // written, deferred, or nothing to send for this row
        Failed, // the write failed five times, or the id has no branch
        Declined, // the user declined (baud rate): no retry
    };

    using Connection = QPointer<ExtensionSystem::CommunicationInterface>;
    RowDispatcher(ParameterIo &io, ParameterRows &rows, SensorView &view, SessionEvents &events,
                  LivePoller &poller, SessionState &state, const Connection &connection);

    // The whole dispatch of an edit (the window's applyPropertyToSensor): nothing unless
    // connected; the live data paused, the row's write, the retries after a connection check.
    void apply(const QString &id, const QVariant &value);

    // Only the row's write with its attempts, traces and follow-up.
    Outcome writeRow(const QString &id, const QVariant &value);

    // The delayed write of a deferred row (the window's sendDelayValue), the live data
    // paused: the row's current value as it stands in the rows.
    void writeDeferred(const QString &id);

    // A switching point's line was dragged to `value`: written with the live data paused and
    // the unit switches around it leaving the chart alone, then set in its row (also when the
    // write failed: the next read of all puts the sensor's value back). No connection check.
    void writeDraggedPoint(int output, double value);

    // The item of the baud rate row that the port runs at now; -1 when unknown.
    int lineBaudRateIndex() const;
    // The baud rate row shows the port's rate (from the sensor's side).
    void showLineBaudRate();

private:
    // A row's write with its attempts, traces and follow-up: at once (`delayed` false), or
    // from the view's delay.
    Outcome writeValueRow(const ParameterDefinition &row, const QVariant &value, bool delayed);
    Outcome writeBaudRate(int index);
    // The ends of the analog output never go out equal to the last value read for the other
    // end: such a value is raised by 1.0, in the row too.
    double apartFromOtherEnd(const ParameterDefinition &row, double value);

    ParameterIo &m_io;
    ParameterRows &m_rows;
    SensorView &m_view;
    SessionEvents &m_events;
    LivePoller &m_poller;
    SessionState &m_state;
    const Connection &m_connection;
    // Repeats of the current dispatch chain; 0 between dispatches.
    int m_repeats = 0;
};

} // namespace Core
} // namespace DrumoSensorPlugin
