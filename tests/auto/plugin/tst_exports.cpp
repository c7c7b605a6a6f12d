// Drives the plug-in only as the host does: load the module, resolve the eight entry points
// by name and call them. Nothing of the plug-in's own code is linked in.
#include "fakeserialport.h"

#include <plugininterface.h>
#include <sensorbasic.h>

#include <QtTest>

#include <cstdio>
#include <list>
#include <memory>

class QMdiSubWindow;

using SensorList = std::list<ExtensionSystem::SensorBasic>;
using StringFunction = const char *(*)();
using SensorMapFunction = void (*)(SensorList &);
using ScanFunction = ExtensionSystem::SensorBasic *(*)(ExtensionSystem::SerialPortInterface *);
using InstanceFunction
    = ExtensionSystem::PluginInterface *(*)(const ExtensionSystem::SensorBasic *, QMdiSubWindow *);

namespace {

const char listSensorsOption[] = "--list-sensors";

QString pluginPath()
{
    return QCoreApplication::applicationDirPath() + "/plugins/QUXfamily.so";
}

ExtensionSystem::SensorBasic staleEntry()
{
    ExtensionSystem::SensorBasic stale;
    stale.setName("stale entry");
    return stale;
}

// Child process mode: the catalogue is looked up next to the executable, so a copy of this
// program in a scratch directory sees that directory's catalogue (or none) without touching
// the shared one in bin/.
int listSensors(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLibrary library(QString::fromLocal8Bit(argv[2]));
    const auto sensorMap = reinterpret_cast<SensorMapFunction>(library.resolve("vSensorMap"));
    if (!sensorMap)
        return 2;
    SensorList sensors { staleEntry() };
    sensorMap(sensors);
    for (const auto &sensor : sensors)
        std::printf("%s\n", sensor.name().c_str());
    return 0;
}

} // namespace

class tst_Exports : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void strings_data();
    void strings();
    void entryPoints();
    void sensorMap();
    void sensorMapInApplicationDirectory_data();
    void sensorMapInApplicationDirectory();
    void scanThroughEntryPoint();

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

void tst_Exports::strings_data()
{
    QTest::addColumn<QByteArray>("function");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("name") << QByteArray("pcHalvornOrbexaPluginName") << QByteArray("QUXfamily");
    QTest::newRow("version") << QByteArray("pcPluginVersion") << QByteArray("1.0.0");
    QTest::newRow("description") << QByteArray("pcDescription")
                                 << QByteArray("Plugin for handling Vexa sensors family");
    QTest::newRow("communication") << QByteArray("pcCommunicationType") << QByteArray("SERIAL");
}

void tst_Exports::strings()
{
    QFETCH(QByteArray, function);
    QFETCH(QByteArray, text);

    const auto call = entry<StringFunction>(function.constData());
    QVERIFY(call);
    const char *first = call();
    QCOMPARE(QByteArray(first), text);
    // The host may keep the pointer: it must stay the same and stay valid.
    QCOMPARE(call(), first);
}

void tst_Exports::entryPoints()
{
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

void tst_Exports::sensorMap()
{
    const auto sensorMap = entry<SensorMapFunction>("vSensorMap");
    QVERIFY(sensorMap);

    SensorList sensors { staleEntry(), staleEntry() };
    sensorMap(sensors);
    QVERIFY(sensors.size() >= 3);
    for (const auto &sensor : sensors) {
        QVERIFY(sensor.name() != "stale entry");
        QVERIFY(!sensor.name().empty());
        QCOMPARE(sensor.group(), 18);
        QVERIFY(!sensor.type().empty());
    }
}

void tst_Exports::sensorMapInApplicationDirectory_data()
{
    QTest::addColumn<QByteArray>("catalogue");
    QTest::addColumn<QStringList>("names");

    const QByteArray entries = "<sensorList><s><name>QUX-X1</name><group>18</group>"
                               "<types>7</types></s><s><name>QUX-X2</name><group>18</group>"
                               "<types>8</types></s></sensorList></document>";
    QTest::newRow("absent") << QByteArray() << QStringList();
    QTest::newRow("own catalogue") << "<document><documentId>QUXfamily</documentId>" + entries
                                   << QStringList { "QUX-X1", "QUX-X2" };
}

void tst_Exports::sensorMapInApplicationDirectory()
{
    QFETCH(QByteArray, catalogue);
    QFETCH(QStringList, names);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString program = dir.filePath("tst_exports");
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));
    if (!catalogue.isNull()) {
        QFile file(dir.filePath("QUXfamily.xml"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(catalogue);
    }

    QProcess process;
    process.start(program, { listSensorsOption, pluginPath() });
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    const QString output = QString::fromUtf8(process.readAllStandardOutput());
    QCOMPARE(output.split('\n', Qt::SkipEmptyParts), names);
}

// One real scan with the real pauses: the sensor answers the first attempt.
void tst_Exports::scanThroughEntryPoint()
{
    const auto scan = entry<ScanFunction>("scanForSensor");
    QVERIFY(scan);

    FakeSerialPort port({ "/070V83:12027E." });
    QElapsedTimer timer;
    timer.start();
    const std::unique_ptr<ExtensionSystem::SensorBasic> sensor(scan(&port));
    QVERIFY(timer.elapsed() >= 800);
    QVERIFY(sensor);
    QCOMPARE(sensor->group(), 18);
    QCOMPARE(sensor->type(), std::vector<int> { 2 });
    QCOMPARE(sensor->firmwareVersion(), std::vector<int> { 3 });
    QCOMPARE(sensor->description(), std::string("DrumoResponse"));
    QCOMPARE(port.calls.count("close"), 2);
}

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], listSensorsOption) == 0)
        return listSensors(argc, argv);
    QCoreApplication app(argc, argv);
    tst_Exports test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_exports.moc"
