#include "protocol/commands.h"

#include "model/sensor.h"
#include "protocol/frame.h"

#include <array>
#include <cctype>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

using T = TimeoutRule;
using P = PacingRule;
using S = ValueSource;
using C = Conversion;

constexpr ValueField none {};
constexpr ValueField digit(int position)
{
    return { position, 1, C::Integer };
}

// One row per request the plug-in sends, in the order of the Command enumeration.
constexpr std::array<CommandDefinition, 29> table = { {
    { Command::Identify, "0V", R"(/070V8[0-9A-Z]{1,1}:[0-9A-F]{6,6}\.)", T::Identification, 0,
      P::CharacterDelay, S::None, none, none },
    { Command::ReadPin2Mode, "0WT", R"(/[0-9A-F]{2,2}0WT0[0-9A-F]{3,3}\.)", T::LineDelay, 0,
      P::CharacterDelay, S::Body, digit(4), none },
    { Command::ReadUnit, "0WU", R"(/[0-9A-F]{2,2}0WU[0-9A-F]{3,3}\.)", T::LineDelay, 0,
      P::CharacterDelay, S::RawAnswer, digit(6), none },
    { Command::ReadLaser, "0WL", R"(/[0-9A-F]{2,2}0WL[0-9A-F]{3,3}\.)", T::LineDelay, 0,
      P::CharacterDelay, S::Body, digit(3), none },
    { Command::ReadTime, "0WF", R"(/(.*)\.)", T::LineDelay, 0, P::None, S::Body, digit(3), none },
    { Command::ReadEmissivity,
      "0Wm",
      R"(/(.*)\.)",
      T::LineDelay,
      0,
      P::None,
      S::Body,
      { 3, 3, C::Hundredths },
      none },
    { Command::ReadAnalogOutput, "0WQ", R"(/[0-9A-F]{2,2}0WQ[0-9A-F]{3,3}\.)", T::LineDelay, 0,
      P::CharacterDelay, S::Body, digit(3), none },
    { Command::ReadAnalogLow,
      "0Wb",
      R"(/[0-9A-F]{2,2}0Wb[-]{0,1}[0-9A-F]{5,6}\.)",
      T::LineDelay,
      0,
      P::CharacterDelay,
      S::Body,
      { 3, 4, C::Tenths },
      none },
    { Command::ReadAnalogHigh,
      "0We",
      R"(/[0-9A-F]{2,2}0We[-]{0,1}[0-9A-F]{5,6}\.)",
      T::LineDelay,
      0,
      P::CharacterDelay,
      S::Body,
      { 3, 4, C::Tenths },
      none },
    { Command::ReadSwitchingPoint,
      "0WC",
      R"(/[0-9A-F]{3,3}WC(.*)\.)",
      T::LineDelay,
      0,
      P::OneMillisecond,
      S::Body,
      { 4, 4, C::Tenths },
      none },
    { Command::ReadType, "0WA", R"(/[0-9A-F]{2,2}0WA[0-9A-F]{4,4}\.)", T::LineDelay, 0,
      P::CharacterDelay, S::Body, digit(4), none },
    { Command::ReadOperateOutputs, "0WO", R"(/[0-9A-F]{2,2}0WO[0-9A-F]{4,4}\.)", T::LineDelay, 0,
      P::CharacterDelay, S::Body, digit(4), none },
    { Command::WritePin2Mode, "0T0", R"(/030MT0[0-9A-F]{3,3}\.)", T::LineDelay, 0,
      P::CharacterDelay, S::None, none, none },
    { Command::WriteUnit, "0U", R"(/020MU[0-9A-F]{3,3}\.)", T::LineDelay, 0, P::CharacterDelay,
      S::None, none, none },
    { Command::WriteLaser, "0L0", R"(/020L0[0-9A-F]{3,3}\.)", T::LineDelay, 0, P::CharacterDelay,
      S::None, none, none },
    { Command::WriteTime, "0F", R"(/(.*)\.)", T::LineDelay, 0, P::None, S::None, none, none },
    { Command::WriteEmissivity, "0e", R"(/040Me[0-9A-F]{5,5}\.)", T::LineDelay, 0,
      P::OneMillisecond, S::None, none, none },
    { Command::WriteAnalogOutput, "0Q0", R"(/030MQ[0-9A-F]{4,4}\.)", T::LineDelay, 0,
      P::CharacterDelay, S::None, none, none },
    // No backslash before the last character: any last character is accepted.
    { Command::WriteAnalogLow, "0pb", "/(.*).", T::LineDelay, 0, P::CharacterDelay, S::None, none,
      none },
    { Command::WriteAnalogHigh, "0pe", "/(.*).", T::LineDelay, 0, P::CharacterDelay, S::None, none,
      none },
    // Lower-case hexadecimal: the acknowledgement's checksum digits happen to be decimal.
    { Command::WriteSwitchingPoint, "0S", R"(/020MS[0-9a-f]{3,3}\.)", T::LineDelay, 0,
      P::OneMillisecond, S::None, none, none },
    { Command::WriteType, "0A", R"(/030MA[0-9A-F]{4,4}\.)", T::LineDelay, 0, P::CharacterDelay,
      S::None, none, none },
    { Command::WriteOperateOutputs, "0O", R"(/030MO[0-9A-F]{4,4}\.)", T::LineDelay, 0,
      P::CharacterDelay, S::None, none, none },
    { Command::ReadOutputStates,
      "0WD",
      R"(/030WD[0-9A-F]{4,4}\.)",
      T::Fixed,
      500,
      P::None,
      S::Body,
      { 3, 2, C::Integer },
      none },
    { Command::LiveTemperatures,
      "0D0e",
      R"(/[0-9A-F]{2,2}0D0[0-9A-Z]{3,3}:[0-9A-Z]{6,6}\.)",
      T::Fixed,
      120,
      P::None,
      S::Body,
      { 2, 4, C::Tenths },
      { 7, 4, C::Tenths } },
    { Command::LiveOutputStates,
      "0WD",
      R"(/030WD[0-9A-F]{4,4}\.)",
      T::Fixed,
      100,
      P::None,
      S::Body,
      { 3, 2, C::Integer },
      none },
    { Command::FactoryReset, "0R", R"(/(.*)\.)", T::LineDelay, 0, P::None, S::None, none, none },
    { Command::WriteBaudRate, "0?BR", R"(/[0-9A-F]{3,3}Ade[0-9]{1,1}[0-9A-Z]{2,2}\.)", T::LineDelay,
      0, P::None, S::None, none, none },
    { Command::WriteThreshold, "0O0a", nullptr, T::LineDelay, 0, P::CharacterDelay, S::None, none,
      none },
} };

constexpr bool tableInOrder()
{
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (static_cast<std::size_t>(table[i].command) != i)
            return false;
    }
    return true;
}
static_assert(tableInOrder(), "the command table follows the order of the Command enumeration");

// The decimal number of `text` from `from` on when every character there is a digit (at least
// one). Read digit by digit, so a field of any length gives a number (beyond 15 digits rounded
// as a double is) instead of overflowing an int.
std::optional<double> digitsValue(const std::string &text, std::size_t from)
{
    if (from >= text.size())
        return std::nullopt;
    double value = 0.0;
    for (std::size_t i = from; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return std::nullopt;
        value = value * 10.0 + (text[i] - '0');
    }
    return value;
}

std::optional<double> valueOf(Command command, const std::string &answer, const ValueField &field)
{
    const CommandDefinition &definition = commandDefinition(command);
    switch (definition.source) {
    case ValueSource::None:
        return std::nullopt;
    case ValueSource::RawAnswer:
        return convertField(answer, field);
    case ValueSource::Body:
        break;
    }
    const std::string body = decodeFrame(answer);
    if (body.empty())
        return std::nullopt;
    return convertField(body, field);
}

} // namespace

const CommandDefinition &commandDefinition(Command command)
{
    return table[static_cast<std::size_t>(command)];
}

LineTiming lineTiming(const Sensor &sensor)
{
    // Negative delays in a hand-edited catalogue count as none.
    return { quint32(qMax(0, sensor.getCharacterDelay())),
             quint32(qMax(0, sensor.getLineDelay())) };
}

std::string requestBody(Command command, const std::string &argument)
{
    return commandDefinition(command).letters + argument;
}

DataFrameEntry makeRequest(Command command, const std::string &argument, const LineTiming &timing)
{
    const CommandDefinition &definition = commandDefinition(command);
    const std::string body = requestBody(command, argument);

    DataFrameEntry entry;
    entry.frame = buildFrame(body);
    entry.answerPattern
        = definition.answerPattern ? definition.answerPattern : buildFrame("0M" + body);

    const quint32 sending = timing.characterDelay * quint32(entry.frame.size());
    switch (definition.timeout) {
    case TimeoutRule::LineDelay:
        entry.timeout = double(sending + timing.lineDelay);
        break;
    case TimeoutRule::Identification:
        entry.timeout = double(sending + 500u);
        break;
    case TimeoutRule::Fixed:
        entry.timeout = definition.fixedTimeout;
        break;
    }
    switch (definition.pacing) {
    case PacingRule::CharacterDelay:
        entry.characterDelay = timing.characterDelay;
        break;
    case PacingRule::None:
        entry.characterDelay = 0;
        break;
    case PacingRule::OneMillisecond:
        entry.characterDelay = 1;
        break;
    }
    return entry;
}

std::optional<double> convertField(const std::string &text, const ValueField &field)
{
    if (field.position < 0 || field.length <= 0
        || std::size_t(field.position) + std::size_t(field.length) > text.size())
        return std::nullopt;
    const std::string piece = text.substr(std::size_t(field.position), std::size_t(field.length));

    switch (field.conversion) {
    case Conversion::None:
        return std::nullopt;
    case Conversion::Integer:
        return digitsValue(piece, 0);
    case Conversion::Hundredths: {
        const std::optional<double> hundredths = digitsValue(piece, 0);
        return hundredths ? std::optional<double>(*hundredths / 100.0) : std::nullopt;
    }
    case Conversion::Tenths: {
        const bool negative = piece[0] == '-';
        const std::optional<double> tenths = digitsValue(piece, negative ? 1 : 0);
        if (!tenths)
            return std::nullopt;
        // "-000" reads as 0, not as negative zero.
        return (negative ? 0.0 - *tenths : *tenths) / 10.0;
    }
    }
    return std::nullopt;
}

std::optional<double> readValue(Command command, const std::string &answer)
{
    return valueOf(command, answer, commandDefinition(command).value);
}

std::optional<double> readSecondValue(Command command, const std::string &answer)
{
    return valueOf(command, answer, commandDefinition(command).secondValue);
}

} // namespace Core
} // namespace DrumoSensorPlugin
