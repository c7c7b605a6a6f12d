#pragma once

#include "brokersettings.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace Orbexa::Internal {

// Tools > Preferences: the extra serial ports to offer besides those the system lists, for
// example the pseudo-terminal of a simulated sensor, the network ports (serial device servers,
// "tcp://HOST:PORT") to offer next to them, and whether a window whose port was lost connects
// again by itself when the port comes back; and the message broker sensor windows publish their
// live data to.
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
    void setBroker(const BrokerSettings &broker);
    BrokerSettings broker() const;

    // Refuses to close while a network port or the broker settings are malformed, and says
    // which.
    void accept() override;

private:
    QWidget *createBrokerBox();

    QPlainTextEdit *m_ports;
    QPlainTextEdit *m_networkPorts;
    QCheckBox *m_reconnect;
    QLineEdit *m_brokerUrl;
    QLineEdit *m_brokerTopic;
    QLineEdit *m_credentialsFile;
    QLineEdit *m_caFile;
    QLineEdit *m_clientId;
    QSpinBox *m_keepAlive;
    QSpinBox *m_queueSize;
};

} // namespace Orbexa::Internal
