#include "scandialog.h"

#include "pluginloader.h"
#include "sensorlistmodel.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace Orbexa::Internal {

ScanDialog::ScanDialog(const QList<LoadedPlugin *> &plugins, const QStringList &ports,
                       SensorListModel *model, ScanJob::PortFactory factory,
                       ScanJob::PortCanceller canceller, QWidget *parent)
    : QDialog(parent)
    , m_plugins(plugins)
    , m_model(model)
    , m_factory(std::move(factory))
    , m_canceller(std::move(canceller))
    , m_portsLabel(new QLabel)
    , m_portList(new QListWidget)
    , m_progress(new QProgressBar)
    , m_status(new QLabel)
    , m_resultsLabel(new QLabel)
    , m_results(new QTreeWidget)
    , m_startButton(new QPushButton)
    , m_cancelButton(new QPushButton)
    , m_buttons(new QDialogButtonBox(QDialogButtonBox::Close))
{
    for (const QString &port : ports) {
        auto item = new QListWidgetItem(port, m_portList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_status->setWordWrap(true);
    m_results->setRootIsDecorated(false);
    m_results->setColumnCount(5);
    m_results->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_buttons->addButton(m_startButton, QDialogButtonBox::ActionRole);
    m_buttons->addButton(m_cancelButton, QDialogButtonBox::ActionRole);

    auto layout = new QVBoxLayout(this);
    layout->addWidget(m_portsLabel);
    layout->addWidget(m_portList, 1);
    layout->addWidget(m_progress);
    layout->addWidget(m_status);
    layout->addWidget(m_resultsLabel);
    layout->addWidget(m_results, 1);
    layout->addWidget(m_buttons);

    connect(m_startButton, &QPushButton::clicked, this, &ScanDialog::startScan);
    connect(m_cancelButton, &QPushButton::clicked, this, &ScanDialog::cancelScan);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &ScanDialog::reject);
    connect(m_portList, &QListWidget::itemChanged, this, &ScanDialog::updateButtons);

    resize(640, 460);
    retranslate();
    updateButtons();
}

ScanDialog::~ScanDialog() = default;

void ScanDialog::retranslate()
{
    setWindowTitle(tr("Scan for Sensors"));
    m_portsLabel->setText(tr("Ports to scan (a port without a sensor takes about 4 seconds):"));
    m_resultsLabel->setText(tr("Found sensors:"));
    m_results->setHeaderLabels(
        { tr("Port"), tr("Sensor"), tr("Group"), tr("Type"), tr("Firmware") });
    m_startButton->setText(tr("&Start Scan"));
    m_cancelButton->setText(tr("&Cancel Scan"));
    if (!m_scanning && !m_job)
        m_status->setText(m_plugins.isEmpty() ? tr("No serial plug-in is loaded.")
                                              : tr("Choose the ports and start the scan."));
}

void ScanDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

QStringList ScanDialog::checkedPorts() const
{
    QStringList ports;
    for (int row = 0; row < m_portList->count(); ++row) {
        if (m_portList->item(row)->checkState() == Qt::Checked)
            ports << m_portList->item(row)->text();
    }
    return ports;
}

bool ScanDialog::isScanning() const
{
    // Until the job's last report has been handled, not merely until its thread ended.
    return m_scanning;
}

void ScanDialog::updateButtons()
{
    const bool scanning = isScanning();
    m_startButton->setEnabled(!scanning && !m_plugins.isEmpty() && !checkedPorts().isEmpty());
    m_cancelButton->setEnabled(scanning && !m_job->isCancelled());
    m_portList->setEnabled(!scanning);
}

void ScanDialog::startScan()
{
    const QStringList ports = checkedPorts();
    if (isScanning() || ports.isEmpty() || m_plugins.isEmpty())
        return;
    m_job = std::make_unique<ScanJob>(m_plugins, ports, m_factory, m_canceller);
    connect(m_job.get(), &ScanJob::portStarted, this, &ScanDialog::onPortStarted);
    connect(m_job.get(), &ScanJob::sensorFound, this, &ScanDialog::onSensorFound);
    connect(m_job.get(), &ScanJob::portFinished, this, &ScanDialog::onPortFinished);
    connect(m_job.get(), &ScanJob::finished, this, &ScanDialog::onFinished);
    m_found = 0;
    m_scanning = true;
    m_progress->setRange(0, ports.size());
    m_progress->setValue(0);
    m_job->start();
    updateButtons();
}

void ScanDialog::cancelScan()
{
    if (!isScanning())
        return;
    m_job->cancel();
    m_status->setText(tr("Cancelling: waiting for the port being probed to give up..."));
    updateButtons();
}

void ScanDialog::reject()
{
    // The worker still uses the plug-in and the port: close once it has stopped.
    if (isScanning()) {
        m_closeWhenDone = true;
        cancelScan();
        return;
    }
    QDialog::reject();
}

void ScanDialog::onPortStarted(int index, const QString &port)
{
    m_status->setText(
        tr("Probing %1 (%2 of %3)...").arg(port).arg(index + 1).arg(m_progress->maximum()));
}

void ScanDialog::onSensorFound(int pluginIndex, const ExtensionSystem::SensorBasic &sensor,
                               const QString &port)
{
    const QModelIndex index = m_model->addFoundSensor(m_plugins.at(pluginIndex), sensor, port);
    const SensorEntry *entry = m_model->entry(index);
    auto item = new QTreeWidgetItem(m_results);
    item->setText(0, port);
    item->setText(1, entry ? entry->displayName() : QString());
    item->setText(2, QString::number(sensor.group()));
    item->setText(3, sensor.type().empty() ? QString() : QString::number(sensor.type().front()));
    item->setText(4,
                  sensor.firmwareVersion().empty()
                      ? QString()
                      : QString::number(sensor.firmwareVersion().front()));
    ++m_found;
    emit sensorAdded(index);
}

void ScanDialog::onPortFinished(int index, const QString &, bool)
{
    m_progress->setValue(index + 1);
}

void ScanDialog::onFinished(bool cancelled)
{
    m_scanning = false;
    m_status->setText(cancelled ? tr("Scan cancelled; %n sensor(s) found.", nullptr, m_found)
                                : tr("Scan finished; %n sensor(s) found.", nullptr, m_found));
    updateButtons();
    if (m_closeWhenDone)
        QDialog::reject();
}

} // namespace Orbexa::Internal
