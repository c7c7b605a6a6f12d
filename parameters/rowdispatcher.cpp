#include "parameters/rowdispatcher.h"

#include "model/parameterrows.h"
#include "parameters/attempts.h"
#include "parameters/parameterio.h"
#include "parameters/sensorview.h"
#include "parameters/sessionstate.h"

#include <QtMath>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

constexpr int writeAttempts = 5;
constexpr int dispatchRepeats = 2;

bool isDeferred(const QString &id)
{
    for (const char *deferred :
         { "time", "emisivity", "1switchingOn", "2switchingOn", "0v", "10v" })
        if (id == QLatin1String(deferred))
            return true;
    return false;
}

bool isPin2OutputRow(const QString &id)
{
    return id == QLatin1String("2type") || id == QLatin1String("2operateOutputs")
        || id == QLatin1String("2switchingOn");
}

RowDispatcher::Outcome outcome(bool written)
{
    return written ? RowDispatcher::Outcome::Handled : RowDispatcher::Outcome::Failed;
}

} // namespace

RowDispatcher::RowDispatcher(ParameterIo &io, ParameterRows &rows, SensorView &view,
                             SessionState &state)
    : m_io(io)
    , m_rows(rows)
    , m_view(view)
    , m_state(state)
{
}

void RowDispatcher::apply(const QString &id, const QVariant &value)
{
    if (!m_state.connected)
        return;
    const bool liveData = m_view.suspendPolling();
    if (writeRow(id, value) == Outcome::Failed) {
        // A failed connection check means the view went offline: no repeat then.
        if (m_view.checkConnection() && m_repeats++ < dispatchRepeats)
            apply(id, value);
        m_repeats = 0;
    }
    m_view.resumePolling(liveData);
}

RowDispatcher::Outcome RowDispatcher::writeRow(const QString &id, const QVariant &value)
{
    const QVariant current = m_rows.contains(id) ? m_rows.value(id) : value;
    const int index = current.toInt();
    auto tryWrite = [](const char *trace, const std::function<bool()> &write) {
        return attempt(writeAttempts, trace, write);
    };

    if (id == QLatin1String("ExpertMenu")) {
        m_view.setExpertMenu(index != 0);
        return Outcome::Handled;
    }
    if (id == QLatin1String("readTemp")) {
        m_state.measuredTemp = index != 0;
        return Outcome::Handled;
    }
    if (id == QLatin1String("1A")) // shown only
        return Outcome::Handled;
    if (isPin2OutputRow(id) && m_io.pin2Analog() != 0)
        return Outcome::Handled;
    if (isDeferred(id)) {
        if (!m_state.deferValueWrites)
            return writeValueRow(id, current, false);
        // A unit conversion's mark stays: the next delayed write is given up, whoever edited.
        m_view.deferWrite();
        return Outcome::Handled;
    }

    if (id == QLatin1String("2A")) {
        if (!tryWrite("BUCLA pin", [&] { return m_io.bWritePin2Mode(index); }))
            return Outcome::Failed;
        m_view.updateUpperMark();
        if (!m_state.deferValueWrites)
            m_io.bReadPin2Mode();
        return Outcome::Handled;
    }
    if (id == QLatin1String("unit")) {
        if (!tryWrite("BUCLA unit", [&] { return m_io.bWriteUnit(index); }))
            return Outcome::Failed;
        m_io.convertDisplayedTemperatures(index != 0);
        m_view.refreshAnalogChart();
        return Outcome::Handled;
    }
    if (id == QLatin1String("laser"))
        return outcome(tryWrite("BUCLA laser", [&] { return m_io.bWriteLaser(index); }));
    for (int output : { 1, 2 }) {
        const QString digit = QString::number(output);
        if (id == digit + QLatin1String("type"))
            return outcome(tryWrite("BUCLA type", [&] { return m_io.bWriteType(output, index); }));
        if (id == digit + QLatin1String("operateOutputs")) {
            const QByteArray trace = "BUCLA " + id.toLatin1();
            return outcome(tryWrite(trace.constData(),
                                    [&] { return m_io.bWriteOperateOutputs(output, index); }));
        }
    }
    if (id == QLatin1String("2analogoutput")) {
        // Counts as handled whatever the sensor said: no connection check for the signal type.
        if (tryWrite("BUCLA 2analogoutput", [&] { return m_io.bWriteAnalogOutput(index); }))
            m_view.refreshAnalogChart();
        return Outcome::Handled;
    }
    if (id == QLatin1String("analogoutput")) {
        if (!tryWrite("BUCLA 0V", [&] { return m_io.bWriteAnalogOutput(index); }))
            return Outcome::Failed;
        m_view.showAnalogOutputMode(index);
        return Outcome::Handled;
    }
    if (id == QLatin1String("baudrate")) {
        // A serial device server's rate is set on the server: a change is refused, the rate it
        // runs at already (writing all) needs nothing.
        if (m_state.lineRateFixed) {
            if (index == m_view.currentBaudRateIndex())
                return Outcome::Handled;
            m_view.refuseBaudRateChange();
            return Outcome::Declined;
        }
        // The sensor takes a new rate only at its next power-up: the user decides, also when
        // the row holds the line's rate (writing all) and it would change nothing.
        if (!m_view.confirmBaudRateChange()) {
            m_view.showCurrentBaudRate();
            return Outcome::Declined;
        }
        if (!m_io.writeBaudRate(index))
            return Outcome::Failed;
        m_view.baudRateWritten();
        return Outcome::Handled;
    }
    return Outcome::Failed;
}

void RowDispatcher::writeDeferred(const QString &id)
{
    if (isDeferred(id) && m_rows.contains(id))
        writeValueRow(id, m_rows.value(id), true);
}

RowDispatcher::Outcome RowDispatcher::writeValueRow(const QString &id, const QVariant &current,
                                                    bool delayed)
{
    if (isPin2OutputRow(id) && m_io.pin2Analog() != 0)
        return Outcome::Handled;
    const double value = current.toDouble();

    if (id == QLatin1String("time")) {
        const int index = current.toInt();
        return outcome(
            attempt(writeAttempts, "BUCLA emisivity", [&] { return m_io.bWriteTime(index); }));
    }
    if (id == QLatin1String("emisivity"))
        return outcome(attempt(writeAttempts, "BUCLA emisivity",
                               [&] { return m_io.bWriteEmissivity(value); }));
    for (int output : { 1, 2 }) {
        if (id != QString::number(output) + QLatin1String("switchingOn"))
            continue;
        const QByteArray trace = "BUCLA " + id.toLatin1();
        if (!attempt(writeAttempts, trace.constData(),
                     [&] { return m_io.bWriteSwitchingPoint(output, value); }))
            return Outcome::Failed;
        m_view.showSwitchingPoint(output, value);
        return Outcome::Handled;
    }

    const bool low = id == QLatin1String("0v");
    if (!low && id != QLatin1String("10v"))
        return Outcome::Failed;
    const double end = apartFromOtherEnd(id, value);
    const char *trace = delayed ? (low ? "BUCLA 0v" : "BUCLA 10v") : "BUCLA 0V";
    if (!attempt(writeAttempts, trace,
                 [&] { return low ? m_io.bWriteAnalogLow(end) : m_io.bWriteAnalogHigh(end); }))
        return Outcome::Failed;
    m_view.refreshAnalogChart();
    return Outcome::Handled;
}

double RowDispatcher::apartFromOtherEnd(const QString &id, double value)
{
    const double other = id == QLatin1String("0v") ? m_state.analogHigh : m_state.analogLow;
    if (qAbs(value - other) < 1e-9) {
        value += 1.0;
        m_rows.setValue(id, value);
    }
    return value;
}

} // namespace Core
} // namespace DrumoSensorPlugin
