// The main window's dialogs: settings file, scan, plug-ins, preferences, about.

#include "mainwindow.h"

#include "logdock.h"
#include "pluginloader.h"
#include "pluginsdialog.h"
#include "portwatcher.h"
#include "preferencesdialog.h"
#include "scandialog.h"
#include "sensorlistmodel.h"
#include "sensorsubwindow.h"
#include "sessionmanager.h"
#include "settingsfilesensor.h"

#include <scanports.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTreeView>

namespace Orbexa::Internal {

void MainWindow::openSettingsFile()
{
    SensorSubWindow *window = m_sessions->activeSensorWindow();
    if (!window)
        return;
    const QString fileName
        = QFileDialog::getOpenFileName(this, tr("Open Sensor Settings"), m_lastSettingsDir,
                                       tr("Sensor settings (*.ovs);;All files (*)"));
    if (fileName.isEmpty())
        return;
    m_lastSettingsDir = QFileInfo(fileName).absolutePath();
    log(tr("Loading %1 into %2.").arg(QDir::toNativeSeparators(fileName), window->sensorName()));
    window->openSettings(fileName);
}

SensorSubWindow *MainWindow::openSettingsFileInItsWindow(const QString &fileName,
                                                         const QString &port)
{
    const SettingsFileSensor named = readSettingsFileSensor(fileName);
    if (!named.error.isEmpty()) {
        log(tr("%1 is not opened: %2").arg(QDir::toNativeSeparators(fileName), named.error), true);
        return nullptr;
    }
    if (!m_loader->plugin(named.pluginId)) {
        log(tr("%1 is not opened: it belongs to the plug-in %2, which is not loaded.")
                .arg(QDir::toNativeSeparators(fileName), named.pluginId),
            true);
        return nullptr;
    }
    SensorSubWindow *window = openSensorByName(named.sensorId);
    if (!window)
        return nullptr;
    m_lastSettingsDir = QFileInfo(fileName).absolutePath();
    log(tr("Loading %1 into %2.").arg(QDir::toNativeSeparators(fileName), window->sensorName()));
    window->openSettings(QFileInfo(fileName).absoluteFilePath());
    if (!port.isEmpty()) {
        log(tr("Connecting %1 to %2.").arg(window->sensorName(), port));
        window->autoConnect(port);
    }
    return window;
}

void MainWindow::scanForSensors()
{
    QList<LoadedPlugin *> serialPlugins;
    for (LoadedPlugin *plugin : m_loader->plugins()) {
        if (plugin->isSerial())
            serialPlugins << plugin;
    }
    m_ports->refresh();
    // Ports held by an open sensor window are not probed: the scan would disturb it.
    const QStringList ports = m_sessions->freePorts();
    if (ports.isEmpty()) {
        QMessageBox::information(this, tr("Scan for Sensors"),
                                 tr("There is no free serial port to scan. Ports of simulated "
                                    "sensors can be added under Tools > Preferences."));
        return;
    }

    ScanDialog dialog(serialPlugins, ports, m_model, &ExtensionSystem::makeScanPort,
                      &ExtensionSystem::cancelScanPort, this);
    connect(&dialog, &ScanDialog::sensorAdded, this, [this](const QModelIndex &index) {
        const SensorEntry *entry = m_model->entry(index);
        if (!entry)
            return;
        log(tr("Found %1 on %2.").arg(entry->displayName(), entry->port));
        m_sensorView->expand(index.parent());
        m_sensorView->setCurrentIndex(index);
    });
    dialog.exec();
    updateActions();
}

void MainWindow::showPlugins()
{
    PluginsDialog dialog(m_loader, this);
    dialog.exec();
}

void MainWindow::showPreferences()
{
    PreferencesDialog dialog(this);
    dialog.setExtraPorts(m_preferencePorts);
    dialog.setReconnect(m_sessions->reconnectWhenPortReturns());
    dialog.setNetworkPorts(m_networkPorts);
    dialog.setBroker(m_broker);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_broker = dialog.broker();
    m_preferencePorts = dialog.extraPorts();
    m_networkPorts = dialog.networkPorts();
    m_sessions->setReconnectWhenPortReturns(dialog.reconnect());
    applyExtraPorts();
    writeSettings();
}

void MainWindow::showAbout()
{
    QMessageBox::about(this, tr("About Orbexa"),
                       tr("<h3>Orbexa %1</h3><p>Sensor configuration host. It loads sensor "
                          "plug-ins, lists their sensor types, scans serial ports for sensors "
                          "and opens a window per sensor.</p><p>%n plug-in(s) loaded.</p>",
                          nullptr, m_loader->plugins().size())
                           .arg(QCoreApplication::applicationVersion()));
}

} // namespace Orbexa::Internal
