#include "preferencesdialog.h"

#include <networkport.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSpinBox>

namespace Orbexa::Internal {

namespace {
QStringList lines(const QPlainTextEdit *edit)
{
    QStringList entries;
    const QStringList parts = edit->toPlainText().split(
        QRegularExpression(QStringLiteral("[\\n;]")), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const QString entry = part.trimmed();
        if (!entry.isEmpty() && !entries.contains(entry))
            entries << entry;
    }
    return entries;
}
} // namespace

PreferencesDialog::PreferencesDialog(QWidget *parent)
    : QDialog(parent)
    , m_ports(new QPlainTextEdit)
    , m_networkPorts(new QPlainTextEdit)
    , m_reconnect(new QCheckBox(tr("Reconnect when the port comes back")))
    , m_brokerUrl(new QLineEdit)
    , m_brokerTopic(new QLineEdit)
    , m_credentialsFile(new QLineEdit)
    , m_caFile(new QLineEdit)
    , m_clientId(new QLineEdit)
    , m_keepAlive(new QSpinBox)
    , m_queueSize(new QSpinBox)
{
    setWindowTitle(tr("Preferences"));
    m_ports->setPlaceholderText(QStringLiteral("/dev/pts/3\n/tmp/quxsim-port"));
    m_ports->setTabChangesFocus(true);

    auto hint = new QLabel(tr("Serial ports to offer in addition to those the system lists, "
                              "one per line (for example the pseudo-terminal of a simulated "
                              "sensor). A path is offered only while it exists."));
    hint->setWordWrap(true);

    m_networkPorts->setPlaceholderText(QStringLiteral("tcp://192.168.1.50:4001"));
    m_networkPorts->setTabChangesFocus(true);
    auto networkHint = new QLabel(tr("Serial device servers to offer next to the serial ports, "
                                     "one per line as tcp://HOST:PORT. The server sets the baud "
                                     "rate."));
    networkHint->setWordWrap(true);

    auto buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto layout = new QFormLayout(this);
    layout->addRow(hint);
    layout->addRow(tr("Extra ports:"), m_ports);
    layout->addRow(networkHint);
    layout->addRow(tr("Network ports:"), m_networkPorts);
    m_reconnect->setToolTip(tr("A sensor window that went offline because its port was lost "
                               "(an adapter unplugged) reads the sensor again, without asking, "
                               "once the port is back."));
    layout->addRow(m_reconnect);
    layout->addRow(createBrokerBox());
    layout->addRow(buttons);
    resize(520, 560);
}

QWidget *PreferencesDialog::createBrokerBox()
{
    auto box = new QGroupBox(tr("Message broker for \"Publish live data\""));
    m_brokerUrl->setPlaceholderText(QStringLiteral("mqtt://127.0.0.1:1883"));
    m_brokerTopic->setPlaceholderText(QStringLiteral("qux/{type}/{port}"));
    m_brokerTopic->setToolTip(tr("{type} and {port} are replaced by the sensor type and port; "
                                 "empty: qux/{type}/{port}."));
    m_credentialsFile->setToolTip(tr("A file with the user name on the first line and the "
                                     "password on the second; empty: QUX_MQTT_USERNAME and "
                                     "QUX_MQTT_PASSWORD, or no login."));
    m_caFile->setToolTip(tr("The certificate authority that signed the broker's certificate "
                            "(mqtts://); empty: the system's."));
    m_clientId->setToolTip(tr("Each window appends its port; empty: made up."));
    m_keepAlive->setRange(5, 65535);
    m_keepAlive->setSuffix(tr(" s"));
    m_queueSize->setRange(0, 10000000);
    m_queueSize->setToolTip(tr("Samples kept while the broker is away, the oldest dropped first."));

    auto form = new QFormLayout(box);
    form->addRow(tr("Broker:"), m_brokerUrl);
    form->addRow(tr("Base topic:"), m_brokerTopic);
    form->addRow(tr("Credentials file:"), m_credentialsFile);
    form->addRow(tr("Certificate authority:"), m_caFile);
    form->addRow(tr("Client id:"), m_clientId);
    form->addRow(tr("Keep-alive:"), m_keepAlive);
    form->addRow(tr("Queue size:"), m_queueSize);
    return box;
}

void PreferencesDialog::setBroker(const BrokerSettings &broker)
{
    m_brokerUrl->setText(broker.url);
    m_brokerTopic->setText(broker.topic);
    m_credentialsFile->setText(broker.credentialsFile);
    m_caFile->setText(broker.caFile);
    m_clientId->setText(broker.clientId);
    m_keepAlive->setValue(broker.keepAliveSeconds);
    m_queueSize->setValue(broker.queueSize);
}

BrokerSettings PreferencesDialog::broker() const
{
    BrokerSettings broker;
    broker.url = m_brokerUrl->text().trimmed();
    broker.topic = m_brokerTopic->text().trimmed();
    broker.credentialsFile = m_credentialsFile->text().trimmed();
    broker.caFile = m_caFile->text().trimmed();
    broker.clientId = m_clientId->text().trimmed();
    broker.keepAliveSeconds = m_keepAlive->value();
    broker.queueSize = m_queueSize->value();
    return broker;
}

void PreferencesDialog::setExtraPorts(const QStringList &ports)
{
    m_ports->setPlainText(ports.join(QLatin1Char('\n')));
}

void PreferencesDialog::setReconnect(bool on)
{
    m_reconnect->setChecked(on);
}

bool PreferencesDialog::reconnect() const
{
    return m_reconnect->isChecked();
}

QStringList PreferencesDialog::extraPorts() const
{
    return lines(m_ports);
}

void PreferencesDialog::setNetworkPorts(const QStringList &ports)
{
    m_networkPorts->setPlainText(ports.join(QLatin1Char('\n')));
}

QStringList PreferencesDialog::networkPorts() const
{
    return lines(m_networkPorts);
}

void PreferencesDialog::accept()
{
    for (const QString &port : networkPorts()) {
        if (!ExtensionSystem::NetworkPort::parse(port, nullptr)) {
            QMessageBox::warning(this, tr("Preferences"),
                                 tr("Not a network port: %1\nWrite %2, PORT from 1 to 65535, "
                                    "an IPv6 address in brackets.")
                                     .arg(port.left(ExtensionSystem::NetworkPort::maxNameLength),
                                          ExtensionSystem::NetworkPort::form()));
            return;
        }
    }
    const QString brokerError = broker().error();
    if (!brokerError.isEmpty()) {
        QMessageBox::warning(this, tr("Preferences"), brokerError);
        return;
    }
    QDialog::accept();
}

} // namespace Orbexa::Internal
