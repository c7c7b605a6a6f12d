#pragma once

#include "model/parameterrows.h"

#include <functional>
#include <string>

class QtProperty;

namespace DrumoSensorPlugin {
namespace Core {

class PropertyEditors;
class TreeHandling;

// The first row below `parent` (depth-first, pre-order, `parent` itself not compared) whose id
// equals `id` as Latin-1 text; null when there is none or `parent` is null.
QtProperty *findPropertyById(QtProperty *parent, const std::string &id);

// The window's property tree as the sensor-facing code sees it. Changes made here come from the
// sensor's side: the tree's value connections are off while they happen (and back as they were
// after), so they never reach the dispatch of the user's edits.
class TreeRows : public ParameterRows
{
public:
    // `treeHandling` switches the window's tree connections.
    TreeRows(PropertyEditors &editors, TreeHandling &treeHandling);

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

    QtProperty *property(const QString &id) const;
    Kind kind(const QtProperty *property) const;

private:
    // Runs `change` with the tree connections off, then puts them back as they were.
    void silently(const std::function<void()> &change);

    PropertyEditors &m_editors;
    TreeHandling &m_treeHandling;
};

} // namespace Core
} // namespace DrumoSensorPlugin
