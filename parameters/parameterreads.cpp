// Reads of single parameters: each sends its query, takes the value at the command table's
// position with the table's conversion, and sets its row from the sensor's side.

#include "parameters/parameterio.h"

#include "model/parameterrows.h"
#include "parameters/sensorview.h"
#include "protocol/temperature.h"

namespace DrumoSensorPlugin {
namespace Core {

namespace {

std::string outputDigit(int output)
{
    return std::to_string(output);
}

QString outputRow(int output, const char *suffix)
{
    return QString::number(output) + QLatin1String(suffix);
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

bool ParameterIo::bReadPin2Mode()
{
    int mode = 0;
    if (!readItemRow(Command::ReadPin2Mode, QStringLiteral("2A"), {}, &mode))
        return false;
    // Also without the row (an analog type): axis, curve, scale and LED 2 follow the sensor.
    m_view.applyPin2Mode(mode != 0);
    return true;
}

bool ParameterIo::bReadUnit()
{
    int unit = 0;
    if (!readItemRow(Command::ReadUnit, QStringLiteral("unit"), {}, &unit))
        return false;
    m_view.updateTemperatureCaption();
    if (m_rows.contains(QStringLiteral("unit")) && unit == 1)
        m_view.applyTemperatureUnitToChart(true);
    return true;
}

bool ParameterIo::bReadLaser()
{
    return readItemRow(Command::ReadLaser, QStringLiteral("laser"));
}

bool ParameterIo::bReadTime()
{
    return readItemRow(Command::ReadTime, QStringLiteral("time"));
}

bool ParameterIo::bReadEmissivity()
{
    const std::optional<double> value = readNumber(Command::ReadEmissivity);
    if (!value)
        return false;
    const QString row = QStringLiteral("emisivity");
    // The value comes in hundredths; the editor steps by tenths once it is set.
    m_rows.setSingleStep(row, 0.01);
    m_rows.setValue(row, *value);
    m_rows.setSingleStep(row, 0.1);
    return true;
}

// Only pin 2's signal type: the "analogoutput" row of an analog type is written, never read.
bool ParameterIo::bReadAnalogOutput()
{
    int mode = 0;
    if (!readItemRow(Command::ReadAnalogOutput, QStringLiteral("2analogoutput"), {}, &mode))
        return false;
    if (m_rows.contains(QStringLiteral("2analogoutput")))
        m_view.showAnalogOutputMode(mode);
    return true;
}

bool ParameterIo::bReadAnalogLow()
{
    double shown = 0.0;
    if (!readTemperatureRow(Command::ReadAnalogLow, QStringLiteral("0v"), {}, true, &shown))
        return false;
    m_state.analogLow = shown;
    return true;
}

bool ParameterIo::bReadAnalogHigh()
{
    double shown = 0.0;
    if (!readTemperatureRow(Command::ReadAnalogHigh, QStringLiteral("10v"), {}, true, &shown))
        return false;
    m_state.analogHigh = shown;
    return true;
}

// Unlike the other reads, a switching point whose row is missing counts as failed: it has no
// place to go, neither row nor line.
bool ParameterIo::bReadSwitchingPoint(int output)
{
    const QString row = outputRow(output, "switchingOn");
    double shown = 0.0;
    // The value goes in before the display unit's limits, which then clamp it.
    if (!readTemperatureRow(Command::ReadSwitchingPoint, row, outputDigit(output), false, &shown,
                            true))
        return false;
    if (!m_rows.contains(row))
        return false;
    m_view.showReadSwitchingPoint(output, displayLimits(unitIndex() == 1).bounded(shown));
    return true;
}

bool ParameterIo::bReadType(int output)
{
    return readItemRow(Command::ReadType, outputRow(output, "type"), outputDigit(output));
}

bool ParameterIo::bReadOperateOutputs(int output)
{
    return readItemRow(Command::ReadOperateOutputs, outputRow(output, "operateOutputs"),
                       outputDigit(output));
}

} // namespace Core
} // namespace DrumoSensorPlugin
