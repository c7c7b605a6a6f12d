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
// A port that cannot be opened at all (held by another program, or gone) gets a message of its
// own rather than "did not respond": no request could be sent, so asking the user to check the
// sensor's cabling would mislead. The window then goes "Offline" like after any failure.
//
// The sequences spin nested event loops (transactions, message boxes, the dialog); the window
// checks after each that it still exists, since the host may destroy it meanwhile.

#include "window/sensorwindow.h"

#include "model/parameterrows.h"
#include "parameters/sensorsession.h"
#include "ui_sensorwindow.h"
#include "window/connectionswitchdialog.h"
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
const char portNotOpenedText[] = QT_TRANSLATE_NOOP(
    "SensorWindow",
    "The port %1 could not be opened. It may be in use by another program, or it is no longer "
    "available. Please close the other program or choose another port and try again.");
const char serverNotReachedText[] = QT_TRANSLATE_NOOP(
    "SensorWindow",
    "The network port %1 could not be reached. Please make sure that its serial device server "
    "is switched on and connected and that host and port are right, then try again.");

// The items of the "baudrate" row, by index.
const char *const baudRateItems[] = { "9600", "19200", "38400", "57600", "115200" };

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
    if (!d->abandoned) {
        NestedWait wait(this, d->nestedWaits);
        ConnectionSwitchDialog dialog;
        dialog.exec();
        choice = dialog.result();
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
    const QString port = d->portBox->currentText();
    vConnectToPort(port);
    if (!identifyOpenedPort(port))
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
    const QString port = d->portBox->currentText();
    emit vComPortSelected(port);
    loadExpertMenuSetting();
    loadMeasuredTempSetting();
    if (!identifyOpenedPort(port))
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

// Identifies the sensor on the port just opened; says why not (and goes offline) when that fails.
bool SensorWindow::identifyOpenedPort(const QString &port)
{
    if (!connection()) {
        portNotOpened(port, QMessageBox::Critical);
        return false;
    }
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

void SensorWindow::portNotOpened(const QString &port, int icon)
{
    QPointer<SensorWindow> alive(this);
    showMessage(icon, WindowTexts::tr(connectingTitle),
                WindowTexts::tr(ExtensionSystem::NetworkPort::isNetworkPortName(port)
                                    ? serverNotReachedText
                                    : portNotOpenedText)
                    .arg(port),
                QMessageBox::Ok);
    if (!alive)
        return;
    d->portBox->setCurrentIndex(0);
    vDisconnect();
    d->lastPortIndex = 0;
}

int SensorWindow::showMessage(int icon, const QString &title, const QString &text, int buttons)
{
    const auto standard = QMessageBox::StandardButtons(buttons);
    if (d->abandoned)
        return standard & QMessageBox::Cancel ? QMessageBox::Cancel
            : standard & QMessageBox::No      ? QMessageBox::No
                                              : QMessageBox::Ok;
    NestedWait wait(this, d->nestedWaits);
    // On the heap: should the window go with its parent meanwhile, the box goes with it and
    // its exec() returns instead of leaving a destroyed object on this stack.
    QPointer<QMessageBox> box
        = new QMessageBox(QMessageBox::Icon(icon), title, text, standard, this);
    const int answer = box->exec();
    delete box.data();
    return answer;
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
    bool listed = false;
    for (int i = 0; i < d->portBox->count(); ++i) {
        if (i != 1 && d->portBox->itemText(i) == ComPort) {
            d->portBox->setCurrentIndex(i);
            listed = true;
        }
    }
    // Without the port in the box there is nothing to select: "Offline" is no port name.
    if (!listed && d->portBox->currentIndex() <= 1) {
        portNotOpened(ComPort, QMessageBox::Warning);
        return;
    }
    const QString port = d->portBox->currentText();
    emit vComPortSelected(port);
    if (!connection()) {
        portNotOpened(port, QMessageBox::Warning);
        return;
    }
    if (!bConnectToSensor()) {
        if (!alive)
            return;
        vDisconnect();
        d->portBox->setCurrentIndex(0);
        // The title follows the box to "Offline"; a later Cancel in the dialog goes back there.
        updateWindowTitle(false);
        d->lastPortIndex = 0;
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
    if (bConnectToSensor()) {
        enableStatusChecking(true);
        // The identification leaves the title without firmware and rate; still connected, it
        // shows them again.
        updateWindowTitle(isConnected());
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

int SensorWindow::currentBaudRateIndex() const
{
    if (!connection())
        return -1;
    const QString current = QString::number(connection()->getPortSettings().baudrate);
    for (int index = 0; index < int(std::size(baudRateItems)); ++index) {
        if (current == QLatin1String(baudRateItems[index]))
            return index;
    }
    return -1;
}

void SensorWindow::showCurrentBaudRate()
{
    // From the sensor's side: putting the row back is no edit to send. A rate the row has no
    // item for leaves it as it is.
    const int index = currentBaudRateIndex();
    if (index >= 0)
        session().rows().setValue(QStringLiteral("baudrate"), index);
}

// A serial device server sets the line rate on its side; the sensor behind it keeps the rate
// the server expects, so nothing is sent.
void SensorWindow::refuseBaudRateChange()
{
    showMessage(QMessageBox::Warning, WindowTexts::tr("Sensor connections..."),
                WindowTexts::tr("The baud rate of a network port is set on its serial device "
                                "server, not by Orbexa. The sensor's baud rate was not changed."),
                QMessageBox::Ok);
    showCurrentBaudRate();
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
    updateWindowTitle(false);
}

} // namespace Core
} // namespace DrumoSensorPlugin
