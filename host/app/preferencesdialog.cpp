#include "preferencesdialog.h"

#include <networkport.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRegularExpression>

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
    layout->addRow(buttons);
    resize(480, 360);
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
    QDialog::accept();
}

} // namespace Orbexa::Internal
