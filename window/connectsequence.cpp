// Connecting: the port box, the connection switch dialog, the identification, going offline and
// the baud-rate change.
//
// A port chosen in the port box asks whose settings win (ConnectionSwitchDialog), opens the port
// through the interface object (vComPortSelected), identifies the sensor (up to two calls of
// bConnectToSensor, each up to twelve requests while the host steps through the baud rates),
// then either writes the tree to the sensor and reads it back (PC -> Sensor) or reads the
// sensor into the tree (Sensor -> PC), and starts the live data. Every way ends in a clear
// state: connected, or "Offline" with the port closed.
//
// A port that cannot be opened at all (held by another program, or gone) leaves the window
// without a connection: the identification finds nothing there and the sequence fails as for a
// silent sensor.
//
// The sequences spin nested event loops (transactions, message boxes, the dialog); the window
// checks after each that it still exists, since the host may destroy it meanwhile.

#include "window/sensorwindow.h"

#include "model/parameterrows.h"
#include "parameters/sensorsession.h"
#include "ui_sensorwindow.h"
#include "window/connectionswitchdialog.h"
#include "window/modaldialog.h"
#include "window/sensorwindow_p.h"
#include "window/transactions.h"
#include "window/windowtexts.h"

#include <connectionstatus.h>
#include <networkport.h>
#include <simpletimechart.h>
#include <thresholdwindowwidget.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDebug>
#include <QMessageBox>
#include <QPointer>

#include <iterator>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

const char connectingTitle[] = QT_TRANSLATE_NOOP("SensorWindow", "Connecting to sensor...");
const char noAnswerText[] = QT_TRANSLATE_NOOP(
    "SensorWindow",
    "The sensor did not respond, please make sure it is properly connected to the selected port "
    "and try again");
const char foreignSensorText[] = QT_TRANSLATE_NOOP(
    "SensorWindow",
    "The connected sensor does not match currently selected sensor, please try again with the "
    "proper sensor");

} // namespace

bool SensorWindow::bConnectToSensor()
{
    QPointer<SensorWindow> alive(this);
    const IdentifyResult result = session().identify();
    if (!alive)
        return false;
    // Taken before the group and type check: a foreign sensor's firmware stays until the
    // disconnect that follows.
    if (!result.firmware.isEmpty())
        d->firmware = result.firmware;

    switch (result.status) {
    case IdentifyResult::NoAnswer:
        session().state().connected = false;
        return false;
    case IdentifyResult::ForeignGroup:
    case IdentifyResult::ForeignType:
        showMessage(QMessageBox::Warning, WindowTexts::tr(connectingTitle),
                    WindowTexts::tr(foreignSensorText), QMessageBox::Ok);
        if (alive)
            session().state().connected = false;
        return false;
    case IdentifyResult::Identified:
        break;
    }
    updateWindowTitle(false);
    return true;
}

void SensorWindow::vConnectionControlBoxChanged(int index)
{
    QPointer<SensorWindow> alive(this);
    if (index <= 0) {
        ui->sensorOperationsToolbar->setEnabled(false);
        updateLeds(0);
        saveWindowState();
        vDisconnect();
        finishPortChoice();
        return;
    }

    int choice = ConnectionSwitchDialog::Cancel;
    {
        ModalDialog<ConnectionSwitchDialog> dialog(d, this, new ConnectionSwitchDialog);
        dialog.exec();
        if (!dialog.gone())
            choice = dialog->result();
    }
    if (!alive)
        return;
    if (choice == ConnectionSwitchDialog::PcToSensor) {
        const int answer = showMessage(
            QMessageBox::Information, WindowTexts::tr("Orbexa"),
            WindowTexts::tr("Sensor settings will be overwritten with the ones from PC"),
            QMessageBox::Ok | QMessageBox::Cancel);
        if (!alive)
            return;
        if (answer != QMessageBox::Ok)
            choice = ConnectionSwitchDialog::Cancel;
    }
    if (choice != ConnectionSwitchDialog::PcToSensor
        && choice != ConnectionSwitchDialog::SensorToPc) {
        d->portBox->setCurrentIndex(d->lastPortIndex);
        return;
    }

    if (choice == ConnectionSwitchDialog::PcToSensor)
        connectPcToSensor();
    else
        connectSensorToPc();
    if (alive)
        finishPortChoice();
}

// The PC's settings win: the tree goes to the sensor, then the sensor's answer comes back.
void SensorWindow::connectPcToSensor()
{
    QPointer<SensorWindow> alive(this);
    vDisconnect();
    vConnectToPort(d->portBox->currentText());
    if (!identifyOpenedPort())
        return;

    SessionState &state = session().state();
    state.connected = true;
    // Written as they stand, without the 600 ms wait of typed values.
    state.deferValueWrites = false;
    updateWindowTitle(true);
    if (d->thresholdWidget)
        d->thresholdWidget->setWindowSizeVisible(false);
    d->chart->setTimelineScale(-60.0, 700.0);
    d->chart->vSetYScale(-60.0, 700.0);
    if (d->thresholdWidget)
        d->thresholdWidget->setThresholdsRange(-60.0, 700.0);
    d->chart->setBaselineTo(0);
    writeAllProperties();
    if (!alive)
        return;
    if (!isConnected()) {
        // Writing failed and went offline; its connection check has said what there was to say.
        d->portBox->setCurrentIndex(0);
        vDisconnect();
        d->lastPortIndex = d->portBox->currentIndex();
        return;
    }
    connectSucceeded(true);
}

// The sensor's settings win: they are read into the tree.
void SensorWindow::connectSensorToPc()
{
    QPointer<SensorWindow> alive(this);
    vDisconnect();
    emit vComPortSelected(d->portBox->currentText());
    loadExpertMenuSetting();
    loadMeasuredTempSetting();
    if (!identifyOpenedPort())
        return;

    slotLiveDataToggled(false);
    ui->actionEnable_live_data->setChecked(false);
    updateWindowTitle(true);
    session().state().connected = true;
    readAllProperties();
    if (!alive)
        return;
    loadExpertMenuSetting();
    connectSucceeded(false);
    if (!alive)
        return;
    slotLiveDataToggled(true);
    ui->actionEnable_live_data->setChecked(true);
}

// Identifies the sensor on the port just opened; says so (and goes offline) when that fails.
bool SensorWindow::identifyOpenedPort()
{
    QPointer<SensorWindow> alive(this);
    if (identifyWithRetry())
        return true;
    if (alive)
        connectFailed();
    return false;
}

// Two identification calls, so that up to 24 requests go round the baud rates.
bool SensorWindow::identifyWithRetry()
{
    QPointer<SensorWindow> alive(this);
    for (int call = 0; call < 2; ++call) {
        if (bConnectToSensor())
            return true;
        if (!alive)
            return false;
        qDebug() << "Connecting repetated";
    }
    return false;
}

void SensorWindow::connectSucceeded(bool pcToSensor)
{
    QPointer<SensorWindow> alive(this);
    connect(settingsTimer, SIGNAL(timeout()), this, SLOT(vSettingsChanged()), Qt::UniqueConnection);
    if (sensorRecord().isDigital())
        enableStatusChecking(true);
    d->connectionStatus->setConnected(true);
    if (pcToSensor) {
        session().state().deferValueWrites = true;
        readAllProperties();
        if (!alive)
            return;
    }
    showMessage(QMessageBox::Information, WindowTexts::tr("Sensor connections..."),
                WindowTexts::tr("Successfuly connected ..."), QMessageBox::Ok);
    if (!alive)
        return;
    refreshRightAxis();
    ui->actionEnable_live_data->setChecked(true);
    enableStatusChecking(ui->actionEnable_live_data->isChecked());
    d->lastPortIndex = d->portBox->currentIndex();
}

void SensorWindow::connectFailed()
{
    QPointer<SensorWindow> alive(this);
    showMessage(QMessageBox::Critical, WindowTexts::tr(connectingTitle),
                WindowTexts::tr(noAnswerText), QMessageBox::Ok);
    if (!alive)
        return;
    d->portBox->setCurrentIndex(0);
    vDisconnect();
    d->lastPortIndex = 0;
}

int SensorWindow::showMessage(int icon, const QString &title, const QString &text, int buttons)
{
    const auto standard = QMessageBox::StandardButtons(buttons);
    // A window that is let go of meanwhile gets the answer that changes nothing.
    const int unanswered = standard & QMessageBox::Cancel ? QMessageBox::Cancel
        : standard & QMessageBox::No                      ? QMessageBox::No
                                                          : QMessageBox::Ok;
    ModalDialog<QMessageBox> box(
        d, this, new QMessageBox(QMessageBox::Icon(icon), title, text, standard, this));
    const int answer = box.exec();
    return box.gone() ? unanswered : answer;
}

// With pin 2 analog, the right axis takes the new scale only after its zoom was toggled.
void SensorWindow::refreshRightAxis()
{
    enableTreeDataHandling(false);
    if (session().io().pin2Analog() == 1) {
        d->chart->setZoomingRightAxes(false);
        d->chart->setZoomingRightAxes(true);
        d->chart->setZoomingRightAxes(false);
    }
    enableTreeDataHandling(true);
}

// Whatever the choice led to: the sensor operations are there exactly while connected.
void SensorWindow::finishPortChoice()
{
    ui->sensorOperationsToolbar->setEnabled(isConnected());
    d->lastPortIndex = d->portBox->currentIndex();
}

// The host asks to connect to `ComPort` without questions (a port given on its command line, a
// sensor found by its scan): the sensor's settings are read, nothing is written.
void SensorWindow::vAutoConnect(const QString &ComPort)
{
    QPointer<SensorWindow> alive(this);
    vDisconnect();
    for (int i = 0; i < d->portBox->count(); ++i) {
        if (i != 1 && d->portBox->itemText(i) == ComPort)
            d->portBox->setCurrentIndex(i);
    }
    // A port the box does not list leaves its current entry selected ("Offline", as a rule):
    // that text goes out as the port name, which the interface object cannot open.
    emit vComPortSelected(d->portBox->currentText());
    if (!bConnectToSensor()) {
        if (!alive)
            return;
        // The title keeps the port tried, and lastPortIndex the last completed choice.
        vDisconnect();
        d->portBox->setCurrentIndex(0);
        showMessage(QMessageBox::Warning, WindowTexts::tr(connectingTitle),
                    WindowTexts::tr(noAnswerText), QMessageBox::Ok);
        return;
    }

    ui->actionEnable_live_data->setChecked(false);
    updateWindowTitle(true);
    session().state().connected = true;
    readAllProperties();
    if (!alive)
        return;
    connect(settingsTimer, SIGNAL(timeout()), this, SLOT(vSettingsChanged()), Qt::UniqueConnection);
    if (sensorRecord().isDigital())
        enableStatusChecking(true);
    d->connectionStatus->setConnected(true);
    ui->actionEnable_live_data->setChecked(true);
    enableStatusChecking(ui->actionEnable_live_data->isChecked());
    ui->sensorOperationsToolbar->setEnabled(isConnected());
    d->lastPortIndex = d->portBox->currentIndex();
    slotLiveDataToggled(true);
    ui->actionEnable_live_data->setChecked(true);
    enableTreeDataHandling(true);
    loadExpertMenuSetting();
    refreshRightAxis();
}

// The status timer is left running: a pending tick finds no connection and does nothing.
void SensorWindow::vDisconnect()
{
    session().state().connected = false;
    d->firmware.clear();
    d->connectionStatus->setConnected(false);
    session().poller().setStatusChecking(false);
    ui->actionEnable_live_data->setChecked(false);
    emit vComPortSelected(QString());
    disconnect(settingsTimer, SIGNAL(timeout()), this, SLOT(vSettingsChanged()));
    updateWindowTitle(false);
}

// Asked by the live polling after many unanswered polls and by the dispatch after failed
// writes: either the sensor is found again, or the window goes "Offline" (without a message).
bool SensorWindow::bCheckConnection()
{
    QPointer<SensorWindow> alive(this);
    // The identification leaves the title without firmware and rate.
    if (bConnectToSensor()) {
        enableStatusChecking(true);
        return true;
    }
    if (!alive)
        return false;
    d->portBox->setCurrentIndex(0);
    vConnectionControlBoxChanged(0);
    return false;
}

bool SensorWindow::checkConnection()
{
    return bCheckConnection();
}

// The sensor takes a new rate only at its next power-up, which the question says.
bool SensorWindow::confirmBaudRateChange()
{
    return showMessage(QMessageBox::Information, QStringLiteral("Orbexa"),
                       WindowTexts::tr("The new baud rate is activated after the power supply "
                                       "voltage is applied anew and reconnected with Orbexa."),
                       QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

// A serial device server sets the line rate on its side; the sensor behind it keeps the rate
// the server expects, so nothing is sent.
void SensorWindow::refuseBaudRateChange()
{
    showMessage(QMessageBox::Warning, WindowTexts::tr("Sensor connections..."),
                WindowTexts::tr("The baud rate of a network port is set on its serial device "
                                "server, not by Orbexa. The sensor's baud rate was not changed."),
                QMessageBox::Ok);
    session().dispatcher().showLineBaudRate();
}

// The sensor acknowledged the new rate: the window leaves it, as it answers at the new rate
// only after its next power-up. Choosing the port again finds it through the baud stepping.
void SensorWindow::baudRateWritten()
{
    vDisconnect();
    d->portBox->setCurrentIndex(0);
    emit vComPortSelected(d->portBox->currentText());
    session().state().connected = false;
    ui->sensorOperationsToolbar->setEnabled(false);
    // The title keeps the port the sensor was found on.
}

} // namespace Core
} // namespace DrumoSensorPlugin
