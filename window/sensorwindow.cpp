#include "window/sensorwindow.h"

#include "parameters/parametertable.h"
#include "parameters/sensorsession.h"
#include "ui_sensorwindow.h"
#include "window/chartpresenter.h"
#include "window/connectcontroller.h"
#include "window/connectionswitchdialog.h"
#include "window/editeffects.h"
#include "window/factoryreset.h"
#include "window/livepublishing.h"
#include "window/modaldialog.h"
#include "window/pendingedit.h"
#include "window/propertyeditors.h"
#include "window/propertytree.h"
#include "window/sensorwindow_p.h"
#include "window/settingsfileactions.h"
#include "window/transactions.h"
#include "window/treehandling.h"
#include "window/treerows.h"
#include "window/windowstatefile.h"
#include "window/windowtexts.h"

#include <buttonmanager.h>
#include <connectionstatus.h>
#include <globals.h>
#include <qteditorfactory.h>
#include <qtproperty.h>
#include <qtpropertymanager.h>
#include <qttreepropertybrowser.h>
#include <simpletimechart.h>
#include <thresholddatamanager.h>
#include <thresholdwindowwidget.h>

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDockWidget>
#include <QEvent>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QStatusBar>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

const char geometryKey[] = "/geometry";
const char stateKey[] = "/state";
const char expertMenuKey[] = "/expertMenu";
// Spelt so in every existing state file.
const char measuredTempKey[] = "/mesuredTemp";
// Absent in files from before publishing: off.
const char publishKey[] = "/publishLiveData";

} // namespace

SensorWindowPrivate::SensorWindowPrivate() = default;
SensorWindowPrivate::~SensorWindowPrivate() = default;

SensorWindow::SensorWindow(const Sensor &sensor, QWidget *ignored)
    : QMainWindow(nullptr)
    , d(new SensorWindowPrivate)
    , ui(new Ui::SensorWindow())
    , propertyBrowser(nullptr)
    , expertMenu(false)
{
    Q_UNUSED(ignored)
    ui->setupUi(this);

    createPropertyDock();
    createSession(sensor);
    createCollaborators();
    updateWindowTitle(false);
    setUpToolbarsAndChart();
    connectChart();
    connectActions();
    restoreWindowLayout();
    // A plain widget inside the host's sub-window, not a top-level window of its own.
    setWindowFlags(Qt::WindowFlags());
    connect(ui->actionEnable_live_data, &QAction::toggled, this,
            &SensorWindow::slotLiveDataToggled);
    buildPropertyTree(sensorRecord());
    setMinimumSize(820, 500);
    // A docked widget takes its width from the main window's layout, not from resize(); asked
    // only now that the window has its final minimum width, the dock keeps its 400 pixels.
    resizeDocks({ d->editors->dock }, { 400 }, Qt::Horizontal);
    createStatusBar();
    d->publishing = std::make_unique<LivePublishing>(session(), ui->statusBar);
    connect(this, &SensorWindow::vComPortSelected, d->publishing.get(),
            &LivePublishing::portChanged);
    // The state file may have checked the action already (restoreWindowLayout).
    d->publishing->setWanted(ui->actionPublish_live_data->isChecked());
    connect(ui->actionPublish_live_data, &QAction::toggled, this,
            &SensorWindow::slotPublishLiveDataToggled);
    d->editors->dock->toggleViewAction()->setToolTip(d->editors->dock->windowTitle());
    updateTemperatureCaption();

    // Pin 2 starts as analog output until the sensor or the tree says otherwise.
    applyPin2Mode(true);
    setExpertMenu(false);
    // The chart plots the first temperature of the status answer whatever the tree building
    // passed through the "readTemp" row; only the window state file and the row's later
    // edits choose otherwise.
    session().state().skipNextDelayedWrite = false;
    session().state().measuredTemp = true;
    d->presenter->showInitialState();

    if (ExtensionSystem::Globals::getPresentationMode())
        d->editors->dock->hide();
}

// The dock with the property managers and their editor factories; the browser itself is
// filled by buildPropertyTree().
void SensorWindow::createPropertyDock()
{
    d->editors = std::make_unique<PropertyEditors>(propertyBrowser);
    d->tree = std::make_unique<PropertyTree>(*d->editors, propertyBrowser);

    // The bool, int, double and enum connections are the ones switched off around every change
    // the plug-in makes to rows itself; string and button rows are never switched.
    d->treeHandling
        = new TreeHandling(d->editors->boolManager, d->editors->intManager,
                           d->editors->doubleManager, d->editors->enumManager, d->editors->dock);
    connect(d->treeHandling, &TreeHandling::edited, this, &SensorWindow::vPropertyChanged);
    d->treeHandling->setOn(true);
    connect(d->editors->stringManager, &QtStringPropertyManager::valueChanged, this,
            &SensorWindow::stringValueChanged);
    connect(d->editors->buttonManager, &Utils::ButtonManager::buttonClicked, this,
            &SensorWindow::buttonClicked);
}

// The sensor-facing work: on the tree's rows, through this window's transactions, with this
// window as its view.
void SensorWindow::createSession(const Sensor &sensor)
{
    d->rows = std::make_unique<TreeRows>(*d->editors, *d->treeHandling);
    d->runner = std::make_unique<WindowTransactionRunner>(
        [this](DataFrame &frame) { sendDataFrame(&frame, true); });
    d->session = std::make_unique<SensorSession>(sensor, *d->runner, *d->rows,
                                                 static_cast<SensorView &>(*this));
    const SessionEvents *events = &d->session->events();
    connect(events, &SessionEvents::pin2ModeRead, this, &SensorWindow::applyPin2Mode);
    connect(events, &SessionEvents::temperatureCaptionChanged, this,
            [this] { updateTemperatureCaption(QString()); });
    connect(events, &SessionEvents::temperatureUnitChanged, this,
            &SensorWindow::applyTemperatureUnitToChart);
    connect(events, &SessionEvents::analogOutputModeChanged, this,
            &SensorWindow::showAnalogOutputMode);
    connect(events, &SessionEvents::switchingPointChanged, this, &SensorWindow::showSwitchingPoint);
    connect(events, &SessionEvents::switchingPointRead, this,
            &SensorWindow::showReadSwitchingPoint);
    connect(events, &SessionEvents::thresholdsUnitChanged, this,
            &SensorWindow::showThresholdsInUnit);
    connect(events, &SessionEvents::analogChartChanged, this, &SensorWindow::refreshAnalogChart);
    connect(events, &SessionEvents::upperMarkChanged, this, &SensorWindow::updateUpperMark);
    connect(events, &SessionEvents::outputStatesRead, this, &SensorWindow::updateLeds);
    connect(events, &SessionEvents::expertMenuChanged, this, &SensorWindow::setExpertMenu);
    d->edits = std::make_unique<PendingEdit>(session(), *d->treeHandling);
    connect(events, &SessionEvents::deferredWriteRequested, d->edits.get(),
            &PendingEdit::deferWrite);
}

// The chart and the connect sequence, on the session and the form's widgets.
void SensorWindow::createCollaborators()
{
    d->presenter = std::make_unique<ChartPresenter>(
        session(), *d->treeHandling,
        ChartPresenter::Widgets { ui->chartFrame, ui->chartToolbar, ui->actionOutput_1,
                                  ui->actionOutput_2, ui->analogCaption, ui->temperatureCaption });
    d->connector = std::make_unique<ConnectController>(
        session(), *d->treeHandling, *d->presenter, static_cast<ConnectView &>(*this),
        ConnectController::Widgets { this, ui->connectionToolBar, ui->sensorOperationsToolbar,
                                     ui->actionEnable_live_data, &d->waits, propertyBrowser,
                                     ui->chartFrame });
    d->files = std::make_unique<SettingsFileActions>(
        session(), *d->rows, *d->treeHandling, *d->presenter, *d->connector,
        static_cast<ConnectView &>(*this),
        SettingsFileActions::Parts { &d->waits, this, ui->actionEnable_live_data,
                                     ui->chartToolbar });
    d->effects = std::make_unique<EditEffects>(
        session(), *d->treeHandling,
        EditEffects::Parts { d->editors.get(), d->tree.get(), d->presenter.get(),
                             [this](bool on) { setExpertMenu(on); } });
    d->reset = std::make_unique<FactoryReset>(session(), *d->treeHandling,
                                              FactoryReset::Parts { this, d->connector.get(),
                                                                    d->presenter.get(),
                                                                    ui->actionEnable_live_data });
    connect(d->connector.get(), &ConnectController::portSelected, this,
            &SensorWindow::vComPortSelected);
    connect(d->connector.get(), &ConnectController::titleChanged, this,
            &SensorWindow::updateWindowTitle);
}

void SensorWindow::setUpToolbarsAndChart()
{
    ui->sensorOperationsToolbar->setEnabled(false);
    updateLeds(0);
    ui->fileToolBar->addAction(d->editors->dock->toggleViewAction());
    d->editors->dock->toggleViewAction()->setToolTip(WindowTexts::tr("Property Tree"));
    // The poller follows the live-data action: its chain ends at the first completion after the
    // action was unchecked. Connected before the constructor connects the action to
    // slotLiveDataToggled, so a poll started there already sees the new state.
    connect(ui->actionEnable_live_data, &QAction::toggled, &session().poller(),
            &LivePoller::setLiveData);
    // A write pauses the live data inside the session; the action shows it, and checking it
    // back restarts the chain of polls as slotLiveDataToggled.
    connect(&session().poller(), &LivePoller::liveDataChanged, ui->actionEnable_live_data,
            &QAction::setChecked);
    connect(&session().poller(), &LivePoller::outputStatesRead, this, &SensorWindow::updateLeds);
    ui->actionOutput_1->setVisible(sensorRecord().isDigital());
    ui->actionOutput_2->setVisible(sensorRecord().isDigital());
}

// A dragged line is written to the sensor; analog sensors edit the ends of their output range
// by dragging the chart's markers.
void SensorWindow::connectChart()
{
    if (Utils::ThresholdWindowWidget *lines = d->presenter->lines())
        connect(lines, &Utils::ThresholdWindowWidget::emitValueChanged, this,
                &SensorWindow::chartThresholdChanged);
    if (!sensorRecord().isDigital()) {
        Utils::SimpleTimeChart *chart = d->presenter->chart();
        connect(chart, &Utils::SimpleTimeChart::vOnMarkerChanged, this,
                &SensorWindow::slotOnMarkerChanged);
        connect(chart, &Utils::SimpleTimeChart::vOffMarkerChanged, this,
                &SensorWindow::slotOffMarkerChanged);
    }
}

void SensorWindow::connectActions()
{
    const auto onTriggered = [this](QAction *action, void (SensorWindow::*slot)()) {
        connect(action, &QAction::triggered, this, slot);
    };
    onTriggered(ui->actionSave_Settings, &SensorWindow::vSaveSettings);
    onTriggered(ui->actionOpen_Settings, &SensorWindow::vLoadSettings);
    onTriggered(ui->actionDefaultSettings, &SensorWindow::vRestoreFactorySettings);
    onTriggered(ui->actionExportChartData, &SensorWindow::vExportChartData);
    onTriggered(ui->actionExport_chart_view, &SensorWindow::vExportDocument);
    onTriggered(ui->actionPrint_chart_view, &SensorWindow::vPrintDocument);
    onTriggered(ui->actionClear_History, &SensorWindow::vClearHistory);
    onTriggered(ui->actionOutput_1, &SensorWindow::outputLEDTriggered1);
    onTriggered(ui->actionOutput_2, &SensorWindow::outputLEDTriggered2);
}

void SensorWindow::createStatusBar()
{
    ui->statusBar->addPermanentWidget(d->connector->status(), 0);
    ui->statusBar->addPermanentWidget(new QLabel(this), 0);
}

SensorWindow::~SensorWindow()
{
    saveWindowState();
    d->publishing.reset();
    // No poll may start or finish into a window that is going away.
    session().poller().setStatusChecking(false);
    session().setConnection(nullptr);
    d->files.reset();
    d->reset.reset();
    d->connector.reset();
    d->effects.reset();
    d->presenter.reset();
    delete ui;
    ui = nullptr;
    delete propertyBrowser;
    propertyBrowser = nullptr;
    d->edits.reset();
    // The session works on the rows, which live in the managers below the dock.
    d->session.reset();
    d->rows.reset();
    // Takes the managers and factories with it; they delete their properties.
    delete d->editors->dock;
    d->editors->dock = nullptr;
    d->editors->rootProperty = nullptr;
    delete d;
    d = nullptr;
}

SensorSession &SensorWindow::session() const
{
    return *d->session;
}

PropertyTree &SensorWindow::propertyTree() const
{
    return *d->tree;
}

ChartPresenter &SensorWindow::chartPresenter() const
{
    return *d->presenter;
}

ConnectController &SensorWindow::connectController() const
{
    return *d->connector;
}

TreeHandling &SensorWindow::treeHandling() const
{
    return *d->treeHandling;
}

LivePublishing &SensorWindow::livePublishing() const
{
    return *d->publishing;
}

bool SensorWindow::expertRowsShown() const
{
    return expertMenu;
}

bool SensorWindow::editPending() const
{
    return d->edits->settling();
}

bool SensorWindow::typedEditPending() const
{
    return d->edits->typing();
}

QtProperty *SensorWindow::lastEditedRow() const
{
    return d->edits->lastRow();
}

bool SensorWindow::isConnected() const
{
    return session().state().connected;
}

const Sensor &SensorWindow::sensorRecord() const
{
    return session().sensor();
}

ExtensionSystem::CommunicationInterface *SensorWindow::connection() const
{
    return session().connection();
}

void SensorWindow::setConnection(ExtensionSystem::CommunicationInterface *connection)
{
    session().setConnection(connection);
}

void SensorWindow::updateWindowTitle(bool showBaud)
{
    QString title = QString::fromStdString(sensorRecord().name());
    const QString &firmware = d->connector->firmware();
    if (!firmware.isEmpty() && showBaud)
        title += QStringLiteral(" fw: %1").arg(firmware);
    title += QStringLiteral(" (") + d->connector->portBox()->currentText();
    // A network port's endpoint is its name; its line rate is the server's, unknown here.
    if (showBaud && connection() && !session().state().lineRateFixed)
        title += QStringLiteral(" - Baud ")
            + QString::number(connection()->getPortSettings().baudrate);
    title += QLatin1Char(')');

    setWindowTitle(title);
    if (d->editors->rootProperty)
        d->editors->rootProperty->setPropertyName(title);
    ui->statusBar->showMessage(title, 0);
}

void SensorWindow::updateComPortList(const QStringList &ports)
{
    d->connector->setPorts(ports);
}

void SensorWindow::updateTemperatureCaption(const QString &unused)
{
    Q_UNUSED(unused)
    d->presenter->updateTemperatureCaption();
}

void SensorWindow::vOpenManual() { }

void SensorWindow::vSensorUpdate(const QVariant &hideTree)
{
    d->editors->dock->setVisible(!hideTree.toBool());
}

void SensorWindow::vExportChartData() { }

void SensorWindow::vPrintDocument() { }

void SensorWindow::setWindowActive(bool active)
{
    if (active && ui->actionEnable_live_data->isChecked())
        d->presenter->chart()->jumpToPlottingArea();
}

void SensorWindow::vConnectToPort(const QString &port)
{
    emit vComPortSelected(port);
}

void SensorWindow::enableStatusChecking(bool on)
{
    session().poller().setStatusChecking(on);
}

void SensorWindow::outputLEDTriggered1() { }

void SensorWindow::outputLEDTriggered2() { }

void SensorWindow::slotPublishLiveDataToggled(bool on)
{
    d->publishing->setWanted(on);
}

void SensorWindow::closeEvent(QCloseEvent *event)
{
    session().poller().setStatusChecking(false);
    if (d->connector->portBox()->currentIndex() > 0)
        vConnectionControlBoxChanged(0);
    emit vAboutToClose();
    QMainWindow::closeEvent(event);
}

void SensorWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslateWindow();
        return;
    }
    QMainWindow::changeEvent(event);
}

void SensorWindow::retranslateWindow()
{
    ui->retranslateUi(this);
    d->editors->dock->setWindowTitle(WindowTexts::tr("Property tree"));
    d->editors->dock->toggleViewAction()->setToolTip(d->editors->dock->windowTitle());

    d->connector->retranslate();

    updateWindowTitle(isConnected());
    {
        // Renaming rows and rebuilding enum entries changes values on the way; none of that is
        // an edit to send to the sensor.
        TreeHandlingGuard quiet(*d->treeHandling);
        d->tree->retranslate(sensorRecord());
    }

    // The form's texts came back in their first state; the caption follows the "unit" row.
    updateTemperatureCaption();
}

// --- Settings files: forwards to the file actions ----------------------------------------------

void SensorWindow::vSaveSettings()
{
    d->files->save();
}

bool SensorWindow::bOpenSettings(const QString &fileName)
{
    return d->files->open(fileName);
}

void SensorWindow::vLoadSettings()
{
    bOpenSettings(QString());
}

void SensorWindow::vExportDocument()
{
    d->files->exportChart();
}

// --- Connecting: forwards to the connect controller -------------------------------------------

bool SensorWindow::bConnectToSensor()
{
    return d->connector->identify();
}

void SensorWindow::vConnectionControlBoxChanged(int index)
{
    d->connector->choosePort(index);
}

void SensorWindow::vAutoConnect(const QString &ComPort)
{
    d->connector->autoConnect(ComPort);
}

void SensorWindow::vDisconnect()
{
    d->connector->disconnectSensor();
}

bool SensorWindow::bCheckConnection()
{
    return d->connector->checkConnection();
}

int SensorWindow::showMessage(int icon, const QString &title, const QString &text, int buttons)
{
    const auto standard = QMessageBox::StandardButtons(buttons);
    // A window that is let go of meanwhile gets the answer that changes nothing.
    const int unanswered = standard & QMessageBox::Cancel ? QMessageBox::Cancel
        : standard & QMessageBox::No                      ? QMessageBox::No
                                                          : QMessageBox::Ok;
    ModalDialog<QMessageBox> box(
        &d->waits, this, new QMessageBox(QMessageBox::Icon(icon), title, text, standard, this));
    const int answer = box.exec();
    return box.gone() ? unanswered : answer;
}

int SensorWindow::askConnectDirection()
{
    ModalDialog<ConnectionSwitchDialog> dialog(&d->waits, this, new ConnectionSwitchDialog);
    dialog.exec();
    return dialog.gone() ? int(ConnectionSwitchDialog::Cancel) : dialog->result();
}

void SensorWindow::setEditsReachSensor(bool on)
{
    d->edits->setReachesSensor(on);
}

bool SensorWindow::checkConnection()
{
    return d->connector->checkConnection();
}

bool SensorWindow::confirmBaudRateChange()
{
    return d->connector->confirmBaudRateChange();
}

void SensorWindow::refuseBaudRateChange()
{
    d->connector->refuseBaudRateChange();
}

void SensorWindow::baudRateWritten()
{
    d->connector->baudRateWritten();
}

// --- The chart, its lines and the LEDs: forwards to the chart presenter -----------------------

void SensorWindow::slotLiveDataToggled(bool on)
{
    // Switching off needs nothing here: the chain of polls ends at the next completion.
    if (on)
        d->presenter->startLiveData();
}

void SensorWindow::queryAnalogStatusData(unsigned int index)
{
    if (index == 0)
        session().poller().poll();
    else
        session().poller().transactionFinished(index);
}

void SensorWindow::queryChartData()
{
    queryAnalogStatusData(0);
}

void SensorWindow::updateLeds(int states)
{
    d->presenter->updateLeds(states, isConnected());
}

void SensorWindow::vSetData(const Utils::ValueOverTime &data)
{
    Q_UNUSED(data)
    ui->chartToolbar->setEnabled(true);
}

void SensorWindow::refreshAnalogChart()
{
    d->presenter->refreshAnalogChart();
}

void SensorWindow::showAnalogOutputMode(int mode)
{
    d->presenter->showAnalogOutputMode(mode);
}

void SensorWindow::applyTemperatureUnitToChart(bool toFahrenheit)
{
    d->presenter->applyTemperatureUnit(toFahrenheit);
}

bool SensorWindow::setThresholds(int output, ThresholdType type)
{
    return session().io().setThresholds(
        output, type, [this](int line, int component) { return thresholdHex(line, component); });
}

// Nothing reads thresholds back from the sensor: the switching points come with the parameter
// reads, and the "Read Thresholds" action stays hidden and disabled.
bool SensorWindow::refreshThresholds(int output)
{
    Q_UNUSED(output)
    return false;
}

void SensorWindow::refreshSwitchingPoints(int output)
{
    d->presenter->copyStoredSwitchingPoint(output);
}

// The user dragged a line (0 the lower, output 1; else the upper, output 2): the live data
// rests while it is written.
void SensorWindow::chartThresholdChanged(unsigned int index, double value)
{
    d->presenter->applyDraggedSwitchingPoint(index, value);
}

// Analog sensors: the on marker stands for the low end of the output, the off marker for the
// high end. The row is set with the tree connections on, so the change is written
// to the sensor like a typed value.
void SensorWindow::slotOnMarkerChanged(double value)
{
    if (QtProperty *row = d->tree->find(ChartPresenter::analogEndRow(false).toStdString()))
        d->editors->doubleManager->setValue(row, value);
}

void SensorWindow::slotOffMarkerChanged(double value)
{
    if (QtProperty *row = d->tree->find(ChartPresenter::analogEndRow(true).toStdString()))
        d->editors->doubleManager->setValue(row, value);
}

void SensorWindow::showSwitchingPoint(int output, double value)
{
    d->presenter->showSwitchingPoint(output, value);
}

void SensorWindow::showReadSwitchingPoint(int output, double value)
{
    d->presenter->showReadSwitchingPoint(output, value);
}

void SensorWindow::showThresholdsInUnit(bool fahrenheit)
{
    d->presenter->showThresholdsInUnit(fahrenheit);
}

void SensorWindow::updateUpperMark()
{
    d->presenter->updateUpperMark();
}

QString SensorWindow::thresholdHex(int output, int component) const
{
    return d->presenter->thresholdHex(output, component);
}

// --- An edit's way to the sensor -----------------------------------------------------------
//
// The tree reports an edit (TreeHandling::edited, and the string and button managers' signals)
// to vPropertyChanged. Effects that only concern the window happen at once (EditEffects); the
// edit itself goes to the sensor when PendingEdit says so, after the edits around it settled or
// the typing paused.

// Switches the four value connections from the bool, int, double and enum managers (see
// TreeHandling); the plug-in's own changes to rows happen inside a TreeHandlingGuard.
void SensorWindow::enableTreeDataHandling(bool on)
{
    d->treeHandling->setOn(on);
}

void SensorWindow::intValueChanged(QtProperty *property, int value)
{
    vPropertyChanged(property, QVariant(value));
}

void SensorWindow::doubleValueChanged(QtProperty *property, double value)
{
    vPropertyChanged(property, QVariant(value));
}

void SensorWindow::boolValueChanged(QtProperty *property, bool value)
{
    vPropertyChanged(property, QVariant(value));
}

void SensorWindow::stringValueChanged(QtProperty *property, const QString &value)
{
    vPropertyChanged(property, QVariant(value));
}

void SensorWindow::enumValueChanged(QtProperty *property, int value)
{
    vPropertyChanged(property, QVariant(value));
}

void SensorWindow::buttonClicked(QtProperty *property)
{
    vPropertyChanged(property, QVariant(QString()));
}

void SensorWindow::vPropertyChanged(QtProperty *property, const QVariant &value)
{
    // The polling goes on until the dispatch suspends it around the write, 10 ms from now.
    d->effects->apply(property);
    d->edits->take(property, value);
}

void SensorWindow::vSettingsChanged()
{
    d->edits->applySettled();
}

void SensorWindow::readAllProperties()
{
    d->connector->readAll();
}

// The callers (connecting with the PC's settings, applying a settings file) clear
// deferValueWrites around it.
void SensorWindow::writeAllProperties()
{
    d->connector->writeAll();
}

bool SensorWindow::bFactoryReset()
{
    return d->reset->resetOnce();
}

void SensorWindow::vRestoreFactorySettings()
{
    d->reset->run();
}

void SensorWindow::vClearHistory()
{
    const int answer = showMessage(QMessageBox::Warning, WindowTexts::tr("Clear chart history"),
                                   WindowTexts::tr("Do you really want to clear chart history ?"),
                                   QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes)
        d->presenter->clearHistory();
}

// The write of the row edited last, once the typing paused.
void SensorWindow::sendDelayValue()
{
    d->edits->writeTyped();
}

void SensorWindow::applyPin2Mode(bool analog)
{
    d->effects->applyPin2Mode(analog);
}

// --- The window state file ---------------------------------------------------------------------
//
// Toolbar and dock layout, geometry, two viewing choices (expert rows shown, temperature shown
// in the chart) and whether live data is published to the broker. Keys are the window's object name
// ("SensorWindow") plus a suffix, so every window of the plug-in shares them and the last one saved
// wins. A settings object is opened for every read or write; nothing is cached.

void SensorWindow::saveWindowState()
{
    QSettings settings(windowStateFilePath(), QSettings::IniFormat, this);
    settings.setValue(objectName() + QLatin1String(geometryKey), saveGeometry());
    settings.setValue(objectName() + QLatin1String(stateKey), saveState(0));
    settings.setValue(objectName() + QLatin1String(expertMenuKey), expertMenu);
    settings.setValue(objectName() + QLatin1String(measuredTempKey),
                      session().state().measuredTemp);
    settings.setValue(objectName() + QLatin1String(publishKey),
                      ui->actionPublish_live_data->isChecked());
}

// The geometry is written but left to the host's sub-window on the way back. Publishing, when
// on, starts with the first live sample of a connected sensor.
void SensorWindow::restoreWindowLayout()
{
    QSettings settings(windowStateFilePath(), QSettings::IniFormat, this);
    restoreState(settings.value(objectName() + QLatin1String(stateKey)).toByteArray(), 0);
    ui->actionPublish_live_data->setChecked(
        settings.value(objectName() + QLatin1String(publishKey), false).toBool());
}

void SensorWindow::loadExpertMenuSetting()
{
    bool on = false;
    {
        QSettings settings(windowStateFilePath(), QSettings::IniFormat, this);
        on = settings.value(objectName() + QLatin1String(expertMenuKey), false).toBool();
    }
    setExpertMenu(on);
    if (!on)
        return;
    // With the tree connections on, this goes the way of a user's choice; the row itself
    // never sends a command.
    if (QtProperty *row = d->tree->find(parameterWith(ExpertRows).id))
        d->editors->enumManager->setValue(row, 1);
}

void SensorWindow::loadMeasuredTempSetting()
{
    bool &measuredTemp = session().state().measuredTemp;
    {
        QSettings settings(windowStateFilePath(), QSettings::IniFormat, this);
        measuredTemp
            = settings.value(objectName() + QLatin1String(measuredTempKey), false).toBool();
    }
    if (QtProperty *row = d->tree->find(parameterWith(MeasuredTemperature).id))
        d->editors->enumManager->setValue(row, measuredTemp ? 1 : 0);
}

// --- Transactions and waits ---------------------------------------------------------------

void SensorWindow::sendDataFrame(ExtensionSystem::CommunicationInterface::DataFrame *frame,
                                 bool showUi)
{
    runBehindProgress(this, &d->waits, connection(), frame, showUi);
}

bool SensorWindow::isWaiting() const
{
    return d->waits.nested > 0;
}

void SensorWindow::abandon()
{
    if (!d->waits.abandoned && !isWaiting())
        deleteLater();
    d->waits.abandoned = true;
    setConnection(nullptr);
    // Nobody is left to answer them; each returns to its waiting code, which finishes quietly.
    closeModalDialogs(this);
}

// --- The property tree ---------------------------------------------------------------------

bool SensorWindow::buildPropertyTree(const Sensor &record)
{
    d->tree->build(record, windowTitle());
    d->editors->dock->setWidget(propertyBrowser);
    d->editors->dock->resize(400, d->editors->dock->height());
    addDockWidget(Qt::LeftDockWidgetArea, d->editors->dock);
    propertyBrowser->setMinimumWidth(300);
    return false;
}

void SensorWindow::setExpertMenu(bool on)
{
    expertMenu = on;
    d->tree->showExpertRows(on);
}

void SensorWindow::removeSubProperties(QtProperty *property)
{
    PropertyTree::removeSubProperties(property);
}

} // namespace Core
} // namespace DrumoSensorPlugin
