#pragma once

#include "parameters/livepoller.h"
#include "parameters/sessionstate.h"
#include "protocol/commands.h"

#include <QString>

#include <optional>

namespace DrumoSensorPlugin {
namespace Core {

class ParameterRows;

// How a row's value travels in its requests.
enum class ValueCoding {
    None, // a row of the host's own: nothing is sent
    Item, // an item index or a whole number, "%.1d"
    Emissivity, // hundredths, three digits
    AnalogEnd, // temperature, °C tenths; read values limited to the analog output's ends
    SwitchingPoint, // temperature, °C tenths; the display unit's limits after the value
    BaudRate, // the item index + 2, written only
    Unhandled, // shown only, and the dispatch has no write for it: an edit of it fails
};

// When the tree shows the row.
enum class Shown {
    Always,
    Expert, // with the expert rows
    Pin2Output, // while pin 2 is switching output 2; nothing is sent while it is analog
    Pin2Analog, // while pin 2 is the analog output
};

// What follows a read or a write of the row besides the row itself.
enum FollowUp : unsigned {
    NoFollowUp = 0,
    Pin2Layout = 1u << 0, // rows, LED and axes of pin 2's function; a write re-reads pin 2
    SwitchingPointReread = 1u << 1, // a write moves the switching points: read them again
    UnitDisplay = 1u << 2, // caption and chart scales; a write converts the temperature rows
    AnalogMode = 1u << 3, // names of the analog rows and the right axis: voltage or current
    AnalogChart = 1u << 4, // the chart after a write
    SwitchingLine = 1u << 5, // the switching point's line
    OutputStates = 1u << 6, // a write may switch the outputs: read their states
    ExpertRows = 1u << 7, // the expert rows shown or hidden
    MeasuredTemperature = 1u << 8, // the chart plots the first or the second temperature
};

// What the factory reset does to the row beyond reading it back.
enum class ResetAction {
    None,
    HostValue, // the host's own default, set in the row (temperatures within the sensor's range)
    SensorValue, // written to the sensor once more
};

// Everything the operations know about one parameter row. Adding a parameter is one row of the
// table in parametertable.cpp (and the row of the sensor's description in the catalogue).
struct ParameterDefinition
{
    const char *id;
    ValueCoding coding;
    std::optional<Command> read;
    std::optional<Command> write;
    // 1 or 2: the output digit that precedes the value in the requests; 0 for none.
    int output;
    // Reading all: attempts, and the trace after each failure (none when null).
    int readAttempts;
    const char *readTrace;
    // Writing: the trace after each failed attempt; `immediateTrace` instead of it when a
    // deferred row goes out at once (bulk transfers), when set.
    const char *writeTrace;
    const char *immediateTrace;
    // Typed digit by digit: written once the typing pauses.
    bool deferred;
    // A temperature in the display unit (°C on the wire).
    bool temperature;
    Shown shown;
    // A write that fails still counts as handled: no connection check follows.
    bool failureHandled;
    unsigned followUps;
    // Where the value read last is kept, and the other end it must stay apart from.
    double SessionState::*lastRead;
    double SessionState::*otherEnd;
    ResetAction reset;
    double resetValue;

    QString rowId() const { return QLatin1String(id); }
    bool has(FollowUp followUp) const { return (followUps & followUp) != 0; }
    // A parameter the sensor holds (a row written to it).
    bool onSensor() const { return write.has_value(); }
    // A row of switching output 2: nothing is sent while pin 2 is an analog output.
    bool pin2Output() const { return shown == Shown::Pin2Output; }
};

// The rows in the order reading all takes them: pin 2's function decides which rows exist for
// the user, and the unit must be known before any temperature.
const ParameterDefinition *parametersBegin();
const ParameterDefinition *parametersEnd();
struct ParameterTable
{
    const ParameterDefinition *begin() const { return parametersBegin(); }
    const ParameterDefinition *end() const { return parametersEnd(); }
};
constexpr ParameterTable parameterTable {};

// The row of `id`, null for ids the operations do not know.
const ParameterDefinition *findParameter(const QString &id);
// The row read (or written) by `command` for `output`; null when there is none.
const ParameterDefinition *parameterReadBy(Command command, int output = 0);
const ParameterDefinition *parameterWrittenBy(Command command, int output = 0);
// The one row with `followUp` (the unit's, pin 2's, ...): the rows other rows depend on.
const ParameterDefinition &parameterWith(FollowUp followUp);

// The ends of the analog output's range (the low one or the high one), and pin 2's signal type
// (voltage or current), the one the sensor is asked for.
const ParameterDefinition &analogEndParameter(bool high);
const ParameterDefinition &pin2SignalParameter();

// The analog output's scale as the rows hold it: its ends and its signal type, each kept from
// `scale` where the row is missing. A sensor of an analog type has the signal row that is
// written only; its rows come before pin 2's.
AnalogScale analogScaleOf(const ParameterRows &rows, AnalogScale scale);
bool hasAnalogOutputType(const ParameterRows &rows);

bool isTemperatureParameter(const QString &id);
bool isPin2OutputParameter(const QString &id);
bool isSensorParameter(const QString &id);

} // namespace Core
} // namespace DrumoSensorPlugin
