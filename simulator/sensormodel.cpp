#include "sensormodel.h"

#include <algorithm>
#include <cmath>

namespace QuxSim {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The single decimal value digit at `position`, or -1.
int digitAt(const QByteArray &body, int position)
{
    return position < body.size() && isDigit(body.at(position)) ? body.at(position) - '0' : -1;
}

int outputIndex(const QByteArray &body, int position)
{
    const int n = digitAt(body, position);
    return n == 1 || n == 2 ? n - 1 : -1;
}

QByteArray digitText(int value)
{
    return QByteArray::number(value);
}

bool isHexText(const QByteArray &text)
{
    if (text.isEmpty())
        return false;
    return std::all_of(text.begin(), text.end(), [](char c) {
        return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    });
}

double clampCelsius(double celsius)
{
    return std::clamp(celsius, SensorModel::MinimumCelsius, SensorModel::MaximumCelsius);
}

} // namespace

bool SensorParameters::operator==(const SensorParameters &o) const
{
    return pin2Mode == o.pin2Mode && unit == o.unit && laser == o.laser && time == o.time
        && emissivity == o.emissivity && analogOutput == o.analogOutput && analogLow == o.analogLow
        && analogHigh == o.analogHigh && switchingPoint[0] == o.switchingPoint[0]
        && switchingPoint[1] == o.switchingPoint[1] && outputType[0] == o.outputType[0]
        && outputType[1] == o.outputType[1] && operateMode[0] == o.operateMode[0]
        && operateMode[1] == o.operateMode[1] && thresholds == o.thresholds;
}

int baudrateForDigit(int digit)
{
    static const int rates[] = { 9600, 19200, 38400, 57600, 115200 };
    return digit >= 2 && digit <= 6 ? rates[digit - 2] : 0;
}

SensorModel::SensorModel(const SensorType &type, Clock clock, quint32 seed)
    : m_type(type)
    , m_process(std::move(clock), seed)
{
}

void SensorModel::setSensorType(const SensorType &type)
{
    m_type = type;
}

int SensorModel::reportedGroup() const
{
    return m_foreignGroup ? (m_type.group + 1) & 0xFF : m_type.group & 0xFF;
}

int SensorModel::reportedType() const
{
    const int own = m_type.types.isEmpty() ? 0 : m_type.types.first();
    if (!m_foreignType)
        return own & 0xFF;
    // The smallest number above the catalogue's own that none of its types uses.
    for (int candidate = own + 1; candidate < own + 257; ++candidate) {
        if (!m_type.types.contains(candidate & 0xFF))
            return candidate & 0xFF;
    }
    return own & 0xFF;
}

void SensorModel::setBaudrate(int baudrate)
{
    m_baudrate = baudrate;
    m_pendingBaudrate = baudrate;
}

void SensorModel::powerCycle()
{
    m_baudrate = m_pendingBaudrate;
}

void SensorModel::factoryReset()
{
    // The rate stays: the host that sent the reset reads the defaults back on the same line.
    m_parameters = SensorParameters();
}

double SensorModel::toUnit(double celsius) const
{
    return m_parameters.unit == 1 ? celsius * 1.8 + 32.0 : celsius;
}

double SensorModel::fromUnit(double value) const
{
    return m_parameters.unit == 1 ? (value - 32.0) / 1.8 : value;
}

// Tenths of `value`, clamped to what the answer can show before converting to int, so that no
// value (NaN included, which gives `low`) can overflow the conversion.
static int clampedTenths(double value, int low, int high)
{
    const double tenths = std::round(value * 10.0);
    if (!(tenths >= low))
        return low;
    return tenths > high ? high : int(tenths);
}

QByteArray SensorModel::encodeTemperature(double celsius) const
{
    const int tenths = clampedTenths(toUnit(celsius), -999, 9999);
    if (tenths < 0)
        return "-" + QByteArray::number(-tenths).rightJustified(3, '0');
    return QByteArray::number(tenths).rightJustified(4, '0');
}

std::optional<double> SensorModel::decodeTemperature(const QByteArray &text) const
{
    if (text.size() != 4)
        return std::nullopt;
    const bool negative = text.at(0) == '-';
    const QByteArray digits = negative ? text.mid(1) : text;
    if (!std::all_of(digits.begin(), digits.end(), isDigit))
        return std::nullopt;
    const double value = digits.toInt() / 10.0;
    return fromUnit(negative ? -value : value);
}

int SensorModel::outputStates(double objectCelsius) const
{
    int states = 0;
    for (int output = 0; output < 2; ++output) {
        if (output == 1 && m_parameters.pin2Mode != 0)
            continue;
        const bool active = objectCelsius >= m_parameters.switchingPoint[output];
        const bool bit = m_parameters.outputType[output] == 0 ? active : !active;
        if (bit)
            states |= 1 << output;
    }
    return states;
}

double SensorModel::analogOutputValue(double objectCelsius) const
{
    const double low = m_parameters.analogLow;
    const double high = m_parameters.analogHigh;
    double fraction = 0.0;
    if (high != low)
        fraction = std::clamp((objectCelsius - low) / (high - low), 0.0, 1.0);
    else
        fraction = objectCelsius >= high ? 1.0 : 0.0;
    return m_parameters.analogOutput == 0 ? fraction * 10.0 : 4.0 + fraction * 16.0;
}

QByteArray SensorModel::liveTemperatures()
{
    // The live answer has no room for a sign: both values bottom out at zero.
    const int head = clampedTenths(toUnit(m_headTemperature), 0, 999);
    const int object = clampedTenths(toUnit(m_process.measure()), 0, 9999);
    return "0D0" + QByteArray::number(head).rightJustified(3, '0') + ":"
        + QByteArray::number(object).rightJustified(4, '0');
}

std::optional<QByteArray> SensorModel::answer(const QByteArray &body)
{
    if (body.size() < 2 || body.at(0) != '0')
        return std::nullopt;
    if (body == "0V") {
        return "0V8" + QByteArray(1, m_firmware) + ":"
            + QByteArray::number(reportedGroup(), 16).toUpper().rightJustified(2, '0')
            + QByteArray::number(reportedType(), 16).toUpper().rightJustified(2, '0');
    }
    if (body == "0D0e")
        return liveTemperatures();
    if (body == "0R") {
        factoryReset();
        return QByteArray("0MR");
    }
    if (body.startsWith("0W"))
        return answerRead(body);
    return answerWrite(body);
}

std::optional<QByteArray> SensorModel::answerRead(const QByteArray &body)
{
    const SensorParameters &p = m_parameters;
    if (body == "0WT")
        return "0WT0" + digitText(p.pin2Mode);
    if (body == "0WU")
        return "0WU" + digitText(p.unit);
    if (body == "0WL")
        return "0WL" + digitText(p.laser);
    if (body == "0WF")
        return "0WF" + digitText(p.time);
    if (body == "0Wm")
        return "0Wm" + QByteArray::number(p.emissivity).rightJustified(3, '0');
    if (body == "0WQ")
        return "0WQ" + digitText(p.analogOutput);
    if (body == "0Wb")
        return "0Wb" + encodeTemperature(p.analogLow);
    if (body == "0We")
        return "0We" + encodeTemperature(p.analogHigh);
    if (body == "0WD")
        return "0WD" + QByteArray::number(outputStates()).rightJustified(2, '0');
    if (body.size() == 4) {
        const int output = outputIndex(body, 3);
        if (output < 0)
            return std::nullopt;
        const QByteArray command = body.left(3);
        if (command == "0WC")
            return body + encodeTemperature(p.switchingPoint[output]);
        if (command == "0WA")
            return body + digitText(p.outputType[output]);
        if (command == "0WO")
            return body + digitText(p.operateMode[output]);
    }
    return std::nullopt;
}

std::optional<QByteArray> SensorModel::answerWrite(const QByteArray &body)
{
    SensorParameters &p = m_parameters;
    const int size = body.size();
    // Enumerations: the sensor accepts a decimal digit, two-state settings only 0 and 1.
    auto setEnum = [&](int *field, int value, int maximum,
                       const QByteArray &ack) -> std::optional<QByteArray> {
        if (value < 0 || value > maximum)
            return std::nullopt;
        *field = value;
        return ack;
    };

    if (size == 4 && body.startsWith("0T0"))
        return setEnum(&p.pin2Mode, digitAt(body, 3), 1, "0MT0" + body.mid(3));
    if (size == 3 && body.startsWith("0U"))
        return setEnum(&p.unit, digitAt(body, 2), 1, "0MU" + body.mid(2));
    if (size == 4 && body.startsWith("0L0"))
        return setEnum(&p.laser, digitAt(body, 3), 9, body);
    if (size == 3 && body.startsWith("0F"))
        return setEnum(&p.time, digitAt(body, 2), 9, "0MF" + body.mid(2));
    if (size == 4 && body.startsWith("0Q0"))
        return setEnum(&p.analogOutput, digitAt(body, 3), 1, "0MQ0" + body.mid(3));
    if (size == 5 && body.startsWith("0e")) {
        const QByteArray digits = body.mid(2);
        if (!std::all_of(digits.begin(), digits.end(), isDigit))
            return std::nullopt;
        p.emissivity = std::clamp(digits.toInt(), 10, 100);
        return "0Me" + digits;
    }
    if (size == 7 && (body.startsWith("0pb") || body.startsWith("0pe"))) {
        const std::optional<double> value = decodeTemperature(body.mid(3));
        if (!value)
            return std::nullopt;
        (body.at(2) == 'b' ? p.analogLow : p.analogHigh) = clampCelsius(*value);
        return "0M" + body.mid(1);
    }
    if (size == 7 && body.startsWith("0S")) {
        const int output = outputIndex(body, 2);
        const std::optional<double> value = decodeTemperature(body.mid(3));
        if (output < 0 || !value)
            return std::nullopt;
        p.switchingPoint[output] = clampCelsius(*value);
        return "0MS" + body.mid(2, 1);
    }
    if (size == 4 && (body.startsWith("0A") || body.startsWith("0O"))) {
        const int output = outputIndex(body, 2);
        if (output < 0)
            return std::nullopt;
        int *field = body.at(1) == 'A' ? &p.outputType[output] : &p.operateMode[output];
        return setEnum(field, digitAt(body, 3), 9, "0M" + body.mid(1));
    }
    if (size >= 7 && body.startsWith("0O0a")) {
        const char letter = body.at(5);
        if (outputIndex(body, 4) < 0 || !QByteArray("RGBSL").contains(letter)
            || !isHexText(body.mid(6)))
            return std::nullopt;
        p.thresholds.insert(body.mid(4, 2), body.mid(6));
        return "0M" + body;
    }
    if (size == 5 && body.startsWith("0?BR")) {
        const int rate = baudrateForDigit(digitAt(body, 4));
        if (rate == 0)
            return std::nullopt;
        m_pendingBaudrate = rate;
        return "0Ade" + body.mid(4);
    }
    return std::nullopt;
}

} // namespace QuxSim
