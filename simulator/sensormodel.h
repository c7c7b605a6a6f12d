#pragma once

#include "quxsim_global.h"
#include "sensortype.h"
#include "temperatureprocess.h"

#include <QByteArray>
#include <QMap>

#include <optional>

namespace QuxSim {

// Everything the sensor keeps in its memory. Temperatures are stored in degrees Celsius; the
// wire shows them in the sensor's current unit.
struct QUXSIM_EXPORT SensorParameters
{
    int pin2Mode = 0; // 0 switching output 2, 1 analog output
    int unit = 0; // 0 degrees Celsius, 1 degrees Fahrenheit
    int laser = 0; // pilot laser, item index
    int time = 0; // response time setting, item index
    int emissivity = 95; // hundredths, 10..100
    int analogOutput = 0; // 0 voltage 0-10 V, 1 current 4-20 mA
    double analogLow = 0.0; // temperature at 0 V / 4 mA
    double analogHigh = 350.0; // temperature at 10 V / 20 mA
    double switchingPoint[2] = { 100.0, 200.0 };
    int outputType[2] = { 0, 0 }; // 0 normally open, 1 normally closed
    int operateMode[2] = { 0, 0 }; // driver of the output, item index (PNP/NPN); no effect on logic
    QMap<QByteArray, QByteArray> thresholds; // "0O0a" store: output digit + letter -> hex text

    bool operator==(const SensorParameters &other) const;
};

// The sensor as a request -> answer machine, without any line: it takes a request body and
// returns the answer body, or nothing when the sensor ignores the request.
//
// Output rule: a switching output is active while the measured object temperature is at or
// above its switching point (no hysteresis). Type 0 (normally open) reports an active output
// as its bit set, any other type (normally closed) inverts the bit. The operate mode selects
// the output driver and does not change the reported state. While pin 2 is an analog output,
// output 2's bit is always clear.
class QUXSIM_EXPORT SensorModel
{
public:
    static constexpr double MinimumCelsius = -25.0;
    static constexpr double MaximumCelsius = 350.0;

    explicit SensorModel(const SensorType &type = SensorType::fallback(),
                         Clock clock = systemClock(), quint32 seed = 1);

    const SensorType &sensorType() const { return m_type; }
    void setSensorType(const SensorType &type);

    SensorParameters &parameters() { return m_parameters; }
    const SensorParameters &parameters() const { return m_parameters; }
    TemperatureProcess &process() { return m_process; }

    char firmware() const { return m_firmware; }
    void setFirmware(char firmware) { m_firmware = firmware; }

    // Internal (head) temperature in degrees Celsius.
    double headTemperature() const { return m_headTemperature; }
    void setHeadTemperature(double celsius) { m_headTemperature = celsius; }

    // Identification faults: report a group or a type number that is not the catalogue's.
    void setForeignGroup(bool on) { m_foreignGroup = on; }
    void setForeignType(bool on) { m_foreignType = on; }
    int reportedGroup() const;
    int reportedType() const;

    // The rate the sensor's port runs at, and the one a "0?BR" write chose for the next power
    // cycle.
    int baudrate() const { return m_baudrate; }
    void setBaudrate(int baudrate);
    int pendingBaudrate() const { return m_pendingBaudrate; }
    void powerCycle();

    void factoryReset();

    // Output states as on the wire: bit 0 output 1, bit 1 output 2.
    int outputStates(double objectCelsius) const;
    int outputStates() { return outputStates(m_process.measure()); }
    // Volts or milliamperes for the temperature, limited to the output's range.
    double analogOutputValue(double objectCelsius) const;

    // Four characters, tenths in the current unit, "-" and three digits when negative.
    QByteArray encodeTemperature(double celsius) const;
    std::optional<double> decodeTemperature(const QByteArray &text) const;

    std::optional<QByteArray> answer(const QByteArray &body);

private:
    double toUnit(double celsius) const;
    double fromUnit(double value) const;
    std::optional<QByteArray> answerRead(const QByteArray &body);
    std::optional<QByteArray> answerWrite(const QByteArray &body);
    QByteArray liveTemperatures();

    SensorType m_type;
    SensorParameters m_parameters;
    TemperatureProcess m_process;
    char m_firmware = '1';
    double m_headTemperature = 32.5;
    bool m_foreignGroup = false;
    bool m_foreignType = false;
    int m_baudrate = 38400;
    int m_pendingBaudrate = 38400;
};

// Rate selected by the "0?BR" digit (2 = 9600 .. 6 = 115200), 0 for any other digit.
QUXSIM_EXPORT int baudrateForDigit(int digit);

} // namespace QuxSim
