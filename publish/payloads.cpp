#include "payloads.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// A value as the sensor has it: temperatures in tenths, analog signals in hundredths; without the
// binary fraction's tail that printing a double gives (123.4 rather than 123.40000000000001).
double rounded(double value, int decimals)
{
    return QString::number(value, 'f', decimals).toDouble();
}

} // namespace

QByteArray timeText(const QDateTime &time)
{
    return time.toUTC().toString(Qt::ISODateWithMs).toLatin1();
}

QByteArray temperaturePayload(const QDateTime &time, double value, bool fahrenheit)
{
    return compact(
        { { QStringLiteral("time"), QString::fromLatin1(timeText(time)) },
          { QStringLiteral("value"), rounded(value, 1) },
          { QStringLiteral("unit"), fahrenheit ? QStringLiteral("°F") : QStringLiteral("°C") } });
}

QByteArray outputsPayload(const QDateTime &time, int states)
{
    return compact({ { QStringLiteral("time"), QString::fromLatin1(timeText(time)) },
                     { QStringLiteral("output1"), (states & 1) != 0 },
                     { QStringLiteral("output2"), (states & 2) != 0 } });
}

QByteArray analogPayload(const QDateTime &time, double value, int mode)
{
    const bool voltage = mode == 0;
    return compact(
        { { QStringLiteral("time"), QString::fromLatin1(timeText(time)) },
          { QStringLiteral("value"), rounded(value, 2) },
          { QStringLiteral("mode"),
            voltage ? QStringLiteral("voltage") : QStringLiteral("current") },
          { QStringLiteral("unit"), voltage ? QStringLiteral("V") : QStringLiteral("mA") } });
}

QByteArray droppedPayload(const QDateTime &time, quint64 count)
{
    return compact({ { QStringLiteral("time"), QString::fromLatin1(timeText(time)) },
                     { QStringLiteral("count"), double(count) } });
}

} // namespace Core
} // namespace DrumoSensorPlugin
