// The sensor window as built: actions and toolbars, title, port box, language change, the
// window's own slots and its close handling.

#include "sensorwindowtester.h"

#include <connectionstatus.h>
#include <globals.h>
#include <simpletimechart.h>

#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QSignalSpy>
#include <QTranslator>
#include <QtTest>

#include <memory>
#include <vector>

using namespace DrumoSensorPlugin::Core;

namespace {

QStringList actionNames(QToolBar *bar)
{
    QStringList names;
    for (QAction *action : bar->actions())
        names << (action->isSeparator() ? QString("|") : action->objectName());
    return names;
}

} // namespace

class tst_SensorWindow : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void slotTable();
    void toolbars();
    void actionStates_data();
    void actionStates();
    void kindOfSensor_data();
    void kindOfSensor();
    void title();
    void portList();
    void languageChange();
    void sensorUpdateTogglesTree();
    void renderWithExpertRows_data();
    void renderWithExpertRows();

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
              "vComPortSelected(QString) "
              "vDataBufferUpdated() vCommandReceived(QString) vWCommandReceived(QString) "
              "vSendToConnMonitor(QString) vUpdateChart(double) sendQuery() vOpenManual() "
              "vSensorUpdate(QVariant) updateLeds(int) updateComPortList(QStringList) "
              "vPropertyChanged(QtProperty*,QVariant) readAllProperties() writeAllProperties() "
              "vRestoreFactorySettings() vConnectionControlBoxChanged(int) vExportChartData() "
              "vClearHistory() vExportDocument() vPrintDocument() vSetData(Utils::ValueOverTime) "
              "setWindowActive(bool) vSaveSettings() bOpenSettings(QString) bOpenSettings() "
              "vAutoConnect(QString) slotLiveDataToggled(bool) vLoadSettings() "
              "updateWindowTitle(bool) "
              "updateWindowTitle() vConnectToPort(QString) vDisconnect() "
              "enableStatusChecking(bool) "
              "vSettingsChanged() removeSubProperties(QtProperty*) queryAnalogStatusData(uint) "
              "queryAnalogStatusData() queryChartData() setThresholds(int,ThresholdType) "
              "bCheckConnection() bConnectToSensor() intValueChanged(QtProperty*,int) "
              "doubleValueChanged(QtProperty*,double) boolValueChanged(QtProperty*,bool) "
              "stringValueChanged(QtProperty*,QString) enumValueChanged(QtProperty*,int) "
              "buttonClicked(QtProperty*) "
              "sendDataFrame(ExtensionSystem::CommunicationInterface::DataFrame*,bool) "
              "sendDataFrame(ExtensionSystem::CommunicationInterface::DataFrame*) "
              "refreshThresholds(int) refreshSwitchingPoints(int) "
              "chartThresholdChanged(uint,double) "
              "enableTreeDataHandling(bool) slotOffMarkerChanged(double) "
              "slotOnMarkerChanged(double) "
              "sendDelayValue() outputLEDTriggered1() outputLEDTriggered2()")
              .split(' ');
    QCOMPARE(ownSignatures(SensorWindow::staticMetaObject), expected);
}

void tst_SensorWindow::toolbars()
{
    SensorWindowTester tester(makeWindow("QUX-T40 D"));
    Ui::SensorWindow *ui = tester.ui();
    QCOMPARE(actionNames(ui->fileToolBar),
             QStringList({ "actionOpen_Settings", "actionSave_Settings", "|",
                           "actionExportChartData", "" }));
    QCOMPARE(ui->fileToolBar->actions().last(), tester.d()->propertyDock->toggleViewAction());
    QCOMPARE(ui->fileToolBar->actions().last()->toolTip(), QString("Property tree"));
    QCOMPARE(
        actionNames(ui->sensorOperationsToolbar),
        QStringList({ "actionDefaultSettings", "actionEnable_live_data", "actionRead_Thresholds",
                      "actionOutput_1", "actionOutput_2", "actionSwitch_to_FP" }));
    QCOMPARE(actionNames(ui->chartToolbar),
             QStringList(
                 { "actionClear_History", "actionPrint_chart_view", "actionExport_chart_view" }));
    QCOMPARE(ui->connectionToolBar->actions().size(), 1);
    QCOMPARE(ui->connectionToolBar->widgetForAction(ui->connectionToolBar->actions().first()),
             tester.d()->portBox);

    QVERIFY(!ui->sensorOperationsToolbar->isEnabled());
    QVERIFY(!ui->chartToolbar->isEnabled());
    QVERIFY(ui->fileToolBar->isEnabled());
    for (QToolBar *bar : { ui->fileToolBar, ui->sensorOperationsToolbar, ui->chartToolbar,
                           ui->connectionToolBar }) {
        QVERIFY(!bar->isFloatable());
        QCOMPARE(m_window->toolBarArea(bar), Qt::TopToolBarArea);
    }
    QCOMPARE(m_window->minimumSize(), QSize(820, 500));
}

void tst_SensorWindow::actionStates_data()
{
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("checkable");

    for (const char *sensor : { "QUX-T40 D", "QUX-T40 A" }) {
        const bool digital = QByteArray(sensor).endsWith('D');
        auto row = [&](const char *action, bool enabled, bool visible, bool checkable) {
            QTest::addRow("%s %s", sensor, action)
                << sensor << action << enabled << visible << checkable;
        };
        row("actionSave_Settings", true, true, false);
        row("actionOpen_Settings", true, true, false);
        row("actionDefaultSettings", true, true, false);
        row("actionExportChartData", false, false, false);
        row("actionEnable_live_data", true, true, true);
        row("actionRead_Thresholds", false, false, false);
        row("actionOutput_1", false, digital, false);
        // A hidden action is a disabled one as well.
        row("actionSwitch_to_FP", false, false, true);
        row("actionClear_History", true, true, false);
        row("actionPrint_chart_view", false, false, false);
        row("actionExport_chart_view", true, true, false);
        row("actionOutput_3", false, true, false);
        if (!digital)
            row("actionOutput_2", false, false, false);
    }
}

void tst_SensorWindow::actionStates()
{
    QFETCH(QString, sensor);
    QFETCH(QString, action);
    QFETCH(bool, enabled);
    QFETCH(bool, visible);
    QFETCH(bool, checkable);

    makeWindow(sensor.toUtf8().constData());
    auto *found = m_window->findChild<QAction *>(action);
    QVERIFY(found);
    QCOMPARE(found->isEnabled(), enabled);
    QCOMPARE(found->isVisible(), visible);
    QCOMPARE(found->isCheckable(), checkable);
    QVERIFY(!found->icon().isNull());
    QVERIFY(!found->isChecked());
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
    SensorWindowTester tester(makeWindow(sensor.toUtf8().constData()));
    QCOMPARE(m_window->sensorRecord().isDigital(), digital);
    QCOMPARE(tester.d()->thresholdWidget != nullptr, digital);
    QCOMPARE(tester.d()->chart->parentWidget(), tester.ui()->chartFrame);
    QCOMPARE(tester.session().state().analogLow, rangeMin);
    QCOMPARE(tester.session().state().analogHigh, 350.0);
    QVERIFY(!tester.d()->connectionStatus->isConnected());
    QVERIFY(!tester.session().poller().statusChecking());
    // The chart plots what the row "readTemp" names: the object temperature.
    QCOMPARE(tester.enumIndex("readTemp"), 0);
    QVERIFY(!tester.measuredTemp());
    QVERIFY(!tester.expertMenu());
}

void tst_SensorWindow::title()
{
    SensorWindowTester tester(makeWindow("QUX-T40 D"));
    QCOMPARE(m_window->windowTitle(), QString("QUX-T40 D (Offline)"));
    QCOMPARE(tester.root()->propertyName(), m_window->windowTitle());
    QCOMPARE(tester.ui()->statusBar->currentMessage(), m_window->windowTitle());

    FakeConnection connection;
    connection.settings.baudrate = 19200;
    m_window->setConnection(&connection);
    m_window->updateComPortList({ "ttyS7" });
    tester.d()->portBox->setCurrentIndex(2);

    tester.updateWindowTitle(true);
    QCOMPARE(m_window->windowTitle(), QString("QUX-T40 D (ttyS7 - Baud 19200)"));

    tester.d()->firmware = "B";
    tester.updateWindowTitle(true);
    QCOMPARE(m_window->windowTitle(), QString("QUX-T40 D fw: B (ttyS7 - Baud 19200)"));
    QCOMPARE(tester.root()->propertyName(), m_window->windowTitle());

    tester.updateWindowTitle(false);
    QCOMPARE(m_window->windowTitle(), QString("QUX-T40 D (ttyS7)"));
    m_window->setConnection(nullptr);

    delete m_window;
    SensorWindowTester unknown(makeWindow("no such sensor"));
    QCOMPARE(m_window->windowTitle(), QString(" (Offline)"));
}

void tst_SensorWindow::portList()
{
    SensorWindowTester tester(makeWindow("QUX-T40 D"));
    QComboBox *box = tester.d()->portBox;
    QSignalSpy chosen(m_window, SIGNAL(vComPortSelected(const QString &)));
    QCOMPARE(boxTexts(box), QStringList({ "Offline", "" }));
    QCOMPARE(box->currentIndex(), 0);
    QVERIFY(!box->itemData(0).isValid());

    m_window->updateComPortList({ "ttyS0", "ttyUSB1" });
    QCOMPARE(boxTexts(box), QStringList({ "Offline", "", "ttyS0", "ttyUSB1" }));
    QCOMPARE(box->currentIndex(), 0);

    box->setCurrentIndex(3);
    m_window->updateComPortList({ "ttyUSB1", "ttyS0", "ttyUSB2" });
    QCOMPARE(boxTexts(box), QStringList({ "Offline", "", "ttyUSB1", "ttyS0", "ttyUSB2" }));
    QCOMPARE(box->currentText(), QString("ttyUSB1"));

    // The selected port is gone (case counts): nothing is selected.
    m_window->updateComPortList({ "TTYUSB1" });
    QCOMPARE(box->currentIndex(), -1);
    // No selection must not select the separator either.
    m_window->updateComPortList({ "ttyS0" });
    QCOMPARE(box->currentIndex(), -1);
    QCOMPARE(chosen.count(), 0);
}

void tst_SensorWindow::languageChange()
{
    SensorWindowTester tester(makeWindow("QUX-T40 D"));
    m_window->updateComPortList({ "ttyS0", "ttyS1" });
    tester.d()->portBox->setCurrentIndex(3);
    tester.d()->enumManager->setValue(tester.find("laser"), 1);

    m_translator = new QTranslator;
    QVERIFY(m_translator->load("QUXfamily_de",
                               QCoreApplication::applicationDirPath() + "/translations"));
    ExtensionSystem::Globals::setLanguage("de");
    QCoreApplication::installTranslator(m_translator);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);

    QComboBox *box = tester.d()->portBox;
    QCOMPARE(boxTexts(box), QStringList({ "Offline", "", "ttyS0", "ttyS1" }));
    QCOMPARE(box->currentIndex(), 3);
    QCOMPARE(m_window->windowTitle(), QString("QUX-T40 D (ttyS1)"));
    QCOMPARE(tester.d()->propertyDock->windowTitle(), QString("Eigenschaftsbaum"));
    QCOMPARE(tester.d()->propertyDock->toggleViewAction()->toolTip(), QString("Eigenschaftsbaum"));
    QCOMPARE(tester.ui()->actionSave_Settings->text(), QString("Einstellungen speichern"));
    QCOMPARE(tester.ui()->temperatureCaption->text(), QString::fromUtf8("Temperatur in °C"));
    QCOMPARE(tester.find("laser")->propertyName(), QString("Pilotlaser"));
    QCOMPARE(tester.d()->enumManager->enumNames(tester.find("laser")),
             QStringList({ "Aus", "Ein" }));
    QCOMPARE(tester.enumIndex("laser"), 1);
    // The window's messages share the form's context.
    QCOMPARE(QCoreApplication::translate("SensorWindow", "Connecting to sensor..."),
             QString("Verbindung zum Sensor wird hergestellt..."));
    QCOMPARE(QCoreApplication::translate("connectionSwitchingDialog", "Cancel"),
             QString("Abbrechen"));
}

void tst_SensorWindow::sensorUpdateTogglesTree()
{
    SensorWindowTester tester(makeWindow("QUX-T40 D"));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QDockWidget *dock = tester.d()->propertyDock;
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
    QVERIFY(tester.ui()->chartToolbar->isEnabled());
}

void tst_SensorWindow::renderWithExpertRows_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("laserRow");
    QTest::newRow("en") << "en"
                        << "Pilot laser";
    QTest::newRow("de") << "de"
                        << "Pilotlaser";
}

// The window as a user sees it, expert rows shown. With QUX_SCREENSHOT_DIR set, the picture is
// saved there as sensorwindow-<language>.png for a look by eye.
void tst_SensorWindow::renderWithExpertRows()
{
    QFETCH(QString, language);
    QFETCH(QString, laserRow);
    // As the host does: every component's texts of that language.
    const QDir translations(QCoreApplication::applicationDirPath() + "/translations");
    std::vector<std::unique_ptr<QTranslator>> translators;
    for (const QString &file : translations.entryList({ "*_" + language + ".qm" })) {
        translators.push_back(std::make_unique<QTranslator>());
        QVERIFY(translators.back()->load(translations.filePath(file)));
        QCoreApplication::installTranslator(translators.back().get());
    }
    QCOMPARE(translators.empty(), language == "en");
    ExtensionSystem::Globals::setLanguage(language.toStdString());

    SensorWindowTester tester(makeWindow("QUX-T40 D"));
    m_window->updateComPortList({ "ttyS0", "ttyUSB0" });
    m_window->resize(1100, 680);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    tester.d()->enumManager->setValue(tester.find("ExpertMenu"), 1);
    QCoreApplication::processEvents();

    // Which rows an expert sees is the property tree's test; here: texts of the language.
    QVERIFY(tester.rowVisible("laser"));
    QCOMPARE(tester.find("laser")->propertyName(), laserRow);
    QVERIFY(tester.d()->chart->isVisible());

    const QImage image = m_window->grab().toImage();
    QVERIFY(!image.isNull());
    const QString directory = qEnvironmentVariable("QUX_SCREENSHOT_DIR");
    if (!directory.isEmpty())
        QVERIFY(image.save(directory + "/sensorwindow-" + language + ".png"));

    delete m_window;
    m_window = nullptr;
    for (const auto &translator : translators)
        QCoreApplication::removeTranslator(translator.get());
}

QTEST_MAIN(tst_SensorWindow)
#include "tst_sensorwindow.moc"
