#include "sensorlistmodel.h"

#include "pluginloader.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QStyle>

#include <algorithm>

namespace Orbexa::Internal {

namespace {
const int EntryIdRole = Qt::UserRole + 1;

QString typesText(const std::vector<int> &types)
{
    QStringList texts;
    for (int type : types)
        texts << QString::number(type);
    return texts.join(QLatin1String(", "));
}
} // namespace

QString SensorEntry::displayName() const
{
    if (!found || matched)
        return QString::fromStdString(sensor.name());
    return SensorListModel::tr("Unknown sensor (group %1, type %2)").arg(foundGroup).arg(foundType);
}

SensorListModel::SensorListModel(QObject *parent)
    : QStandardItemModel(0, ColumnCount, parent)
{
    retranslate();
}

void SensorListModel::retranslate()
{
    setHorizontalHeaderLabels({ tr("Sensor"), tr("Group"), tr("Type"), tr("Port") });
    for (int row = 0; row < rowCount(); ++row) {
        QStandardItem *parentItem = item(row, NameColumn);
        for (int child = 0; child < parentItem->rowCount(); ++child)
            updateRow(parentItem->child(child, NameColumn));
    }
}

QStandardItem *SensorListModel::pluginItem(LoadedPlugin *plugin)
{
    const QModelIndex existing = pluginIndex(plugin);
    if (existing.isValid())
        return itemFromIndex(existing);

    auto nameItem = new QStandardItem(plugin->name());
    QFont font = nameItem->font();
    font.setBold(true);
    nameItem->setFont(font);
    nameItem->setToolTip(
        QStringLiteral("%1 %2\n%3").arg(plugin->name(), plugin->version(), plugin->description()));
    nameItem->setData(QVariant::fromValue<void *>(plugin), EntryIdRole);
    nameItem->setEditable(false);
    QList<QStandardItem *> row { nameItem };
    for (int column = 1; column < ColumnCount; ++column) {
        row << new QStandardItem;
        row.constLast()->setEditable(false);
    }
    appendRow(row);
    return nameItem;
}

QModelIndex SensorListModel::pluginIndex(const LoadedPlugin *plugin) const
{
    for (int row = 0; row < rowCount(); ++row) {
        if (item(row)->data(EntryIdRole).value<void *>() == plugin)
            return index(row, NameColumn);
    }
    return {};
}

QList<QStandardItem *> SensorListModel::makeRow(int id)
{
    QList<QStandardItem *> row;
    for (int column = 0; column < ColumnCount; ++column) {
        auto cell = new QStandardItem;
        cell->setEditable(false);
        cell->setData(id, EntryIdRole);
        row << cell;
    }
    return row;
}

void SensorListModel::updateRow(QStandardItem *nameItem)
{
    const SensorEntry &entry = m_entries[nameItem->data(EntryIdRole).toInt()];
    QStandardItem *parentItem = nameItem->parent();
    const int row = nameItem->row();
    auto cell = [&](int column) { return parentItem->child(row, column); };

    nameItem->setText(entry.displayName());
    const QString description = QString::fromStdString(entry.sensor.description());
    if (entry.found) {
        nameItem->setIcon(QApplication::style()->standardIcon(
            entry.matched ? QStyle::SP_DialogApplyButton : QStyle::SP_MessageBoxQuestion));
        QString tip = tr("Found on %1: group %2, type %3, firmware %4.")
                          .arg(entry.port)
                          .arg(entry.foundGroup)
                          .arg(entry.foundType)
                          .arg(entry.firmware);
        if (!entry.matched)
            tip += QLatin1Char('\n')
                + tr("No sensor type of the catalogue has this group and type.");
        nameItem->setToolTip(tip);
    } else {
        nameItem->setToolTip(description);
    }
    cell(GroupColumn)
        ->setText(QString::number(entry.found ? entry.foundGroup : entry.sensor.group()));
    cell(TypeColumn)
        ->setText(entry.found ? QString::number(entry.foundType) : typesText(entry.sensor.type()));
    cell(PortColumn)->setText(entry.port);
    for (int column = 1; column < ColumnCount; ++column)
        cell(column)->setToolTip(nameItem->toolTip());
}

void SensorListModel::setCatalogue(LoadedPlugin *plugin,
                                   const std::list<ExtensionSystem::SensorBasic> &sensors)
{
    QStandardItem *parentItem = pluginItem(plugin);
    for (int row = parentItem->rowCount() - 1; row >= 0; --row) {
        const int id = parentItem->child(row)->data(EntryIdRole).toInt();
        if (!m_entries.value(id).found) {
            m_entries.remove(id);
            parentItem->removeRow(row);
        }
    }
    for (const ExtensionSystem::SensorBasic &sensor : sensors) {
        const int id = m_nextId++;
        SensorEntry entry;
        entry.plugin = plugin;
        entry.sensor = sensor;
        m_entries.insert(id, entry);
        const QList<QStandardItem *> row = makeRow(id);
        parentItem->appendRow(row);
        updateRow(row.constFirst());
    }
}

QModelIndex SensorListModel::addFoundSensor(LoadedPlugin *plugin,
                                            const ExtensionSystem::SensorBasic &found,
                                            const QString &port)
{
    QStandardItem *parentItem = pluginItem(plugin);
    SensorEntry entry;
    entry.plugin = plugin;
    entry.found = true;
    entry.port = port;
    entry.foundGroup = found.group();
    entry.foundType = found.type().empty() ? 0 : found.type().front();
    entry.firmware = found.firmwareVersion().empty() ? -1 : found.firmwareVersion().front();
    entry.sensor = found;

    int foundRows = 0;
    for (int row = 0; row < parentItem->rowCount(); ++row) {
        const int id = parentItem->child(row)->data(EntryIdRole).toInt();
        const SensorEntry &other = m_entries[id];
        if (other.found) {
            ++foundRows;
            continue;
        }
        const std::vector<int> &types = other.sensor.type();
        if (!entry.matched && other.sensor.group() == entry.foundGroup
            && std::find(types.begin(), types.end(), entry.foundType) != types.end()) {
            entry.matched = true;
            entry.sensor = other.sensor;
        }
    }

    // A port holds one sensor: a new scan result replaces the old one.
    for (int row = 0; row < foundRows; ++row) {
        QStandardItem *nameItem = parentItem->child(row);
        const int id = nameItem->data(EntryIdRole).toInt();
        if (m_entries[id].port == port) {
            m_entries[id] = entry;
            updateRow(nameItem);
            return nameItem->index();
        }
    }
    const int id = m_nextId++;
    m_entries.insert(id, entry);
    const QList<QStandardItem *> row = makeRow(id);
    parentItem->insertRow(foundRows, row);
    updateRow(row.constFirst());
    return row.constFirst()->index();
}

const SensorEntry *SensorListModel::entry(const QModelIndex &index) const
{
    if (!index.isValid() || !index.parent().isValid())
        return nullptr;
    const auto it = m_entries.constFind(index.data(EntryIdRole).toInt());
    return it == m_entries.constEnd() ? nullptr : &it.value();
}

QModelIndex SensorListModel::findCatalogueSensor(const QString &name) const
{
    for (int row = 0; row < rowCount(); ++row) {
        const QModelIndex parentIndex = index(row, NameColumn);
        for (int child = 0; child < QStandardItemModel::rowCount(parentIndex); ++child) {
            const QModelIndex childIndex = index(child, NameColumn, parentIndex);
            const SensorEntry *sensor = entry(childIndex);
            if (sensor && !sensor->found
                && QString::fromStdString(sensor->sensor.name()).compare(name, Qt::CaseInsensitive)
                    == 0)
                return childIndex;
        }
    }
    return {};
}

int SensorListModel::catalogueCount() const
{
    return int(std::count_if(m_entries.cbegin(), m_entries.cend(),
                             [](const SensorEntry &entry) { return !entry.found; }));
}

int SensorListModel::foundCount() const
{
    return m_entries.size() - catalogueCount();
}

} // namespace Orbexa::Internal
