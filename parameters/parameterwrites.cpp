// Writes of single parameters, the unit switches around temperature writes, the synchronous
// output-state read and the temperature rows after a unit change.

#include "parameters/parameterio.h"

#include "model/parameterrows.h"
#include "parameters/attempts.h"
#include "parameters/parametertable.h"
#include "parameters/sessionevents.h"
#include "protocol/temperature.h"

namespace DrumoSensorPlugin {
namespace Core {

namespace {

// An item index or output number as the sensor takes it ("%.1d").
std::string digits(int value)
{
    return std::to_string(value);
}

} // namespace

bool ParameterIo::write(const ParameterDefinition &row, const QVariant &value)
{
    if (!row.write)
        return false;
    const Command command = *row.write;
    const std::string prefix = row.output ? digits(row.output) : std::string();
    switch (row.coding) {
    case ValueCoding::Item:
        if (row.has(Pin2Layout))
            return writePin2Mode(command, value.toInt());
        if (!transact(command, prefix + digits(value.toInt())))
            return false;
        // A dragged line is written with the unit switched around it; the chart stays as it is.
        if (row.has(UnitDisplay) && !m_state.thresholdDragActive) {
            emit m_events.temperatureCaptionChanged();
            emit m_events.temperatureUnitChanged(value.toInt() != 0);
        }
        if (row.has(AnalogMode))
            emit m_events.analogOutputModeChanged(value.toInt());
        return true;
    case ValueCoding::Emissivity:
        // Limited to 0.00..1.00 so that the text is always three digits.
        return transact(command,
                        emissivityDigits(qBound(0.0, value.toDouble(), 1.0)).toStdString());
    case ValueCoding::AnalogEnd:
        // While values are written as they stand (bulk transfers), the analog range goes out as
        // the row holds it, unconverted and limited to the sensor's range like every
        // temperature.
        return writeTemperature(command, prefix, value.toDouble(), m_state.deferValueWrites);
    case ValueCoding::SwitchingPoint:
        if (!writeTemperature(command, prefix, value.toDouble(), true))
            return false;
        if (row.has(OutputStates))
            attempt(5, "BUCLA ON LEDS", [this] { return readOutputStates(); });
        m_state.thresholdDragActive = false;
        return true;
    case ValueCoding::BaudRate:
        return writeBaudRate(value.toInt());
    case ValueCoding::None:
    case ValueCoding::Unhandled:
        break;
    }
    return false;
}

bool ParameterIo::write(Command command, int output, const QVariant &value)
{
    const ParameterDefinition *row = parameterWrittenBy(command, output);
    return row && write(*row, value);
}

bool ParameterIo::writePin2Mode(Command command, int value)
{
    const bool written = transact(command, digits(value));
    // The sensor may move its switching points with pin 2's function: they are read again, in
    // °C, into rows that show °F when the unit row says so. The sensor goes to °C for that
    // whatever the write's answer; after a failed write it is set back to °F at once, as
    // around a failed temperature write.
    const bool switched = m_state.deferValueWrites && unitIndex() == 1;
    if (switched)
        vSwitchSensorUnit(false);
    if (!written) {
        if (switched)
            vSwitchSensorUnit(true);
        return false;
    }
    if (!m_state.deferValueWrites)
        return true;
    for (const ParameterDefinition &point : parameterTable) {
        if (point.coding == ValueCoding::SwitchingPoint)
            attempt(point.readAttempts, point.readTrace, [&] { return read(point); });
    }
    if (switched)
        vSwitchSensorUnit(true);
    return true;
}

// `handleUnit`: the value is in the display unit and goes out in °C, the sensor switched to °C
// around it when the rows show °F. Otherwise the value goes out as it stands. Either way it is
// limited to the sensor's range. A description without a "unit" row shows °C.
bool ParameterIo::writeTemperature(Command command, const std::string &prefix, double value,
                                   bool handleUnit)
{
    const bool fahrenheit = unitIndex() == 1;
    bool toCelsius = false; // the sensor was asked to show °C for this write
    bool switched = false; // and acknowledged it
    if (handleUnit && fahrenheit) {
        value = convertTemperature(value, false);
        toCelsius = true;
        switched = attempt(5, "BUCLA ON THR", [this] { return bWriteUnit(0); });
    }

    const bool written
        = transact(command, prefix + temperatureDigits(sensorLimits.bounded(value)).toStdString());
    if (toCelsius && (written || switched))
        attempt(5, "BUCLA ON THR", [this] { return bWriteUnit(1); });
    return written;
}

void ParameterIo::vSwitchSensorUnit(bool fahrenheit)
{
    attempt(5, nullptr, [this, fahrenheit] { return bWriteUnit(fahrenheit ? 1 : 0); });
}

bool ParameterIo::readOutputStates()
{
    DataFrameEntry entry;
    if (!transact(Command::ReadOutputStates, std::string(), &entry))
        return false;
    const std::optional<double> states = readValue(Command::ReadOutputStates, entry.answer);
    if (!states)
        return false;
    emit m_events.outputStatesRead(int(*states));
    return true;
}

// Only while values are edited one by one: bulk transfers set every row as it stands anyway.
void ParameterIo::convertDisplayedTemperatures(bool toFahrenheit)
{
    if (!m_state.deferValueWrites)
        return;
    m_state.skipNextDelayedWrite = true;
    const bool fahrenheit = unitIndex() == 1;
    emit m_events.thresholdsUnitChanged(fahrenheit);
    const TemperatureLimits limits = displayLimits(fahrenheit);

    for (const ParameterDefinition &parameter : parameterTable) {
        const QString row = parameter.rowId();
        if (!parameter.temperature || !m_rows.contains(row))
            continue;
        const double value = convertTemperature(m_rows.doubleValue(row), toFahrenheit);
        m_rows.setMaximum(row, limits.highest);
        m_rows.setMinimum(row, limits.lowest);
        m_rows.setValue(row, value);
        if (parameter.has(SwitchingLine))
            emit m_events.switchingPointChanged(parameter.output, value);
    }
}

// A settings file may hold either unit: its values must pass the rows' limits before the file's
// unit is known.
void ParameterIo::widenTemperatureRanges()
{
    for (const ParameterDefinition &parameter : parameterTable) {
        if (!parameter.temperature)
            continue;
        m_rows.setMinimum(parameter.rowId(), -25.0);
        m_rows.setMaximum(parameter.rowId(), 662.0);
    }
}

} // namespace Core
} // namespace DrumoSensorPlugin
