// The interface object: port choice and port lists with the host's connection manager, the
// forwarding of the host's calls to the window, and its end (close and destruction, also while
// the window shows a dialog).

#include "../common/modalanswerer.h"
#include "plugin/sensorinterface.h"
#include "windowprobe.h"

#include <communicationinterface.h>
#include <connectionmanager.h>

#include <QComboBox>
#include <QDockWidget>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

using namespace DrumoSensorPlugin::Core;
using ExtensionSystem::ConnectionManager;
using ExtensionSystem::PortSettings;

class tst_SensorInterface : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void slotTable();
    void construction();
    void portSelection();
    void portListWhileConnected();
    void sendDataBytes();
    void hostCalls();
    void aboutToCloseUnregisters();
    void destructionUnregistersAndDeletesWindow();
    void closedWhileDialogOpen_data();
    void closedWhileDialogOpen();

private:
    void choose(const QString &port);
    FakeConnection *lastConnection() const;

    QList<PortSettings> m_opened;
    QList<QPointer<FakeConnection>> m_connections;
    QMdiSubWindow *m_subWindow = nullptr;
    SensorInterface *m_interface = nullptr;
};

void tst_SensorInterface::initTestCase()
{
    qRegisterMetaType<ExtensionSystem::PluginInterface *>();
    ConnectionManager::instance()->setFactory(
        [this](const PortSettings &settings,
               QString *) -> ExtensionSystem::CommunicationInterface * {
            m_opened << settings;
            auto connection = new FakeConnection(settings);
            m_connections << connection;
            return connection;
        });
}

void tst_SensorInterface::init()
{
    m_opened.clear();
    m_connections.clear();
    ExtensionSystem::SensorBasic sensor;
    sensor.setName("QUX-T40 D");
    m_subWindow = new QMdiSubWindow;
    m_interface = new SensorInterface(&sensor, m_subWindow);
}

void tst_SensorInterface::cleanup()
{
    delete m_interface;
    m_interface = nullptr;
    delete m_subWindow;
    m_subWindow = nullptr;
}

void tst_SensorInterface::cleanupTestCase()
{
    ConnectionManager::instance()->setFactory({});
}

// The window chooses ports through its signal, as the connect sequence does.
void tst_SensorInterface::choose(const QString &port)
{
    QVERIFY(QMetaObject::invokeMethod(m_interface->sensorWindow(), "vConnectToPort",
                                      Q_ARG(QString, port)));
}

FakeConnection *tst_SensorInterface::lastConnection() const
{
    return m_connections.isEmpty() ? nullptr : m_connections.last().data();
}

void tst_SensorInterface::slotTable()
{
    // One line of text, signatures separated by blanks.
    const QStringList expected
        = QString(
              "vComPortListChanged() vComPortChanged(QString) vUpdate(QVariant) "
              "vSendDataBytes(QString) "
              "vReceivedData(QString) vAvailablePortsUpdated(QStringList) vActionOpen(QString) "
              "vActionExport(QString) vActionExit(QString) setWindowActive(bool) vAboutToClose() "
              "vAutoConnect(QString) setSensorName(QString) getSensorName() "
              "receivedData(std::string)")
              .split(' ');
    QCOMPARE(ownSignatures(SensorInterface::staticMetaObject), expected);
}

void tst_SensorInterface::construction()
{
    SensorWindow *window = m_interface->sensorWindow();
    QVERIFY(window);
    QCOMPARE(m_subWindow->widget(), window);
    QCOMPARE(window->sensorRecord().name(), std::string("QUX-T40 D"));
    QVERIFY(!m_interface->isConnected());
    QVERIFY(!window->connection());
}

void tst_SensorInterface::portSelection()
{
    SensorWindow *window = m_interface->sensorWindow();

    choose("ttyA");
    QCOMPARE(m_opened.size(), 1);
    // The record's first rate and its delays.
    QCOMPARE(m_opened.first().portName, QString("ttyA"));
    QCOMPARE(m_opened.first().baudrate, 38400);
    QCOMPARE(m_opened.first().characterDelay, 1);
    QCOMPARE(m_opened.first().lineDelay, 150);
    QCOMPARE(m_opened.first().baudrateStep, 0);
    QVERIFY(m_interface->isConnected());
    QCOMPARE(window->connection(), lastConnection());
    QCOMPARE(ConnectionManager::instance()->heldPorts(), QStringList("ttyA"));

    // The same port again: neither released nor opened anew.
    QPointer<FakeConnection> first = lastConnection();
    choose("ttyA");
    QCOMPARE(m_opened.size(), 1);
    QVERIFY(first);

    // Another port while connected: the first one is released.
    choose("ttyB");
    QCOMPARE(m_opened.size(), 2);
    QVERIFY(lastConnection() != first);
    QCOMPARE(ConnectionManager::instance()->heldPorts(), QStringList("ttyB"));
    QCOMPARE(window->connection(), lastConnection());
    QCOMPARE(m_interface->currentPortSettings().portName, QString("ttyB"));

    // No port: released, and the window forgets the connection.
    choose(QString());
    QVERIFY(!m_interface->isConnected());
    QVERIFY(!window->connection());
    QVERIFY(ConnectionManager::instance()->heldPorts().isEmpty());
    QVERIFY(m_interface->currentPortSettings().portName.isEmpty());

    // A refused port, and choosing it again, are the connect sequence's tests.
}

void tst_SensorInterface::portListWhileConnected()
{
    QComboBox *box = WindowProbe(m_interface->sensorWindow()).connector().portBox();
    m_interface->vAvailablePortsUpdated({ "ttyB", "ttyC" });
    QCOMPARE(boxTexts(box), QStringList({ "Offline", "", "ttyB", "ttyC" }));

    box->setCurrentIndex(2);
    choose("ttyB");
    QVERIFY(m_interface->isConnected());
    m_interface->vAvailablePortsUpdated({ "ttyC", "ttyD" });
    QCOMPARE(boxTexts(box), QStringList({ "Offline", "", "ttyC", "ttyD", "ttyB" }));
    QCOMPARE(box->currentText(), QString("ttyB"));
    QCOMPARE(m_opened.size(), 1);

    // The window's port choice reaches the interface again after the update.
    choose("ttyC");
    QCOMPARE(m_interface->currentPortSettings().portName, QString("ttyC"));
}

void tst_SensorInterface::sendDataBytes()
{
    SensorWindow *window = m_interface->sensorWindow();
    // Without a connection nothing is sent (and nothing breaks).
    QMetaObject::invokeMethod(window, "vSendData", Q_ARG(QString, "lost"));

    choose("ttyA");
    FakeConnection *connection = lastConnection();
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

void tst_SensorInterface::hostCalls()
{
    SensorWindow *window = m_interface->sensorWindow();
    m_subWindow->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_subWindow));
    QDockWidget *dock = WindowProbe(window).dock();
    m_interface->vUpdate(true); // forwarded; the value rules are the window's test
    QVERIFY(!dock->isVisible());

    QSignalSpy aboutToClose(window, SIGNAL(vAboutToClose()));
    m_interface->vActionExit(QString());
    QCOMPARE(aboutToClose.count(), 1);
    QVERIFY(!window->isVisible());
}

void tst_SensorInterface::aboutToCloseUnregisters()
{
    choose("ttyA");
    QVERIFY(m_interface->isConnected());
    QSignalSpy unregistered(ConnectionManager::instance(), &ConnectionManager::pluginUnregistered);
    QSignalSpy aboutToClose(m_interface->sensorWindow(), SIGNAL(vAboutToClose()));
    QSignalSpy chosen(m_interface->sensorWindow(), SIGNAL(vComPortSelected(const QString &)));
    QVERIFY(m_interface->sensorWindow()->close());
    QCOMPARE(aboutToClose.count(), 1);
    QCOMPARE(chosen.count(), 0);
    QVERIFY(ConnectionManager::instance()->heldPorts().isEmpty());
    QVERIFY(!m_interface->isConnected());
    QVERIFY(!m_interface->sensorWindow()->connection());
    QCOMPARE(unregistered.count(), 0);
    QVERIFY(m_interface->sensorWindow()); // the object lives until the host destroys it
}

void tst_SensorInterface::destructionUnregistersAndDeletesWindow()
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

void tst_SensorInterface::closedWhileDialogOpen_data()
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
void tst_SensorInterface::closedWhileDialogOpen()
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

QTEST_MAIN(tst_SensorInterface)
#include "tst_sensorinterface.moc"
