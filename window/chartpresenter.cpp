#include "window/chartpresenter.h"

#include "model/parameterrows.h"
#include "parameters/parametertable.h"
#include "parameters/sensorsession.h"
#include "protocol/temperature.h"
#include "window/treehandling.h"
#include "window/windowtexts.h"

#include <simpletimechart.h>
#include <thresholddatamanager.h>
#include <thresholdwindowwidget.h>

#include <QAction>
#include <QDebug>
#include <QLabel>
#include <QToolBar>
#include <QVBoxLayout>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

constexpr int switchingSet = 1;
constexpr int switchingComponent = 4;

QString switchingPointRow(int output)
{
    return QString::asprintf("%.1dswitchingOn", output);
}

} // namespace

ChartPresenter::ChartPresenter(SensorSession &session, TreeHandling &treeHandling,
                               const Widgets &widgets, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_treeHandling(treeHandling)
    , m_widgets(widgets)
{
    createChart();
    connectLivePolling();
    createLines();
}

// The lines belong to the chart's plot: they go before it.
ChartPresenter::~ChartPresenter()
{
    delete m_lines;
    delete m_chart;
    delete m_store;
}

ChartPresenter::Range ChartPresenter::unitRange(bool fahrenheit)
{
    return fahrenheit ? Range { -60.0, 700.0 } : Range { -50.0, 400.0 };
}

ChartPresenter::Range ChartPresenter::pin2AnalogLineRange(bool fahrenheit)
{
    return fahrenheit ? Range { -13.0, 662.0 } : Range { -50.0, 400.0 };
}

void ChartPresenter::createChart()
{
    const Sensor &record = m_session.sensor();
    m_chart = new Utils::SimpleTimeChart(m_widgets.chartFrame);
    auto layout = new QVBoxLayout(m_widgets.chartFrame);
    layout->addWidget(m_chart);
    m_chart->setCurrendValuePrecision(2);
    m_chart->setAllowNegativeValues(true);
    m_chart->vSetYScale(static_cast<double>(record.getChartRangeMin()),
                        static_cast<double>(record.getChartRangeMax()));
}

void ChartPresenter::connectLivePolling()
{
    LivePoller &poller = m_session.poller();
    connect(&poller, &LivePoller::sampleReady, m_chart, &Utils::SimpleTimeChart::vAppend);
    QToolBar *toolbar = m_widgets.chartToolbar;
    connect(&poller, &LivePoller::liveAnswerArrived, toolbar,
            [toolbar] { toolbar->setEnabled(true); });
}

// Digital sensors show their switching points as lines over the chart; the others show the two
// ends of their analog output as markers.
void ChartPresenter::createLines()
{
    m_store = new Utils::ThresholdDataManager;
    m_store->setOutputs(2);

    const Sensor &record = m_session.sensor();
    const SessionState &state = m_session.state();
    if (!record.isDigital()) {
        m_chart->setOnMarkerRange(record.getChartRangeMin(), record.getChartRangeMax());
        m_chart->setOffMarkerRange(record.getChartRangeMin(), record.getChartRangeMax());
        m_chart->vSetOnMarker(state.analogLow);
        m_chart->vSetOffMarker(state.analogHigh);
        return;
    }
    m_lines = new Utils::ThresholdWindowWidget(m_chart->poPlot(), -1);
    m_lines->allowOverlapping(record.getThresholdsOverlapping());
    m_lines->setReadOnly(record.getThresholdsReadOnly());
    m_lines->formatText(true);
    m_lines->setWindowSizeVisible(false);
}

void ChartPresenter::startLiveData()
{
    if (!m_session.sensor().isDigital())
        m_chart->vSetMarkersMoveable(true);
    m_session.poller().poll();
}

void ChartPresenter::showInitialState()
{
    m_chart->setYRightAxisScale(0.0, 10.0, 2.0);
    m_chart->setMaxPanOffset(500);
    m_chart->setTimelineScale(-60.0, 700.0);
}

void ChartPresenter::clearHistory()
{
    m_chart->clear();
    m_widgets.chartToolbar->setEnabled(false);
}

void ChartPresenter::showWholeRange()
{
    const Range whole = unitRange(true);
    if (m_lines)
        m_lines->setWindowSizeVisible(false);
    m_chart->setTimelineScale(whole.low, whole.high);
    m_chart->vSetYScale(whole.low, whole.high);
    if (m_lines)
        m_lines->setThresholdsRange(whole.low, whole.high);
    m_chart->setBaselineTo(0);
}

QString ChartPresenter::analogEndRow(bool high)
{
    return analogEndParameter(high).rowId();
}

void ChartPresenter::showThresholdsInUnit(bool fahrenheit)
{
    const Range celsius = unitRange(false);
    setThresholdsRange(celsius.low, celsius.high);
    if (fahrenheit) {
        const Range wide = unitRange(true);
        setThresholdsRange(wide.low, wide.high);
    }
}

void ChartPresenter::refreshRightAxis()
{
    TreeHandlingGuard quiet(m_treeHandling);
    if (m_session.io().pin2Analog() == 1)
        toggleRightAxisZoom();
}

void ChartPresenter::toggleRightAxisZoom()
{
    m_chart->setZoomingRightAxes(false);
    m_chart->setZoomingRightAxes(true);
    m_chart->setZoomingRightAxes(false);
}

// Pin 2 is either output 2 (its LED, the upper threshold line) or the analog output (the right
// axis with the output's signal).
void ChartPresenter::applyPin2Mode(bool analog)
{
    m_widgets.output2->setVisible(!analog);
    m_widgets.analogCaption->setVisible(analog);

    m_chart->vEnableYRightAxis(analog);
    m_chart->setTimelineScale(-25.0, 660.0);
    if (analog) {
        if (m_lines)
            m_lines->enableUpperMark(false);
        m_chart->setCustomSignal(true);
        refreshAnalogChart();
    } else {
        m_chart->setCustomSignal(false);
        const bool fahrenheit = m_session.io().unitIndex() == 1;
        const Range scale = unitRange(fahrenheit);
        m_chart->vSetYScale(scale.low, scale.high);
        const Range lines = pin2AnalogLineRange(fahrenheit);
        if (m_lines)
            m_lines->setThresholdsRange(lines.low, lines.high);
    }
    m_chart->setBaselineTo(0);
}

// After the analog output's range or type changed: the right axis, the scale and the signal
// of the following samples, from the rows of the range's ends and pin 2's signal type (each when
// present).
void ChartPresenter::refreshAnalogChart()
{
    TreeHandlingGuard quiet(m_treeHandling);
    const QString lowEndRow = analogEndRow(false);
    const QString highEndRow = analogEndRow(true);
    const QString analogTypeRow = pin2SignalParameter().rowId();
    m_chart->setTimelineScale(-25.0, 660.0);

    const ParameterRows &rows = m_session.rows();
    const QString switchingPoint = switchingPointRow(1);
    AnalogScale scale = m_session.poller().analogScale();
    if (rows.contains(lowEndRow))
        scale.low = int(rows.doubleValue(lowEndRow));
    if (rows.contains(highEndRow))
        scale.high = int(rows.doubleValue(highEndRow));
    if (rows.contains(analogTypeRow))
        scale.mode = rows.enumIndex(analogTypeRow);
    m_session.poller().setAnalogScale(scale);
    if (rows.contains(switchingPoint))
        showSwitchingPoint(1, rows.doubleValue(switchingPoint));

    if (m_session.io().pin2Analog() == 1) {
        m_chart->vSetYScale(scale.low, scale.high);
        showAnalogOutputMode(rows.contains(analogTypeRow) ? rows.enumIndex(analogTypeRow) : 0);
    }
    // Again: the scale may have moved the line.
    if (rows.contains(switchingPoint))
        showSwitchingPoint(1, rows.doubleValue(switchingPoint));

    m_chart->setBaselineTo(0);
}

// The analog output's units: on the rows of its range ends, the right axis and its caption.
// The signal of the following samples follows the type at once.
void ChartPresenter::showAnalogOutputMode(int mode)
{
    ParameterRows &rows = m_session.rows();
    const QString lowEndRow = analogEndRow(false);
    const QString highEndRow = analogEndRow(true);
    const bool voltage = mode == 0;
    if (rows.contains(lowEndRow))
        rows.setCaption(lowEndRow, voltage ? WindowTexts::tr("0 volt") : QStringLiteral("4mA"));
    if (rows.contains(highEndRow))
        rows.setCaption(highEndRow, voltage ? WindowTexts::tr("10 volt") : QStringLiteral("20mA"));
    if (voltage)
        m_chart->setYRightAxisScale(0.0, 10.0, 2.0);
    else
        m_chart->setYRightAxisScale(4.0, 20.0, 2.0);
    m_widgets.analogCaption->setText(voltage ? WindowTexts::tr("Voltage (V)")
                                             : WindowTexts::tr("Current (mA)"));

    AnalogScale scale = m_session.poller().analogScale();
    scale.mode = mode;
    m_session.poller().setAnalogScale(scale);
}

// The chart's scales after the display unit changed. With pin 2 switching, the fixed ranges of
// the unit; with pin 2 analog, the current scale converted (the upper line has no meaning then).
void ChartPresenter::applyTemperatureUnit(bool toFahrenheit)
{
    const Range range = unitRange(m_session.io().unitIndex() != 0);
    m_chart->setTimelineScale(-50.0, 700.0);

    if (m_session.io().pin2Analog() == 0) {
        m_chart->vSetYScale(range.low, range.high);
        setThresholdsRange(range.low, range.high);
        m_chart->setBaselineTo(0);
        return;
    }
    TreeHandlingGuard quiet(m_treeHandling);
    m_chart->vSetYScale(convertTemperature(m_chart->getYMin(), toFahrenheit),
                        convertTemperature(m_chart->getYMax(), toFahrenheit));
    setThresholdsRange(range.low, range.high);
    if (m_lines)
        m_lines->enableUpperMark(false);
    m_chart->setBaselineTo(0);
}

// The caption above the chart follows the unit's row.
void ChartPresenter::updateTemperatureCaption()
{
    const QString unit = parameterWith(UnitDisplay).rowId();
    if (!m_session.rows().contains(unit))
        return;
    m_widgets.temperatureCaption->setText(m_session.rows().enumIndex(unit) == 0
                                              ? WindowTexts::tr("Temperature in °C")
                                              : WindowTexts::tr("Temperature in °F"));
}

// After a read, a row edit that was written or a unit conversion. Output 2 has a line only while
// pin 2 is a switching output.
void ChartPresenter::showSwitchingPoint(int output, double value)
{
    if (output == 2 && m_session.io().pin2Analog() != 0)
        return;
    if (output == 1 || output == 2)
        showReadSwitchingPoint(output, value);
}

// A switching point as the sensor reported it: onto its line whatever pin 2 does, limited to
// the display unit's range.
void ChartPresenter::showReadSwitchingPoint(int output, double value)
{
    value = displayLimits(m_session.io().unitIndex() == 1).bounded(value);
    if (output == 1) {
        m_store->setLow(switchingSet, switchingComponent, value, true, true);
        if (m_lines) {
            m_lines->setLowerMark(value);
            m_lines->setLowerMarkerValue(value, WindowTexts::tr("A1: "));
            m_lines->enableLowerMark(true);
        }
    } else if (output == 2) {
        m_store->setHigh(switchingSet, switchingComponent, value, true, true);
        if (m_lines) {
            m_lines->setUpperMark(value);
            m_lines->setUpperMarkerValue(value, WindowTexts::tr("A2: "));
            m_lines->enableUpperMark(true);
        }
    }
    if (m_lines)
        m_lines->setWindowSizeVisible(false);
}

// Every transaction of the write runs a nested event loop, so the status checking rests; a
// write that fails five times leaves line and row at the dragged value (the next read of all
// parameters puts the sensor's value back).
void ChartPresenter::applyDraggedSwitchingPoint(unsigned int index, double value)
{
    TreeHandlingGuard quiet(m_treeHandling);
    value = displayLimits(m_session.io().unitIndex() == 1).bounded(value);
    const int output = index != 0 ? 2 : 1;
    showDraggedSwitchingPoint(output, value);
    m_session.dispatcher().writeDraggedPoint(output, value);
}

// The dragged line's label and the store follow the drag at once.
void ChartPresenter::showDraggedSwitchingPoint(int output, double value)
{
    if (m_lines) {
        m_lines->setWindowSizeVisible(false);
        if (output == 2) {
            m_lines->enableUpperMark(true);
            m_lines->setUpperMark(value);
            m_lines->setUpperMarkerValue(value, WindowTexts::tr("A2: "));
        } else {
            m_lines->enableLowerMark(true);
            m_lines->setLowerMark(value);
            m_lines->setLowerMarkerValue(value, WindowTexts::tr("A1: "));
        }
    }
    if (output == 2)
        m_store->setHigh(switchingSet, switchingComponent, value, true, true);
    else
        m_store->setLow(switchingSet, switchingComponent, value, true, true);
}

// Output 2's point is read where it is stored, as the high value of the set.
void ChartPresenter::copyStoredSwitchingPoint(int output)
{
    if (output == 1)
        setSwitchingPointRow(output, m_store->low(switchingSet, switchingComponent));
    else if (output == 2)
        setSwitchingPointRow(output, m_store->high(switchingSet, switchingComponent));
}

// The row of a switching point, from the sensor's side: nothing is sent.
void ChartPresenter::setSwitchingPointRow(int output, double value)
{
    m_session.rows().setValue(switchingPointRow(output), value);
}

void ChartPresenter::setThresholdsRange(double low, double high)
{
    if (m_lines)
        m_lines->setThresholdsRange(low, high);
}

void ChartPresenter::updateUpperMark()
{
    if (m_lines)
        m_lines->enableUpperMark(m_widgets.output2->isVisible());
}

QString ChartPresenter::thresholdHex(int output, int component) const
{
    return m_store->toHexString(output, component);
}

void ChartPresenter::updateLeds(int states, bool connected)
{
    if (!connected) {
        m_widgets.output1->setEnabled(false);
        m_widgets.output2->setEnabled(false);
        return;
    }
    const ParameterRows &rows = m_session.rows();
    // An output of the inverted type ("normally closed") lights while its bit is clear.
    const auto inverted = [&rows](int output) {
        const ParameterDefinition *type = parameterWrittenBy(Command::WriteType, output);
        return type && rows.enumIndex(type->rowId()) != 0;
    };
    const bool inverted1 = inverted(1);
    const bool inverted2 = inverted(2);
    m_widgets.output1->setEnabled(inverted1 != ((states & 1) != 0));
    m_widgets.output2->setEnabled(inverted2 != ((states & 2) != 0));
}

} // namespace Core
} // namespace DrumoSensorPlugin
