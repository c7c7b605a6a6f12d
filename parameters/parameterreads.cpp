// Reads of single parameters: each sends its query, takes the value at the command table's
// position with the table's strict conversion, and sets its row from the sensor's side.

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

bool ParameterIo::setItemRow(const QString &rowId, int item)
{
    const ParameterRows::Kind kind = m_rows.kind(rowId);
    if (kind == ParameterRows::Kind::Missing)
        return true;
    if (kind == ParameterRows::Kind::Enumerator && item >= m_rows.enumNames(rowId).size())
        return false;
    m_rows.setValue(rowId, item);
    return true;
}

bool ParameterIo::readItemRow(Command command, const QString &rowId, const std::string &argument,
                              int *item)
{
    const std::optional<double> value = readNumber(command, argument);
    if (!value || !setItemRow(rowId, int(*value)))
        return false;
    if (item)
        *item = int(*value);
    return true;
}

bool ParameterIo::readTemperatureRow(Command command, const QString &rowId,
                                     const std::string &argument, bool analogEnd, double *shown)
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
    m_rows.setMinimum(rowId, limits.lowest);
    m_rows.setMaximum(rowId, limits.highest);
    m_rows.setValue(rowId, value);
    return true;
}

bool ParameterIo::bReadPin2Mode()
{
    int mode = 0;
    if (!readItemRow(Command::ReadPin2Mode, QStringLiteral("2A"), {}, &mode))
        return false;
    // A sensor without the row (an analog one) keeps its layout.
    if (m_rows.contains(QStringLiteral("2A")))
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

// Pin 2's analog signal of a switchable sensor ("2analogoutput") and the analog output of an
// analog one ("analogoutput") are the same setting on the sensor; whichever row the description
// has shows it.
bool ParameterIo::bReadAnalogOutput()
{
    const std::optional<double> value = readNumber(Command::ReadAnalogOutput);
    if (!value)
        return false;
    const int mode = int(*value);
    bool shown = false;
    for (const char *id : { "2analogoutput", "analogoutput" }) {
        const QString row = QLatin1String(id);
        if (!m_rows.contains(row))
            continue;
        if (!setItemRow(row, mode))
            return false;
        shown = true;
    }
    if (shown)
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
    if (!readTemperatureRow(Command::ReadSwitchingPoint, row, outputDigit(output), false, &shown))
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
