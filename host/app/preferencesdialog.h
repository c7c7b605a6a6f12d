#pragma once

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;

namespace Orbexa::Internal {

// Tools > Preferences: the extra serial ports to offer besides those the system lists, for
// example the pseudo-terminal of a simulated sensor, the network ports (serial device servers,
// "tcp://HOST:PORT") to offer next to them, and whether a window whose port was lost connects
// again by itself when the port comes back.
class PreferencesDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PreferencesDialog(QWidget *parent = nullptr);

    void setExtraPorts(const QStringList &ports);
    QStringList extraPorts() const;
    void setNetworkPorts(const QStringList &ports);
    QStringList networkPorts() const;
    void setReconnect(bool on);
    bool reconnect() const;

    // Refuses to close while a network port is malformed, and says which.
    void accept() override;

private:
    QPlainTextEdit *m_ports;
    QPlainTextEdit *m_networkPorts;
    QCheckBox *m_reconnect;
};

} // namespace Orbexa::Internal
