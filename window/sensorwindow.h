#pragma once

#include "plugin/sensor.h"

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

class SensorWindowPrivate;
class SensorWindowTester;

// The main window of one opened sensor: the property tree of its parameters in a dock, the
// live chart, the output LEDs, four toolbars, the port box and a status bar.
//
// The order of the signals and slots below is part of the interface: the host and the
// interface object connect to them by signature, and tools look them up by index. New slots
// go to the end. The implementation is split by concern over several files: construction and
// window events (sensorwindow.cpp), the tree (propertytree.cpp), the state file
// (windowstate.cpp), the tree's value slots (treedatahandling.cpp); the sensor operations
// live with the protocol, parameter and file code.
class SensorWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Values 0..2 select the component letters of a threshold write (R/G/B, S, L).
    enum ThresholdType { ThresholdColour = 0, ThresholdSwitching = 1, ThresholdLevel = 2 };
    Q_ENUM(ThresholdType)

    // The window looks up its catalogue record by the sensor's name. `ignored` is accepted for
    // the host's calling convention only: the window has no parent, it becomes the widget of
    // the host's sub-window.
    explicit SensorWindow(const ExtensionSystem::SensorBasic &sensor, QWidget *ignored = nullptr);
    ~SensorWindow() override;

    // Not slots on purpose: they must not change the meta-object table.
    const Sensor &sensorRecord() const { return sensor; }
    ExtensionSystem::CommunicationInterface *connection() const;
    void setConnection(ExtensionSystem::CommunicationInterface *connection);

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

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    friend class SensorWindowTester;

    // Caption above the chart from the "unit" row; the text argument is not used.
    void updateTemperatureCaption(const QString &unused = QString());
    void retranslateWindow();

    // Property tree (propertytree.cpp).
    bool buildPropertyTree(const Sensor &sensor);
    bool addDescriptionNode(const boost::property_tree::ptree &element, QtProperty *parent,
                            bool useDefaults);
    void retranslateDescriptionNode(const boost::property_tree::ptree &element);
    QtProperty *findProperty(QtProperty *parent, const std::string &id) const;
    QList<QtProperty *> allSubProperties(QtProperty *parent) const;
    void setPropertyVisible(const QString &id, bool visible);
    void setExpertMenu(bool on);

    // Window state file (windowstate.cpp).
    void saveWindowState();
    void restoreWindowLayout();
    void loadExpertMenuSetting();
    void loadMeasuredTempSetting();

    // Live chart: the chart in the form's frame, with its scales from the record.
    Utils::SimpleTimeChart *createChart(QWidget *parent);

    // Operations of the parameter and chart code that the window's own paths already call;
    // their bodies come with that code (see pendingoperations.cpp).
    void applyPropertyToSensor(QtProperty *property, const QVariant &value);
    void applyPin2Mode(bool analog);
    void applyTemperatureUnitToChart(bool toFahrenheit);
    void convertDisplayedTemperatures(bool toFahrenheit);
    void showAnalogOutputMode(int mode);

    SensorWindowPrivate *d;
    Ui::SensorWindow *ui;
    QtTreePropertyBrowser *propertyBrowser;
    Sensor sensor;
    bool connected;
    bool deferValueWrites;
    // Status polling and connect sequence.
    int lastPortIndex;
    double currentTemperature;
    double analogOutputSignal;
    bool thresholdDragActive;
    // Live chart: analog output type and the temperatures of its two ends.
    int analogMode;
    int analogScaleLow;
    int analogScaleHigh;
    int missedAnswers;
    bool skipNextDelayedWrite;
    bool measuredTemp;
    QTimer *settingsTimer;
    QTimer delayTimer;
    QtProperty *lastProperty;
    QVariant pendingValue;
    bool expertMenu;
};

} // namespace Core
} // namespace DrumoSensorPlugin
