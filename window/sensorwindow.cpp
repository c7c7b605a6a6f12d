#include "window/sensorwindow.h"

#include "plugin/sensorcatalogue.h"
#include "ui_sensorwindow.h"
#include "window/sensorwindow_p.h"

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
#include <QVBoxLayout>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

void insertOfflineEntry(QComboBox *box, const QString &text)
{
    box->insertItem(0, text, QVariant());
}

} // namespace

SensorWindow::SensorWindow(const ExtensionSystem::SensorBasic &sensorArgument, QWidget *ignored)
    : QMainWindow(nullptr)
    , d(new SensorWindowPrivate)
    , ui(new Ui::SensorWindow())
    , propertyBrowser(nullptr)
    , connected(false)
    , deferValueWrites(true)
    , lastPortIndex(0)
    , currentTemperature(-200.0)
    , analogOutputSignal(-200.0)
    , thresholdDragActive(false)
    , analogMode(0)
    , analogScaleLow(0)
    , analogScaleHigh(0)
    , missedAnswers(0)
    , skipNextDelayedWrite(false)
    , measuredTemp(true)
    , settingsTimer(nullptr)
    , lastProperty(nullptr)
    , expertMenu(false)
{
    Q_UNUSED(ignored)
    d->statusTimer.setInterval(65);
    d->statusTimer.setSingleShot(true);

    ui->setupUi(this);
    // The record constructed above carries the host's language of this moment.
    d->language = sensor.getLanguage();

    d->portBox = new QComboBox(this);
    insertOfflineEntry(d->portBox, QCoreApplication::translate("SensorWindow", "Offline"));
    d->portBox->insertSeparator(1);
    ui->connectionToolBar->addWidget(d->portBox);

    d->propertyDock = new QDockWidget();
    d->propertyDock->setWindowTitle(QCoreApplication::translate("SensorWindow", "Property tree"));
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

    sensor = findSensorInCatalogue(sensorArgument.name());

    updateWindowTitle(false);

    ui->sensorOperationsToolbar->setEnabled(false);
    updateLeds(0);
    ui->fileToolBar->addAction(d->propertyDock->toggleViewAction());
    d->propertyDock->toggleViewAction()->setToolTip(
        QCoreApplication::translate("SensorWindow", "Property Tree"));
    settingsTimer = new QTimer(this);
    settingsTimer->setInterval(10);
    settingsTimer->setSingleShot(true);
    connected = false;
    // Edits reach the sensor only while one is connected; the connect sequence wires this.
    disconnect(settingsTimer, SIGNAL(timeout()), this, SLOT(vSettingsChanged()));
    d->chart = createChart(ui->frame);
    connect(&d->statusTimer, SIGNAL(timeout()), this, SLOT(queryChartData()));
    ui->actionOutput_1->setVisible(sensor.isDigital());
    ui->actionOutput_2->setVisible(sensor.isDigital());

    d->analogLow = static_cast<double>(sensor.getChartRangeMin());
    d->analogHigh = static_cast<double>(sensor.getChartRangeMax());

    d->thresholdData = new Utils::ThresholdDataManager;
    d->thresholdData->setOutputs(2);

    if (!sensor.isDigital()) {
        d->chart->setOnMarkerRange(sensor.getChartRangeMin(), sensor.getChartRangeMax());
        d->chart->setOffMarkerRange(sensor.getChartRangeMin(), sensor.getChartRangeMax());
        d->chart->vSetOnMarker(d->analogLow);
        d->chart->vSetOffMarker(d->analogHigh);
    } else {
        d->thresholdWidget = new Utils::ThresholdWindowWidget(d->chart->poPlot(), -1);
        d->thresholdWidget->allowOverlapping(sensor.getThresholdsOverlapping());
        d->thresholdWidget->setReadOnly(sensor.getThresholdsReadOnly());
        d->thresholdWidget->formatText(true);
        connect(d->thresholdWidget, SIGNAL(emitValueChanged(unsigned int, const double)), this,
                SLOT(chartThresholdChanged(unsigned int, double)));
        d->thresholdWidget->setWindowSizeVisible(false);
    }

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

    restoreWindowLayout();
    // A plain widget inside the host's sub-window, not a top-level window of its own.
    setWindowFlags(Qt::WindowFlags());
    connect(ui->actionEnable_live_data, SIGNAL(toggled(bool)), this,
            SLOT(slotLiveDataToggled(bool)));

    buildPropertyTree(sensor);

    setMinimumSize(820, 500);
    // A docked widget takes its width from the main window's layout, not from resize(); asked
    // only now that the window has its final minimum width, the dock keeps its 400 pixels.
    resizeDocks({ d->propertyDock }, { 400 }, Qt::Horizontal);
    d->connectionStatus = new Utils::ConnectionStatus(this);
    ui->statusBar->addPermanentWidget(d->connectionStatus, 0);
    ui->statusBar->addPermanentWidget(new QLabel(this), 0);

    delayTimer.setInterval(600);
    delayTimer.setSingleShot(true);
    connect(&delayTimer, SIGNAL(timeout()), this, SLOT(sendDelayValue()));

    deferValueWrites = true;
    d->propertyDock->toggleViewAction()->setToolTip(d->propertyDock->windowTitle());

    updateTemperatureCaption();

    // Pin 2 starts as analog output until the sensor or the tree says otherwise.
    applyPin2Mode(true);
    d->chart->setYRightAxisScale(0.0, 10.0, 2.0);

    skipNextDelayedWrite = false;
    setExpertMenu(false);
    measuredTemp = true;

    d->chart->setMaxPanOffset(500);
    d->chart->setTimelineScale(-60.0, 700.0);

    if (ExtensionSystem::Globals::getPresentationMode())
        d->propertyDock->hide();
}

SensorWindow::~SensorWindow()
{
    saveWindowState();
    d->statusChecking = false;
    if (sensor.isDigital()) {
        delete d->thresholdWidget;
        d->thresholdWidget = nullptr;
    }
    delete d->chart;
    d->chart = nullptr;
    delete ui;
    ui = nullptr;
    delete propertyBrowser;
    propertyBrowser = nullptr;
    delete settingsTimer;
    settingsTimer = nullptr;
    // Takes the managers and factories with it; they delete their properties.
    delete d->propertyDock;
    d->propertyDock = nullptr;
    d->rootProperty = nullptr;
    delete d->thresholdData;
    delete d;
    d = nullptr;
}

ExtensionSystem::CommunicationInterface *SensorWindow::connection() const
{
    return d->connection;
}

void SensorWindow::setConnection(ExtensionSystem::CommunicationInterface *connection)
{
    d->connection = connection;
}

Utils::SimpleTimeChart *SensorWindow::createChart(QWidget *parent)
{
    auto chart = new Utils::SimpleTimeChart(parent);
    auto layout = new QVBoxLayout(parent);
    layout->addWidget(chart);
    chart->setCurrendValuePrecision(2);
    chart->setAllowNegativeValues(true);
    chart->vSetYScale(static_cast<double>(sensor.getChartRangeMin()),
                      static_cast<double>(sensor.getChartRangeMax()));
    // Analog sensors edit the ends of their output range by dragging the chart's markers.
    if (!sensor.isDigital()) {
        connect(chart, SIGNAL(vOnMarkerChanged(const double &)), this,
                SLOT(slotOnMarkerChanged(double)));
        connect(chart, SIGNAL(vOffMarkerChanged(const double &)), this,
                SLOT(slotOffMarkerChanged(double)));
    }
    return chart;
}

void SensorWindow::updateWindowTitle(bool showBaud)
{
    QString title = QString::fromStdString(sensor.name());
    if (!d->firmware.isEmpty() && showBaud)
        title += QStringLiteral(" fw: %1").arg(d->firmware);
    title += QStringLiteral(" (") + d->portBox->currentText();
    if (showBaud && d->connection)
        title += QStringLiteral(" - Baud ")
            + QString::number(d->connection->getPortSettings().baudrate);
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
    insertOfflineEntry(d->portBox, QCoreApplication::translate("SensorWindow", "Offline"));
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
    enableTreeDataHandling(false);
    if (unit) {
        ui->label_2->setText(
            d->enumManager->value(unit) == 0
                ? QCoreApplication::translate("SensorWindow", "Temperature in °C")
                : QCoreApplication::translate("SensorWindow", "Temperature in °F"));
    }
    enableTreeDataHandling(true);
}

void SensorWindow::vOpenManual() { }

void SensorWindow::vSensorUpdate(const QVariant &hideTree)
{
    d->propertyDock->setVisible(!hideTree.toBool());
}

void SensorWindow::vExportChartData() { }

void SensorWindow::vPrintDocument() { }

void SensorWindow::vSetData(const Utils::ValueOverTime &data)
{
    Q_UNUSED(data)
    ui->chartToolbar->setEnabled(true);
}

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
    d->statusChecking = on;
    if (!d->connection)
        return;
    if (on)
        d->statusTimer.start();
    else
        d->statusTimer.stop();
}

void SensorWindow::queryChartData()
{
    queryAnalogStatusData(0);
}

// Nothing reads thresholds back from the sensor: the switching points come with the parameter
// reads, and the "Read Thresholds" action stays hidden and disabled.
bool SensorWindow::refreshThresholds(int output)
{
    Q_UNUSED(output)
    return false;
}

void SensorWindow::outputLEDTriggered1() { }

void SensorWindow::outputLEDTriggered2() { }

void SensorWindow::closeEvent(QCloseEvent *event)
{
    d->statusChecking = false;
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
    d->propertyDock->setWindowTitle(QCoreApplication::translate("SensorWindow", "Property tree"));
    d->propertyDock->toggleViewAction()->setToolTip(d->propertyDock->windowTitle());

    const int portIndex = d->portBox->currentIndex();
    d->portBox->removeItem(0);
    insertOfflineEntry(d->portBox, QCoreApplication::translate("SensorWindow", "Offline"));
    d->portBox->setCurrentIndex(portIndex);

    updateWindowTitle(connected);
    d->language = ExtensionSystem::Globals::getLanguage();

    // Renaming rows and rebuilding enum entries changes values on the way; none of that is an
    // edit to send to the sensor.
    enableTreeDataHandling(false);
    for (const auto &child : sensor.getPropertyTreeGui())
        retranslateDescriptionNode(child.second);
    enableTreeDataHandling(true);

    // The form's texts came back in their first state; the caption follows the "unit" row.
    updateTemperatureCaption();
}

} // namespace Core
} // namespace DrumoSensorPlugin
