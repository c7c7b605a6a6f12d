#pragma once

#include <QObject>
#include <QString>

class QAction;
class QLabel;
class QToolBar;
class QWidget;

namespace Utils {
class SimpleTimeChart;
class ThresholdDataManager;
class ThresholdWindowWidget;
} // namespace Utils

namespace DrumoSensorPlugin {
namespace Core {

class SensorSession;
class TreeHandling;

// The chart of a sensor window and what is drawn around it: the live samples, the switching
// points as lines over the chart (digital sensors) or the analog output's range as markers
// (the others), the analog output's right axis, the output LEDs and the caption. It is the one
// place that knows the chart's scales per temperature unit.
//
// The store of switching points keeps both in threshold set 1, component 4: output 1 as its
// low value, output 2 as its high value, in the display unit.
class ChartPresenter : public QObject
{
    Q_OBJECT

public:
    // The form's widgets the presenter shows its state in.
    struct Widgets
    {
        QWidget *chartFrame = nullptr;
        QToolBar *chartToolbar = nullptr;
        QAction *output1 = nullptr;
        QAction *output2 = nullptr;
        QLabel *analogCaption = nullptr;
        QLabel *temperatureCaption = nullptr;
    };

    struct Range
    {
        double low;
        double high;
    };

    ChartPresenter(SensorSession &session, TreeHandling &treeHandling, const Widgets &widgets,
                   QObject *parent = nullptr);
    ~ChartPresenter() override;

    Utils::SimpleTimeChart *chart() const { return m_chart; }
    // Null for analog sensors.
    Utils::ThresholdWindowWidget *lines() const { return m_lines; }
    const Utils::ThresholdDataManager *store() const { return m_store; }

    // The chart's temperature scale in a display unit.
    static Range unitRange(bool fahrenheit);
    // The lines' range with pin 2 analog, in a display unit.
    static Range pin2AnalogLineRange(bool fahrenheit);
    // The row of the analog output's low end (the on marker) or high end (the off marker).
    static QString analogEndRow(bool high);

    // The analog sensors' markers become movable and the first poll goes out.
    void startLiveData();
    // The state of a freshly opened window: pin 2 analog, the whole range on the timeline.
    void showInitialState();
    // Before the PC's settings go to the sensor: every temperature fits, whatever the unit.
    void showWholeRange();
    // No samples left; the chart's toolbar waits for the next one.
    void clearHistory();
    // With pin 2 analog, the right axis takes a new scale only after its zoom was toggled.
    void refreshRightAxis();
    void toggleRightAxisZoom();

    void applyPin2Mode(bool analog);
    void refreshAnalogChart();
    void showAnalogOutputMode(int mode);
    void applyTemperatureUnit(bool toFahrenheit);
    void updateTemperatureCaption();

    void showSwitchingPoint(int output, double value);
    void showReadSwitchingPoint(int output, double value);
    // A line dragged by the user: shown and stored at once, then written to the sensor and
    // into its row by the session's dispatcher, which pauses the live data meanwhile.
    void applyDraggedSwitchingPoint(unsigned int index, double value);
    // The stored point of output 1 or 2 into its row; nothing is sent.
    void copyStoredSwitchingPoint(int output);
    void setThresholdsRange(double low, double high);
    // The lines' range after the displayed unit changed: the °C range, widened for °F.
    void showThresholdsInUnit(bool fahrenheit);
    // The upper line is shown exactly while output 2 is a switching output.
    void updateUpperMark();
    QString thresholdHex(int output, int component) const;

    // An LED is lit while its action is enabled: a normally open output (type 0) while its bit
    // is set, any other type while it is clear.
    void updateLeds(int states, bool connected);

private:
    void createChart();
    void createLines();
    void connectLivePolling();
    void showDraggedSwitchingPoint(int output, double value);
    void setSwitchingPointRow(int output, double value);

    SensorSession &m_session;
    TreeHandling &m_treeHandling;
    Widgets m_widgets;
    Utils::SimpleTimeChart *m_chart = nullptr;
    Utils::ThresholdWindowWidget *m_lines = nullptr;
    Utils::ThresholdDataManager *m_store = nullptr;
};

} // namespace Core
} // namespace DrumoSensorPlugin
