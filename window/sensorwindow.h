#pragma once

#include "model/sensor.h"
#include "parameters/sensorview.h"
#include "window/connectcontroller.h"

#include <communicationinterface.h>
#include <valueovertime.h>

#include <QList>
#include <QMainWindow>
#include <QStringList>
#include <QTimer>
#include <QVariant>

#include <string>

class QtProperty;
class QtTreePropertyBrowser;

namespace Utils {
class SimpleTimeChart;
}

namespace Ui {
class SensorWindow;
}

namespace DrumoSensorPlugin {
namespace Core {

class ChartPresenter;
class LivePublishing;
class PropertyTree;
class SensorSession;
class SensorWindowPrivate;
class TreeHandling;

// The main window of one opened sensor: the property tree of its parameters in a dock, the
// live chart, the output LEDs, four toolbars, the port box and a status bar.
//
// The window is the view. Talking to the sensor is the work of its SensorSession (parameters/):
// the sensor-facing members below forward into it; the session's events reach the window's
// effects (chart, lines, LEDs), and the session asks the window, as its SensorView, only what a
// user decides.
//
// The order of the signals and slots below is part of the interface: the host and the
// interface object connect to them by signature, and tools look them up by index. New slots
// go to the end. The work is done by collaborators the slots forward to: ConnectController
// (connecting), ChartPresenter (chart, lines, LEDs), TreeHandling (edits from the tree),
// PendingEdit (an edit's way to the sensor in time), FactoryReset (restoring factory settings),
// EditEffects (what an edit changes in the view at once),
// SettingsFileActions (settings files, chart export), LivePublishing (live data to a broker).
class SensorWindow : public QMainWindow, private SensorView, public ConnectView
{
    Q_OBJECT

public:
    // Values 0..2 select the component letters of a threshold write (R/G/B, S, L).
    enum ThresholdType { ThresholdColour = 0, ThresholdSwitching = 1, ThresholdLevel = 2 };
    Q_ENUM(ThresholdType)

    // The window of the sensor type `sensor`, its catalogue record. `ignored` is accepted for
    // the host's calling convention only: the window has no parent, it becomes the widget of
    // the host's sub-window.
    explicit SensorWindow(const Sensor &sensor, QWidget *ignored = nullptr);
    ~SensorWindow() override;

    // Not slots on purpose: they must not change the meta-object table.
    const Sensor &sensorRecord() const;
    ExtensionSystem::CommunicationInterface *connection() const;
    void setConnection(ExtensionSystem::CommunicationInterface *connection);
    // True while the window waits in a nested event loop of its own (a transaction, a question,
    // a dialog): code up the stack still works in it, so it must not be deleted now. abandon()
    // tells it that its owner let go meanwhile: it closes its dialogs, finishes without a line
    // and without asking or telling anything, and deletes itself once its last wait is over.
    bool isWaiting() const;
    void abandon();

    // The collaborators, for code that drives one of them directly (tests, tools). The window
    // owns them; they live as long as it does.
    SensorSession &session() const;
    PropertyTree &propertyTree() const;
    ChartPresenter &chartPresenter() const;
    ConnectController &connectController() const;
    TreeHandling &treeHandling() const;
    LivePublishing &livePublishing() const;
    // True while the expert rows are shown.
    bool expertRowsShown() const;
    // True while an edit waits for the edits around it to settle before it is written.
    bool editPending() const;
    // True while a row typed digit by digit waits for the typing to pause.
    bool typedEditPending() const;
    // The row edited last (from the tree or a dragged line), or null.
    QtProperty *lastEditedRow() const;

signals:
    void vAboutToClose();
    void vSendData(const QString &text);
    void vSendFrame(ExtensionSystem::CommunicationInterface::DataFrame frame);
    void vComPortSelected(const QString &port);
    void vDataBufferUpdated();
    void vCommandReceived(const QString &command);
    void vWCommandReceived(const QString &command);
    void vSendToConnMonitor(const QString &text);
    void vUpdateChart(double value);
    void sendQuery();

public slots:
    void vOpenManual();
    void vSensorUpdate(const QVariant &hideTree);
    void updateLeds(int states);
    void updateComPortList(const QStringList &ports);
    void vPropertyChanged(QtProperty *property, const QVariant &value);
    void readAllProperties();
    void writeAllProperties();
    void vRestoreFactorySettings();
    void vConnectionControlBoxChanged(int index);
    void vExportChartData();
    void vClearHistory();
    void vExportDocument();
    void vPrintDocument();
    void vSetData(const Utils::ValueOverTime &data);
    void setWindowActive(bool active);
    void vSaveSettings();
    bool bOpenSettings(const QString &fileName = QString());
    void vAutoConnect(const QString &ComPort);

protected slots:
    void slotLiveDataToggled(bool on);
    void vLoadSettings();
    void updateWindowTitle(bool showBaud = false);
    void vConnectToPort(const QString &port);
    void vDisconnect();
    void enableStatusChecking(bool on);
    void vSettingsChanged();
    void removeSubProperties(QtProperty *property);
    void queryAnalogStatusData(unsigned int index = 0);
    void queryChartData();
    bool setThresholds(int output, ThresholdType type);
    bool bCheckConnection();
    bool bConnectToSensor();
    void intValueChanged(QtProperty *property, int value);
    void doubleValueChanged(QtProperty *property, double value);
    void boolValueChanged(QtProperty *property, bool value);
    void stringValueChanged(QtProperty *property, const QString &value);
    void enumValueChanged(QtProperty *property, int value);
    void buttonClicked(QtProperty *property);
    void sendDataFrame(ExtensionSystem::CommunicationInterface::DataFrame *frame,
                       bool showUi = true);
    bool refreshThresholds(int output);
    void refreshSwitchingPoints(int output);
    void chartThresholdChanged(unsigned int index, double value);
    void enableTreeDataHandling(bool on);
    void slotOffMarkerChanged(double value);
    void slotOnMarkerChanged(double value);
    void sendDelayValue();
    void outputLEDTriggered1();
    void outputLEDTriggered2();
    // "Publish live data" checked or unchecked (livepublishing.h).
    void slotPublishLiveDataToggled(bool on);

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Construction steps, in the order the constructor takes them.
    void createPropertyDock();
    void createSession(const Sensor &sensor);
    void createCollaborators();
    void setUpToolbarsAndChart();
    void connectChart();
    void connectActions();
    void createStatusBar();

    bool isConnected() const;

    // Caption above the chart from the "unit" row; the text argument is not used.
    void updateTemperatureCaption(const QString &unused);
    void retranslateWindow();

    bool buildPropertyTree(const Sensor &sensor);

    // The connect sequence's questions and the window's settings around a connection.
    int showMessage(int icon, const QString &title, const QString &text, int buttons) override;
    int askConnectDirection() override;
    void saveWindowState() override;
    void loadExpertMenuSetting() override;
    void loadMeasuredTempSetting() override;
    void setEditsReachSensor(bool on) override;
    void restoreWindowLayout();

    // One reset command, for the factory reset's attempts.
    bool bFactoryReset();

    // The session's events, handed on to the collaborators.
    void applyPin2Mode(bool analog);
    void updateTemperatureCaption() { updateTemperatureCaption(QString()); }
    void applyTemperatureUnitToChart(bool toFahrenheit);
    void showAnalogOutputMode(int mode);
    void showSwitchingPoint(int output, double value);
    void showReadSwitchingPoint(int output, double value);
    void showThresholdsInUnit(bool fahrenheit);
    void refreshAnalogChart();
    void updateUpperMark();
    QString thresholdHex(int output, int component) const;
    void setExpertMenu(bool on);

    // What the session asks the user, as its view.
    bool checkConnection() override;
    bool confirmBaudRateChange() override;
    void refuseBaudRateChange() override;
    void baudRateWritten() override;

    SensorWindowPrivate *d;
    Ui::SensorWindow *ui;
    QtTreePropertyBrowser *propertyBrowser;
    // The expert rows are shown.
    bool expertMenu;
};

} // namespace Core
} // namespace DrumoSensorPlugin
