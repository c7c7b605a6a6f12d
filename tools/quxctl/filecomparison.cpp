#include "filecomparison.h"

#include "rowvalues.h"

#include "files/propertytext.h"
#include "model/memoryrows.h"
#include "parameters/parametertable.h"
#include "protocol/temperature.h"

#include <QHash>

using namespace DrumoSensorPlugin::Core;

namespace QuxCtl {

QList<RowDifference> compareWithPropertyText(const MemoryRows &rows,
                                             const std::string &propertyText, bool afterApply)
{
    // As applying a file does: items in order, a later one for the same id wins.
    QHash<QString, std::string> fileValues;
    for (const PropertyItem &item : propertyItems(propertyText))
        fileValues.insert(QString::fromLatin1(item.id.c_str()), item.value);

    const QString unit = parameterWith(UnitDisplay).rowId();
    const QString pin2 = parameterWith(Pin2Layout).rowId();
    const int sensorUnit = rows.enumIndex(unit);
    const int fileUnit
        = fileValues.contains(unit) ? propertyInt(fileValues.value(unit)) : sensorUnit;
    const bool pin2Analog = fileValues.contains(pin2) && propertyInt(fileValues.value(pin2)) != 0;

    QList<RowDifference> differences;
    for (const QString &id : rows.ids()) {
        if (!isSensorParameter(id) || !fileValues.contains(id) || !hasValue(rows, id))
            continue;
        if (afterApply && pin2Analog && isPin2OutputParameter(id))
            continue;
        const std::string &text = fileValues.value(id);
        const int decimals = rows.decimals(id);
        QVariant fileValue;
        switch (rows.kind(id)) {
        case ParameterRows::Kind::Double: {
            double value = propertyDouble(text);
            if (isTemperatureParameter(id) && fileUnit != sensorUnit
                && (fileUnit == 0 || fileUnit == 1))
                value = convertTemperature(value, sensorUnit == 1);
            fileValue = value;
            break;
        }
        case ParameterRows::Kind::Bool:
            fileValue = propertyInt(text) != 0;
            break;
        default:
            fileValue = propertyInt(text);
            break;
        }
        if (heldAsWritten(rows, id, rows.value(id), fileValue, decimals))
            continue;
        RowDifference difference;
        difference.id = id;
        difference.caption = rows.caption(id);
        difference.sensorText = valueText(rows, id, decimals);
        difference.fileText = rows.kind(id) == ParameterRows::Kind::Double
            ? QString::number(fileValue.toDouble(), 'f', decimals)
            : QString::number(fileValue.toInt());
        if (rows.kind(id) == ParameterRows::Kind::Enumerator) {
            difference.sensorText += QStringLiteral(" (%1)").arg(itemText(rows, id));
            const QString item = rows.enumNames(id).value(fileValue.toInt());
            if (!item.isEmpty())
                difference.fileText += QStringLiteral(" (%1)").arg(item);
        }
        differences.append(difference);
    }
    return differences;
}

} // namespace QuxCtl
