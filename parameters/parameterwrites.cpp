// Writes of single parameters, the unit switches around temperature writes, the synchronous
// output-state read and the temperature rows after a unit change.

#include "parameters/parameterio.h"

#include "model/parameterrows.h"
#include "parameters/attempts.h"
#include "parameters/sensorview.h"
#include "protocol/temperature.h"

namespace DrumoSensorPlugin {
namespace Core {

namespace {

// An item index or output number as the sensor takes it ("%.1d").
std::string digits(int value)
{
    return std::to_string(value);
}

const char *const temperatureRows[] = { "1switchingOn", "2switchingOn", "10v", "0v" };

} // namespace

bool ParameterIo::bWritePin2Mode(int value)
{
    const bool written = transact(Command::WritePin2Mode, digits(value));
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
    for (int output : { 1, 2 })
        attempt(5, "BUCLA ON THR", [&] { return bReadSwitchingPoint(output); });
    if (switched)
        vSwitchSensorUnit(true);
    return true;
}

bool ParameterIo::bWriteUnit(int value)
{
    if (!transact(Command::WriteUnit, digits(value)))
        return false;
    // A dragged line is written with the unit switched around it; the chart stays as it is.
    if (!m_state.thresholdDragActive) {
        m_view.updateTemperatureCaption();
        m_view.applyTemperatureUnitToChart(value != 0);
    }
    return true;
}

bool ParameterIo::bWriteLaser(int value)
{
    return transact(Command::WriteLaser, digits(value));
}

bool ParameterIo::bWriteTime(int value)
{
    return transact(Command::WriteTime, digits(value));
}

// Limited to 0.00..1.00 so that the text is always three digits.
bool ParameterIo::bWriteEmissivity(double value)
{
    return transact(Command::WriteEmissivity,
                    emissivityDigits(qBound(0.0, value, 1.0)).toStdString());
}

bool ParameterIo::bWriteAnalogOutput(int value)
{
    if (!transact(Command::WriteAnalogOutput, digits(value)))
        return false;
    m_view.showAnalogOutputMode(value);
    return true;
}

// While values are written as they stand (bulk transfers), the analog range goes out as the
// row holds it, unconverted and limited to the sensor's -25.0..350.0 like every temperature.
bool ParameterIo::bWriteAnalogLow(double value)
{
    return writeTemperature(Command::WriteAnalogLow, std::string(), value,
                            m_state.deferValueWrites);
}

bool ParameterIo::bWriteAnalogHigh(double value)
{
    return writeTemperature(Command::WriteAnalogHigh, std::string(), value,
                            m_state.deferValueWrites);
}

bool ParameterIo::bWriteSwitchingPoint(int output, double value)
{
    if (!writeTemperature(Command::WriteSwitchingPoint, digits(output), value, true))
        return false;
    // The outputs may have switched with the new point.
    attempt(5, "BUCLA ON LEDS", [this] { return readOutputStates(); });
    m_state.thresholdDragActive = false;
    return true;
}

bool ParameterIo::bWriteType(int output, int value)
{
    return transact(Command::WriteType, digits(output) + digits(value));
}

bool ParameterIo::bWriteOperateOutputs(int output, int value)
{
    return transact(Command::WriteOperateOutputs, digits(output) + digits(value));
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
    m_view.updateLeds(int(*states));
    return true;
}

// Only while values are edited one by one: bulk transfers set every row as it stands anyway.
void ParameterIo::convertDisplayedTemperatures(bool toFahrenheit)
{
    if (!m_state.deferValueWrites)
        return;
    m_view.setThresholdsRange(-50.0, 400.0);
    m_state.skipNextDelayedWrite = true;
    const bool fahrenheit = unitIndex() == 1;
    if (fahrenheit)
        m_view.setThresholdsRange(-60.0, 700.0);
    const TemperatureLimits limits = displayLimits(fahrenheit);

    for (const char *id : temperatureRows) {
        const QString row = QLatin1String(id);
        if (!m_rows.contains(row))
            continue;
        const double value = convertTemperature(m_rows.doubleValue(row), toFahrenheit);
        m_rows.setMaximum(row, limits.highest);
        m_rows.setMinimum(row, limits.lowest);
        m_rows.setValue(row, value);
        if (row.endsWith(QLatin1String("switchingOn")))
            m_view.showSwitchingPoint(row.at(0).digitValue(), value);
    }
}

// A settings file may hold either unit: its values must pass the rows' limits before the file's
// unit is known.
void ParameterIo::widenTemperatureRanges()
{
    for (const char *id : temperatureRows) {
        m_rows.setMinimum(QLatin1String(id), -25.0);
        m_rows.setMaximum(QLatin1String(id), 662.0);
    }
}

} // namespace Core
} // namespace DrumoSensorPlugin
