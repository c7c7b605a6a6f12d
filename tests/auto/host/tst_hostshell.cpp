// The host shell without its main loop: plug-in loading, the sensor list, the life of the
// sub-windows and their interface objects, port lists, the scan job and the language switch.

#include "../common/fakeconnection.h"
#include "../common/fakeserialport.h"
#include "../common/testfiles.h"

#include <logdock.h>
#include <mainwindow.h>
#include <pluginloader.h>
#include <portwatcher.h>
#include <scanjob.h>
#include <sensorlistmodel.h>
#include <sensorsubwindow.h>
#include <sessionmanager.h>

#include <connectionmanager.h>
#include <globals.h>
#include <serialportinterface.h>

#include <QMdiArea>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include <tuple>

#include <sys/stat.h>

using namespace Orbexa::Internal;
using ExtensionSystem::ConnectionManager;

namespace {

QStringList calls()
{
    return qApp->property("fakeCalls").toStringList();
}

void clearCalls()
{
    qApp->setProperty("fakeCalls", QStringList());
}

QString fakePluginFile(const QString &name)
{
    return QStringLiteral(HOST_TEST_PLUGIN_DIR "/") + name + QStringLiteral(".so");
}

// `dir` with a copy of the fake plug-in: a folder the host loads it from.
QString fakePluginDir(const QTemporaryDir &dir)
{
    return QFile::copy(fakePluginFile("hostfakeplugin"), dir.filePath("hostfakeplugin.so"))
        ? dir.path()
        : QString();
}

ExtensionSystem::SensorBasic fakeSensor(LoadedPlugin *plugin, const char *name)
{
    for (const ExtensionSystem::SensorBasic &sensor : plugin->sensorMap()) {
        if (sensor.name() == name)
            return sensor;
    }
    return {};
}

} // namespace

// An area with its sessions, as the main window wires them. Declared so that the sessions go
// before the area, as in the host; tests that end the host early reset `area` themselves.
struct Shell
{
    explicit Shell(
        PortWatcher::PortSource source = [] { return QStringList(); },
        QSize size = QSize(1000, 700))
        : sessions(area.get(), watch(std::move(source)))
    {
        area->resize(size);
        area->show();
    }
    PortWatcher *watch(PortWatcher::PortSource source)
    {
        ports.setSystemPortSource(std::move(source));
        ports.waitForLook();
        return &ports;
    }
    SensorSubWindow *open(LoadedPlugin *plugin, const char *name)
    {
        return sessions.openSensor(plugin, fakeSensor(plugin, name), &error);
    }

    std::unique_ptr<QMdiArea> area = std::make_unique<QMdiArea>();
    PortWatcher ports;
    SessionManager sessions;
    QString error;
};

class tst_HostShell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void skipsFilesThatAreNoPlugin_data();
    void skipsFilesThatAreNoPlugin();
    void foundSensorsMatchCatalogue_data();
    void foundSensorsMatchCatalogue();

    void windowsHoldTheirPortsAndGetTheirEvents();
    void refusedCloseAndQuit();
    void newWindowsAreComfortableAndCascaded_data();
    void newWindowsAreComfortableAndCascaded();

    void portListChangesOnly();
    void scanCancels();

    void mainWindowOpensFromCommandLine();
    void settingsFileOpensInItsSensorWindow_data();
    void settingsFileOpensInItsSensorWindow();
    void quitAfterWithMessageOpen();

private:
    std::unique_ptr<PluginLoader> m_loader;
    LoadedPlugin *m_fake = nullptr;
    QTemporaryDir m_settingsDir;
};

void tst_HostShell::initTestCase()
{
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settingsDir.path());
    // The loader keeps what it loads; one for the whole test.
    m_loader = std::make_unique<PluginLoader>();
    QTemporaryDir dir;
    QCOMPARE(m_loader->loadFrom(fakePluginDir(dir)), 1);
    m_fake = m_loader->plugin(QStringLiteral("FakeSensors"));
    QVERIFY(m_fake);
    ConnectionManager::instance()->setFactory(
        [](const ExtensionSystem::PortSettings &, QString *) { return new FakeConnection; });
}

void tst_HostShell::init()
{
    clearCalls();
    qApp->setProperty("fakeRefuseClose", false);
}

void tst_HostShell::cleanup()
{
    QVERIFY(ConnectionManager::instance()->heldPorts().isEmpty());
}

void tst_HostShell::skipsFilesThatAreNoPlugin_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content"); // empty: copy the fake plug-in lacking scanForSensor
    QTest::addColumn<QString>("messagePart");

    QTest::newRow("missing export") << "noscan.so" << QByteArray() << "scanForSensor";
    QTest::newRow("text named like a library")
        << "broken.so" << QByteArray("not an ELF file\n") << "could not be loaded";
    QTest::newRow("text file") << "readme.txt" << QByteArray("hello\n") << "not a shared library";
}

void tst_HostShell::skipsFilesThatAreNoPlugin()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QFETCH(QString, messagePart);

    QTemporaryDir dir;
    if (content.isEmpty())
        QVERIFY(QFile::copy(fakePluginFile("hostfakeplugin_noscan"), dir.filePath(fileName)));
    else
        QVERIFY(TestFiles::write(dir.filePath(fileName), content));
    // A good plug-in next to the bad file still loads.
    QVERIFY(QFile::copy(fakePluginFile("hostfakeplugin"), dir.filePath("zz_good.so")));

    PluginLoader loader;
    QCOMPARE(loader.loadFrom(dir.path()), 1);
    QCOMPARE(loader.plugins().constFirst()->name(), QStringLiteral("FakeSensors"));
    QCOMPARE(loader.messages().size(), 2);
    const PluginLoader::Message message = loader.messages().constFirst();
    QVERIFY(message.error);
    QVERIFY2(message.text.contains(fileName), qPrintable(message.text));
    QVERIFY2(message.text.contains(messagePart), qPrintable(message.text));
}

void tst_HostShell::foundSensorsMatchCatalogue_data()
{
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("matched");
    QTest::addColumn<QString>("name");

    QTest::newRow("first type of a list") << 7 << 1 << true << "Fake A";
    QTest::newRow("second type of a list") << 7 << 2 << true << "Fake A";
    QTest::newRow("single type") << 7 << 3 << true << "Fake B";
    QTest::newRow("unknown type") << 7 << 9 << false << "Unknown sensor (group 7, type 9)";
    QTest::newRow("type of another group") << 8 << 3 << false << "Unknown sensor (group 8, type 3)";
}

// The list shows a plug-in's sensors in its order, once however often it is filled. A sensor
// found on a port comes first, named after its catalogue entry or as unknown, once per port.
void tst_HostShell::foundSensorsMatchCatalogue()
{
    QFETCH(int, group);
    QFETCH(int, type);
    QFETCH(bool, matched);
    QFETCH(QString, name);

    SensorListModel model;
    model.setCatalogue(m_fake, m_fake->sensorMap());
    model.setCatalogue(m_fake, m_fake->sensorMap());
    const QModelIndex pluginRow = model.pluginIndex(m_fake);
    QStringList listed;
    for (int row = 0; row < model.rowCount(pluginRow); ++row)
        listed << model.entry(model.index(row, 0, pluginRow))->displayName() + ": "
                + model.index(row, SensorListModel::TypeColumn, pluginRow).data().toString();
    QCOMPARE(listed, (QStringList { "Fake A: 1, 2", "Fake B: 3", "Fake Null: 1" }));
    QCOMPARE(model.findCatalogueSensor("fake b"), model.index(1, 0, pluginRow));

    ExtensionSystem::SensorBasic found;
    found.setGroup(group);
    found.setType({ type });
    found.setFirmwareVersion({ 8 });
    const QModelIndex index = model.addFoundSensor(m_fake, found, QStringLiteral("/dev/pts/9"));
    const SensorEntry *entry = model.entry(index);
    QVERIFY(entry && entry->found);
    QCOMPARE(entry->matched, matched);
    QCOMPARE(entry->canOpen(), matched);
    QCOMPARE(entry->displayName(), name);
    QCOMPARE(entry->firmware, 8);
    QCOMPARE(index.row(), 0);
    QCOMPARE(model.index(0, SensorListModel::PortColumn, index.parent()).data().toString(),
             QStringLiteral("/dev/pts/9"));

    // A second scan of the same port replaces the entry; another port adds one.
    model.addFoundSensor(m_fake, found, QStringLiteral("/dev/pts/9"));
    QCOMPARE(model.foundCount(), 1);
    model.addFoundSensor(m_fake, found, QStringLiteral("/dev/pts/10"));
    QCOMPARE(model.foundCount(), 2);
    QCOMPARE(model.catalogueCount(), 3);
    // Re-reading the catalogue keeps what was found.
    model.setCatalogue(m_fake, m_fake->sensorMap());
    QCOMPARE(model.foundCount(), 2);
}

// A window learns its name, the ports and the update state (also when opened later); activation
// and settings files reach the right interface. Its title shows the port it holds, and no other
// window is offered or given that port. Closing it ends the plug-in's side in order and frees the
// port.
void tst_HostShell::windowsHoldTheirPortsAndGetTheirEvents()
{
    // A network port from the preferences joins the system's ports and is held the same way.
    const QString p2 = QStringLiteral("tcp://srv:4001");
    Shell shell([] { return QStringList { "p1", "p3" }; });
    QVERIFY(QTest::qWaitForWindowActive(shell.area.get()));
    shell.sessions.setNetworkPorts({ p2 });
    QPointer<SensorSubWindow> first = shell.open(m_fake, "Fake A");
    QVERIFY2(first, qPrintable(shell.error));
    shell.sessions.broadcastUpdate(true);
    SensorSubWindow *second = shell.open(m_fake, "Fake B");
    QCOMPARE(calls().filter("update:"), (QStringList { "update:true", "update:true" }));
    QCOMPARE(shell.sessions.activeSensorWindow(), second);
    QPointer<QWidget> pluginWindow = first->widget();
    QPointer<ExtensionSystem::PluginInterface> pluginInterface = first->pluginInterface();
    QCOMPARE(first->windowTitle(), QStringLiteral("Fake A"));
    QVERIFY(calls().contains("name:Fake A"));
    QVERIFY(calls().contains("ports:p1,p3,tcp://srv:4001"));
    QCOMPARE(second->offeredPorts(), (QStringList { "p1", "p3", p2 }));

    clearCalls();
    shell.area->setActiveSubWindow(first);
    QCOMPARE(calls().filter("active:"), (QStringList { "active:0", "active:1" }));
    QCOMPARE(shell.sessions.activeSensorWindow(), first.data());
    shell.sessions.broadcastUpdate(false);
    QCOMPARE(calls().filter("update:"), (QStringList { "update:false", "update:false" }));
    second->openSettings(QStringLiteral("/tmp/a.ovs"));
    QVERIFY(calls().contains("open:/tmp/a.ovs"));

    first->autoConnect(p2);
    QCOMPARE(ConnectionManager::instance()->portOf(pluginInterface), p2);
    QTRY_COMPARE(first->windowTitle(), QStringLiteral("Fake A on ") + p2);
    // Every window is told once the connection is made; the holder adds its own port itself.
    QTRY_COMPARE(second->offeredPorts(), (QStringList { "p1", "p3" }));
    QCOMPARE(first->offeredPorts(), (QStringList { "p1", "p3" }));
    QCOMPARE(shell.sessions.freePorts(), (QStringList { "p1", "p3" }));
    second->autoConnect(p2);
    QCOMPARE(second->connectedPort(), QString());

    shell.area->setActiveSubWindow(second);
    clearCalls();
    QVERIFY(first->close());
    QCOMPARE(calls(), (QStringList { "exit", "windowClosed", "destroyed" }));
    QVERIFY(!pluginInterface && !pluginWindow);
    QTRY_VERIFY(!first); // deleted on close
    QCOMPARE(shell.area->subWindowList().size(), 1);
    QTRY_COMPARE(second->offeredPorts(), (QStringList { "p1", "p3", p2 }));
    QVERIFY(shell.sessions.closeAll());
}

// A refused close keeps everything; the plug-in closing its own window closes the sub-window.
// Even a window that would refuse goes when its area is destroyed (the host quits), and with it
// its port.
void tst_HostShell::refusedCloseAndQuit()
{
    Shell shell;
    QPointer<SensorSubWindow> first = shell.open(m_fake, "Fake A");
    QPointer<SensorSubWindow> second = shell.open(m_fake, "Fake B");
    first->autoConnect(QStringLiteral("portA"));
    QCOMPARE(ConnectionManager::instance()->heldPorts(), QStringList { "portA" });

    qApp->setProperty("fakeRefuseClose", true);
    QVERIFY(!shell.sessions.closeAll());
    QVERIFY(first && second && second->pluginInterface());
    QVERIFY(second->widget() && second->widget()->isVisible());
    QVERIFY(!calls().contains("destroyed"));

    qApp->setProperty("fakeRefuseClose", false);
    second->widget()->close(); // as a plug-in's own exit action would
    QTRY_VERIFY(!second);
    QCOMPARE(calls().filter("destroyed").size(), 1);
    QCOMPARE(shell.area->subWindowList().size(), 1);

    qApp->setProperty("fakeRefuseClose", true);
    shell.area.reset();
    QCOMPARE(calls().filter("destroyed").size(), 2);
    QVERIFY(ConnectionManager::instance()->heldPorts().isEmpty());
}

void tst_HostShell::newWindowsAreComfortableAndCascaded_data()
{
    QTest::addColumn<QSize>("areaSize");
    QTest::addColumn<bool>("roomy");
    QTest::newRow("roomy area") << QSize(1500, 1000) << true;
    QTest::newRow("area a little larger than the window's minimum") << QSize(1000, 650) << false;
    QTest::newRow("area smaller than the window's minimum") << QSize(700, 400) << false;
}

// A sensor window of the shipped plug-in (which loads cleanly) opens at a size that shows its
// chart comfortably when the area has room, never below the plug-in window's minimum, and
// further windows cascade below it. (How windows go with their interfaces is the refused-close
// test's on the host's side and tst_sensorwindow's on the plug-in's.)
void tst_HostShell::newWindowsAreComfortableAndCascaded()
{
    QFETCH(QSize, areaSize);
    QFETCH(bool, roomy);
    PluginLoader loader;
    QCOMPARE(loader.loadFrom(PluginLoader::defaultPluginDir()), 1);
    QVERIFY(!loader.messages().constFirst().error);
    LoadedPlugin *plugin = loader.plugin(QStringLiteral("QUXfamily"));
    QVERIFY(plugin && plugin->isSerial());
    const ExtensionSystem::SensorBasic sensor = plugin->sensorMap().front();

    Shell shell([] { return QStringList(); }, areaSize);
    QVERIFY(QTest::qWaitForWindowExposed(shell.area.get()));
    const QRect available = shell.area->viewport()->rect();
    QList<QPoint> corners;
    for (int i = 0; i < 3; ++i) {
        SensorSubWindow *window = shell.sessions.openSensor(plugin, sensor, &shell.error);
        QVERIFY2(window, qPrintable(shell.error));
        QCoreApplication::processEvents();
        const QWidget *content = window->widget();
        QVERIFY(content->width() >= content->minimumWidth());
        QVERIFY(content->height() >= content->minimumHeight());
        const QSize frame = window->size() - content->size();
        QVERIFY(window->width() <= qMax(1100, content->minimumWidth() + frame.width()));
        QVERIFY(window->height() <= qMax(700, content->minimumHeight() + frame.height()));
        if (available.width() >= window->width() && available.height() >= window->height())
            QVERIFY2(available.contains(window->geometry()),
                     qPrintable(QString("window %1 leaves the area").arg(i)));
        if (roomy && i == 0)
            QCOMPARE(window->size(), QSize(1100, 700));
        corners << window->pos();
    }
    if (roomy) {
        QVERIFY(corners[0].x() < corners[1].x() && corners[1].x() < corners[2].x());
        QVERIFY(corners[0].y() < corners[1].y() && corners[1].y() < corners[2].y());
    }
}

// Only changes are reported. The system is asked on the watcher's own thread, never on the one
// that shows the windows; a look asked for while one runs is made after it, with what was asked
// last.
void tst_HostShell::portListChangesOnly()
{
    QMutex mutex;
    QStringList systemPorts { "sysA" };
    QSet<QThread *> lookedFrom;
    Shell shell([&] {
        QMutexLocker lock(&mutex);
        lookedFrom << QThread::currentThread();
        return systemPorts;
    });
    PortWatcher &ports = shell.ports;
    shell.open(m_fake, "Fake A");
    QSignalSpy changed(&ports, &PortWatcher::portsChanged);
    const auto look = [&](const QStringList &system) {
        {
            QMutexLocker lock(&mutex);
            systemPorts = system;
        }
        ports.refresh();
        ports.refresh();
        return ports.waitForLook();
    };

    QVERIFY(look({ "sysA" }));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(calls().filter("ports:"), QStringList { "ports:sysA" });
    QVERIFY(look({ "sysA", "sysB" }));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(calls().filter("ports:"), (QStringList { "ports:sysA", "ports:sysA,sysB" }));

    // Extra ports without a path are always offered, after the system's, once each.
    ports.setExtraPorts({ "COM9" });
    ports.setExtraPorts({ "COM7", " COM7 ", "sysA" });
    QVERIFY(ports.waitForLook());
    QCOMPARE(ports.ports(), (QStringList { "sysA", "sysB", "COM7" }));
    QCOMPARE(changed.count(), 2);
    QVERIFY(look({}));
    QCOMPARE(calls().filter("ports:").constLast(), QStringLiteral("ports:COM7,sysA"));

    // The timer's polling, and extra ports given as paths coming and going with the path, are
    // the scan test's port that comes back.
    QMutexLocker lock(&mutex);
    QVERIFY(!lookedFrom.isEmpty());
    QVERIFY(!lookedFrom.contains(QThread::currentThread()));
}

void tst_HostShell::scanCancels()
{
    ScanJob job(
        { m_fake }, { "slow0", "slow1", "slow2" },
        [](const QString &name) -> std::unique_ptr<ExtensionSystem::SerialPortInterface> {
            return std::make_unique<FakeSerialPort>(std::deque<std::string>(), name);
        },
        [](ExtensionSystem::SerialPortInterface *port) {
            static_cast<FakeSerialPort *>(port)->cancelled = true;
        });
    QSignalSpy started(&job, &ScanJob::portStarted);
    QSignalSpy finished(&job, &ScanJob::finished);
    job.start();
    QTRY_COMPARE(started.count(), 1);
    QTest::qWait(100);
    job.cancel();
    QVERIFY(finished.wait(2000)); // a slow port alone takes five seconds
    QCOMPARE(finished.constFirst().constFirst().toBool(), true);
    QCOMPARE(started.count(), 1);
}

void tst_HostShell::mainWindowOpensFromCommandLine()
{
    QTemporaryDir dir;
    MainWindow window;
    // No wait for the port look-up here: a sensor opened with a port must be offered that port
    // before it connects, however slow the look-up.
    window.portWatcher()->setSystemPortSource([] {
        QThread::msleep(300);
        return QStringList { "pX" };
    });
    window.loadPlugins(fakePluginDir(dir));
    window.show();
    QCOMPARE(window.sensorModel()->catalogueCount(), 3);
    QVERIFY(window.sensorView()->currentIndex().isValid());

    QVERIFY(!window.openSensorByName(QStringLiteral("No Such Sensor"), QString()));
    QVERIFY(window.logDock()->text().contains("No Such Sensor"));
    QVERIFY(!window.openSensorByName(QStringLiteral("Fake Null"), QString()));
    QVERIFY(window.logDock()->text().contains("returned no interface"));
    QVERIFY(window.logDock()->text().contains("Fake Null"));
    QVERIFY(window.mdiArea()->subWindowList().isEmpty());

    clearCalls();
    SensorSubWindow *sensor = window.openSensorByName(QStringLiteral("fake b"), "pX");
    QVERIFY(sensor);
    QCOMPARE(sensor->connectedPort(), QStringLiteral("pX"));
    const QStringList offered = calls().filter(QRegularExpression("^(ports|autoConnect):"));
    QVERIFY2(!offered.isEmpty() && offered.first() == "ports:pX", qPrintable(offered.join(' ')));

    for (bool on : { true, false }) {
        window.setPresentationMode(on);
        QCOMPARE(ExtensionSystem::Globals::getPresentationMode(), on);
        QCOMPARE(calls().filter("update:").constLast(),
                 QStringLiteral("update:") + (on ? "true" : "false"));
    }

    // The plug-in windows see the new language while they handle the change; an unknown one
    // means English.
    for (const auto &[language, seen, menu] :
         { std::tuple("de", "de", "&Datei"), std::tuple("xx", "en", "&File") }) {
        clearCalls();
        window.setLanguage(QString::fromLatin1(language));
        QTRY_COMPARE(window.menuBar()->actions().constFirst()->text(), QString::fromUtf8(menu));
        QCOMPARE(calls().filter("languageChange"),
                 QStringList { QStringLiteral("languageChange:") + seen });
    }

    QVERIFY(window.close());
    QVERIFY(calls().contains("destroyed"));
}

// A settings file opened from the desktop or the command line goes to a window for the sensor
// type it names; anything else is refused in the log without a window. (What the look at the
// file makes of bytes that are no XML is fuzz_settingsfilesensor's.)
void tst_HostShell::settingsFileOpensInItsSensorWindow_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("logPart"); // empty: the file is opened
    const auto row = [](const char *tag, const QByteArray &body, const char *logPart) {
        const QByteArray head = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
        QTest::newRow(tag) << head + body << QString(logPart);
    };
    row("saved by a window",
        "<root pluginid=\"FakeSensors\" sensorid=\"Fake B\"><pluginsettings/></root>", "");
    row("long chart after the root's start",
        "<root pluginid=\"FakeSensors\" sensorid=\"Fake A\"><chartdata data=\""
            + QByteArray(200000, '1') + "\"/></root>",
        "");
    row("unknown sensor type", "<root pluginid=\"FakeSensors\" sensorid=\"Fake Z\"/>", "Fake Z");
    row("plug-in not loaded", "<root pluginid=\"Other\" sensorid=\"Fake A\"/>", "Other");
    row("no sensor named", "<root pluginid=\"FakeSensors\"/>", "no sensor type");
    row("other root", "<chart sensorid=\"Fake A\"/>", "not a sensor");
    row("root beyond the head",
        "<!--" + QByteArray(100000, ' ')
            + "--><root pluginid=\"FakeSensors\" sensorid=\"Fake A\"/>",
        "not a sensor");
    // Not opened at all: the host would wait for a writer forever.
    QTest::newRow("fifo") << QByteArray() << "cannot be read: it is a device, pipe or socket";
}

void tst_HostShell::settingsFileOpensInItsSensorWindow()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, logPart);
    QTemporaryDir dir;
    const QString fileName = dir.filePath("settings.ovs");
    if (content.isEmpty())
        QCOMPARE(mkfifo(QFile::encodeName(fileName).constData(), 0600), 0);
    else
        QVERIFY(TestFiles::write(fileName, content));

    MainWindow window;
    window.loadPlugins(fakePluginDir(dir));
    clearCalls();
    SensorSubWindow *sensor = window.openSettingsFileInItsWindow(fileName, "pX");
    if (logPart.isEmpty()) {
        QVERIFY(sensor);
        QVERIFY(calls().contains("open:" + fileName));
        QVERIFY(calls().indexOf("open:" + fileName) < calls().indexOf("autoConnect:pX"));
    } else {
        QVERIFY(!sensor);
        QVERIFY(window.mdiArea()->subWindowList().isEmpty());
        QVERIFY2(window.logDock()->text().contains(logPart), qPrintable(window.logDock()->text()));
    }
    QVERIFY(window.close());
}

// An unattended run quits on time although the sensor's window greets it with a message (here:
// the port given cannot be opened) that nobody answers.
void tst_HostShell::quitAfterWithMessageOpen()
{
    QTemporaryDir home;
    QProcess orbexa;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_CONFIG_HOME", home.path());
    orbexa.setProcessEnvironment(environment);
    orbexa.setProcessChannelMode(QProcess::MergedChannels);
    orbexa.start(QCoreApplication::applicationDirPath() + "/orbexa",
                 { "--port", home.filePath("no-such-port"), "--sensor", "QUX-T40 D", "--quit-after",
                   "0.5" });
    const bool quit = orbexa.waitForFinished(30000);
    if (!quit)
        orbexa.kill();
    QVERIFY2(quit, orbexa.readAll().constData());
    QCOMPARE(orbexa.exitStatus(), QProcess::NormalExit);
    QCOMPARE(orbexa.exitCode(), 0);
}

QTEST_MAIN(tst_HostShell)
#include "tst_hostshell.moc"
