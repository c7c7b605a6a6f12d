// Reads of single parameters: each sends its query, takes the value at the command table's
// position with the table's conversion, and sets its row from the sensor's side.

#include "parameters/parameterio.h"

#include "model/parameterrows.h"
#include "parameters/parametertable.h"
#include "parameters/sessionevents.h"
#include "protocol/temperature.h"

namespace DrumoSensorPlugin {
namespace Core {

namespace {

std::string outputDigit(int output)
{
    return std::to_string(output);
}

} // namespace

std::optional<double> ParameterIo::readNumber(Command command, const std::string &argument)
{
    DataFrameEntry entry;
    if (!transact(command, argument, &entry))
        return std::nullopt;
    return readValue(command, entry.answer);
}

bool ParameterIo::readItemRow(Command command, const QString &rowId, const std::string &argument,
                              int *item)
{
    const std::optional<double> value = readNumber(command, argument);
    if (!value)
        return false;
    // An item the row does not have leaves the row as it is; the read still counts.
    m_rows.setValue(rowId, int(*value));
    if (item)
        *item = int(*value);
    return true;
}

bool ParameterIo::readTemperatureRow(Command command, const QString &rowId,
                                     const std::string &argument, bool analogEnd, double *shown,
                                     bool valueFirst)
{
    // The rows show the unit they showed when the request went out.
    const bool fahrenheit = unitIndex() == 1;
    const std::optional<double> celsius = readNumber(command, argument);
    if (!celsius)
        return false;

    double value = analogEnd ? qBound(-25.0, *celsius, 662.0) : *celsius;
    if (fahrenheit)
        value = convertTemperature(value, true);
    if (shown)
        *shown = value;

    // The display unit's limits go in before the value: a °F value above the °C maximum would
    // otherwise be cut to it by the row's old range.
    const TemperatureLimits limits = displayLimits(fahrenheit);
    m_rows.setDecimals(rowId, 1);
    if (valueFirst)
        m_rows.setValue(rowId, value);
    m_rows.setMinimum(rowId, limits.lowest);
    m_rows.setMaximum(rowId, limits.highest);
    if (!valueFirst)
        m_rows.setValue(rowId, value);
    return true;
}

bool ParameterIo::read(const ParameterDefinition &row)
{
    if (!row.read)
        return false;
    const Command command = *row.read;
    const QString id = row.rowId();
    const std::string argument = row.output ? outputDigit(row.output) : std::string();
    switch (row.coding) {
    case ValueCoding::Item: {
        int item = 0;
        if (!readItemRow(command, id, argument, &item))
            return false;
        // Also without the row (an analog type): axis, curve, scale and LED 2 follow the sensor.
        if (row.has(Pin2Layout))
            emit m_events.pin2ModeRead(item != 0);
        if (row.has(UnitDisplay)) {
            emit m_events.temperatureCaptionChanged();
            if (m_rows.contains(id) && item == 1)
                emit m_events.temperatureUnitChanged(true);
        }
        if (row.has(AnalogMode) && m_rows.contains(id))
            emit m_events.analogOutputModeChanged(item);
        return true;
    }
    case ValueCoding::Emissivity: {
        const std::optional<double> value = readNumber(command);
        if (!value)
            return false;
        // The value comes in hundredths; the editor steps by tenths once it is set.
        m_rows.setSingleStep(id, 0.01);
        m_rows.setValue(id, *value);
        m_rows.setSingleStep(id, 0.1);
        return true;
    }
    case ValueCoding::AnalogEnd: {
        double shown = 0.0;
        if (!readTemperatureRow(command, id, argument, true, &shown))
            return false;
        if (row.lastRead)
            m_state.*row.lastRead = shown;
        return true;
    }
    case ValueCoding::SwitchingPoint: {
        // Unlike the other reads, a switching point whose row is missing counts as failed: it
        // has no place to go, neither row nor line. The value goes in before the display
        // unit's limits, which then clamp it.
        double shown = 0.0;
        if (!readTemperatureRow(command, id, argument, false, &shown, true))
            return false;
        if (!m_rows.contains(id))
            return false;
        emit m_events.switchingPointRead(row.output,
                                         displayLimits(unitIndex() == 1).bounded(shown));
        return true;
    }
    case ValueCoding::None:
    case ValueCoding::Unhandled:
    case ValueCoding::BaudRate:
        break;
    }
    return false;
}

bool ParameterIo::read(Command command, int output)
{
    const ParameterDefinition *row = parameterReadBy(command, output);
    return row && read(*row);
}

} // namespace Core
} // namespace DrumoSensorPlugin
