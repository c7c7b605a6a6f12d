#pragma once

#include "model/parameterrows.h"

#include <QHash>
#include <QVector>

#include <string>

namespace DrumoSensorPlugin {
namespace Core {

class Sensor;

// Parameter rows without widgets, built from the same walk of a sensor description as the
// window's tree: the same ids, kinds, names, enumerator items, limits and initial values. Tools on
// the command line and the tests of the sensor-facing code work on these.
class MemoryRows : public ParameterRows
{
public:
    MemoryRows() = default;
    // The rows of the record's description, named in `language` ("en" when empty).
    explicit MemoryRows(const Sensor &sensor, const std::string &language = std::string());

    // Adds a row by hand below the root (tests). The value is limited to the range.
    void addRow(const QString &id, Kind kind, const QVariant &value = QVariant(),
                double minimum = 0.0, double maximum = 0.0,
                const QStringList &enumNames = QStringList());

    Kind kind(const QString &id) const override;
    QVariant value(const QString &id) const override;
    void setValue(const QString &id, const QVariant &value) override;
    double minimum(const QString &id) const override;
    double maximum(const QString &id) const override;
    void setMinimum(const QString &id, double minimum) override;
    void setMaximum(const QString &id, double maximum) override;
    void setDecimals(const QString &id, int decimals) override;
    void setSingleStep(const QString &id, double step) override;
    QString caption(const QString &id) const override;
    void setCaption(const QString &id, const QString &caption) override;
    QStringList enumNames(const QString &id) const override;
    QStringList ids() const override;

    int decimals(const QString &id) const;
    double singleStep(const QString &id) const;

private:
    struct Row
    {
        QString id;
        Kind kind = Kind::Missing;
        QString caption;
        QVariant value;
        double minimum = 0.0;
        double maximum = 0.0;
        int decimals = 2;
        double singleStep = 1.0;
        QStringList enumNames;
    };

    Row *find(const QString &id);
    const Row *find(const QString &id) const;
    static QVariant bounded(const Row &row, const QVariant &value);

    QVector<Row> m_rows; // pre-order
    QHash<QString, int> m_firstIndex;
};

} // namespace Core
} // namespace DrumoSensorPlugin
