#include "window/sensorwindow.h"

#include "parameters/sensorsession.h"
#include "ui_sensorwindow.h"
#include "window/livepublishing.h"
#include "window/sensorwindow_p.h"
#include "window/transactions.h"
#include "window/treerows.h"
#include "window/windowtexts.h"

#include <buttonmanager.h>
#include <connectionstatus.h>
#include <globals.h>
#include <qteditorfactory.h>
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
#include <QStatusBar>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

void insertOfflineEntry(QComboBox *box)
{
    box->insertItem(0, WindowTexts::tr("Offline"), QVariant());
}

} // namespace

SensorWindowPrivate::SensorWindowPrivate() = default;
SensorWindowPrivate::~SensorWindowPrivate() = default;

SensorWindow::SensorWindow(const Sensor &sensor, QWidget *ignored)
    : QMainWindow(nullptr)
    , d(new SensorWindowPrivate)
    , ui(new Ui::SensorWindow())
    , propertyBrowser(nullptr)
    , settingsTimer(nullptr)
    , lastProperty(nullptr)
    , expertMenu(false)
{
    Q_UNUSED(ignored)
    ui->setupUi(this);
    d->language = ExtensionSystem::Globals::getLanguage();

    createPortBox();
    createPropertyDock();
    createSession(sensor);
    updateWindowTitle(false);
    setUpToolbarsAndChart();
    createThresholdLines();
    connectActions();
    restoreWindowLayout();
    // A plain widget inside the host's sub-window, not a top-level window of its own.
    setWindowFlags(Qt::WindowFlags());
    connect(ui->actionEnable_live_data, SIGNAL(toggled(bool)), this,
            SLOT(slotLiveDataToggled(bool)));
    buildPropertyTree(sensorRecord());
    setMinimumSize(820, 500);
    // A docked widget takes its width from the main window's layout, not from resize(); asked
    // only now that the window has its final minimum width, the dock keeps its 400 pixels.
    resizeDocks({ d->propertyDock }, { 400 }, Qt::Horizontal);
    createStatusBar();
    d->publishing = std::make_unique<LivePublishing>(session(), ui->statusBar);
    connect(this, &SensorWindow::vComPortSelected, d->publishing.get(),
            &LivePublishing::portChanged);
    // The state file may have checked the action already (restoreWindowLayout).
    d->publishing->setWanted(ui->actionPublish_live_data->isChecked());
    connect(ui->actionPublish_live_data, &QAction::toggled, this,
            &SensorWindow::slotPublishLiveDataToggled);
    setUpDelayTimer();
    d->propertyDock->toggleViewAction()->setToolTip(d->propertyDock->windowTitle());
    updateTemperatureCaption();

    // Pin 2 starts as analog output until the sensor or the tree says otherwise.
    applyPin2Mode(true);
    d->chart->setYRightAxisScale(0.0, 10.0, 2.0);
    setExpertMenu(false);
    // The chart plots the first temperature of the status answer whatever the tree building
    // passed through the "readTemp" row; only the window state file and the row's later
    // edits choose otherwise.
    session().state().skipNextDelayedWrite = false;
    session().state().measuredTemp = true;
    d->chart->setMaxPanOffset(500);
    d->chart->setTimelineScale(-60.0, 700.0);

    if (ExtensionSystem::Globals::getPresentationMode())
        d->propertyDock->hide();
}

// "Offline" and a separator come first; the host's ports follow when it sends its list.
void SensorWindow::createPortBox()
{
    d->portBox = new QComboBox(this);
    insertOfflineEntry(d->portBox);
    d->portBox->insertSeparator(1);
    ui->connectionToolBar->addWidget(d->portBox);
}

// The dock with the property managers and their editor factories; the browser itself is
// filled by buildPropertyTree().
void SensorWindow::createPropertyDock()
{
    d->propertyDock = new QDockWidget();
    d->propertyDock->setWindowTitle(WindowTexts::tr("Property tree"));
    d->propertyDock->setObjectName(QStringLiteral("propertyTree"));
    d->propertyDock->setAllowedAreas(Qt::AllDockWidgetAreas);
    d->propertyDock->toggleViewAction()->setIcon(
        QIcon(QStringLiteral(":/newPrefix/icons/Menuebaum.svg")));

    d->boolManager = new QtBoolPropertyManager(d->propertyDock);
    d->intManager = new QtIntPropertyManager(d->propertyDock);
    d->doubleManager = new QtDoublePropertyManager(d->propertyDock);
    d->stringManager = new QtStringPropertyManager(d->propertyDock);
    d->enumManager = new QtEnumPropertyManager(d->propertyDock);
    d->groupManager = new QtGroupPropertyManager(d->propertyDock);
    d->checkBoxFactory = new QtCheckBoxFactory(d->propertyDock);
    d->spinBoxFactory = new QtSpinBoxFactory(d->propertyDock);
    d->doubleSpinBoxFactory = new QtDoubleSpinBoxFactory(d->propertyDock);
    d->lineEditFactory = new QtLineEditFactory(d->propertyDock);
    d->enumEditorFactory = new QtEnumEditorFactory(d->propertyDock);

    propertyBrowser = new QtTreePropertyBrowser(d->propertyDock);
    propertyBrowser->setResizeMode(QtTreePropertyBrowser::ResizeToContents);
    propertyBrowser->setStyleSheet(
        QStringLiteral(" QTreeView {selection-background-color:  #00619E;}"));
    propertyBrowser->setFactoryForManager(d->boolManager, d->checkBoxFactory);
    propertyBrowser->setFactoryForManager(d->intManager, d->spinBoxFactory);
    propertyBrowser->setFactoryForManager(d->doubleManager, d->doubleSpinBoxFactory);
    propertyBrowser->setFactoryForManager(d->stringManager, d->lineEditFactory);
    propertyBrowser->setFactoryForManager(d->enumManager, d->enumEditorFactory);

    d->buttonManager = new Utils::ButtonManager(d->propertyDock);
    d->buttonFactory = new Utils::ButtonFactory(d->propertyDock);
    propertyBrowser->setFactoryForManager(d->buttonManager, d->buttonFactory);

    // The bool, int, double and enum connections are the ones switched off around every change
    // the plug-in makes to rows itself; string and button rows are never switched.
    enableTreeDataHandling(true);
    connect(d->stringManager, SIGNAL(valueChanged(QtProperty *, const QString &)), this,
            SLOT(stringValueChanged(QtProperty *, const QString &)));
    connect(d->buttonManager, SIGNAL(buttonClicked(QtProperty *)), this,
            SLOT(buttonClicked(QtProperty *)));
}

// The sensor-facing work: on the tree's rows, through this window's transactions, with this
// window as its view.
void SensorWindow::createSession(const Sensor &sensor)
{
    d->rows = std::make_unique<TreeRows>(*d, [this](bool on) { enableTreeDataHandling(on); });
    d->runner = std::make_unique<WindowTransactionRunner>(
        [this](DataFrame &frame) { sendDataFrame(&frame, true); });
    d->session = std::make_unique<SensorSession>(sensor, *d->runner, *d->rows,
                                                 static_cast<SensorView &>(*this));
}

void SensorWindow::setUpToolbarsAndChart()
{
    ui->sensorOperationsToolbar->setEnabled(false);
    updateLeds(0);
    ui->fileToolBar->addAction(d->propertyDock->toggleViewAction());
    d->propertyDock->toggleViewAction()->setToolTip(WindowTexts::tr("Property Tree"));
    // Edits reach the sensor only while one is connected: the connect sequence connects the
    // timer to vSettingsChanged().
    settingsTimer = new QTimer(this);
    settingsTimer->setInterval(10);
    settingsTimer->setSingleShot(true);
    d->chart = createChart(ui->chartFrame);
    connectLivePolling();
    ui->actionOutput_1->setVisible(sensorRecord().isDigital());
    ui->actionOutput_2->setVisible(sensorRecord().isDigital());
}

// Digital sensors show their switching points as lines over the chart; the others show the two
// ends of their analog output as markers.
void SensorWindow::createThresholdLines()
{
    d->thresholdData = new Utils::ThresholdDataManager;
    d->thresholdData->setOutputs(2);

    const Sensor &record = sensorRecord();
    const SessionState &state = session().state();
    if (!record.isDigital()) {
        d->chart->setOnMarkerRange(record.getChartRangeMin(), record.getChartRangeMax());
        d->chart->setOffMarkerRange(record.getChartRangeMin(), record.getChartRangeMax());
        d->chart->vSetOnMarker(state.analogLow);
        d->chart->vSetOffMarker(state.analogHigh);
        return;
    }
    d->thresholdWidget = new Utils::ThresholdWindowWidget(d->chart->poPlot(), -1);
    d->thresholdWidget->allowOverlapping(record.getThresholdsOverlapping());
    d->thresholdWidget->setReadOnly(record.getThresholdsReadOnly());
    d->thresholdWidget->formatText(true);
    connect(d->thresholdWidget, SIGNAL(emitValueChanged(unsigned int, const double)), this,
            SLOT(chartThresholdChanged(unsigned int, double)));
    d->thresholdWidget->setWindowSizeVisible(false);
}

void SensorWindow::connectActions()
{
    connect(ui->actionSave_Settings, SIGNAL(triggered()), this, SLOT(vSaveSettings()));
    connect(ui->actionOpen_Settings, SIGNAL(triggered()), this, SLOT(vLoadSettings()));
    connect(ui->actionDefaultSettings, SIGNAL(triggered()), this, SLOT(vRestoreFactorySettings()));
    connect(d->portBox, SIGNAL(activated(int)), this, SLOT(vConnectionControlBoxChanged(int)));
    connect(ui->actionExportChartData, SIGNAL(triggered()), this, SLOT(vExportChartData()));
    connect(ui->actionExport_chart_view, SIGNAL(triggered()), this, SLOT(vExportDocument()));
    connect(ui->actionPrint_chart_view, SIGNAL(triggered()), this, SLOT(vPrintDocument()));
    connect(ui->actionClear_History, SIGNAL(triggered()), this, SLOT(vClearHistory()));
    connect(ui->actionOutput_1, SIGNAL(triggered()), this, SLOT(outputLEDTriggered1()));
    connect(ui->actionOutput_2, SIGNAL(triggered()), this, SLOT(outputLEDTriggered2()));
}

void SensorWindow::createStatusBar()
{
    d->connectionStatus = new Utils::ConnectionStatus(this);
    ui->statusBar->addPermanentWidget(d->connectionStatus, 0);
    ui->statusBar->addPermanentWidget(new QLabel(this), 0);
}

void SensorWindow::setUpDelayTimer()
{
    delayTimer.setInterval(600);
    delayTimer.setSingleShot(true);
    connect(&delayTimer, SIGNAL(timeout()), this, SLOT(sendDelayValue()));
}

SensorWindow::~SensorWindow()
{
    saveWindowState();
    d->publishing.reset();
    // No poll may start or finish into a window that is going away.
    session().poller().setStatusChecking(false);
    session().setConnection(nullptr);
    delete d->thresholdWidget;
    d->thresholdWidget = nullptr;
    delete d->chart;
    d->chart = nullptr;
    delete ui;
    ui = nullptr;
    delete propertyBrowser;
    propertyBrowser = nullptr;
    delete settingsTimer;
    settingsTimer = nullptr;
    // The session works on the rows, which live in the managers below the dock.
    d->session.reset();
    d->rows.reset();
    // Takes the managers and factories with it; they delete their properties.
    delete d->propertyDock;
    d->propertyDock = nullptr;
    d->rootProperty = nullptr;
    delete d->thresholdData;
    delete d;
    d = nullptr;
}

SensorSession &SensorWindow::session() const
{
    return *d->session;
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
    if (!d->firmware.isEmpty() && showBaud)
        title += QStringLiteral(" fw: %1").arg(d->firmware);
    title += QStringLiteral(" (") + d->portBox->currentText();
    // A network port's endpoint is its name; its line rate is the server's, unknown here.
    if (showBaud && connection() && !session().state().lineRateFixed)
        title += QStringLiteral(" - Baud ")
            + QString::number(connection()->getPortSettings().baudrate);
    title += QLatin1Char(')');

    setWindowTitle(title);
    if (d->rootProperty)
        d->rootProperty->setPropertyName(title);
    ui->statusBar->showMessage(title, 0);
}

void SensorWindow::updateComPortList(const QStringList &ports)
{
    const QString current = d->portBox->currentText();
    d->portBox->clear();
    insertOfflineEntry(d->portBox);
    d->portBox->insertSeparator(1);
    d->portBox->addItems(ports);

    // The separator's empty text must never count as a match.
    int selected = -1;
    for (int i = 0; i < d->portBox->count(); ++i) {
        if (i != 1 && d->portBox->itemText(i) == current) {
            selected = i;
            break;
        }
    }
    d->portBox->setCurrentIndex(selected);
}

void SensorWindow::updateTemperatureCaption(const QString &unused)
{
    Q_UNUSED(unused)
    QtProperty *unit = findProperty(d->rootProperty, "unit");
    if (!unit)
        return;
    ui->temperatureCaption->setText(d->enumManager->value(unit) == 0
                                        ? WindowTexts::tr("Temperature in °C")
                                        : WindowTexts::tr("Temperature in °F"));
}

void SensorWindow::vOpenManual() { }

void SensorWindow::vSensorUpdate(const QVariant &hideTree)
{
    d->propertyDock->setVisible(!hideTree.toBool());
}

void SensorWindow::vExportChartData() { }

void SensorWindow::vPrintDocument() { }

void SensorWindow::setWindowActive(bool active)
{
    if (active && ui->actionEnable_live_data->isChecked())
        d->chart->jumpToPlottingArea();
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
    if (d->portBox->currentIndex() > 0)
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
    d->propertyDock->setWindowTitle(WindowTexts::tr("Property tree"));
    d->propertyDock->toggleViewAction()->setToolTip(d->propertyDock->windowTitle());

    const int portIndex = d->portBox->currentIndex();
    d->portBox->removeItem(0);
    insertOfflineEntry(d->portBox);
    d->portBox->setCurrentIndex(portIndex);

    updateWindowTitle(isConnected());
    d->language = ExtensionSystem::Globals::getLanguage();

    // Renaming rows and rebuilding enum entries changes values on the way; none of that is an
    // edit to send to the sensor.
    enableTreeDataHandling(false);
    for (const auto &child : sensorRecord().getPropertyTreeGui())
        retranslateDescriptionNode(child.second);
    enableTreeDataHandling(true);

    // The form's texts came back in their first state; the caption follows the "unit" row.
    updateTemperatureCaption();
}

} // namespace Core
} // namespace DrumoSensorPlugin
