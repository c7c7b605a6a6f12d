#pragma once

#include "model/parameterrows.h"

#include <QString>
#include <QVariant>

namespace QuxCtl {

// A row's value as the tree shows it: a number with the row's decimals, a choice's item index.
QString valueText(const DrumoSensorPlugin::Core::ParameterRows &rows, const QString &id,
                  int decimals);
// The item text of a choice row ("" for other rows).
QString itemText(const DrumoSensorPlugin::Core::ParameterRows &rows, const QString &id);

// Rows that carry a value (not groups, not buttons).
bool hasValue(const DrumoSensorPlugin::Core::ParameterRows &rows, const QString &id);

// What the user typed for a row, as the row's editor would take it: a choice by item index or
// by item text (letter case ignored), a number in C notation limited to the row's range, a
// bool as 0/1/true/false/on/off. `error` says why a text is refused; `limited` tells that a
// number was brought into the range.
struct ParsedValue
{
    QVariant value; // invalid: refused
    QString error;
    bool limited = false;
};
ParsedValue parseValue(const DrumoSensorPlugin::Core::ParameterRows &rows, const QString &id,
                       const QString &text);

// Whether two values of a row are the same as the tree shows them (numbers to the row's
// decimals).
bool sameValue(const DrumoSensorPlugin::Core::ParameterRows &rows, const QString &id,
               const QVariant &a, const QVariant &b, int decimals);

// Whether the sensor holds what was written: as sameValue, except that a temperature shown in
// °F may be off by the sensor's own step, a tenth of a degree Celsius (it keeps °C tenths).
bool heldAsWritten(const DrumoSensorPlugin::Core::ParameterRows &rows, const QString &id,
                   const QVariant &held, const QVariant &written, int decimals);

} // namespace QuxCtl
