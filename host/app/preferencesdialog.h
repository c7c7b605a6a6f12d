#pragma once

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;

namespace Orbexa::Internal {

// Tools > Preferences: the extra serial ports to offer besides those the system lists, for
// example the pseudo-terminal of a simulated sensor, and whether a window whose port was lost
// connects again by itself when the port comes back.
class PreferencesDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PreferencesDialog(QWidget *parent = nullptr);

    void setExtraPorts(const QStringList &ports);
    QStringList extraPorts() const;
    void setReconnect(bool on);
    bool reconnect() const;

private:
    QPlainTextEdit *m_ports;
    QCheckBox *m_reconnect;
};

} // namespace Orbexa::Internal
