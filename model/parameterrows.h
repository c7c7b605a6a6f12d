#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace DrumoSensorPlugin {
namespace Core {

// The parameter rows of one sensor as the sensor-facing code sees them, whatever shows them: the
// window's property tree, or rows kept in memory by tools and tests. A row is found by its text
// id; when two rows share an id, the first in depth-first order is the one (as in the tree).
//
// setValue() and the range setters change a row from the sensor's side: such a change is never
// taken for a user's edit and never written back to the sensor. Numbers follow the rules of the
// tree's editors: a value is kept inside the row's range, and a new minimum or maximum moves the
// value (and the other end, when they would cross) along.
class ParameterRows
{
public:
    enum class Kind { Missing, Group, Enumerator, Integer, Double, Bool, Action };

    virtual ~ParameterRows() = default;

    virtual Kind kind(const QString &id) const = 0;
    bool contains(const QString &id) const { return kind(id) != Kind::Missing; }

    // Enumerator: the item index (int); Integer: int; Double: double; Bool: bool; else invalid.
    virtual QVariant value(const QString &id) const = 0;
    virtual void setValue(const QString &id, const QVariant &value) = 0;

    // Limits of Integer and Double rows.
    virtual double minimum(const QString &id) const = 0;
    virtual double maximum(const QString &id) const = 0;
    virtual void setMinimum(const QString &id, double minimum) = 0;
    virtual void setMaximum(const QString &id, double maximum) = 0;
    // Shown decimals and editor step of Double rows.
    virtual void setDecimals(const QString &id, int decimals) = 0;
    virtual void setSingleStep(const QString &id, double step) = 0;

    // The row's name as shown, and its enumerator item texts.
    virtual QString caption(const QString &id) const = 0;
    virtual void setCaption(const QString &id, const QString &caption) = 0;
    virtual QStringList enumNames(const QString &id) const = 0;

    // The ids of every row below the root, in pre-order (a row, then the rows below it, then
    // its next sibling).
    virtual QStringList ids() const = 0;

    // The item index of an Enumerator row, 0 when the row is missing.
    int enumIndex(const QString &id) const { return value(id).toInt(); }
    double doubleValue(const QString &id) const { return value(id).toDouble(); }
};

} // namespace Core
} // namespace DrumoSensorPlugin
