// Not built yet: the reads and writes of single parameters. Every operation reports failure.

#include "parameters/parameterio.h"

#include "model/parameterrows.h"
#include "parameters/sensorview.h"

namespace DrumoSensorPlugin {
namespace Core {

ParameterIo::ParameterIo(TransactionRunner &runner, ParameterRows &rows, SensorView &view,
                         SessionState &state, const LineTiming &timing)
    : m_runner(runner)
    , m_rows(rows)
    , m_view(view)
    , m_state(state)
    , m_timing(timing)
{
}

bool ParameterIo::transact(Command command, const std::string &argument, DataFrameEntry *entry)
{
    DataFrame frame { makeRequest(command, argument, m_timing) };
    m_runner.runTransaction(frame);
    if (entry)
        *entry = frame.front();
    return frame.front().status == 1;
}

bool ParameterIo::bReadPin2Mode()
{
    return false;
}
bool ParameterIo::bReadUnit()
{
    return false;
}
bool ParameterIo::bReadLaser()
{
    return false;
}
bool ParameterIo::bReadTime()
{
    return false;
}
bool ParameterIo::bReadEmissivity()
{
    return false;
}
bool ParameterIo::bReadAnalogOutput()
{
    return false;
}
bool ParameterIo::bReadAnalogLow()
{
    return false;
}
bool ParameterIo::bReadAnalogHigh()
{
    return false;
}
bool ParameterIo::bReadSwitchingPoint(int)
{
    return false;
}
bool ParameterIo::bReadType(int)
{
    return false;
}
bool ParameterIo::bReadOperateOutputs(int)
{
    return false;
}
bool ParameterIo::bWritePin2Mode(int)
{
    return false;
}
bool ParameterIo::bWriteUnit(int)
{
    return false;
}
bool ParameterIo::bWriteLaser(int)
{
    return false;
}
bool ParameterIo::bWriteTime(int)
{
    return false;
}
bool ParameterIo::bWriteEmissivity(double)
{
    return false;
}
bool ParameterIo::bWriteAnalogOutput(int)
{
    return false;
}
bool ParameterIo::bWriteAnalogLow(double)
{
    return false;
}
bool ParameterIo::bWriteAnalogHigh(double)
{
    return false;
}
bool ParameterIo::bWriteSwitchingPoint(int, double)
{
    return false;
}
bool ParameterIo::bWriteType(int, int)
{
    return false;
}
bool ParameterIo::bWriteOperateOutputs(int, int)
{
    return false;
}
void ParameterIo::vSwitchSensorUnit(bool) { }
bool ParameterIo::readOutputStates()
{
    return false;
}
bool ParameterIo::sendFactoryReset()
{
    return false;
}
// The item index of the "baudrate" row + 2, as "%.1d" prints it ("0?BR2" 9600 .. "0?BR6" 115200).
bool ParameterIo::writeBaudRate(int index)
{
    return transact(Command::WriteBaudRate, std::to_string(index + 2));
}
bool ParameterIo::setThresholds(int, int)
{
    return true;
}
void ParameterIo::convertDisplayedTemperatures(bool) { }
void ParameterIo::widenTemperatureRanges() { }

int ParameterIo::unitIndex() const
{
    return m_rows.contains(QStringLiteral("unit")) ? m_rows.enumIndex(QStringLiteral("unit")) : 0;
}

int ParameterIo::pin2Analog() const
{
    return m_rows.contains(QStringLiteral("2A")) ? m_rows.enumIndex(QStringLiteral("2A")) : 0;
}

std::optional<double> ParameterIo::readNumber(Command, const std::string &)
{
    return {};
}
bool ParameterIo::readTemperatureRow(Command, const QString &, double *, const std::string &)
{
    return false;
}
bool ParameterIo::writeTemperature(Command, const std::string &, double, bool)
{
    return false;
}

} // namespace Core
} // namespace DrumoSensorPlugin
