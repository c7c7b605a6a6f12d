// The sensor window as built: what depends on the kind of sensor, title, port box, language
// change and the window's own slots.

#include "windowprobe.h"

#include <globals.h>
#include <simpletimechart.h>

#include <QComboBox>
#include <QDockWidget>
#include <QTranslator>
#include <QtTest>

using namespace DrumoSensorPlugin::Core;

class tst_SensorWindow : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void slotTable();
    void kindOfSensor_data();
    void kindOfSensor();
    void title();
    void languageChange();
    void sensorUpdateTogglesTree();

private:
    SensorWindow *makeWindow(const char *name);
    SensorWindow *m_window = nullptr;
    QTranslator *m_translator = nullptr;
};

void tst_SensorWindow::cleanup()
{
    delete m_window;
    m_window = nullptr;
    if (m_translator) {
        QCoreApplication::removeTranslator(m_translator);
        delete m_translator;
        m_translator = nullptr;
    }
    ExtensionSystem::Globals::setLanguage("en");
}

SensorWindow *tst_SensorWindow::makeWindow(const char *name)
{
    m_window = new SensorWindow(catalogueRecord(name));
    return m_window;
}

// The host and the interface object connect by these signatures; the order is the interface.
void tst_SensorWindow::slotTable()
{
    // One line of text, signatures separated by blanks.
    const QStringList expected
        = QString(
              "vAboutToClose() vSendData(QString) "
              "vSendFrame(ExtensionSystem::CommunicationInterface::DataFrame) "
              "vComPortSelected(QString) vDataBufferUpdated() vCommandReceived(QString) "
              "vWCommandReceived(QString) vSendToConnMonitor(QString) vUpdateChart(double) "
              "sendQuery() vOpenManual() vSensorUpdate(QVariant) updateLeds(int) "
              "updateComPortList(QStringList) vPropertyChanged(QtProperty*,QVariant) "
              "readAllProperties() writeAllProperties() vRestoreFactorySettings() "
              "vConnectionControlBoxChanged(int) vExportChartData() vClearHistory() "
              "vExportDocument() vPrintDocument() vSetData(Utils::ValueOverTime) "
              "setWindowActive(bool) vSaveSettings() bOpenSettings(QString) bOpenSettings() "
              "vAutoConnect(QString) slotLiveDataToggled(bool) vLoadSettings() "
              "updateWindowTitle(bool) updateWindowTitle() vConnectToPort(QString) vDisconnect() "
              "enableStatusChecking(bool) vSettingsChanged() removeSubProperties(QtProperty*) "
              "queryAnalogStatusData(uint) queryAnalogStatusData() queryChartData() "
              "setThresholds(int,ThresholdType) bCheckConnection() bConnectToSensor() "
              "intValueChanged(QtProperty*,int) doubleValueChanged(QtProperty*,double) "
              "boolValueChanged(QtProperty*,bool) stringValueChanged(QtProperty*,QString) "
              "enumValueChanged(QtProperty*,int) buttonClicked(QtProperty*) "
              "sendDataFrame(ExtensionSystem::CommunicationInterface::DataFrame*,bool) "
              "sendDataFrame(ExtensionSystem::CommunicationInterface::DataFrame*) "
              "refreshThresholds(int) refreshSwitchingPoints(int) "
              "chartThresholdChanged(uint,double) enableTreeDataHandling(bool) "
              "slotOffMarkerChanged(double) slotOnMarkerChanged(double) sendDelayValue() "
              "outputLEDTriggered1() outputLEDTriggered2() slotPublishLiveDataToggled(bool)")
              .split(' ');
    QCOMPARE(ownSignatures(SensorWindow::staticMetaObject), expected);
}

void tst_SensorWindow::kindOfSensor_data()
{
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<bool>("digital");
    QTest::addColumn<double>("rangeMin");
    QTest::newRow("digital") << "QUX-T40 D" << true << -25.0;
    QTest::newRow("analog") << "QUX-T40 A" << false << 0.0;
}

void tst_SensorWindow::kindOfSensor()
{
    QFETCH(QString, sensor);
    QFETCH(bool, digital);
    QFETCH(double, rangeMin);
    WindowProbe tester(makeWindow(sensor.toUtf8().constData()));
    QCOMPARE(m_window->sensorRecord().isDigital(), digital);
    // Switching outputs: their lines over the chart and their LEDs.
    QCOMPARE(tester.chart().lines() != nullptr, digital);
    QCOMPARE(tester.action("actionOutput_1")->isVisible(), digital); // output 2's: pin 2's layout
    QCOMPARE(tester.session().state().analogLow, rangeMin);
    QCOMPARE(tester.session().state().analogHigh, 350.0);
    // The chart plots the first temperature of the status answer until the window state file
    // or an edit of the row chooses, whatever the row's initial item.
    QCOMPARE(tester.enumIndex("readTemp"), 0);
    QVERIFY(tester.measuredTemp());
    QVERIFY(!tester.expertMenu());
}

void tst_SensorWindow::title()
{
    WindowProbe tester(makeWindow("QUX-T40 D"));
    QCOMPARE(m_window->windowTitle(), QString("QUX-T40 D (Offline)"));
    QCOMPARE(tester.root()->propertyName(), m_window->windowTitle());
    QCOMPARE(tester.widget<QStatusBar>("statusBar")->currentMessage(), m_window->windowTitle());

    // Online titles, with firmware, port and rate, are the connect sequence's test.
    delete m_window;
    WindowProbe unknown(makeWindow("no such sensor"));
    QCOMPARE(m_window->windowTitle(), QString(" (Offline)"));
    // A sensor the catalogue does not know: the root row alone.
    QCOMPARE(unknown.root()->propertyName(), m_window->windowTitle());
    QVERIFY(unknown.all().isEmpty());
    QCOMPARE(unknown.browser()->topLevelItems().size(), 1);
}

void tst_SensorWindow::languageChange()
{
    WindowProbe tester(makeWindow("QUX-T40 D"));
    m_window->updateComPortList({ "ttyS0", "ttyS1" });
    tester.connector().portBox()->setCurrentIndex(3);

    m_translator = new QTranslator;
    QVERIFY(m_translator->load("QUXfamily_de",
                               QCoreApplication::applicationDirPath() + "/translations"));
    ExtensionSystem::Globals::setLanguage("de");
    QCoreApplication::installTranslator(m_translator);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);

    QComboBox *box = tester.connector().portBox();
    QCOMPARE(boxTexts(box), QStringList({ "Offline", "", "ttyS0", "ttyS1" }));
    QCOMPARE(box->currentIndex(), 3);
    QCOMPARE(m_window->windowTitle(), QString("QUX-T40 D (ttyS1)"));
    QCOMPARE(tester.root()->propertyName(), m_window->windowTitle());
    QCOMPARE(tester.dock()->windowTitle(), QString("Eigenschaftsbaum"));
    QCOMPARE(tester.dock()->toggleViewAction()->toolTip(), QString("Eigenschaftsbaum"));
    QCOMPARE(tester.action("actionSave_Settings")->text(), QString("Einstellungen speichern"));
    QCOMPARE(tester.label("temperatureCaption")->text(), QString::fromUtf8("Temperatur in °C"));
    // The rows' texts are the property tree's test.
}

void tst_SensorWindow::sensorUpdateTogglesTree()
{
    WindowProbe tester(makeWindow("QUX-T40 D"));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QDockWidget *dock = tester.dock();
    QVERIFY(dock->isVisible());
    m_window->vSensorUpdate(true);
    QVERIFY(!dock->isVisible());
    m_window->vSensorUpdate(QString("false"));
    QVERIFY(dock->isVisible());
    m_window->vSensorUpdate(1);
    QVERIFY(!dock->isVisible());
    m_window->vSensorUpdate(QVariant());
    QVERIFY(dock->isVisible());

    m_window->vSetData(Utils::ValueOverTime());
    QVERIFY(tester.toolbar("chartToolbar")->isEnabled());
}

QTEST_MAIN(tst_SensorWindow)
#include "tst_sensorwindow.moc"
