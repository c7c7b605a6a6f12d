#include "../common/testfiles.h"
#include "simtesthelpers.h"

#include <extensionsystem/xmlnesting.h>
#include <sensortype.h>
#include <simframe.h>
#include <simulatedsensor.h>

#include <QTemporaryDir>

#include <QtTest>

// How the sensor encodes every value it reads, in both units and with its limits (the live
// answer included), is fuzz_answervalues', against an encoding of its own; that a temperature
// written in °F is the same temperature, the switching rules' row below.

using namespace QuxSim;
using namespace SimTest;

namespace {

struct ManualClock
{
    qint64 now = 0;
    Clock clock()
    {
        return [this] { return now; };
    }
};

SensorType testType()
{
    SensorType type;
    type.name = QStringLiteral("QUX test");
    type.group = 0x12;
    type.types = { 3, 4 };
    type.isDigital = true;
    return type;
}

} // namespace

class tst_SimulatorModel : public QObject
{
    Q_OBJECT

private slots:
    void ignoresBadRequests_data();
    void ignoresBadRequests();
    void writesAreReadBack_data();
    void writesAreReadBack();
    void outputsFollowSwitchingRules_data();
    void outputsFollowSwitchingRules();
    void temperatureProcess();
    void factoryReset();
    void baudrateAfterPowerCycle();
    void faultRates_data();
    void faultRates();
    void noiseAndDelay();
    void unplugAfter();
    void framesAcrossChunks();
    void requestLogFile();
    void catalogueNesting();
};

void tst_SimulatorModel::ignoresBadRequests_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<Outcome>("outcome");
    QByteArray wrongChecksum = frame("0WL");
    wrongChecksum[wrongChecksum.size() - 2]
        = wrongChecksum.at(wrongChecksum.size() - 2) == '0' ? '1' : '0';
    QTest::newRow("wrong checksum") << wrongChecksum << Outcome::BadChecksum;
    QTest::newRow("too short") << QByteArray("/0V4.") << Outcome::BadChecksum;
    QTest::newRow("unknown command") << frame("0Zz") << Outcome::UnknownCommand;
    QTest::newRow("output 3") << frame("0WC3") << Outcome::UnknownCommand;
    QTest::newRow("unit 2") << frame("0U2") << Outcome::UnknownCommand;
    QTest::newRow("letter for a digit") << frame("0L0x") << Outcome::UnknownCommand;
    QTest::newRow("temperature not digits") << frame("0S1ab00") << Outcome::UnknownCommand;
    QTest::newRow("baud digit 7") << frame("0?BR7") << Outcome::UnknownCommand;
    QTest::newRow("threshold letter") << frame("0O0a1X0123") << Outcome::UnknownCommand;
}

void tst_SimulatorModel::ignoresBadRequests()
{
    QFETCH(QByteArray, request);
    QFETCH(Outcome, outcome);
    SimulatedSensor sensor(testType());
    const SensorParameters before = sensor.model().parameters();
    QVERIFY(sensor.receive(request).isEmpty());
    QCOMPARE(sensor.log().entries().size(), 1);
    QCOMPARE(sensor.log().entries().first().outcome, outcome);
    QVERIFY(sensor.model().parameters() == before);
}

// Each row: a write, the read, its answer, on a fresh sensor: values out of range are limited.
// Every write in range read back is tst_parameterio's, through the plug-in and this sensor.
void tst_SimulatorModel::writesAreReadBack_data()
{
    QTest::addColumn<QByteArray>("row");
    for (const char *row : { "0e005 0Wm 0Wm010", "0pe4000 0We 0We3500", "0S1-300 0WC1 0WC1-250" })
        QTest::newRow(row) << QByteArray(row);
}

void tst_SimulatorModel::writesAreReadBack()
{
    QFETCH(QByteArray, row);
    const QList<QByteArray> parts = row.split(' ');
    SimulatedSensor sensor(testType());
    QVERIFY(!ask(sensor, parts[0]).isEmpty());
    QCOMPARE(ask(sensor, parts[1]), parts[2]);
}

void tst_SimulatorModel::outputsFollowSwitchingRules_data()
{
    QTest::addColumn<QByteArray>("writes"); // after setting the points to 100 and 200 C
    QTest::addColumn<double>("temperature");
    QTest::addColumn<QByteArray>("states");
    QTest::newRow("below both") << QByteArray() << 50.0 << QByteArray("00");
    QTest::newRow("at point 1") << QByteArray() << 100.0 << QByteArray("01");
    QTest::newRow("above both") << QByteArray() << 250.0 << QByteArray("03");
    // NC: normally closed (inverted); the operate mode (PNP/NPN) does not invert.
    QTest::newRow("output 1 NC, cold") << QByteArray("0A11") << 50.0 << QByteArray("01");
    QTest::newRow("both NC, hot") << QByteArray("0A11 0A21") << 250.0 << QByteArray("00");
    QTest::newRow("operate mode") << QByteArray("0O11 0O21") << 150.0 << QByteArray("01");
    QTest::newRow("pin 2 analog, hot") << QByteArray("0T01") << 250.0 << QByteArray("01");
    QTest::newRow("pin 2 analog, NC") << QByteArray("0T01 0A21") << 50.0 << QByteArray("00");
    QTest::newRow("points written in F")
        << QByteArray("0U1 0S12120 0S23920 0U0") << 150.0 << QByteArray("01");
}

void tst_SimulatorModel::outputsFollowSwitchingRules()
{
    QFETCH(QByteArray, writes);
    QFETCH(double, temperature);
    QFETCH(QByteArray, states);
    SimulatedSensor sensor(testType());
    for (const QByteArray &write : ("0S11000 0S22000 " + writes).split(' '))
        QVERIFY2(write.isEmpty() || !ask(sensor, write).isEmpty(), write.constData());
    sensor.model().process().setTemperature(temperature);
    QCOMPARE(ask(sensor, "0WD"), "0WD" + states);
}

void tst_SimulatorModel::temperatureProcess()
{
    ManualClock time;
    TemperatureProcess process(time.clock());
    process.setTemperature(20.0);
    process.setRamp(10.0);
    process.setTarget(50.0);
    time.now += 1000;
    QCOMPARE(process.trueValue(), 30.0);
    time.now += 5000;
    QCOMPARE(process.trueValue(), 50.0);
    process.setTarget(40.0);
    time.now += 500;
    QCOMPARE(process.trueValue(), 45.0);
    process.setRamp(0.0);
    QCOMPARE(process.trueValue(), 40.0);

    // Noise: same seed, same readings; about the requested spread around the value.
    TemperatureProcess a(time.clock(), 7), b(time.clock(), 7);
    for (TemperatureProcess *p : { &a, &b }) {
        p->setTemperature(100.0);
        p->setNoise(2.0);
    }
    double sum = 0.0, squares = 0.0;
    const int n = 2000;
    for (int i = 0; i < n; ++i) {
        const double value = a.measure();
        QCOMPARE(b.measure(), value);
        sum += value;
        squares += value * value;
    }
    const double mean = sum / n;
    QVERIFY(qAbs(mean - 100.0) < 0.3);
    QVERIFY(qAbs(std::sqrt(squares / n - mean * mean) - 2.0) < 0.3);
}

// What the reset sets, through the plug-in's reset, is tst_bulktransfer's; the chosen rate is not
// a parameter of it.
void tst_SimulatorModel::factoryReset()
{
    SimulatedSensor sensor(testType());
    QVERIFY(!ask(sensor, "0?BR6").isEmpty());
    QCOMPARE(ask(sensor, "0R"), QByteArray("0MR"));
    QCOMPARE(sensor.model().pendingBaudrate(), 115200);
}

void tst_SimulatorModel::baudrateAfterPowerCycle()
{
    SimulatedSensor sensor(testType());
    QCOMPARE(sensor.model().baudrate(), 38400);
    QCOMPARE(ask(sensor, "0?BR6"), QByteArray("0Ade6"));
    // The new rate waits for the next power cycle.
    QVERIFY(checksumValid(exchange(sensor, "0V", 38400)));
    sensor.model().powerCycle();
    QCOMPARE(sensor.model().baudrate(), 115200);
    // Garbled answers at another rate are what the identification's baud stepping meets in
    // tst_connectsequence and tst_quxctl.
    QVERIFY(checksumValid(exchange(sensor, "0V", 115200)));
    // An unknown host rate is taken as matching.
    QVERIFY(checksumValid(exchange(sensor, "0V", 0)));

    FaultSettings faults;
    faults.baudMismatch = FaultSettings::BaudMismatch::Ignore;
    sensor.setFaults(faults);
    QVERIFY(checksumValid(exchange(sensor, "0V", 9600)));
}

void tst_SimulatorModel::faultRates_data()
{
    QTest::addColumn<double>("drop");
    QTest::addColumn<double>("corrupt");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("20% drop") << 20.0 << 0.0 << 1u;
    QTest::newRow("10% corrupt") << 0.0 << 10.0 << 5u;
    QTest::newRow("both") << 30.0 << 30.0 << 11u;
    QTest::newRow("all dropped") << 100.0 << 0.0 << 3u;
}

void tst_SimulatorModel::faultRates()
{
    QFETCH(double, drop);
    QFETCH(double, corrupt);
    QFETCH(quint32, seed);
    const int n = 1000;
    auto run = [&](SimulatedSensor *sensor) {
        FaultSettings faults;
        faults.dropPercent = drop;
        faults.corruptPercent = corrupt;
        sensor->setFaults(faults);
        QList<QByteArray> answers;
        for (int i = 0; i < n; ++i)
            answers.append(exchange(*sensor, "0WL"));
        return answers;
    };
    SimulatedSensor sensor(testType(), systemClock(), seed);
    const QList<QByteArray> answers = run(&sensor);
    int dropped = 0, corrupted = 0;
    for (const QByteArray &answer : answers) {
        if (answer.isEmpty()) {
            ++dropped;
        } else if (!checksumValid(answer)) {
            ++corrupted;
            // A corrupted answer still looks like one: only its checksum is wrong.
            QVERIFY(matchesAnchored("/[0-9A-F]{2,2}0WL[0-9A-F]{3,3}\\.", answer));
        }
    }
    QCOMPARE(sensor.log().count(Outcome::Dropped), dropped);
    QCOMPARE(sensor.log().count(Outcome::Corrupted), corrupted);
    QCOMPARE(sensor.log().count(Outcome::Answered), n - dropped - corrupted);
    // Corruption applies to the answers that were not dropped.
    const double expectedDropped = n * drop / 100.0;
    const double expectedCorrupted = (n - expectedDropped) * corrupt / 100.0;
    QVERIFY2(qAbs(dropped - expectedDropped) <= 50, qPrintable(QString::number(dropped)));
    QVERIFY2(qAbs(corrupted - expectedCorrupted) <= 50, qPrintable(QString::number(corrupted)));

    SimulatedSensor again(testType(), systemClock(), seed);
    QCOMPARE(run(&again), answers); // the same seed repeats the same run
}

void tst_SimulatorModel::noiseAndDelay()
{
    SimulatedSensor sensor(testType());
    FaultSettings faults;
    faults.noiseBytes = 40;
    faults.delayMs = 25;
    sensor.setFaults(faults);
    const QList<SimulatedSensor::Output> outputs = sensor.receive(frame("0WU"));
    QCOMPARE(outputs.size(), 1);
    QCOMPARE(outputs.first().delayMs, 25);
    const QByteArray bytes = outputs.first().bytes;
    QCOMPARE(bytes.size(), 80 + 10);
    QCOMPARE(bytes.count('/'), 1);
    QCOMPARE(bytes.mid(40, 10), frame("0WU0"));
    QCOMPARE(sensor.log().entries().first().noiseBytes, 80);
}

void tst_SimulatorModel::unplugAfter()
{
    SimulatedSensor sensor(testType());
    FaultSettings faults;
    faults.unplugAfter = 3;
    sensor.setFaults(faults);
    // A request the sensor ignores does not count.
    QVERIFY(sensor.receive("/000V00.").isEmpty());
    for (int i = 0; i < 3; ++i)
        QVERIFY(checksumValid(exchange(sensor, "0V")));
    QVERIFY(!sensor.isUnplugged());
    QVERIFY(exchange(sensor, "0V").isEmpty());
    QVERIFY(sensor.isUnplugged());
    QCOMPARE(sensor.log().entries().last().outcome, Outcome::Unplugged);
    QVERIFY(exchange(sensor, "0V").isEmpty());
    QCOMPARE(sensor.log().entries().size(), 5);
    sensor.replug();
    QVERIFY(checksumValid(exchange(sensor, "0V")));
}

void tst_SimulatorModel::framesAcrossChunks()
{
    SimulatedSensor sensor(testType());
    const QByteArray request = frame("0V");
    QVERIFY(sensor.receive(request.left(3)).isEmpty());
    QCOMPARE(sensor.receive(request.mid(3)).size(), 1);
    // Rubbish, a broken start and two frames in one piece.
    QCOMPARE(sensor.receive("x.y/12" + frame("0WL") + frame("0WU")).size(), 2);
    QCOMPARE(sensor.log().requests(), (QList<QByteArray> { "0V", "0WL", "0WU" }));

    // A "/" never followed by "." is noise once it is longer than any frame: it is dropped,
    // whether it comes in one piece or in many, and the next frame is answered.
    const QByteArray overlong = "/" + QByteArray(Frame::maxLength, 'x');
    QVERIFY(sensor.receive(overlong + ".").isEmpty());
    for (int i = 0; i < 1000; ++i)
        QVERIFY(sensor.receive(overlong).isEmpty());
    QVERIFY(sensor.receive(".").isEmpty());
    QCOMPARE(sensor.receive(overlong + frame("0V")).size(), 1);
    QCOMPARE(sensor.log().requests(), (QList<QByteArray> { "0V", "0WL", "0WU", "0V" }));
}

// The file's lines are what every test through quxsim reads (tests/auto/common); here the
// time stamp, and memory keeping only the newest entries while the file keeps every one.
void tst_SimulatorModel::requestLogFile()
{
    QTemporaryDir dir;
    ManualClock time;
    time.now = 1234;
    SimulatedSensor sensor(testType(), time.clock());
    QVERIFY(sensor.log().setFile(dir.filePath("requests.log")));
    exchange(sensor, "0V");
    sensor.receive("/000V00.");
    QCOMPARE(sensor.log().entries().first().time, 1234);
    sensor.log().setCapacity(2);
    QCOMPARE(sensor.log().entries().size(), 2);
    exchange(sensor, "0WL");
    QCOMPARE(sensor.log().requests(), (QList<QByteArray> { "/000V00.", "0WL" }));
    QCOMPARE(sensor.log().droppedCount(), 1);
    QCOMPARE(TestFiles::read(dir.filePath("requests.log")).count('\n'), 3);
}

// Which entries the simulator offers is fuzz_simcatalogue's and tst_quxsim's (--list); here
// the nesting limit it shares with the host: the description of an entry (at level 3) nesting
// to the limit is read, one level more is not.
void tst_SimulatorModel::catalogueNesting()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("QUXfamily.xml");
    for (int levels : { ExtensionSystem::maxXmlNesting, ExtensionSystem::maxXmlNesting + 1 }) {
        QVERIFY(TestFiles::write(path,
                                 "<document><documentId>QUXfamily</documentId><sensorList><s>"
                                 "<name>Deep</name><group>1</group><types>1</types><d>"
                                     + QByteArray("<x>").repeated(levels - 4)
                                     + QByteArray("</x>").repeated(levels - 4)
                                     + "</d></s></sensorList></document>"));
        QString error;
        const bool accepted = levels <= ExtensionSystem::maxXmlNesting;
        QCOMPARE(readCatalogue(path, &error).size(), accepted ? 1 : 0);
        QCOMPARE(error.contains("nested deeper than"), !accepted);
    }
}

QTEST_GUILESS_MAIN(tst_SimulatorModel)

#include "tst_simulatormodel.moc"
