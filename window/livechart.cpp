// The live chart: its creation, the live polling's samples and LEDs, the analog output's axis and
// the scales after a unit change.

#include "window/sensorwindow.h"

#include "model/parameterrows.h"
#include "parameters/sensorsession.h"
#include "protocol/temperature.h"
#include "ui_sensorwindow.h"
#include "window/sensorwindow_p.h"
#include "window/windowtexts.h"

#include <simpletimechart.h>
#include <thresholdwindowwidget.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QVBoxLayout>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

const QString lowEndRow = QStringLiteral("0v");
const QString highEndRow = QStringLiteral("10v");

} // namespace

Utils::SimpleTimeChart *SensorWindow::createChart(QWidget *parent)
{
    auto chart = new Utils::SimpleTimeChart(parent);
    auto layout = new QVBoxLayout(parent);
    layout->addWidget(chart);
    chart->setCurrendValuePrecision(2);
    chart->setAllowNegativeValues(true);
    chart->vSetYScale(static_cast<double>(sensorRecord().getChartRangeMin()),
                      static_cast<double>(sensorRecord().getChartRangeMax()));
    // Analog sensors edit the ends of their output range by dragging the chart's markers.
    if (!sensorRecord().isDigital()) {
        connect(chart, SIGNAL(vOnMarkerChanged(const double &)), this,
                SLOT(slotOnMarkerChanged(double)));
        connect(chart, SIGNAL(vOffMarkerChanged(const double &)), this,
                SLOT(slotOffMarkerChanged(double)));
    }
    return chart;
}

// The poller follows the live-data action: its chain ends at the first completion after the
// action was unchecked. This connection is made before the constructor connects the action to
// slotLiveDataToggled, so a poll started there already sees the new state.
void SensorWindow::connectLivePolling()
{
    LivePoller &poller = session().poller();
    connect(ui->actionEnable_live_data, &QAction::toggled, &poller, &LivePoller::setLiveData);
    connect(&poller, &LivePoller::liveDataChanged, ui->actionEnable_live_data,
            &QAction::setChecked);
    connect(&poller, &LivePoller::sampleReady, d->chart, &Utils::SimpleTimeChart::vAppend);
    connect(&poller, &LivePoller::liveAnswerArrived, ui->chartToolbar,
            [this] { ui->chartToolbar->setEnabled(true); });
    connect(&poller, &LivePoller::outputStatesRead, this, &SensorWindow::updateLeds);
    connect(&poller, &LivePoller::sensorSilent, this, &SensorWindow::checkSilentSensor);
}

// More than 60 polls went unanswered: is the sensor still there? If not, the window goes
// offline and says why.
void SensorWindow::checkSilentSensor()
{
    if (bConnectToSensor()) {
        enableStatusChecking(true);
        return;
    }
    d->portBox->setCurrentIndex(0);
    vConnectionControlBoxChanged(0);
    QPointer<SensorWindow> alive(this);
    showMessage(QMessageBox::Critical, WindowTexts::tr("Connecting to sensor..."),
                WindowTexts::tr("The sensor did not respond, please make sure it is properly "
                                "connected to the selected port and try again"),
                QMessageBox::Ok);
    if (alive)
        vDisconnect();
}

void SensorWindow::slotLiveDataToggled(bool on)
{
    // Switching off needs nothing here: the chain of polls ends at the next completion.
    if (!on)
        return;
    if (!sensorRecord().isDigital())
        d->chart->vSetMarkersMoveable(true);
    queryAnalogStatusData(0);
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

// An LED is lit while its action is enabled: a normally open output (type 0) while its bit is
// set, any other type while it is clear.
void SensorWindow::updateLeds(int states)
{
    if (!isConnected()) {
        ui->actionOutput_1->setEnabled(false);
        ui->actionOutput_2->setEnabled(false);
        return;
    }
    const ParameterRows &rows = session().rows();
    const bool inverted1 = rows.enumIndex(QStringLiteral("1type")) != 0;
    const bool inverted2 = rows.enumIndex(QStringLiteral("2type")) != 0;
    ui->actionOutput_1->setEnabled(inverted1 != ((states & 1) != 0));
    ui->actionOutput_2->setEnabled(inverted2 != ((states & 2) != 0));
}

void SensorWindow::vSetData(const Utils::ValueOverTime &data)
{
    Q_UNUSED(data)
    ui->chartToolbar->setEnabled(true);
}

// After the analog output's range or type changed: the right axis, the scale and the signal
// of the following samples, from the rows "0v", "10v" and "2analogoutput" (each when present).
void SensorWindow::refreshAnalogChart()
{
    enableTreeDataHandling(false);
    d->chart->setTimelineScale(-25.0, 660.0);

    const ParameterRows &rows = session().rows();
    const QString typeRow = QStringLiteral("2analogoutput");
    const QString switchingPoint = QStringLiteral("1switchingOn");
    AnalogScale scale = session().poller().analogScale();
    if (rows.contains(lowEndRow))
        scale.low = int(rows.doubleValue(lowEndRow));
    if (rows.contains(highEndRow))
        scale.high = int(rows.doubleValue(highEndRow));
    if (rows.contains(typeRow))
        scale.mode = rows.enumIndex(typeRow);
    session().poller().setAnalogScale(scale);
    if (rows.contains(switchingPoint))
        showSwitchingPoint(1, rows.doubleValue(switchingPoint));

    if (session().io().pin2Analog() == 1) {
        d->chart->vSetYScale(scale.low, scale.high);
        showAnalogOutputMode(rows.contains(typeRow) ? rows.enumIndex(typeRow) : 0);
    }
    // Again: the scale may have moved the line.
    if (rows.contains(switchingPoint))
        showSwitchingPoint(1, rows.doubleValue(switchingPoint));

    d->chart->setBaselineTo(0);
    enableTreeDataHandling(true);
}

// The analog output's units: on the rows of its range ends, the right axis and its caption.
// The signal of the following samples follows the type at once.
void SensorWindow::showAnalogOutputMode(int mode)
{
    ParameterRows &rows = session().rows();
    const bool voltage = mode == 0;
    if (rows.contains(lowEndRow))
        rows.setCaption(lowEndRow, voltage ? WindowTexts::tr("0 volt") : QStringLiteral("4mA"));
    if (rows.contains(highEndRow))
        rows.setCaption(highEndRow, voltage ? WindowTexts::tr("10 volt") : QStringLiteral("20mA"));
    if (voltage)
        d->chart->setYRightAxisScale(0.0, 10.0, 2.0);
    else
        d->chart->setYRightAxisScale(4.0, 20.0, 2.0);
    ui->analogCaption->setText(voltage ? WindowTexts::tr("Voltage (V)")
                                       : WindowTexts::tr("Current (mA)"));

    AnalogScale scale = session().poller().analogScale();
    scale.mode = mode;
    session().poller().setAnalogScale(scale);
}

// The chart's scales after the display unit changed. With pin 2 switching, the fixed ranges of
// the unit; with pin 2 analog, the current scale converted (the upper line has no meaning then).
void SensorWindow::applyTemperatureUnitToChart(bool toFahrenheit)
{
    const bool fahrenheit = session().io().unitIndex() != 0;
    const double low = fahrenheit ? -60.0 : -50.0;
    const double high = fahrenheit ? 700.0 : 400.0;
    d->chart->setTimelineScale(-50.0, 700.0);

    if (session().io().pin2Analog() == 0) {
        d->chart->vSetYScale(low, high);
        setThresholdsRange(low, high);
        d->chart->setBaselineTo(0);
        return;
    }
    enableTreeDataHandling(false);
    d->chart->vSetYScale(convertTemperature(d->chart->getYMin(), toFahrenheit),
                         convertTemperature(d->chart->getYMax(), toFahrenheit));
    setThresholdsRange(low, high);
    if (d->thresholdWidget)
        d->thresholdWidget->enableUpperMark(false);
    d->chart->setBaselineTo(0);
    enableTreeDataHandling(true);
}

} // namespace Core
} // namespace DrumoSensorPlugin
