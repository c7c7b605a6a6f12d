#include "protocol/commands.h"

#include "model/sensor.h"
#include "protocol/frame.h"

#include <QString>

#include <array>
#include <cctype>
#include <cmath>

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
      { 3, 4, C::WholeTenths },
      none },
    { Command::ReadAnalogHigh,
      "0We",
      R"(/[0-9A-F]{2,2}0We[-]{0,1}[0-9A-F]{5,6}\.)",
      T::LineDelay,
      0,
      P::CharacterDelay,
      S::Body,
      { 3, 4, C::WholeTenths },
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
      { 2, 4, C::WholeTenths },
      { 7, 4, C::WholeTenths } },
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

// The sensor's values are read the forgiving way its own tools read them (atoi, atof): the
// decimal number at the start of the field, after blanks and with its sign, as far as it goes;
// 0 when there is none. Always in the C locale, and never an infinity or a NaN.
double leadingNumber(const std::string &piece, bool integer)
{
    std::size_t i = 0;
    while (i < piece.size() && std::isspace(static_cast<unsigned char>(piece[i])))
        ++i;
    const bool negative = i < piece.size() && piece[i] == '-';
    if (i < piece.size() && (piece[i] == '-' || piece[i] == '+'))
        ++i;
    double value = 0.0;
    for (; i < piece.size() && std::isdigit(static_cast<unsigned char>(piece[i])); ++i)
        value = value * 10.0 + (piece[i] - '0');
    if (!integer && i < piece.size() && piece[i] == '.') {
        double scale = 0.1;
        for (++i; i < piece.size() && std::isdigit(static_cast<unsigned char>(piece[i])); ++i) {
            value += (piece[i] - '0') * scale;
            scale /= 10.0;
        }
    }
    return negative ? -value : value;
}

std::optional<double> valueOf(Command command, const std::string &answer, const ValueField &field)
{
    const CommandDefinition &definition = commandDefinition(command);
    switch (definition.source) {
    case ValueSource::None:
        return std::nullopt;
    case ValueSource::RawAnswer:
        if (answer.empty())
            return std::nullopt;
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
    if (field.position < 0 || field.length <= 0 || field.conversion == Conversion::None)
        return std::nullopt;
    // A field cut short by the end of the text reads what is there (nothing reads as 0).
    const std::string piece = std::size_t(field.position) < text.size()
        ? text.substr(std::size_t(field.position), std::size_t(field.length))
        : std::string();

    switch (field.conversion) {
    case Conversion::None:
        break;
    case Conversion::Integer:
        return leadingNumber(piece, true);
    case Conversion::Hundredths:
        return leadingNumber(piece, false) / 100.0;
    case Conversion::Tenths:
        return leadingNumber(piece, false) / 10.0 + 0.0; // "-000" is 0, not -0
    case Conversion::WholeTenths: {
        // The whole field or nothing: "12a4" is not 1.2 but 0 (nor is "NAN" a temperature).
        bool ok = false;
        const double value = QString::fromLatin1(piece.data(), int(piece.size())).toDouble(&ok);
        return ok && std::isfinite(value) ? value / 10.0 + 0.0 : 0.0;
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
