// The host shell without its main loop: plug-in loading, the sensor list, the life of the
// sub-windows and their interface objects, port lists, the scan job and the language switch.

#include <languagemanager.h>
#include <logdock.h>
#include <mainwindow.h>
#include <pluginloader.h>
#include <portwatcher.h>
#include <scanjob.h>
#include <sensorlistmodel.h>
#include <sensorsubwindow.h>
#include <sessionmanager.h>

#include <communicationinterface.h>
#include <connectionmanager.h>
#include <globals.h>
#include <serialportinterface.h>

#include <QMdiArea>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeView>
#include <QXmlStreamReader>
#include <QtTest>

#include <atomic>

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

QStringList callsStartingWith(const QString &prefix)
{
    QStringList matching;
    for (const QString &call : calls()) {
        if (call.startsWith(prefix))
            matching << call;
    }
    return matching;
}

QString fakePluginFile(const QString &name)
{
    return QStringLiteral(HOST_TEST_PLUGIN_DIR "/") + name + QStringLiteral(".so");
}

// A connection that never talks to anything; enough for the manager's bookkeeping.
class FakeConnection : public ExtensionSystem::CommunicationInterface
{
public:
    void vSendRawData(std::string) override { }
    unsigned int uiSendDataFrame(DataFrame *) override { return ++m_id; }
    void vSetPortSettings(const ExtensionSystem::PortSettings &settings) override
    {
        m_settings = settings;
    }
    ExtensionSystem::PortSettings getPortSettings() override { return m_settings; }
    void vClose() override { }

private:
    unsigned int m_id = 0;
    ExtensionSystem::PortSettings m_settings;
};

class FakeScanPort : public ExtensionSystem::SerialPortInterface
{
public:
    explicit FakeScanPort(const QString &name)
        : m_name(name)
    {
    }
    void vApplySettings(ExtensionSystem::PortSettings *) override { }
    void vGetPortName(QString &portName) override { portName = m_name; }
    void vPrepare() override { }
    void vClose() override { }
    void vClear() override { }
    void vSend(const std::string &) override { }
    int iBytesAvailable() override { return cancelled ? -1 : 0; }
    std::string readAll() override { return {}; }

    std::atomic<bool> cancelled { false };

private:
    QString m_name;
};

ScanJob::PortFactory fakePortFactory()
{
    return [](const QString &name) -> std::unique_ptr<ExtensionSystem::SerialPortInterface> {
        return std::make_unique<FakeScanPort>(name);
    };
}

ScanJob::PortCanceller fakePortCanceller()
{
    return [](ExtensionSystem::SerialPortInterface *port) {
        static_cast<FakeScanPort *>(port)->cancelled = true;
    };
}

// The sensor types listed in the shipped catalogue, in order: name, group, types.
struct CatalogueSensor
{
    QString name;
    int group = -1;
    QString types;
};

QList<CatalogueSensor> readCatalogue(const QString &fileName)
{
    QList<CatalogueSensor> sensors;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return sensors;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement
            || xml.name() != QLatin1String("sensor"))
            continue;
        CatalogueSensor sensor;
        while (xml.readNextStartElement()) { // the sensor's own children, each read whole
            const QString element = xml.name().toString();
            const QString text
                = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            if (element == QLatin1String("name"))
                sensor.name = text;
            else if (element == QLatin1String("group"))
                sensor.group = text.toInt();
            else if (element == QLatin1String("types"))
                sensor.types = text;
        }
        sensors.append(sensor);
    }
    return sensors;
}

} // namespace

static ExtensionSystem::SensorBasic fakeSensor(LoadedPlugin *plugin, const char *name)
{
    for (const ExtensionSystem::SensorBasic &sensor : plugin->sensorMap()) {
        if (sensor.name() == name)
            return sensor;
    }
    return {};
}

// The shipped plug-in, loaded into `loader`.
static LoadedPlugin *loadShipped(PluginLoader &loader)
{
    loader.loadFrom(PluginLoader::defaultPluginDir());
    return loader.plugin(QStringLiteral("QUXfamily"));
}

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
    void sensorListFromShippedCatalogue();
    void foundSensorsMatchCatalogue_data();
    void foundSensorsMatchCatalogue();

    void closingSubWindowDeletesInterface();
    void refusedCloseKeepsWindow();
    void destroyingAreaReleasesInterfaces();
    void shippedPluginWindowLifetime();
    void newWindowsAreComfortableAndCascaded_data();
    void newWindowsAreComfortableAndCascaded();
    void nullInterfaceLeavesNothing();
    void eventsAreRouted();

    void portListChangesOnly();
    void heldPortsAreNotOffered();

    void scanFindsAndMatches();
    void scanCancels();

    void languageReachesPluginWindows();
    void mainWindowOpensFromCommandLine();

private:
    std::unique_ptr<PluginLoader> m_loader;
    LoadedPlugin *m_fake = nullptr;
    QTemporaryDir m_settingsDir;
};

void tst_HostShell::initTestCase()
{
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settingsDir.path());
    m_loader = std::make_unique<PluginLoader>();
    QString error;
    // The loader keeps what it loads; use it for the fake plug-in too.
    QTemporaryDir dir;
    QVERIFY(QFile::copy(fakePluginFile("hostfakeplugin"), dir.filePath("hostfakeplugin.so")));
    QCOMPARE(m_loader->loadFrom(dir.path()), 1);
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
    if (content.isEmpty()) {
        QVERIFY(QFile::copy(fakePluginFile("hostfakeplugin_noscan"), dir.filePath(fileName)));
    } else {
        QFile file(dir.filePath(fileName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
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

// The shipped plug-in loads cleanly and lists the sensors of the shipped catalogue, in order.
void tst_HostShell::sensorListFromShippedCatalogue()
{
    const QList<CatalogueSensor> catalogue
        = readCatalogue(QCoreApplication::applicationDirPath() + "/QUXfamily.xml");
    QVERIFY(catalogue.size() >= 3);

    PluginLoader loader;
    QCOMPARE(loader.loadFrom(PluginLoader::defaultPluginDir()), 1);
    LoadedPlugin *plugin = loader.plugin(QStringLiteral("QUXfamily"));
    QVERIFY(plugin);
    QCOMPARE(plugin->version(), QStringLiteral("1.0.0"));
    QCOMPARE(plugin->description(), QStringLiteral("Plugin for handling Vexa sensors family"));
    QVERIFY(plugin->isSerial());
    QCOMPARE(loader.messages().size(), 1);
    QVERIFY(!loader.messages().constFirst().error);
    SensorListModel model;
    model.setCatalogue(plugin, plugin->sensorMap());
    // Listing again replaces, it does not add.
    model.setCatalogue(plugin, plugin->sensorMap());

    const QModelIndex pluginRow = model.pluginIndex(plugin);
    QVERIFY(pluginRow.isValid());
    QCOMPARE(model.rowCount(pluginRow), catalogue.size());
    QCOMPARE(model.catalogueCount(), catalogue.size());
    for (int row = 0; row < catalogue.size(); ++row) {
        const CatalogueSensor &expected = catalogue.at(row);
        const SensorEntry *entry = model.entry(model.index(row, 0, pluginRow));
        QVERIFY(entry);
        QCOMPARE(entry->displayName(), expected.name);
        QCOMPARE(entry->sensor.group(), expected.group);
        QCOMPARE(model.index(row, SensorListModel::TypeColumn, pluginRow).data().toString(),
                 expected.types.split(';').join(", "));
        QCOMPARE(model.findCatalogueSensor(expected.name.toLower()),
                 model.index(row, 0, pluginRow));
    }
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

void tst_HostShell::foundSensorsMatchCatalogue()
{
    QFETCH(int, group);
    QFETCH(int, type);
    QFETCH(bool, matched);
    QFETCH(QString, name);

    SensorListModel model;
    model.setCatalogue(m_fake, m_fake->sensorMap());
    ExtensionSystem::SensorBasic found;
    found.setGroup(group);
    found.setType({ type });
    found.setFirmwareVersion({ 8 });

    const QModelIndex index = model.addFoundSensor(m_fake, found, QStringLiteral("/dev/pts/9"));
    const SensorEntry *entry = model.entry(index);
    QVERIFY(entry);
    QVERIFY(entry->found);
    QCOMPARE(entry->matched, matched);
    QCOMPARE(entry->canOpen(), matched);
    QCOMPARE(entry->displayName(), name);
    QCOMPARE(entry->firmware, 8);
    QCOMPARE(index.row(), 0); // found sensors come first
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

void tst_HostShell::closingSubWindowDeletesInterface()
{
    Shell shell([] { return QStringList { "portA", "portB" }; });
    QPointer<SensorSubWindow> window = shell.open(m_fake, "Fake A");
    QVERIFY2(window, qPrintable(shell.error));
    QPointer<QWidget> pluginWindow = window->widget();
    QPointer<ExtensionSystem::PluginInterface> pluginInterface = window->pluginInterface();
    QVERIFY(pluginWindow && pluginInterface);
    QCOMPARE(window->windowTitle(), QStringLiteral("Fake A"));
    QVERIFY(calls().contains("name:Fake A"));
    QVERIFY(calls().contains("ports:portA,portB"));

    window->autoConnect(QStringLiteral("portA"));
    QCOMPARE(ConnectionManager::instance()->portOf(pluginInterface), QStringLiteral("portA"));
    QTRY_COMPARE(window->windowTitle(), QStringLiteral("Fake A on portA"));

    clearCalls();
    QVERIFY(window->close());
    QCOMPARE(calls(), (QStringList { "exit", "windowClosed", "destroyed" }));
    QVERIFY(!pluginInterface);
    QVERIFY(!pluginWindow);
    QVERIFY(ConnectionManager::instance()->heldPorts().isEmpty());
    QTRY_VERIFY(!window); // deleted on close
    QVERIFY(shell.area->subWindowList().isEmpty());
}

// A refused close keeps everything; the plug-in closing its own window closes the sub-window.
void tst_HostShell::refusedCloseKeepsWindow()
{
    Shell shell;
    QPointer<SensorSubWindow> window = shell.open(m_fake, "Fake B");
    QVERIFY(window);

    qApp->setProperty("fakeRefuseClose", true);
    QVERIFY(!shell.sessions.closeAll());
    QVERIFY(window);
    QVERIFY(window->pluginInterface());
    QVERIFY(window->widget() && window->widget()->isVisible());
    QVERIFY(!calls().contains("destroyed"));

    qApp->setProperty("fakeRefuseClose", false);
    window->widget()->close(); // as a plug-in's own exit action would
    QTRY_VERIFY(!window);
    QVERIFY(calls().contains("destroyed"));
    QVERIFY(shell.area->subWindowList().isEmpty());
}

void tst_HostShell::destroyingAreaReleasesInterfaces()
{
    Shell shell;
    QPointer<SensorSubWindow> first = shell.open(m_fake, "Fake A");
    shell.open(m_fake, "Fake B");
    first->autoConnect(QStringLiteral("portA"));
    QCOMPARE(ConnectionManager::instance()->heldPorts(), QStringList { "portA" });

    // Even a window that would refuse goes when its area is destroyed (the host quits).
    qApp->setProperty("fakeRefuseClose", true);
    shell.area.reset();
    QCOMPARE(callsStartingWith("destroyed").size(), 2);
    QVERIFY(ConnectionManager::instance()->heldPorts().isEmpty());
}

void tst_HostShell::shippedPluginWindowLifetime()
{
    PluginLoader loader;
    LoadedPlugin *plugin = loadShipped(loader);
    QVERIFY(plugin);
    const std::list<ExtensionSystem::SensorBasic> sensors = plugin->sensorMap();
    QVERIFY(!sensors.empty());

    Shell shell([] { return QStringList { "portA" }; });
    QPointer<SensorSubWindow> closed
        = shell.sessions.openSensor(plugin, sensors.front(), &shell.error);
    QVERIFY2(closed, qPrintable(shell.error));
    QPointer<QWidget> closedContent = closed->widget();
    QVERIFY(closedContent);
    QPointer<SensorSubWindow> kept
        = shell.sessions.openSensor(plugin, sensors.back(), &shell.error);
    QVERIFY(kept);
    QPointer<QWidget> keptContent = kept->widget();
    shell.sessions.broadcastUpdate(true);
    shell.area->setActiveSubWindow(closed);
    QTest::qWait(50);

    // Closed by the user: the plug-in's window goes with its interface, once.
    QVERIFY(closed->close());
    QVERIFY(!closedContent);
    QTRY_VERIFY(!closed);
    // Left open when the host quits.
    shell.area.reset();
    QVERIFY(!kept);
    QVERIFY(!keptContent);
}

void tst_HostShell::newWindowsAreComfortableAndCascaded_data()
{
    QTest::addColumn<QSize>("areaSize");
    QTest::addColumn<bool>("roomy");
    QTest::newRow("roomy area") << QSize(1500, 1000) << true;
    QTest::newRow("area a little larger than the window's minimum") << QSize(1000, 650) << false;
    QTest::newRow("area smaller than the window's minimum") << QSize(700, 400) << false;
}

// A sensor window opens at a size that shows its chart comfortably when the area has room,
// never below the plug-in window's minimum, and further windows cascade below it.
void tst_HostShell::newWindowsAreComfortableAndCascaded()
{
    QFETCH(QSize, areaSize);
    QFETCH(bool, roomy);
    PluginLoader loader;
    LoadedPlugin *plugin = loadShipped(loader);
    QVERIFY(plugin);
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

void tst_HostShell::nullInterfaceLeavesNothing()
{
    Shell shell;
    QSignalSpy changed(&shell.sessions, &SessionManager::sensorWindowsChanged);
    QVERIFY(!shell.open(m_fake, "Fake Null"));
    QVERIFY2(shell.error.contains("returned no interface") && shell.error.contains("Fake Null"),
             qPrintable(shell.error));
    QVERIFY(shell.area->subWindowList().isEmpty());
    QCOMPARE(changed.count(), 0);
}

// Activation, the update state and settings files reach the right interfaces.
void tst_HostShell::eventsAreRouted()
{
    Shell shell;
    QVERIFY(QTest::qWaitForWindowActive(shell.area.get()));
    SensorSubWindow *first = shell.open(m_fake, "Fake A");
    shell.sessions.broadcastUpdate(true);
    QCOMPARE(callsStartingWith("update:"), QStringList { "update:true" });
    // A window opened later starts with the current state.
    SensorSubWindow *second = shell.open(m_fake, "Fake B");
    QCOMPARE(callsStartingWith("update:"), (QStringList { "update:true", "update:true" }));
    QCOMPARE(shell.sessions.activeSensorWindow(), second);

    clearCalls();
    shell.area->setActiveSubWindow(first);
    QCOMPARE(callsStartingWith("active:"), (QStringList { "active:0", "active:1" }));
    QCOMPARE(shell.sessions.activeSensorWindow(), first);
    shell.sessions.broadcastUpdate(false);
    QCOMPARE(callsStartingWith("update:"), (QStringList { "update:false", "update:false" }));
    second->openSettings(QStringLiteral("/tmp/a.ovs"));
    QVERIFY(calls().contains("open:/tmp/a.ovs"));
}

void tst_HostShell::portListChangesOnly()
{
    QStringList systemPorts { "sysA" };
    Shell shell([&systemPorts] { return systemPorts; });
    PortWatcher &ports = shell.ports;
    shell.open(m_fake, "Fake A");
    QSignalSpy changed(&ports, &PortWatcher::portsChanged);

    ports.refresh();
    ports.refresh();
    QCOMPARE(changed.count(), 0);
    QCOMPARE(callsStartingWith("ports:"), QStringList { "ports:sysA" });

    systemPorts << "sysB";
    ports.refresh();
    ports.refresh();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(callsStartingWith("ports:"), (QStringList { "ports:sysA", "ports:sysA,sysB" }));

    // Extra ports without a path are always offered, after the system's, once each.
    ports.setExtraPorts({ "COM7", " COM7 ", "sysA" });
    QCOMPARE(ports.ports(), (QStringList { "sysA", "sysB", "COM7" }));
    QCOMPARE(changed.count(), 2);

    // The timer polls on its own.
    systemPorts.clear();
    ports.setInterval(20);
    ports.start();
    QTRY_COMPARE(changed.count(), 3);
    QCOMPARE(callsStartingWith("ports:").constLast(), QStringLiteral("ports:COM7,sysA"));

    // Extra ports given as paths come and go with the path.
    QTemporaryDir dir;
    const QString link = dir.filePath("simlink");
    ports.stop();
    ports.setExtraPorts({ link });
    QVERIFY(ports.ports().isEmpty());
    QFile file(link);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    ports.refresh();
    QCOMPARE(ports.ports(), QStringList { link });
    QVERIFY(file.remove());
    ports.refresh();
    QVERIFY(ports.ports().isEmpty());
}

void tst_HostShell::heldPortsAreNotOffered()
{
    Shell shell([] { return QStringList { "p1", "p2", "p3" }; });
    SensorSubWindow *first = shell.open(m_fake, "Fake A");
    SensorSubWindow *second = shell.open(m_fake, "Fake B");
    QCOMPARE(second->offeredPorts(), (QStringList { "p1", "p2", "p3" }));

    first->autoConnect(QStringLiteral("p2"));
    // Every window is told once the connection is made; the holder adds its own port itself.
    QTRY_COMPARE(second->offeredPorts(), (QStringList { "p1", "p3" }));
    QCOMPARE(first->offeredPorts(), (QStringList { "p1", "p3" }));
    QCOMPARE(shell.sessions.freePorts(), (QStringList { "p1", "p3" }));

    // The second window cannot take the port the first holds.
    second->autoConnect(QStringLiteral("p2"));
    QCOMPARE(second->connectedPort(), QString());

    QVERIFY(first->close());
    QTRY_COMPARE(second->offeredPorts(), (QStringList { "p1", "p2", "p3" }));
    QVERIFY(shell.sessions.closeAll());
}

void tst_HostShell::scanFindsAndMatches()
{
    SensorListModel model;
    model.setCatalogue(m_fake, m_fake->sensorMap());
    ScanJob job({ m_fake }, { "silent0", "sensor1", "silent2" }, fakePortFactory(),
                fakePortCanceller());
    QSignalSpy found(&job, &ScanJob::sensorFound);
    QSignalSpy portFinished(&job, &ScanJob::portFinished);
    QSignalSpy finished(&job, &ScanJob::finished);
    job.start();
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.constFirst().constFirst().toBool(), false);
    QCOMPARE(portFinished.count(), 3);
    QCOMPARE(found.count(), 1);
    QCOMPARE(found.constFirst().at(2).toString(), QStringLiteral("sensor1"));

    const auto sensor = found.constFirst().at(1).value<ExtensionSystem::SensorBasic>();
    const SensorEntry *entry = model.entry(model.addFoundSensor(m_fake, sensor, "sensor1"));
    QVERIFY(entry && entry->matched);
    QCOMPARE(entry->displayName(), QStringLiteral("Fake A"));
    QCOMPARE(entry->firmware, 8);
}

void tst_HostShell::scanCancels()
{
    ScanJob job({ m_fake }, { "slow0", "slow1", "sensor2" }, fakePortFactory(),
                fakePortCanceller());
    QSignalSpy started(&job, &ScanJob::portStarted);
    QSignalSpy found(&job, &ScanJob::sensorFound);
    QSignalSpy finished(&job, &ScanJob::finished);
    QElapsedTimer timer;
    timer.start();
    job.start();
    QTRY_COMPARE(started.count(), 1);
    QTest::qWait(100);
    job.cancel();
    QVERIFY(finished.wait(2000));
    QVERIFY(timer.elapsed() < 2000); // a slow port alone takes five seconds
    QCOMPARE(finished.constFirst().constFirst().toBool(), true);
    QCOMPARE(started.count(), 1);
    QCOMPARE(found.count(), 0);
}

void tst_HostShell::languageReachesPluginWindows()
{
    Shell shell;
    shell.open(m_fake, "Fake A");
    LanguageManager language;

    clearCalls();
    const QStringList files = language.setLanguage(QStringLiteral("de"));
    QCOMPARE(language.language(), QStringLiteral("de"));
    QCOMPARE(ExtensionSystem::Globals::getLanguage(), std::string("de"));
    QVERIFY2(files.contains(LanguageManager::translationDir() + "/orbexa_de.qm"),
             qPrintable(files.join(", ")));
    QTRY_VERIFY(calls().contains("languageChange"));
    QCOMPARE(QCoreApplication::translate("Orbexa::Internal::MainWindow", "&File"),
             QStringLiteral("&Datei"));

    clearCalls();
    language.setLanguage(QStringLiteral("xx")); // unknown: back to English
    QCOMPARE(language.language(), QStringLiteral("en"));
    QCOMPARE(ExtensionSystem::Globals::getLanguage(), std::string("en"));
    QTRY_VERIFY(calls().contains("languageChange"));
    QCOMPARE(QCoreApplication::translate("Orbexa::Internal::MainWindow", "&File"),
             QStringLiteral("&File"));
    QVERIFY(shell.sessions.closeAll());
}

void tst_HostShell::mainWindowOpensFromCommandLine()
{
    QTemporaryDir dir;
    QVERIFY(QFile::copy(fakePluginFile("hostfakeplugin"), dir.filePath("hostfakeplugin.so")));
    MainWindow window;
    window.portWatcher()->setSystemPortSource([] { return QStringList { "pX" }; });
    window.loadPlugins(dir.path());
    window.show();
    QCOMPARE(window.sensorModel()->catalogueCount(), 3);
    QVERIFY(window.sensorView()->currentIndex().isValid());

    QVERIFY(!window.openSensorByName(QStringLiteral("No Such Sensor"), QString()));
    QVERIFY(window.logDock()->text().contains("No Such Sensor"));
    QVERIFY(!window.openSensorByName(QStringLiteral("Fake Null"), QString()));
    QVERIFY(window.logDock()->text().contains("returned no interface"));

    SensorSubWindow *sensor = window.openSensorByName(QStringLiteral("fake b"), "pX");
    QVERIFY(sensor);
    QCOMPARE(sensor->connectedPort(), QStringLiteral("pX"));

    window.setPresentationMode(true);
    QVERIFY(ExtensionSystem::Globals::getPresentationMode());
    QCOMPARE(callsStartingWith("update:").constLast(), QStringLiteral("update:true"));
    window.setPresentationMode(false);
    QVERIFY(!ExtensionSystem::Globals::getPresentationMode());
    QCOMPARE(callsStartingWith("update:").constLast(), QStringLiteral("update:false"));

    window.setLanguage(QStringLiteral("de"));
    QTRY_COMPARE(window.menuBar()->actions().constFirst()->text(), QStringLiteral("&Datei"));
    window.setLanguage(QStringLiteral("en"));
    QTRY_COMPARE(window.menuBar()->actions().constFirst()->text(), QStringLiteral("&File"));

    QVERIFY(window.close());
    QVERIFY(calls().contains("destroyed"));
}

QTEST_MAIN(tst_HostShell)
#include "tst_hostshell.moc"
