#include "preferencesdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>

namespace Orbexa::Internal {

PreferencesDialog::PreferencesDialog(QWidget *parent)
    : QDialog(parent)
    , m_ports(new QPlainTextEdit)
    , m_reconnect(new QCheckBox(tr("Reconnect when the port comes back")))
{
    setWindowTitle(tr("Preferences"));
    m_ports->setPlaceholderText(QStringLiteral("/dev/pts/3\n/tmp/quxsim-port"));
    m_ports->setTabChangesFocus(true);

    auto hint = new QLabel(tr("Serial ports to offer in addition to those the system lists, "
                              "one per line (for example the pseudo-terminal of a simulated "
                              "sensor). A path is offered only while it exists."));
    hint->setWordWrap(true);

    auto buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto layout = new QFormLayout(this);
    layout->addRow(hint);
    layout->addRow(tr("Extra ports:"), m_ports);
    m_reconnect->setToolTip(tr("A sensor window that went offline because its port was lost "
                               "(an adapter unplugged) reads the sensor again, without asking, "
                               "once the port is back."));
    layout->addRow(m_reconnect);
    layout->addRow(buttons);
    resize(480, 260);
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
    QStringList ports;
    const QStringList lines = m_ports->toPlainText().split(
        QRegularExpression(QStringLiteral("[\\n;]")), Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const QString port = line.trimmed();
        if (!port.isEmpty() && !ports.contains(port))
            ports << port;
    }
    return ports;
}

} // namespace Orbexa::Internal
