#pragma once

#include "model/sensor.h"
#include "parameters/sensorview.h"

#include <communicationinterface.h>
#include <valueovertime.h>

#include <QList>
#include <QMainWindow>
#include <QStringList>
#include <QTimer>
#include <QVariant>

#include <boost/property_tree/ptree_fwd.hpp>

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

class SensorSession;
class SensorWindowPrivate;
class SensorWindowTester;

// The main window of one opened sensor: the property tree of its parameters in a dock, the
// live chart, the output LEDs, four toolbars, the port box and a status bar.
//
// The window is the view. Talking to the sensor is the work of its SensorSession (parameters/):
// the sensor-facing members below forward into it, and the session asks the window, as its
// SensorView, for the effects that only a window has (rows, chart, lines, LEDs, questions).
//
// The order of the signals and slots below is part of the interface: the host and the
// interface object connect to them by signature, and tools look them up by index. New slots
// go to the end. The implementation is split by concern: construction and window events
// (sensorwindow.cpp), the tree (propertytree.cpp, treerows.cpp), an edit's way to the sensor
// (treedatahandling.cpp, parameterdispatch.cpp), transactions (transactions.cpp), connecting
// (connectsequence.cpp), the live chart and lines (livechart.cpp, thresholdlines.cpp), the
// settings files (settingsfileactions.cpp), the state file (windowstate.cpp) and the live data
// to a broker (livepublishing.cpp).
class SensorWindow : public QMainWindow, private SensorView
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
    void updateLeds(int states) override;
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
    friend class SensorWindowTester;

    // Construction steps (sensorwindow.cpp), in the order the constructor takes them.
    void createPortBox();
    void createPropertyDock();
    void createSession(const Sensor &sensor);
    void setUpToolbarsAndChart();
    void createThresholdLines();
    void connectActions();
    void createStatusBar();
    void setUpDelayTimer();

    SensorSession &session() const;
    bool isConnected() const;

    // Caption above the chart from the "unit" row; the text argument is not used.
    void updateTemperatureCaption(const QString &unused);
    void updateTemperatureCaption() override { updateTemperatureCaption(QString()); }
    void retranslateWindow();

    // Property tree (propertytree.cpp).
    bool buildPropertyTree(const Sensor &sensor);
    bool addDescriptionNode(const boost::property_tree::ptree &element, QtProperty *parent,
                            bool useDefaults);
    void retranslateDescriptionNode(const boost::property_tree::ptree &element);
    QtProperty *findProperty(QtProperty *parent, const std::string &id) const;
    QList<QtProperty *> allSubProperties(QtProperty *parent) const;
    void setPropertyVisible(const QString &id, bool visible);
    void setExpertMenu(bool on) override;

    // Window state file (windowstate.cpp).
    void saveWindowState();
    void restoreWindowLayout();
    void loadExpertMenuSetting();
    void loadMeasuredTempSetting();

    // Connecting (connectsequence.cpp).
    void connectPcToSensor();
    void connectSensorToPc();
    bool identifyOpenedPort();
    bool identifyWithRetry();
    void connectSucceeded(bool pcToSensor);
    void connectFailed();
    // A message box of the connect sequence (QMessageBox icon and standard buttons); returns
    // the button. An abandoned window shows nothing and answers what changes nothing.
    int showMessage(int icon, const QString &title, const QString &text, int buttons);
    void refreshRightAxis();
    void finishPortChoice();
    bool checkConnection() override;
    bool confirmBaudRateChange() override;
    void showCurrentBaudRate() override;
    void refuseBaudRateChange() override;
    int currentBaudRateIndex() const override;
    void baudRateWritten() override;

    // An edit's way to the sensor (parameterdispatch.cpp).
    void applyPropertyToSensor(QtProperty *property, const QVariant &value);
    bool bFactoryReset();
    // Live data back on (or left off): checking the action restarts it as slotLiveDataToggled.
    void restoreLiveData(bool on);
    bool suspendPolling() override;
    void resumePolling(bool liveData) override;
    void deferWrite() override;
    void applyPin2Mode(bool analog) override;
    void convertDisplayedTemperatures(bool toFahrenheit);

    // Live chart (livechart.cpp).
    Utils::SimpleTimeChart *createChart(QWidget *parent);
    // The session's live polling feeds the chart, the LEDs and the connection check.
    void connectLivePolling();
    // More than 60 polls went unanswered: reconnect, or go offline with a message.
    void checkSilentSensor();
    void refreshAnalogChart() override;
    void showAnalogOutputMode(int mode) override;
    void applyTemperatureUnitToChart(bool toFahrenheit) override;

    // Threshold lines and markers (thresholdlines.cpp).
    void showSwitchingPoint(int output, double value) override;
    void showReadSwitchingPoint(int output, double value) override;
    void setSwitchingPointRow(int output, double value);
    void setThresholdsRange(double low, double high) override;
    void updateUpperMark() override;
    QString thresholdHex(int output, int component) const override;

    SensorWindowPrivate *d;
    Ui::SensorWindow *ui;
    QtTreePropertyBrowser *propertyBrowser;
    // 10 ms single-shot: an edit reaches the sensor once the edits around it have settled.
    QTimer *settingsTimer;
    // 600 ms single-shot: rows typed digit by digit are written once the typing pauses.
    QTimer delayTimer;
    // The row edited last and its value.
    QtProperty *lastProperty;
    QVariant pendingValue;
    // The expert rows are shown.
    bool expertMenu;
};

} // namespace Core
} // namespace DrumoSensorPlugin
