#include "protocol/temperature.h"

#include "protocol/protocollog.h"

namespace DrumoSensorPlugin {
namespace Core {

TemperatureLimits displayLimits(bool fahrenheit)
{
    return fahrenheit ? TemperatureLimits { -13.0, 662.0 } : TemperatureLimits { -25.0, 350.0 };
}

double convertTemperature(double value, bool toFahrenheit)
{
    qCDebug(protocolLog) << "CONVERTS";
    const double result = toFahrenheit ? value * 1.8 + 32.0 : (value - 32.0) * 0.5555555555555556;
    // Rounded the way it is shown: one decimal.
    return QString::number(result, 'f', 1).toDouble();
}

QString temperatureDigits(double celsius)
{
    QString text = QString::number(celsius, 'f', 1);
    const int point = text.indexOf(QLatin1Char('.'), 1);
    if (point < 0)
        return text;

    if (text.contains(QLatin1Char('-'))) {
        if (point == 2) { // "-5.0"
            text.remove(point, 1);
            text.remove(QLatin1Char('-'));
            text.prepend(QLatin1String("-0"));
        } else if (point == 3) { // "-25.0"
            text.remove(point, 1);
        }
        return text;
    }
    switch (point) {
    case 1: // "5.0"
        return QLatin1String("00") + text.remove(point, 1);
    case 2: // "25.0"
        return QLatin1Char('0') + text.remove(point, 1);
    case 3: // "125.0"
        return text.remove(point, 1);
    default:
        return text;
    }
}

QString emissivityDigits(double emissivity)
{
    QString text = QString::number(emissivity, 'f', 2);
    const int point = text.indexOf(QLatin1Char('.'), 1);
    if (point >= 0)
        text.remove(point, 1);
    return text;
}

} // namespace Core
} // namespace DrumoSensorPlugin
