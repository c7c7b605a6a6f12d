#include "window/connectcontroller.h"

#include "model/parameterrows.h"
#include "parameters/sensorsession.h"
#include "window/chartpresenter.h"
#include "window/connectionswitchdialog.h"
#include "window/painthold.h"
#include "window/treehandling.h"
#include "window/windowtexts.h"

#include <connectionstatus.h>

#include <QAction>
#include <QComboBox>
#include <QDebug>
#include <QMessageBox>
#include <QPointer>
#include <QToolBar>

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

// "Offline" and a separator come first; the host's ports follow.
void resetPortBox(QComboBox *box)
{
    box->clear();
    box->insertItem(0, WindowTexts::tr("Offline"), QVariant());
    box->insertSeparator(1);
}

// The entry showing `port`; the separator's empty text never counts as a match.
int portIndex(const QComboBox *box, const QString &port)
{
    for (int i = 0; i < box->count(); ++i) {
        if (i != 1 && box->itemText(i) == port)
            return i;
    }
    return -1;
}

} // namespace

ConnectController::ConnectController(SensorSession &session, TreeHandling &treeHandling,
                                     ChartPresenter &chart, ConnectView &view,
                                     const Widgets &widgets, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_treeHandling(treeHandling)
    , m_chart(chart)
    , m_view(view)
    , m_widgets(widgets)
{
    m_portBox = new QComboBox(widgets.window);
    resetPortBox(m_portBox);
    widgets.connectionToolbar->addWidget(m_portBox);
    connect(m_portBox, QOverload<int>::of(&QComboBox::activated), this,
            &ConnectController::choosePort);
    m_status = new Utils::ConnectionStatus(widgets.window);
    connect(&session.poller(), &LivePoller::sensorSilent, this,
            &ConnectController::checkSilentSensor);
}

void ConnectController::setPorts(const QStringList &ports)
{
    const QString current = m_portBox->currentText();
    resetPortBox(m_portBox);
    m_portBox->addItems(ports);
    m_portBox->setCurrentIndex(portIndex(m_portBox, current));
}

void ConnectController::retranslate()
{
    const int current = m_portBox->currentIndex();
    m_portBox->removeItem(0);
    m_portBox->insertItem(0, WindowTexts::tr("Offline"), QVariant());
    m_portBox->setCurrentIndex(current);
}

bool ConnectController::isConnected() const
{
    return m_session.state().connected;
}

void ConnectController::readAll()
{
    PaintHold hold(m_widgets.window, m_widgets.waits, { m_widgets.tree, m_widgets.chart });
    TreeHandlingGuard quiet(m_treeHandling);
    m_session.bulk().readAll();
}

// The callers (connecting with the PC's settings, applying a settings file) clear
// deferValueWrites around it.
void ConnectController::writeAll()
{
    PaintHold hold(m_widgets.window, m_widgets.waits, { m_widgets.tree, m_widgets.chart });
    TreeHandlingGuard quiet(m_treeHandling);
    m_session.bulk().writeAll();
}

bool ConnectController::identify()
{
    QPointer<ConnectController> alive(this);
    const IdentifyResult result = m_session.identify();
    if (!alive)
        return false;
    // Taken before the group and type check: a foreign sensor's firmware stays until the
    // disconnect that follows.
    if (!result.firmware.isEmpty())
        m_firmware = result.firmware;

    switch (result.status) {
    case IdentifyResult::NoAnswer:
        m_session.state().connected = false;
        return false;
    case IdentifyResult::ForeignGroup:
    case IdentifyResult::ForeignType:
        m_view.showMessage(QMessageBox::Warning, WindowTexts::tr(connectingTitle),
                           WindowTexts::tr(foreignSensorText), QMessageBox::Ok);
        if (alive)
            m_session.state().connected = false;
        return false;
    case IdentifyResult::Identified:
        break;
    }
    emit titleChanged(false);
    return true;
}

void ConnectController::choosePort(int index)
{
    QPointer<ConnectController> alive(this);
    if (index <= 0) {
        m_widgets.sensorOperations->setEnabled(false);
        m_chart.updateLeds(0, isConnected());
        m_view.saveWindowState();
        disconnectSensor();
        finishPortChoice();
        return;
    }

    const int choice = askDirection();
    if (!alive)
        return;
    if (choice != ConnectionSwitchDialog::PcToSensor
        && choice != ConnectionSwitchDialog::SensorToPc) {
        m_portBox->setCurrentIndex(m_lastPortIndex);
        return;
    }
    if (choice == ConnectionSwitchDialog::PcToSensor)
        connectPcToSensor();
    else
        connectSensorToPc();
    if (alive)
        finishPortChoice();
}

// The dialog's choice; the PC's settings win only once the user confirmed the overwrite.
int ConnectController::askDirection()
{
    QPointer<ConnectController> alive(this);
    const int choice = m_view.askConnectDirection();
    if (!alive || choice != ConnectionSwitchDialog::PcToSensor)
        return choice;
    const int answer = m_view.showMessage(
        QMessageBox::Information, WindowTexts::tr("Orbexa"),
        WindowTexts::tr("Sensor settings will be overwritten with the ones from PC"),
        QMessageBox::Ok | QMessageBox::Cancel);
    return answer == QMessageBox::Ok ? choice : int(ConnectionSwitchDialog::Cancel);
}

// The PC's settings win: the rows go to the sensor, then the sensor's answer comes back.
void ConnectController::connectPcToSensor()
{
    QPointer<ConnectController> alive(this);
    disconnectSensor();
    emit portSelected(m_portBox->currentText());
    if (!identifyOpenedPort())
        return;

    SessionState &state = m_session.state();
    state.connected = true;
    // Written as they stand, without the 600 ms wait of typed values.
    state.deferValueWrites = false;
    emit titleChanged(true);
    m_chart.showWholeRange();
    writeAll();
    if (!alive)
        return;
    if (!isConnected()) {
        // Writing failed and went offline; its connection check has said what there was to say.
        m_portBox->setCurrentIndex(0);
        disconnectSensor();
        m_lastPortIndex = m_portBox->currentIndex();
        return;
    }
    connectSucceeded(true);
}

// The sensor's settings win: they are read into the rows.
void ConnectController::connectSensorToPc()
{
    QPointer<ConnectController> alive(this);
    disconnectSensor();
    emit portSelected(m_portBox->currentText());
    m_view.loadExpertMenuSetting();
    m_view.loadMeasuredTempSetting();
    if (!identifyOpenedPort() || !enterConnected())
        return;
    m_view.loadExpertMenuSetting();
    connectSucceeded(false);
    if (!alive)
        return;
    startLiveData();
}

// Connected from here on: the live data rests while the sensor's settings are read into the
// rows. False when the controller went away meanwhile.
bool ConnectController::enterConnected()
{
    QPointer<ConnectController> alive(this);
    m_widgets.liveData->setChecked(false);
    emit titleChanged(true);
    m_session.state().connected = true;
    readAll();
    return !alive.isNull();
}

// Identifies the sensor on the port just opened; says so (and goes offline) when that fails.
bool ConnectController::identifyOpenedPort()
{
    QPointer<ConnectController> alive(this);
    if (identifyWithRetry())
        return true;
    if (alive)
        connectFailed();
    return false;
}

// Two identification calls, so that up to 24 requests go round the baud rates.
bool ConnectController::identifyWithRetry()
{
    QPointer<ConnectController> alive(this);
    for (int call = 0; call < 2; ++call) {
        if (identify())
            return true;
        if (!alive)
            return false;
        qDebug() << "Connecting repetated";
    }
    return false;
}

void ConnectController::connectSucceeded(bool pcToSensor)
{
    QPointer<ConnectController> alive(this);
    m_view.setEditsReachSensor(true);
    if (m_session.sensor().isDigital())
        m_session.poller().setStatusChecking(true);
    m_status->setConnected(true);
    if (pcToSensor) {
        m_session.state().deferValueWrites = true;
        readAll();
        if (!alive)
            return;
    }
    m_view.showMessage(QMessageBox::Information, WindowTexts::tr("Sensor connections..."),
                       WindowTexts::tr("Successfuly connected ..."), QMessageBox::Ok);
    if (!alive)
        return;
    m_chart.refreshRightAxis();
    m_widgets.liveData->setChecked(true);
    m_session.poller().setStatusChecking(m_widgets.liveData->isChecked());
    m_lastPortIndex = m_portBox->currentIndex();
}

void ConnectController::connectFailed()
{
    QPointer<ConnectController> alive(this);
    m_view.showMessage(QMessageBox::Critical, WindowTexts::tr(connectingTitle),
                       WindowTexts::tr(noAnswerText), QMessageBox::Ok);
    if (!alive)
        return;
    m_portBox->setCurrentIndex(0);
    disconnectSensor();
    m_lastPortIndex = 0;
}

// Whatever the choice led to: the sensor operations are there exactly while connected.
void ConnectController::finishPortChoice()
{
    m_widgets.sensorOperations->setEnabled(isConnected());
    m_lastPortIndex = m_portBox->currentIndex();
}

// The first poll, then the action: checking it starts the chain of polls.
void ConnectController::startLiveData()
{
    m_chart.startLiveData();
    m_widgets.liveData->setChecked(true);
}

void ConnectController::autoConnect(const QString &port)
{
    QPointer<ConnectController> alive(this);
    disconnectSensor();
    const int index = portIndex(m_portBox, port);
    if (index >= 0)
        m_portBox->setCurrentIndex(index);
    // A port the box does not list leaves its current entry selected ("Offline", as a rule):
    // that text goes out as the port name, which the interface object cannot open.
    emit portSelected(m_portBox->currentText());
    if (!identify()) {
        if (!alive)
            return;
        // The title keeps the port tried, and the last completed choice stays.
        disconnectSensor();
        m_portBox->setCurrentIndex(0);
        m_view.showMessage(QMessageBox::Warning, WindowTexts::tr(connectingTitle),
                           WindowTexts::tr(noAnswerText), QMessageBox::Ok);
        return;
    }

    if (!enterConnected())
        return;
    m_view.setEditsReachSensor(true);
    if (m_session.sensor().isDigital())
        m_session.poller().setStatusChecking(true);
    m_status->setConnected(true);
    m_widgets.liveData->setChecked(true);
    m_session.poller().setStatusChecking(m_widgets.liveData->isChecked());
    m_widgets.sensorOperations->setEnabled(isConnected());
    m_lastPortIndex = m_portBox->currentIndex();
    startLiveData();
    m_treeHandling.setOn(true);
    m_view.loadExpertMenuSetting();
    m_chart.refreshRightAxis();
}

// The status timer is left running: a pending tick finds no connection and does nothing.
void ConnectController::disconnectSensor()
{
    m_session.state().connected = false;
    m_firmware.clear();
    m_status->setConnected(false);
    m_session.poller().setStatusChecking(false);
    m_widgets.liveData->setChecked(false);
    emit portSelected(QString());
    m_view.setEditsReachSensor(false);
    emit titleChanged(false);
}

// Asked by the live polling after many unanswered polls and by the dispatch after failed
// writes. The identification leaves the title without firmware and rate.
bool ConnectController::checkConnection()
{
    QPointer<ConnectController> alive(this);
    if (identify()) {
        m_session.poller().setStatusChecking(true);
        return true;
    }
    if (!alive)
        return false;
    m_portBox->setCurrentIndex(0);
    choosePort(0);
    return false;
}

void ConnectController::checkSilentSensor()
{
    QPointer<ConnectController> alive(this);
    if (checkConnection() || !alive)
        return;
    m_view.showMessage(QMessageBox::Critical, WindowTexts::tr(connectingTitle),
                       WindowTexts::tr(noAnswerText), QMessageBox::Ok);
    if (alive)
        disconnectSensor();
}

// The sensor takes a new rate only at its next power-up, which the question says.
bool ConnectController::confirmBaudRateChange()
{
    return m_view.showMessage(
               QMessageBox::Information, QStringLiteral("Orbexa"),
               WindowTexts::tr("The new baud rate is activated after the power supply "
                               "voltage is applied anew and reconnected with Orbexa."),
               QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

// A serial device server sets the line rate on its side; the sensor behind it keeps the rate
// the server expects, so nothing is sent.
void ConnectController::refuseBaudRateChange()
{
    m_view.showMessage(QMessageBox::Warning, WindowTexts::tr("Sensor connections..."),
                       WindowTexts::tr("The baud rate of a network port is set on its serial "
                                       "device server, not by Orbexa. The sensor's baud rate was "
                                       "not changed."),
                       QMessageBox::Ok);
    m_session.dispatcher().showLineBaudRate();
}

// The sensor acknowledged the new rate: the window leaves it, as it answers at the new rate
// only after its next power-up. Choosing the port again finds it through the baud stepping.
// The title keeps the port the sensor was found on.
void ConnectController::baudRateWritten()
{
    disconnectSensor();
    m_portBox->setCurrentIndex(0);
    emit portSelected(m_portBox->currentText());
    m_session.state().connected = false;
    m_widgets.sensorOperations->setEnabled(false);
}

} // namespace Core
} // namespace DrumoSensorPlugin
