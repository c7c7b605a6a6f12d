#pragma once

#include "scanjob.h"

#include <QDialog>

#include <memory>

class QDialogButtonBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace Orbexa::Internal {

class LoadedPlugin;
class SensorListModel;

// Tools > Scan for sensors: probes the chosen ports with every serial plug-in, in a worker
// thread so that the window stays responsive and Cancel works, and adds what it finds to the
// sensor list.
class ScanDialog : public QDialog
{
    Q_OBJECT

public:
    ScanDialog(const QList<LoadedPlugin *> &plugins, const QStringList &ports,
               SensorListModel *model, ScanJob::PortFactory factory,
               ScanJob::PortCanceller canceller, QWidget *parent = nullptr);
    ~ScanDialog() override;

    QStringList checkedPorts() const;
    bool isScanning() const;

public slots:
    void startScan();
    void cancelScan();
    void reject() override;

signals:
    void sensorAdded(const QModelIndex &index);

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void onPortStarted(int index, const QString &port);
    void onSensorFound(int pluginIndex, const ExtensionSystem::SensorBasic &sensor,
                       const QString &port);
    void onPortFinished(int index, const QString &port, bool found);
    void onFinished(bool cancelled);
    void updateButtons();

    QList<LoadedPlugin *> m_plugins;
    SensorListModel *m_model;
    ScanJob::PortFactory m_factory;
    ScanJob::PortCanceller m_canceller;
    std::unique_ptr<ScanJob> m_job;
    bool m_scanning = false;
    bool m_closeWhenDone = false;
    int m_found = 0;

    QLabel *m_portsLabel;
    QListWidget *m_portList;
    QProgressBar *m_progress;
    QLabel *m_status;
    QLabel *m_resultsLabel;
    QTreeWidget *m_results;
    QPushButton *m_startButton;
    QPushButton *m_cancelButton;
    QDialogButtonBox *m_buttons;
};

} // namespace Orbexa::Internal
