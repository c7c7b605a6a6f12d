// The sensor window as the host has it, behind its interface object: the slot tables, what
// depends on the kind of sensor, title, language change, port choice and port lists with the
// host's connection manager, the forwarding of the host's calls, and the end (close and
// destruction, also while the window shows a dialog).

#include "../common/modalanswerer.h"
#include "plugin/sensorinterface.h"
#include "windowprobe.h"

#include <communicationinterface.h>
#include <connectionmanager.h>
#include <globals.h>
#include <simpletimechart.h>

#include <QComboBox>
#include <QDockWidget>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSignalSpy>
#include <QTranslator>
#include <QtTest>

using namespace DrumoSensorPlugin::Core;
using ExtensionSystem::ConnectionManager;
Q_DECLARE_METATYPE(const QMetaObject *)

class tst_SensorWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void slotTable_data();
    void slotTable();
    void kindOfSensor_data();
    void kindOfSensor();
    void title();
    void languageChange();
    void sensorUpdateTogglesTree();
    void portSelection();
    void portList();
    void sendDataBytes();
    void closeReleasesThePort_data();
    void closeReleasesThePort();
    void destructionUnregistersAndDeletesWindow();
    void closedWhileDialogOpen_data();
    void closedWhileDialogOpen();

private:
    SensorWindow *makeWindow(const char *name);
    void choose(const QString &port);

    FakePorts m_ports;
    QMdiSubWindow *m_subWindow = nullptr;
    SensorInterface *m_interface = nullptr;
    SensorWindow *m_window = nullptr;
    QTranslator *m_translator = nullptr;
};

void tst_SensorWindow::initTestCase()
{
    qRegisterMetaType<ExtensionSystem::PluginInterface *>();
}

void tst_SensorWindow::init()
{
    m_ports.opened.clear();
    m_ports.connections.clear();
    ExtensionSystem::SensorBasic sensor;
    sensor.setName("QUX-T40 D");
    m_subWindow = new QMdiSubWindow;
    m_interface = new SensorInterface(&sensor, m_subWindow);
}

void tst_SensorWindow::cleanup()
{
    delete m_interface;
    m_interface = nullptr;
    delete m_subWindow;
    m_subWindow = nullptr;
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
    m_window = new SensorWindow(findSensorInCatalogue(name));
    return m_window;
}

// The window chooses ports through its signal, as the connect sequence does.
void tst_SensorWindow::choose(const QString &port)
{
    QVERIFY(QMetaObject::invokeMethod(m_interface->sensorWindow(), "vConnectToPort",
                                      Q_ARG(QString, port)));
}

void tst_SensorWindow::slotTable_data()
{
    QTest::addColumn<const QMetaObject *>("meta");
    QTest::addColumn<QString>("signatures"); // separated by blanks
    QTest::newRow("window")
        << &SensorWindow::staticMetaObject
        << QString(
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
               "outputLEDTriggered1() outputLEDTriggered2() slotPublishLiveDataToggled(bool)");
    QTest::newRow("interface object")
        << &SensorInterface::staticMetaObject
        << QString(
               "vComPortListChanged() vComPortChanged(QString) vUpdate(QVariant) "
               "vSendDataBytes(QString) "
               "vReceivedData(QString) vAvailablePortsUpdated(QStringList) vActionOpen(QString) "
               "vActionExport(QString) vActionExit(QString) setWindowActive(bool) vAboutToClose() "
               "vAutoConnect(QString) setSensorName(QString) getSensorName() "
               "receivedData(std::string)");
}

// The host and the interface object connect by these signatures; the order is the interface.
void tst_SensorWindow::slotTable()
{
    QFETCH(const QMetaObject *, meta);
    QFETCH(QString, signatures);
    QCOMPARE(ownSignatures(*meta), signatures.split(' '));
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
    QVERIFY(m_window->propertyTree().allRows().isEmpty());
    QCOMPARE(unknown.browser()->topLevelItems().size(), 1);
}

void tst_SensorWindow::languageChange()
{
    SensorWindow *window = m_interface->sensorWindow();
    WindowProbe tester(window);
    window->updateComPortList({ "ttyS0", "ttyS1" });
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
    QCOMPARE(window->windowTitle(), QString("QUX-T40 D (ttyS1)"));
    QCOMPARE(tester.root()->propertyName(), window->windowTitle());
    QCOMPARE(tester.dock()->windowTitle(), QString("Eigenschaftsbaum"));
    QCOMPARE(tester.dock()->toggleViewAction()->toolTip(), QString("Eigenschaftsbaum"));
    QCOMPARE(tester.action("actionSave_Settings")->text(), QString("Einstellungen speichern"));
    QCOMPARE(tester.label("temperatureCaption")->text(), QString::fromUtf8("Temperatur in °C"));
    // The rows' texts are the property tree's test.
}

// The host's updates hide the tree for a true value of any type and show it otherwise.
void tst_SensorWindow::sensorUpdateTogglesTree()
{
    SensorWindow *window = m_interface->sensorWindow();
    m_subWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_subWindow));
    QDockWidget *dock = WindowProbe(window).dock();
    QVERIFY(dock->isVisible());
    for (const QVariant &value : { QVariant(true), QVariant("false"), QVariant(1), QVariant() }) {
        m_interface->vUpdate(value);
        QCOMPARE(dock->isVisible(), !value.toBool());
    }
    window->vSetData(Utils::ValueOverTime());
    QVERIFY(WindowProbe(window).toolbar("chartToolbar")->isEnabled());
}

void tst_SensorWindow::portSelection()
{
    SensorWindow *window = m_interface->sensorWindow();
    QCOMPARE(m_subWindow->widget(), window);
    QCOMPARE(window->sensorRecord().name(), std::string("QUX-T40 D"));
    QVERIFY(!window->connection());

    choose("ttyA");
    QCOMPARE(m_ports.opened.size(), 1);
    // The record's first rate and its delays.
    QCOMPARE(m_ports.opened.first().portName, QString("ttyA"));
    QCOMPARE(m_ports.opened.first().baudrate, 38400);
    QCOMPARE(m_ports.opened.first().characterDelay, 1);
    QCOMPARE(m_ports.opened.first().lineDelay, 150);
    QCOMPARE(m_ports.opened.first().baudrateStep, 0);
    QVERIFY(m_interface->isConnected());
    QCOMPARE(window->connection(), m_ports.last());
    QCOMPARE(ConnectionManager::instance()->heldPorts(), QStringList("ttyA"));

    // The same port again: neither released nor opened anew.
    QPointer<FakeConnection> first = m_ports.last();
    choose("ttyA");
    QCOMPARE(m_ports.opened.size(), 1);
    QVERIFY(first);

    // Another port while connected: the first one is released.
    choose("ttyB");
    QCOMPARE(m_ports.opened.size(), 2);
    QVERIFY(m_ports.last() != first);
    QCOMPARE(ConnectionManager::instance()->heldPorts(), QStringList("ttyB"));
    QCOMPARE(window->connection(), m_ports.last());
    QCOMPARE(m_interface->currentPortSettings().portName, QString("ttyB"));

    // No port: released, and the window forgets the connection.
    choose(QString());
    QVERIFY(!m_interface->isConnected());
    QVERIFY(!window->connection());
    QVERIFY(ConnectionManager::instance()->heldPorts().isEmpty());
    QVERIFY(m_interface->currentPortSettings().portName.isEmpty());

    // A refused port, and choosing it again, are the connect sequence's tests.
}

// The host's port lists refill the window's port box: the chosen port stays selected where it
// is still listed (case counts), never the separator; the port in use stays listed, and the
// window's choices reach the interface again afterwards.
void tst_SensorWindow::portList()
{
    SensorWindow *window = m_interface->sensorWindow();
    QComboBox *box = WindowProbe(window).connector().portBox();
    QSignalSpy chosen(window, SIGNAL(vComPortSelected(const QString &)));
    QCOMPARE(boxTexts(box), QStringList({ "Offline", "" }));
    QVERIFY(!box->itemData(0).isValid());
    m_interface->vAvailablePortsUpdated({ "ttyS0", "ttyUSB1" });
    QCOMPARE(boxTexts(box), QStringList({ "Offline", "", "ttyS0", "ttyUSB1" }));
    QCOMPARE(box->currentIndex(), 0);
    box->setCurrentIndex(3);
    m_interface->vAvailablePortsUpdated({ "ttyUSB1", "ttyS0", "ttyUSB2" });
    QCOMPARE(box->currentText(), QString("ttyUSB1"));
    m_interface->vAvailablePortsUpdated({ "TTYUSB1" });
    QCOMPARE(box->currentIndex(), -1);
    m_interface->vAvailablePortsUpdated({ "ttyS0" });
    QCOMPARE(box->currentIndex(), -1);
    QCOMPARE(chosen.count(), 0);

    m_interface->vAvailablePortsUpdated({ "ttyB", "ttyC" });
    box->setCurrentIndex(2);
    choose("ttyB");
    m_interface->vAvailablePortsUpdated({ "ttyC", "ttyD" });
    QCOMPARE(boxTexts(box), QStringList({ "Offline", "", "ttyC", "ttyD", "ttyB" }));
    QCOMPARE(box->currentText(), QString("ttyB"));
    QCOMPARE(m_ports.opened.size(), 1);
    choose("ttyC");
    QCOMPARE(m_interface->currentPortSettings().portName, QString("ttyC"));
}

void tst_SensorWindow::sendDataBytes()
{
    SensorWindow *window = m_interface->sensorWindow();
    // Without a connection nothing is sent (and nothing breaks).
    QMetaObject::invokeMethod(window, "vSendData", Q_ARG(QString, "lost"));

    choose("ttyA");
    FakeConnection *connection = m_ports.last();
    QVERIFY(connection);
    QMetaObject::invokeMethod(window, "vSendData", Q_ARG(QString, QString::fromUtf8("/0é")));
    QString withZero = QStringLiteral("AB");
    withZero += QChar(0);
    withZero += QStringLiteral("CD");
    m_interface->vSendDataBytes(withZero);
    QCOMPARE(connection->sent.size(), size_t(2));
    QCOMPARE(connection->sent.at(0), std::string("/0\xE9"));
    QCOMPARE(connection->sent.at(1), std::string("AB"));

    m_interface->vReceivedData("ignored");
    m_interface->vActionExport("ignored");
    QCOMPARE(connection->sent.size(), size_t(2));
}

void tst_SensorWindow::closeReleasesThePort_data()
{
    QTest::addColumn<bool>("byHost");
    QTest::newRow("window closed") << false;
    QTest::newRow("host's exit action") << true;
}

// Closed by the user or by the host: the port released, the object lives until the host
// destroys it.
void tst_SensorWindow::closeReleasesThePort()
{
    QFETCH(bool, byHost);
    SensorWindow *window = m_interface->sensorWindow();
    m_subWindow->show();
    choose("ttyA");
    QVERIFY(m_interface->isConnected());
    QSignalSpy unregistered(ConnectionManager::instance(), &ConnectionManager::pluginUnregistered);
    QSignalSpy aboutToClose(window, SIGNAL(vAboutToClose()));
    QSignalSpy chosen(window, SIGNAL(vComPortSelected(const QString &)));
    if (byHost)
        m_interface->vActionExit(QString());
    else
        QVERIFY(window->close());
    QCOMPARE(aboutToClose.count(), 1);
    QVERIFY(!window->isVisible());
    QCOMPARE(chosen.count(), 0);
    QVERIFY(ConnectionManager::instance()->heldPorts().isEmpty());
    QVERIFY(!m_interface->isConnected());
    QVERIFY(!window->connection());
    QCOMPARE(unregistered.count(), 0);
    QCOMPARE(m_interface->sensorWindow(), window);
}

void tst_SensorWindow::destructionUnregistersAndDeletesWindow()
{
    choose("ttyA");
    QPointer<SensorWindow> window = m_interface->sensorWindow();
    QSignalSpy unregistered(ConnectionManager::instance(), &ConnectionManager::pluginUnregistered);
    delete m_interface;
    m_interface = nullptr;
    QVERIFY(window.isNull());
    QVERIFY(unregistered.count() >= 1);
    QVERIFY(ConnectionManager::instance()->heldPorts().isEmpty());
    QVERIFY(!m_subWindow->widget());

    // A host that deletes the sub-window, and the window with it, first.
    ExtensionSystem::SensorBasic sensor;
    sensor.setName("QUX-T40 A");
    auto subWindow = new QMdiSubWindow;
    auto interface = new SensorInterface(&sensor, subWindow);
    delete subWindow;
    QVERIFY(!interface->sensorWindow());
    delete interface;
}

void tst_SensorWindow::closedWhileDialogOpen_data()
{
    QTest::addColumn<QString>("action"); // a slot, "silent" or "port"
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<bool>("subWindowDeleted"); // else closed the host's way

    const QString box = "QMessageBox", files = "QFileDialog";
    QTest::newRow("sensor did not respond") << "silent" << box << false;
    QTest::newRow("factory reset question") << "vRestoreFactorySettings" << box << false;
    QTest::newRow("clear history question") << "vClearHistory" << box << false;
    QTest::newRow("save settings") << "vSaveSettings" << files << false;
    QTest::newRow("open settings") << "vLoadSettings" << files << false;
    QTest::newRow("export chart") << "vExportDocument"
                                  << "Utils::ExportDialog" << false;
    QTest::newRow("connection switch")
        << "port"
        << "DrumoSensorPlugin::Core::ConnectionSwitchDialog" << false;
    QTest::newRow("question, sub-window deleted") << "vClearHistory" << box << true;
    QTest::newRow("save settings, sub-window deleted") << "vSaveSettings" << files << true;
    // The file choice the export dialog opens from inside its own wait.
    QTest::newRow("export's file choice") << "vExportDocument" << files << false;
    QTest::newRow("export's file choice, sub-window deleted") << "vExportDocument" << files << true;
}

// The host closes the window while one of its dialogs waits for the user (a quit timer, the end
// of a session): as SensorSubWindow does (the window closed, then the interface deleted), or by
// deleting the sub-window the window sits in. No double free (the sanitizer stage runs this),
// the dialog closes, the waiting code returns and the window is gone afterwards.
void tst_SensorWindow::closedWhileDialogOpen()
{
    QFETCH(QString, action);
    QFETCH(QString, dialog);
    QFETCH(bool, subWindowDeleted);

    QPointer<SensorWindow> window = m_interface->sensorWindow();
    m_interface->vAvailablePortsUpdated({ "ttyA" });
    m_subWindow->show();
    ModalAnswerer answerer;
    if (action == QLatin1String("vExportDocument") && dialog == QLatin1String("QFileDialog"))
        answerer.answerWith([](QWidget *open) { // opened outside the answerer's own poll
            QTimer::singleShot(0, open,
                               [open] { QMetaObject::invokeMethod(open, "vSelectFileDialog"); });
        });
    QString seen;
    answerer.answerWith([&](QWidget *open) {
        seen = QString::fromLatin1(open->metaObject()->className());
        if (subWindowDeleted) {
            delete m_subWindow;
            m_subWindow = nullptr;
        } else {
            m_interface->vActionExit(QString());
            delete m_interface;
            m_interface = nullptr;
        }
    });
    // From the main loop, where a user's action starts (see ConnectRig::inMainLoop).
    QTimer::singleShot(0, qApp, [&] {
        if (action == QLatin1String("silent")) {
            emit WindowProbe(window).session().poller().sensorSilent();
        } else if (action == QLatin1String("port")) {
            WindowProbe(window).connector().portBox()->setCurrentIndex(2);
            window->vConnectionControlBoxChanged(2);
        } else {
            QVERIFY(QMetaObject::invokeMethod(window, action.toLatin1().constData()));
        }
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QCOMPARE(seen, dialog);
    QVERIFY(!window);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(ConnectionManager::instance()->heldPorts().isEmpty());
}

QTEST_MAIN(tst_SensorWindow)
#include "tst_sensorwindow.moc"
