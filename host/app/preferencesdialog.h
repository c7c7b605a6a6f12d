#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace Orbexa::Internal {

// Tools > Preferences: the extra serial ports to offer besides those the system lists, for
// example the pseudo-terminal of a simulated sensor.
class PreferencesDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PreferencesDialog(QWidget *parent = nullptr);

    void setExtraPorts(const QStringList &ports);
    QStringList extraPorts() const;

private:
    QPlainTextEdit *m_ports;
};

} // namespace Orbexa::Internal
