#include "parameters/parametertable.h"

#include "model/parameterrows.h"

#include <iterator>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

using V = ValueCoding;
using C = Command;
using R = ResetAction;
using S = Shown;
constexpr std::nullopt_t none = std::nullopt;
constexpr double SessionState::*noEnd = nullptr;

// clang-format off
// id, coding, read, write, output, read attempts and trace, write trace and the one when sent at
// once, deferred, temperature, shown, failure handled, follow-ups, last read, other end,
// factory reset.
const ParameterDefinition table[] = {
    { "2A", V::Item, C::ReadPin2Mode, C::WritePin2Mode, 0, 5, "BUCLA PIN", "BUCLA pin", nullptr,
      false, false, S::Always, false, Pin2Layout | SwitchingPointReread, noEnd, noEnd, R::None, 0 },
    { "unit", V::Item, C::ReadUnit, C::WriteUnit, 0, 5, "BUCLA ON THR", "BUCLA unit", nullptr,
      false, false, S::Expert, false, UnitDisplay, noEnd, noEnd, R::None, 0 },
    { "1switchingOn", V::SwitchingPoint, C::ReadSwitchingPoint, C::WriteSwitchingPoint, 1, 5,
      "BUCLA ON THR", "BUCLA 1switchingOn", nullptr,
      true, true, S::Always, false, SwitchingLine | OutputStates, noEnd, noEnd, R::None, 0 },
    { "2switchingOn", V::SwitchingPoint, C::ReadSwitchingPoint, C::WriteSwitchingPoint, 2, 5,
      "BUCLA ON THR", "BUCLA 2switchingOn", nullptr,
      true, true, S::Pin2Output, false, SwitchingLine | OutputStates, noEnd, noEnd, R::None, 0 },
    { "1type", V::Item, C::ReadType, C::WriteType, 1, 5, "BUCLA NO", "BUCLA type", nullptr,
      false, false, S::Always, false, NoFollowUp, noEnd, noEnd, R::None, 0 },
    { "2type", V::Item, C::ReadType, C::WriteType, 2, 5, "BUCLA NO", "BUCLA type", nullptr,
      false, false, S::Pin2Output, false, NoFollowUp, noEnd, noEnd, R::None, 0 },
    { "1operateOutputs", V::Item, C::ReadOperateOutputs, C::WriteOperateOutputs, 1, 5,
      "BUCLA PNP", "BUCLA 1operateOutputs", nullptr,
      false, false, S::Always, false, NoFollowUp, noEnd, noEnd, R::None, 0 },
    { "2operateOutputs", V::Item, C::ReadOperateOutputs, C::WriteOperateOutputs, 2, 5,
      "BUCLA PNP", "BUCLA 2operateOutputs", nullptr,
      false, false, S::Pin2Output, false, NoFollowUp, noEnd, noEnd, R::None, 0 },
    { "2analogoutput", V::Item, C::ReadAnalogOutput, C::WriteAnalogOutput, 0, 5, "BUCLA ANA MOD",
      "BUCLA 2analogoutput", nullptr,
      false, false, S::Pin2Analog, true, AnalogMode | AnalogChart, noEnd, noEnd, R::None, 0 },
    // An analog type's signal: written, never read.
    { "analogoutput", V::Item, none, C::WriteAnalogOutput, 0, 0, nullptr, "BUCLA 0V", nullptr,
      false, false, S::Always, false, AnalogMode, noEnd, noEnd, R::None, 0 },
    { "0v", V::AnalogEnd, C::ReadAnalogLow, C::WriteAnalogLow, 0, 5, "BUCLA OV", "BUCLA 0v",
      "BUCLA 0V", true, true, S::Always, false, AnalogChart,
      &SessionState::analogLow, &SessionState::analogHigh, R::None, 0 },
    { "10v", V::AnalogEnd, C::ReadAnalogHigh, C::WriteAnalogHigh, 0, 5, "BUCLA 10V", "BUCLA 10v",
      "BUCLA 0V", true, true, S::Always, false, AnalogChart,
      &SessionState::analogHigh, &SessionState::analogLow, R::HostValue, 350.0 },
    { "emisivity", V::Emissivity, C::ReadEmissivity, C::WriteEmissivity, 0, 5, "BUCLA EMISIVITY",
      "BUCLA emisivity", nullptr,
      true, false, S::Expert, false, NoFollowUp, noEnd, noEnd, R::SensorValue, 0.95 },
    { "time", V::Item, C::ReadTime, C::WriteTime, 0, 2, nullptr, "BUCLA emisivity", nullptr,
      true, false, S::Expert, false, NoFollowUp, noEnd, noEnd, R::None, 0 },
    { "laser", V::Item, C::ReadLaser, C::WriteLaser, 0, 1, nullptr, "BUCLA laser", nullptr,
      false, false, S::Expert, false, NoFollowUp, noEnd, noEnd, R::None, 0 },
    { "baudrate", V::BaudRate, none, C::WriteBaudRate, 0, 0, nullptr, nullptr, nullptr,
      false, false, S::Always, false, NoFollowUp, noEnd, noEnd, R::None, 0 },
    { "ExpertMenu", V::None, none, none, 0, 0, nullptr, nullptr, nullptr,
      false, false, S::Always, false, ExpertRows, noEnd, noEnd, R::HostValue, 0 },
    { "readTemp", V::None, none, none, 0, 0, nullptr, nullptr, nullptr,
      false, false, S::Expert, false, MeasuredTemperature, noEnd, noEnd, R::None, 0 },
    // Output 1's function: shown only.
    { "1A", V::None, none, none, 0, 0, nullptr, nullptr, nullptr,
      false, false, S::Always, false, NoFollowUp, noEnd, noEnd, R::None, 0 },
    // Pin 2's teach button, shown with the analog output.
    { "2teach", V::Unhandled, none, none, 0, 0, nullptr, nullptr, nullptr,
      false, false, S::Pin2Analog, false, NoFollowUp, noEnd, noEnd, R::None, 0 },
};
// clang-format on

template<typename Match> const ParameterDefinition *findRow(Match match)
{
    for (const ParameterDefinition &row : table) {
        if (match(row))
            return &row;
    }
    return nullptr;
}

} // namespace

const ParameterDefinition *parametersBegin()
{
    return std::begin(table);
}

const ParameterDefinition *parametersEnd()
{
    return std::end(table);
}

const ParameterDefinition *findParameter(const QString &id)
{
    return findRow([&](const ParameterDefinition &row) { return id == QLatin1String(row.id); });
}

const ParameterDefinition *parameterReadBy(Command command, int output)
{
    return findRow([&](const ParameterDefinition &row) {
        return row.read == command && row.output == output;
    });
}

const ParameterDefinition *parameterWrittenBy(Command command, int output)
{
    return findRow([&](const ParameterDefinition &row) {
        return row.write == command && row.output == output;
    });
}

const ParameterDefinition &parameterWith(FollowUp followUp)
{
    return *findRow([&](const ParameterDefinition &row) { return row.has(followUp); });
}

const ParameterDefinition &analogEndParameter(bool high)
{
    double SessionState::*const end = high ? &SessionState::analogHigh : &SessionState::analogLow;
    return *findRow([&](const ParameterDefinition &row) {
        return row.coding == ValueCoding::AnalogEnd && row.lastRead == end;
    });
}

const ParameterDefinition &pin2SignalParameter()
{
    return *findRow([](const ParameterDefinition &row) { return row.has(AnalogMode) && row.read; });
}

bool hasAnalogOutputType(const ParameterRows &rows)
{
    for (const ParameterDefinition &row : table) {
        if (row.has(AnalogMode) && !row.read && rows.contains(row.rowId()))
            return true;
    }
    return false;
}

AnalogScale analogScaleOf(const ParameterRows &rows, AnalogScale scale)
{
    const bool analogType = hasAnalogOutputType(rows);
    for (const ParameterDefinition &row : table) {
        const QString id = row.rowId();
        if (!rows.contains(id))
            continue;
        if (row.coding == ValueCoding::AnalogEnd)
            (row.lastRead == &SessionState::analogLow ? scale.low : scale.high)
                = int(rows.doubleValue(id));
        else if (row.has(AnalogMode) && analogType == !row.read)
            scale.mode = rows.enumIndex(id);
    }
    return scale;
}

bool isTemperatureParameter(const QString &id)
{
    const ParameterDefinition *row = findParameter(id);
    return row && row->temperature;
}

bool isPin2OutputParameter(const QString &id)
{
    const ParameterDefinition *row = findParameter(id);
    return row && row->pin2Output();
}

bool isSensorParameter(const QString &id)
{
    const ParameterDefinition *row = findParameter(id);
    return row && row->onSensor();
}

} // namespace Core
} // namespace DrumoSensorPlugin
