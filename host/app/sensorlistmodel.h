#pragma once

#include <sensorbasic.h>

#include <QHash>
#include <QStandardItemModel>

#include <list>

namespace Orbexa::Internal {

class LoadedPlugin;

// A sensor the user can open: a catalogue type of a plug-in, or a sensor found by a scan.
struct SensorEntry
{
    LoadedPlugin *plugin = nullptr;
    // The catalogue record handed to the plug-in when the entry is opened. For a found sensor
    // that matches no catalogue type it is the scan's record, which has no name.
    ExtensionSystem::SensorBasic sensor;
    bool found = false;
    bool matched = false; // found and matched to a catalogue type
    QString port; // where it was found
    int foundGroup = 0;
    int foundType = 0;
    int firmware = -1;

    bool canOpen() const { return !found || matched; }
    QString displayName() const;
};

// The host's sensor list: one top-level row per plug-in, below it the plug-in's found sensors
// first and then its catalogue types.
class SensorListModel : public QStandardItemModel
{
    Q_OBJECT

public:
    enum Column { NameColumn, GroupColumn, TypeColumn, PortColumn, ColumnCount };

    explicit SensorListModel(QObject *parent = nullptr);

    // Replaces the catalogue types of `plugin`; found sensors stay.
    void setCatalogue(LoadedPlugin *plugin, const std::list<ExtensionSystem::SensorBasic> &sensors);
    // Adds (or, for the same port, replaces) a sensor found by a scan and matches it to the
    // catalogue type with its group and type. Returns its row.
    QModelIndex addFoundSensor(LoadedPlugin *plugin, const ExtensionSystem::SensorBasic &found,
                               const QString &port);

    const SensorEntry *entry(const QModelIndex &index) const;
    // The catalogue type named `name` (case does not matter), of any plug-in.
    QModelIndex findCatalogueSensor(const QString &name) const;
    QModelIndex pluginIndex(const LoadedPlugin *plugin) const;
    int catalogueCount() const;
    int foundCount() const;

    // Header and the texts made here follow the language.
    void retranslate();

private:
    QStandardItem *pluginItem(LoadedPlugin *plugin);
    QList<QStandardItem *> makeRow(int id);
    void updateRow(QStandardItem *nameItem);

    QHash<int, SensorEntry> m_entries;
    int m_nextId = 1;
};

} // namespace Orbexa::Internal
