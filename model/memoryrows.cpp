#include "model/memoryrows.h"

#include "model/description.h"
#include "model/sensor.h"

#include <QtGlobal>

namespace DrumoSensorPlugin {
namespace Core {

MemoryRows::MemoryRows(const Sensor &sensor, const std::string &language)
{
    const std::string lang = language.empty() ? std::string("en") : language;
    for (const Description::Row &row :
         Description::treeRows(sensor.getPropertyTreeGui(), lang, true)) {
        addRow(row.id, row.kind, row.value, row.minimum, row.maximum, row.enumItems);
        m_rows.last().caption = row.name;
    }
}

void MemoryRows::addRow(const QString &id, Kind kind, const QVariant &value, double minimum,
                        double maximum, const QStringList &enumNames)
{
    Row row;
    row.id = id;
    row.kind = kind;
    // As the editors' managers take a minimum, then a maximum: the later one wins a crossing.
    row.minimum = qMin(minimum, maximum);
    row.maximum = maximum;
    row.enumNames = enumNames;
    switch (kind) {
    case Kind::Enumerator:
        row.value = enumNames.isEmpty() ? -1 : 0;
        break;
    case Kind::Integer:
        row.value = int(qBound(row.minimum, 0.0, row.maximum));
        break;
    case Kind::Double:
        row.value = qBound(row.minimum, 0.0, row.maximum);
        break;
    case Kind::Bool:
        row.value = false;
        break;
    default:
        break;
    }
    if (value.isValid()) {
        const QVariant limited = bounded(row, value);
        if (limited.isValid())
            row.value = limited;
    }
    if (!m_firstIndex.contains(id))
        m_firstIndex.insert(id, m_rows.size());
    m_rows.append(row);
}

MemoryRows::Row *MemoryRows::find(const QString &id)
{
    const auto it = m_firstIndex.constFind(id);
    return it == m_firstIndex.cend() ? nullptr : &m_rows[it.value()];
}

const MemoryRows::Row *MemoryRows::find(const QString &id) const
{
    const auto it = m_firstIndex.constFind(id);
    return it == m_firstIndex.cend() ? nullptr : &m_rows[it.value()];
}

// The value as the row's editor would take it; invalid when the editor would refuse it (an
// item index the enumerator does not have).
QVariant MemoryRows::bounded(const Row &row, const QVariant &value)
{
    switch (row.kind) {
    case Kind::Enumerator: {
        const int index = value.toInt();
        return index >= 0 && index < row.enumNames.size() ? QVariant(index) : QVariant();
    }
    case Kind::Integer:
        return int(qBound(row.minimum, double(value.toInt()), row.maximum));
    case Kind::Double:
        return qBound(row.minimum, value.toDouble(), row.maximum);
    case Kind::Bool:
        return value.toBool();
    default:
        return QVariant();
    }
}

ParameterRows::Kind MemoryRows::kind(const QString &id) const
{
    const Row *row = find(id);
    return row ? row->kind : Kind::Missing;
}

QVariant MemoryRows::value(const QString &id) const
{
    const Row *row = find(id);
    return row ? row->value : QVariant();
}

void MemoryRows::setValue(const QString &id, const QVariant &value)
{
    Row *row = find(id);
    if (!row)
        return;
    const QVariant limited = bounded(*row, value);
    if (limited.isValid())
        row->value = limited;
}

double MemoryRows::minimum(const QString &id) const
{
    const Row *row = find(id);
    return row ? row->minimum : 0.0;
}

double MemoryRows::maximum(const QString &id) const
{
    const Row *row = find(id);
    return row ? row->maximum : 0.0;
}

void MemoryRows::setMinimum(const QString &id, double minimum)
{
    Row *row = find(id);
    if (!row || (row->kind != Kind::Integer && row->kind != Kind::Double))
        return;
    row->minimum = minimum;
    row->maximum = qMax(minimum, row->maximum);
    row->value = bounded(*row, row->value);
}

void MemoryRows::setMaximum(const QString &id, double maximum)
{
    Row *row = find(id);
    if (!row || (row->kind != Kind::Integer && row->kind != Kind::Double))
        return;
    row->maximum = maximum;
    row->minimum = qMin(maximum, row->minimum);
    row->value = bounded(*row, row->value);
}

void MemoryRows::setDecimals(const QString &id, int decimals)
{
    if (Row *row = find(id))
        row->decimals = decimals;
}

void MemoryRows::setSingleStep(const QString &id, double step)
{
    if (Row *row = find(id))
        row->singleStep = step;
}

QString MemoryRows::caption(const QString &id) const
{
    const Row *row = find(id);
    return row ? row->caption : QString();
}

void MemoryRows::setCaption(const QString &id, const QString &caption)
{
    if (Row *row = find(id))
        row->caption = caption;
}

QStringList MemoryRows::enumNames(const QString &id) const
{
    const Row *row = find(id);
    return row ? row->enumNames : QStringList();
}

QStringList MemoryRows::ids() const
{
    QStringList result;
    result.reserve(m_rows.size());
    for (const Row &row : m_rows)
        result.append(row.id);
    return result;
}

int MemoryRows::decimals(const QString &id) const
{
    const Row *row = find(id);
    return row ? row->decimals : 0;
}

double MemoryRows::singleStep(const QString &id) const
{
    const Row *row = find(id);
    return row ? row->singleStep : 0.0;
}

} // namespace Core
} // namespace DrumoSensorPlugin
