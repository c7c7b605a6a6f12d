#pragma once

#include <QByteArray>
#include <QDateTime>

namespace DrumoSensorPlugin {
namespace Core {

// The JSON documents published per sensor, each one line, each with the time of its sample in
// ISO 8601 UTC with milliseconds ("2026-12-06T20:15:03.127Z").
//
//   .../temperature  {"time":…,"value":123.4,"unit":"°C"}        unit "°C" or "°F"
//   .../outputs      {"time":…,"output1":true,"output2":false}   true: the sensor reports the
//                                                                output's bit set
//   .../analog       {"time":…,"value":4.71,"mode":"voltage","unit":"V"}  or "current", "mA"
//   .../dropped      {"time":…,"count":17}   samples lost while the broker was away
//   .../state        online / offline (plain text, retained)
namespace Topics {
constexpr char temperature[] = "/temperature";
constexpr char outputs[] = "/outputs";
constexpr char analog[] = "/analog";
constexpr char dropped[] = "/dropped";
constexpr char state[] = "/state";
} // namespace Topics

QByteArray timeText(const QDateTime &time);
QByteArray temperaturePayload(const QDateTime &time, double value, bool fahrenheit);
QByteArray outputsPayload(const QDateTime &time, int states);
QByteArray analogPayload(const QDateTime &time, double value, int mode);
QByteArray droppedPayload(const QDateTime &time, quint64 count);

} // namespace Core
} // namespace DrumoSensorPlugin
