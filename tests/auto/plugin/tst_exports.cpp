// Drives the plug-in only as the host does: load the module, resolve the eight entry points
// by name and call them. Nothing of the plug-in's own code is linked in. A real scan through
// the entry point, against quxsim, is tst_hostscan's.
#include <plugininterface.h>
#include <sensorbasic.h>
#include <serialportinterface.h>

#include <QtTest>

#include <list>

class QMdiSubWindow;

using SensorList = std::list<ExtensionSystem::SensorBasic>;
using StringFunction = const char *(*)();
using SensorMapFunction = void (*)(SensorList &);
using ScanFunction = ExtensionSystem::SensorBasic *(*)(ExtensionSystem::SerialPortInterface *);
using InstanceFunction
    = ExtensionSystem::PluginInterface *(*)(const ExtensionSystem::SensorBasic *, QMdiSubWindow *);

namespace {

QString pluginPath()
{
    return QCoreApplication::applicationDirPath() + "/plugins/QUXfamily.so";
}

} // namespace

class tst_Exports : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void entryPoints();
    void sensorMap();

private:
    template<typename Function> Function entry(const char *name)
    {
        return reinterpret_cast<Function>(m_library.resolve(name));
    }

    QLibrary m_library;
};

void tst_Exports::initTestCase()
{
    m_library.setFileName(pluginPath());
    QVERIFY2(m_library.load(), qPrintable(m_library.errorString()));
}

void tst_Exports::entryPoints()
{
    // The host may keep the texts' pointers: each stays the same and valid. (The texts
    // themselves are checked through the host's loader, tests/auto/host.)
    for (const char *name : { "pcHalvornOrbexaPluginName", "pcPluginVersion", "pcDescription",
                              "pcCommunicationType" }) {
        const auto call = entry<StringFunction>(name);
        QVERIFY2(call, name);
        const char *first = call();
        QVERIFY2(first && *first, name);
        QCOMPARE(call(), first);
    }

    const auto initialisePlugin = entry<void (*)()>("vInitialisePlugin");
    QVERIFY(initialisePlugin);
    initialisePlugin();
    initialisePlugin(); // the host may call it again

    // Internal functions of the plug-in must not leak out of the module.
    QVERIFY(!m_library.resolve("_ZN17DrumoSensorPlugin4Core10buildFrameENSt7__cxx1112basic_"
                               "stringIcSt11char_traitsIcESaIcEEE"));
    QVERIFY(!m_library.resolve("_ZN17DrumoSensorPlugin4Core19readSensorCatalogueB5cxx11Ev"));

    // Null arguments give null results, not crashes.
    const auto scan = entry<ScanFunction>("scanForSensor");
    QVERIFY(scan);
    QCOMPARE(scan(nullptr), nullptr);
    const auto instance = entry<InstanceFunction>("poGetInterfaceInstance");
    QVERIFY(instance);
    ExtensionSystem::SensorBasic sensor;
    sensor.setName("QUX-T40 D");
    QCOMPARE(instance(&sensor, nullptr), nullptr);
}

// The list is replaced, not added to. Which entries it holds is checked through the host's
// loader against the catalogue next to the application (tests/auto/host).
void tst_Exports::sensorMap()
{
    const auto sensorMap = entry<SensorMapFunction>("vSensorMap");
    QVERIFY(sensorMap);
    ExtensionSystem::SensorBasic stale;
    stale.setName("stale entry");
    SensorList sensors { stale, stale };
    sensorMap(sensors);
    QVERIFY(!sensors.empty());
    for (const auto &sensor : sensors)
        QVERIFY(sensor.name() != "stale entry" && !sensor.name().empty());
}

QTEST_GUILESS_MAIN(tst_Exports)

#include "tst_exports.moc"
