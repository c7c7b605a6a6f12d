// The command table's value readers (readValue, readSecondValue, convertField) for every
// command:
// - on the simulated sensor's answer to the plug-in's own read request, with parameters taken
//   from the input, the answer matches the command's pattern and reads as the value the sensor
//   encoded (temperatures by the sensor's rounding, in its current unit);
// - on any answer, a value comes exactly when the (checksum-checked) text is not empty, and it is
//   the number the field starts with (the whole field for the analog range and the live
//   temperatures), 0 where there is none; plain temperature fields as the sensor's own decoder
//   reads them;
// - convertField on any field of any text, likewise.

#include "fuzzsupport.h"

#include "protocol/commands.h"

#include <sensormodel.h>
#include <simframe.h>

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace DrumoSensorPlugin::Core;

namespace {

constexpr int commandCount = int(Command::WriteThreshold) + 1;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The number a field holds by the rules of its conversion, read here with the C library and Qt
// rather than the plug-in's reader; nothing only for a field without a conversion.
std::optional<double> expectedField(const std::string &text, const ValueField &field)
{
    if (field.position < 0 || field.length <= 0 || field.conversion == Conversion::None)
        return std::nullopt;
    const std::string piece = std::size_t(field.position) < text.size()
        ? text.substr(std::size_t(field.position), std::size_t(field.length))
        : std::string();
    const QString qpiece = QString::fromLatin1(piece.data(), int(piece.size()));
    // The leading decimal number only: the C library would also take hex, "inf" and "nan".
    const QRegularExpressionMatch leading
        = QRegularExpression(field.conversion == Conversion::Integer
                                 ? QStringLiteral("^[ \\t\\n\\v\\f\\r]*[+-]?[0-9]*")
                                 : QStringLiteral("^[ \\t\\n\\v\\f\\r]*[+-]?[0-9]*(\\.[0-9]*)?"))
              .match(qpiece);
    const std::string prefix = leading.captured(0).toStdString();
    switch (field.conversion) {
    case Conversion::Integer:
        // As a double: a field longer than an int's digits does not overflow.
        return std::strtod(prefix.c_str(), nullptr);
    case Conversion::Hundredths:
        return std::strtod(prefix.c_str(), nullptr) / 100.0;
    case Conversion::Tenths:
        return std::strtod(prefix.c_str(), nullptr) / 10.0;
    case Conversion::WholeTenths: {
        bool ok = false;
        const double value = qpiece.toDouble(&ok);
        return ok && std::isfinite(value) ? value / 10.0 : 0.0;
    }
    case Conversion::None:
        break;
    }
    return std::nullopt;
}

bool sameValue(const std::optional<double> &a, const std::optional<double> &b)
{
    if (bool(a) != bool(b))
        return false;
    // Beyond 15 digits the two ways of reading may round differently.
    return !a || *a == *b || std::abs(*a - *b) <= 1e-12 * std::abs(*b);
}

// The body of a frame as the simulator decodes it, but for the 8-bit checksums.
std::string referenceBody(const std::string &answer)
{
    if (eightBitChecksum(answer))
        return std::string();
    return QuxSim::Frame::decode(QByteArray::fromStdString(answer)).toStdString();
}

void checkAnyAnswer(Command command, const std::string &answer)
{
    const CommandDefinition &definition = commandDefinition(command);
    const std::string text
        = definition.source == ValueSource::Body ? referenceBody(answer) : answer;
    const bool reads = definition.source != ValueSource::None && !text.empty();
    const std::optional<double> first
        = reads ? expectedField(text, definition.value) : std::nullopt;
    const std::optional<double> second
        = reads ? expectedField(text, definition.secondValue) : std::nullopt;
    const std::optional<double> value = readValue(command, answer);
    const std::optional<double> secondValue = readSecondValue(command, answer);
    FUZZ_CHECK(sameValue(value, first), "command %d: read %s %g, expected %s %g", int(command),
               value ? "" : "nothing", value.value_or(0), first ? "" : "nothing",
               first.value_or(0));
    FUZZ_CHECK(sameValue(secondValue, second), "command %d: second value", int(command));

    // A plain temperature field ("-" and digits) reads as the sensor's own decoder reads it.
    const std::string field = value && text.size() >= std::size_t(definition.value.position + 4)
        ? text.substr(std::size_t(definition.value.position), 4)
        : std::string();
    const bool plain = field.size() == 4
        && std::all_of(field.begin() + (field[0] == '-' ? 1 : 0), field.end(), isDigit);
    if (plain && definition.value.length == 4) {
        static const QuxSim::SensorModel celsius;
        const std::optional<double> decoded
            = celsius.decodeTemperature(QByteArray::fromStdString(field));
        FUZZ_CHECK(decoded && *decoded == *value, "the sensor decodes %g", decoded.value_or(0));
    }
}

void checkField(FuzzInput &input)
{
    ValueField field;
    field.position = static_cast<std::int8_t>(input.byte());
    field.length = static_cast<std::int8_t>(input.byte()) % 24;
    field.conversion = Conversion(input.byte() % 5);
    const std::string text = input.rest();
    FUZZ_CHECK(sameValue(convertField(text, field), expectedField(text, field)),
               "field at %d, %d characters, conversion %d", field.position, field.length,
               int(field.conversion));
}

// A temperature from the input: tenths over the sensor's whole range and a little beyond, with
// a fraction below them to exercise the rounding.
double temperature(FuzzInput &input)
{
    const int tenths = static_cast<std::int16_t>(input.byte() << 8 | input.byte()) % 12000;
    return tenths / 10.0 + input.byte() / 2560.0;
}

// The wire value of a temperature as the sensor rounds it: tenths in its unit, limited.
double onTheWire(double celsius, int unit, int lowest, int highest)
{
    const double inUnit = unit == 1 ? celsius * 1.8 + 32.0 : celsius;
    return std::clamp(std::round(inUnit * 10.0), double(lowest), double(highest)) / 10.0;
}

void checkSensorAnswer(FuzzInput &input)
{
    const Command command = Command(input.byte() % commandCount);
    QuxSim::SensorModel model(QuxSim::SensorType::fallback(), [] { return qint64(0); });
    QuxSim::SensorParameters &p = model.parameters();
    p.unit = input.byte() & 1;
    p.pin2Mode = input.byte() % 10;
    p.laser = input.byte() % 10;
    p.time = input.byte() % 10;
    p.emissivity = 10 + input.byte() % 91;
    p.analogOutput = input.byte() % 10;
    p.analogLow = temperature(input);
    p.analogHigh = temperature(input);
    const int output = input.byte() & 1;
    p.switchingPoint[output] = temperature(input);
    p.outputType[output] = input.byte() % 10;
    p.operateMode[output] = input.byte() % 10;
    const double object = temperature(input);
    model.process().setTemperature(object);
    model.setHeadTemperature(temperature(input));

    std::optional<double> expected;
    std::optional<double> expectedSecond;
    std::string argument;
    switch (command) {
    case Command::ReadPin2Mode:
        expected = p.pin2Mode;
        break;
    case Command::ReadUnit:
        expected = p.unit;
        break;
    case Command::ReadLaser:
        expected = p.laser;
        break;
    case Command::ReadTime:
        expected = p.time;
        break;
    case Command::ReadEmissivity:
        expected = p.emissivity / 100.0;
        break;
    case Command::ReadAnalogOutput:
        expected = p.analogOutput;
        break;
    case Command::ReadAnalogLow:
        expected = onTheWire(p.analogLow, p.unit, -999, 9999);
        break;
    case Command::ReadAnalogHigh:
        expected = onTheWire(p.analogHigh, p.unit, -999, 9999);
        break;
    case Command::ReadSwitchingPoint:
        argument = std::to_string(output + 1);
        expected = onTheWire(p.switchingPoint[output], p.unit, -999, 9999);
        break;
    case Command::ReadType:
        argument = std::to_string(output + 1);
        expected = p.outputType[output];
        break;
    case Command::ReadOperateOutputs:
        argument = std::to_string(output + 1);
        expected = p.operateMode[output];
        break;
    case Command::ReadOutputStates:
    case Command::LiveOutputStates:
        expected = model.outputStates(object);
        break;
    case Command::LiveTemperatures:
        // The head temperature's three digits behind the echo's "0", then the object's four.
        expected = onTheWire(model.headTemperature(), p.unit, 0, 999);
        expectedSecond = onTheWire(object, p.unit, 0, 9999);
        break;
    default:
        return; // writes and the identification read no value
    }

    const std::optional<QByteArray> body
        = model.answer(QByteArray::fromStdString(requestBody(command, argument)));
    FUZZ_CHECK(body, "the sensor does not answer command %d", int(command));
    const QByteArray answer = QuxSim::Frame::build(*body);
    const QRegularExpression pattern(QRegularExpression::anchoredPattern(
        QString::fromLatin1(commandDefinition(command).answerPattern)));
    FUZZ_CHECK(pattern.match(QString::fromLatin1(answer)).hasMatch(),
               "the sensor's answer %s does not match the pattern of command %d",
               answer.constData(), int(command));
    const std::optional<double> value = readValue(command, answer.toStdString());
    FUZZ_CHECK(sameValue(value, expected), "%s: read %g, the sensor sent %g", answer.constData(),
               value.value_or(-1e9), expected.value_or(-1e9));
    FUZZ_CHECK(sameValue(readSecondValue(command, answer.toStdString()), expectedSecond),
               "%s: second value", answer.constData());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceLogging();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    switch (input.byte() % 3) {
    case 0:
        checkSensorAnswer(input);
        break;
    case 1: {
        const Command command = Command(input.byte() % commandCount);
        checkAnyAnswer(command, input.rest());
        break;
    }
    default:
        checkField(input);
        break;
    }
    return 0;
}
