#include "pluginsdialog.h"

#include "pluginloader.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace Orbexa::Internal {

PluginsDialog::PluginsDialog(const PluginLoader *loader, QWidget *parent)
    : QDialog(parent)
    , m_table(new QTableWidget(0, 5))
{
    setWindowTitle(tr("Installed Plug-ins"));
    m_table->setHorizontalHeaderLabels(
        { tr("Name"), tr("Version"), tr("Description"), tr("Communication"), tr("File") });
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    for (const LoadedPlugin *plugin : loader->plugins()) {
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        const QStringList texts { plugin->name(), plugin->version(), plugin->description(),
                                  plugin->communicationType(),
                                  QDir::toNativeSeparators(plugin->fileName()) };
        for (int column = 0; column < texts.size(); ++column) {
            auto item = new QTableWidgetItem(texts.at(column));
            item->setToolTip(texts.at(column));
            m_table->setItem(row, column, item);
        }
    }
    m_table->resizeColumnsToContents();

    auto buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto layout = new QVBoxLayout(this);
    auto label = new QLabel(loader->plugins().isEmpty()
                                ? tr("No plug-in is loaded. See the log for the reasons.")
                                : tr("%n plug-in(s) loaded.", nullptr, loader->plugins().size()));
    layout->addWidget(label);
    layout->addWidget(m_table);
    layout->addWidget(buttons);
    resize(760, 260);
}

} // namespace Orbexa::Internal
