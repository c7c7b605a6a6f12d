#pragma once

#include <QString>

namespace DrumoSensorPlugin {
namespace Core {

// Temperatures and the emissivity as the sensor takes them. The sensor is always addressed in
// degrees Celsius; the display unit (°C or °F) is the tree's business.

struct TemperatureLimits
{
    double lowest;
    double highest;

    double bounded(double value) const
    {
        return value < lowest ? lowest : (value > highest ? highest : value);
    }
};

// What the sensor measures and accepts, in °C: every temperature is limited to this before it
// is encoded.
constexpr TemperatureLimits sensorLimits { -25.0, 350.0 };

// Limits of the temperature rows by display unit: °C −25.0 to 350.0, °F −13.0 to 662.0.
TemperatureLimits displayLimits(bool fahrenheit);

// Between °C and °F, rounded to one decimal.
double convertTemperature(double value, bool toFahrenheit);

// The four value characters of a temperature command: tenths of a degree, zero-padded
// ("0250" for 25.0), or "-" and three digits ("-050" for −5.0). Within sensorLimits the result
// always has four characters.
QString temperatureDigits(double celsius);

// The three digits of an emissivity write: hundredths, zero-padded ("095" for 0.95, "100" for
// 1.00).
QString emissivityDigits(double emissivity);

} // namespace Core
} // namespace DrumoSensorPlugin
