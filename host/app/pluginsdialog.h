#pragma once

#include <QDialog>

class QTableWidget;

namespace Orbexa::Internal {

class PluginLoader;

// Help > Plug-ins: what is loaded, with name, version, description and communication type.
class PluginsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PluginsDialog(const PluginLoader *loader, QWidget *parent = nullptr);

    QTableWidget *table() const { return m_table; }

private:
    QTableWidget *m_table;
};

} // namespace Orbexa::Internal
