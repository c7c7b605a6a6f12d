#pragma once

#include <communicationinterface.h>

#include <QtGlobal>

#include <optional>
#include <string>

namespace DrumoSensorPlugin {
namespace Core {

class Sensor;

// The sensor's command vocabulary. Every request the plug-in sends is one row of the table in
// commands.cpp: the body's command letters (the argument follows them), the pattern the whole
// answer must match, how long to wait for it, how to pace the sending, and for reads where the
// value sits in the answer and how it converts.

enum class Command {
    Identify,
    ReadPin2Mode,
    ReadUnit,
    ReadLaser,
    ReadTime,
    ReadEmissivity,
    ReadAnalogOutput,
    ReadAnalogLow,
    ReadAnalogHigh,
    ReadSwitchingPoint, // argument: output digit
    ReadType, // argument: output digit
    ReadOperateOutputs, // argument: output digit
    WritePin2Mode,
    WriteUnit,
    WriteLaser,
    WriteTime,
    WriteEmissivity, // argument: emissivityDigits()
    WriteAnalogOutput,
    WriteAnalogLow, // argument: temperatureDigits()
    WriteAnalogHigh,
    WriteSwitchingPoint, // argument: output digit + temperatureDigits()
    WriteType, // argument: output digit + item index
    WriteOperateOutputs, // argument: output digit + item index
    ReadOutputStates, // synchronous
    LiveTemperatures,
    LiveOutputStates,
    FactoryReset,
    WriteBaudRate, // argument: item index + 2
    WriteThreshold, // argument: output digit + component letter + hex text
};

// How long the communication object waits for the answer, in ms.
enum class TimeoutRule {
    LineDelay, // character delay × frame length + line delay
    Identification, // character delay × frame length + 500
    Fixed, // the row's own value
};

// The pacing value handed over with the request.
enum class PacingRule {
    CharacterDelay, // the sensor's character delay
    None, // 0
    OneMillisecond, // 1
};

enum class ValueSource {
    None, // writes, and reads with a parser of their own
    Body, // the decoded body: the checksum must be right
    RawAnswer, // the raw answer, checksum not verified
};

enum class Conversion {
    None,
    Integer, // the leading integer (atoi)
    Hundredths, // the leading number (atof) × 0.01
    Tenths, // the leading number (atof) × 0.1
    WholeTenths, // the whole field as a number × 0.1, 0 when it is none
};

struct ValueField
{
    int position = -1; // counted from the first character of the body (or of the raw answer)
    int length = 0;
    Conversion conversion = Conversion::None;
};

struct CommandDefinition
{
    Command command;
    const char *letters; // the body starts with these; the argument follows
    // The answer pattern (anchored regular expression over the raw answer). Null: the answer is
    // the frame of the request's own body with "0M" in front (threshold writes).
    const char *answerPattern;
    TimeoutRule timeout;
    int fixedTimeout; // ms, for TimeoutRule::Fixed
    PacingRule pacing;
    ValueSource source;
    ValueField value;
    ValueField secondValue; // the live answer carries two temperatures
};

const CommandDefinition &commandDefinition(Command command);

// The port timing of a sensor type, from its catalogue entry.
struct LineTiming
{
    quint32 characterDelay = 0;
    quint32 lineDelay = 0;
};
LineTiming lineTiming(const Sensor &sensor);

using DataFrameEntry = ExtensionSystem::CommunicationInterface::DataFrameEntry;

// The body of a request: the command letters followed by `argument`.
std::string requestBody(Command command, const std::string &argument = std::string());

// A ready request: frame, answer pattern, time-out and pacing filled in, everything else at its
// default.
DataFrameEntry makeRequest(Command command, const std::string &argument, const LineTiming &timing);

// The value a read's answer carries at the command's position, converted. Nothing when the
// command reads no value, or its text (the decoded body, or the raw answer) is empty: a body
// with a wrong checksum decodes empty. Characters that are no number read as 0.
std::optional<double> readValue(Command command, const std::string &answer);
std::optional<double> readSecondValue(Command command, const std::string &answer);

// A number from `length` characters of `text` at `position` by `conversion` (what lies
// beyond the text is left out); nothing only for a field without a conversion.
std::optional<double> convertField(const std::string &text, const ValueField &field);

} // namespace Core
} // namespace DrumoSensorPlugin
