// The live chart: its creation, the live polling's samples and LEDs, the analog output's axis and
// the scales after a unit change.

#include "window/sensorwindow.h"

#include "parameters/sensorsession.h"
#include "ui_sensorwindow.h"
#include "window/sensorwindow_p.h"

#include <simpletimechart.h>

#include <QVBoxLayout>

namespace DrumoSensorPlugin {
namespace Core {

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

// Not built yet: the polling's signals reach nothing.
void SensorWindow::connectLivePolling() { }

void SensorWindow::slotLiveDataToggled(bool on)
{
    Q_UNUSED(on)
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
    Q_UNUSED(states)
}

void SensorWindow::vSetData(const Utils::ValueOverTime &data)
{
    Q_UNUSED(data)
    ui->chartToolbar->setEnabled(true);
}

void SensorWindow::refreshAnalogChart() { }

void SensorWindow::showAnalogOutputMode(int mode)
{
    Q_UNUSED(mode)
}

void SensorWindow::applyTemperatureUnitToChart(bool toFahrenheit)
{
    Q_UNUSED(toFahrenheit)
}

} // namespace Core
} // namespace DrumoSensorPlugin
