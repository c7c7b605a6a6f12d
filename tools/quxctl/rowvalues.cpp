#include "rowvalues.h"

#include "texts.h"

#include "parameters/parametertable.h"

#include <QCoreApplication>
#include <QtMath>

using namespace DrumoSensorPlugin::Core;

namespace QuxCtl {

bool hasValue(const ParameterRows &rows, const QString &id)
{
    switch (rows.kind(id)) {
    case ParameterRows::Kind::Enumerator:
    case ParameterRows::Kind::Integer:
    case ParameterRows::Kind::Double:
    case ParameterRows::Kind::Bool:
        return true;
    default:
        return false;
    }
}

QString valueText(const ParameterRows &rows, const QString &id, int decimals)
{
    const QVariant value = rows.value(id);
    switch (rows.kind(id)) {
    case ParameterRows::Kind::Double:
        return QString::number(value.toDouble(), 'f', decimals);
    case ParameterRows::Kind::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case ParameterRows::Kind::Enumerator:
    case ParameterRows::Kind::Integer:
        return QString::number(value.toInt());
    default:
        return QString();
    }
}

QString itemText(const ParameterRows &rows, const QString &id)
{
    if (rows.kind(id) != ParameterRows::Kind::Enumerator)
        return QString();
    return rows.enumNames(id).value(rows.enumIndex(id));
}

ParsedValue parseValue(const ParameterRows &rows, const QString &id, const QString &text)
{
    ParsedValue parsed;
    const QString trimmed = text.trimmed();
    bool number = false;
    switch (rows.kind(id)) {
    case ParameterRows::Kind::Enumerator: {
        const QStringList items = rows.enumNames(id);
        const int index = trimmed.toInt(&number);
        if (number && index >= 0 && index < items.size()) {
            parsed.value = index;
            return parsed;
        }
        for (int i = 0; i < items.size(); ++i) {
            if (items.at(i).compare(trimmed, Qt::CaseInsensitive) == 0) {
                parsed.value = i;
                return parsed;
            }
        }
        parsed.error = Texts::tr("%1 has no item \"%2\"; its items are: %3")
                           .arg(id, trimmed, items.join(QStringLiteral(", ")));
        return parsed;
    }
    case ParameterRows::Kind::Integer:
    case ParameterRows::Kind::Double: {
        const double value = trimmed.toDouble(&number);
        if (!number || !qIsFinite(value)) {
            parsed.error = Texts::tr("%1 takes a number, not \"%2\"").arg(id, trimmed);
            return parsed;
        }
        const double bounded = qBound(rows.minimum(id), value, rows.maximum(id));
        parsed.limited = bounded != value;
        parsed.value = rows.kind(id) == ParameterRows::Kind::Integer
            ? QVariant(int(qRound(bounded)))
            : QVariant(bounded);
        return parsed;
    }
    case ParameterRows::Kind::Bool: {
        const QString lower = trimmed.toLower();
        if (lower == QLatin1String("1") || lower == QLatin1String("true")
            || lower == QLatin1String("on"))
            parsed.value = true;
        else if (lower == QLatin1String("0") || lower == QLatin1String("false")
                 || lower == QLatin1String("off"))
            parsed.value = false;
        else
            parsed.error = Texts::tr("%1 takes 0 or 1, not \"%2\"").arg(id, trimmed);
        return parsed;
    }
    case ParameterRows::Kind::Missing:
        parsed.error = Texts::tr("The sensor has no parameter %1").arg(id);
        return parsed;
    default:
        parsed.error = Texts::tr("%1 takes no value").arg(id);
        return parsed;
    }
}

bool sameValue(const ParameterRows &rows, const QString &id, const QVariant &a, const QVariant &b,
               int decimals)
{
    if (rows.kind(id) == ParameterRows::Kind::Double)
        return QString::number(a.toDouble(), 'f', decimals)
            == QString::number(b.toDouble(), 'f', decimals);
    if (rows.kind(id) == ParameterRows::Kind::Bool)
        return a.toBool() == b.toBool();
    return a.toInt() == b.toInt();
}

} // namespace QuxCtl

namespace QuxCtl {

bool heldAsWritten(const ParameterRows &rows, const QString &id, const QVariant &held,
                   const QVariant &written, int decimals)
{
    if (sameValue(rows, id, held, written, decimals))
        return true;
    const bool fahrenheit = rows.enumIndex(parameterWith(UnitDisplay).rowId()) == 1;
    return isTemperatureParameter(id) && fahrenheit
        && qAbs(held.toDouble() - written.toDouble()) <= 0.18 + 1e-9;
}

} // namespace QuxCtl
