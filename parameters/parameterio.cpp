// The transaction of a single parameter, the factory reset's request, the baud-rate write and
// the threshold writes. Reads are in parameterreads.cpp, writes in parameterwrites.cpp.

#include "parameters/parameterio.h"

#include "model/parameterrows.h"
#include "parameters/parametertable.h"
#include "parameters/sessionevents.h"

#include <vector>

namespace DrumoSensorPlugin {
namespace Core {

ParameterIo::ParameterIo(TransactionRunner &runner, ParameterRows &rows, SessionEvents &events,
                         SessionState &state, const LineTiming &timing)
    : m_runner(runner)
    , m_rows(rows)
    , m_events(events)
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

bool ParameterIo::sendFactoryReset()
{
    return transact(Command::FactoryReset, std::string());
}
// The item index of the "baudrate" row + 2, as "%.1d" prints it ("0?BR2" 9600 .. "0?BR6" 115200).
bool ParameterIo::writeBaudRate(int index)
{
    return transact(Command::WriteBaudRate, std::to_string(index + 2));
}
bool ParameterIo::setThresholds(int output, int type, const ThresholdHex &hexOf)
{
    struct Component
    {
        char letter;
        int component;
    };
    static const std::vector<Component> colour { { 'R', 1 }, { 'G', 2 }, { 'B', 3 } };
    static const std::vector<Component> switching { { 'S', 4 } };
    static const std::vector<Component> level { { 'L', 5 } };
    static const std::vector<Component> none;
    const std::vector<Component> &components
        = type == 0 ? colour : (type == 1 ? switching : (type == 2 ? level : none));

    DataFrame frame;
    // Only a printable output digit makes a body; anything else gives an empty transaction.
    const bool printable = output > 0x20 && output < 0x7F;
    for (const Component &c : printable ? components : none) {
        const QString hex = hexOf(output - '0', c.component);
        frame.push_back(makeRequest(Command::WriteThreshold,
                                    std::string { char(output), c.letter } + hex.toStdString(),
                                    m_timing));
    }
    m_runner.runTransaction(frame);
    return true;
}

int ParameterIo::unitIndex() const
{
    const QString unit = parameterWith(UnitDisplay).rowId();
    return m_rows.contains(unit) ? m_rows.enumIndex(unit) : 0;
}

int ParameterIo::pin2Analog() const
{
    const QString pin2 = parameterWith(Pin2Layout).rowId();
    return m_rows.contains(pin2) ? m_rows.enumIndex(pin2) : 0;
}

} // namespace Core
} // namespace DrumoSensorPlugin
