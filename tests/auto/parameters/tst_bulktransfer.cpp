// The whole parameter set against the simulated sensor: reading all and writing all in their
// order, in °C and °F, the factory reset, a sensor that falls silent or is unplugged meanwhile;
// and the dispatch's attempts, connection checks and repeats.

#include "simulatedsession.h"

#include <QtTest>

using namespace DrumoSensorPlugin::Core;

using Requests = QList<QByteArray>;
Q_DECLARE_METATYPE(Requests)

namespace {

const Requests readAllInCelsius { "0WT",  "0WU", "0U0", "0WC1", "0WC2", "0WA1", "0WA2", "0WO1",
                                  "0WO2", "0WQ", "0Wb", "0We",  "0Wm",  "0WF",  "0WL" };

Requests repeated(const QByteArray &body, int times)
{
    Requests result;
    for (int i = 0; i < times; ++i)
        result << body;
    return result;
}

} // namespace

class tst_BulkTransfer : public QObject
{
    Q_OBJECT

private slots:
    void readAll_data();
    void readAll();
    void switchingPointsOfAnAnalogSensor();
    void sensorFallsSilentDuringReadAll_data();
    void sensorFallsSilentDuringReadAll();
    void writeAll_data();
    void writeAll();
    void unpluggedDuringWriteAll();
    void factoryReset();
    void dispatchAttempts_data();
    void dispatchAttempts();
};

void tst_BulkTransfer::readAll_data()
{
    QTest::addColumn<int>("unit");
    QTest::newRow("C") << 0;
    QTest::newRow("F") << 1;
}

// The sensor is put into °C for the temperatures and back into °F at the end; the rows show the
// display unit.
void tst_BulkTransfer::readAll()
{
    QFETCH(int, unit);
    SimulatedSession s;
    QuxSim::SensorParameters &held = s.held();
    held.unit = unit;
    held.switchingPoint[1] = 250.0;
    held.analogHigh = 300.0;

    s.session->bulk().readAll();
    QCOMPARE(s.takeRequests(), readAllInCelsius + (unit ? Requests { "0U1" } : Requests()));

    // Each row's value as read is tst_parameterio's read-back; here the unit's effects.
    // The switching point goes into the row before the display unit's limits: in °F the
    // description's °C maximum holds it at 350.0 (the line shows 482.0).
    QCOMPARE(s.rows.doubleValue("2switchingOn"), unit ? 350.0 : 250.0);
    QCOMPARE(s.rows.maximum("10v"), unit ? 662.0 : 350.0);
    QCOMPARE(s.state().analogHigh, unit ? 572.0 : 300.0);
}

// An analog sensor's description has no switching points: their reads fail although the sensor
// answers, and reading all asks five times for each.
void tst_BulkTransfer::switchingPointsOfAnAnalogSensor()
{
    SimulatedSession s("QUX-T40 A", SimulatedSession::Scripted);
    s.session->bulk().readAll();
    const Requests requests = s.takeRequests();
    QCOMPARE(requests.count("0WC1"), 5);
    QCOMPARE(requests.count("0WC2"), 5);
    QCOMPARE(requests.size(), readAllInCelsius.size() + 8);
}

void tst_BulkTransfer::sensorFallsSilentDuringReadAll_data()
{
    QTest::addColumn<int>("answered");
    QTest::newRow("silent from the start") << 0;
    QTest::newRow("silent after four answers") << 4;
}

// Every parameter keeps its attempts, the read goes on to the end, and what was not read keeps
// its row's value.
void tst_BulkTransfer::sensorFallsSilentDuringReadAll()
{
    QFETCH(int, answered);
    SimulatedSession s("QUX-T40 D", SimulatedSession::Scripted);
    s.held().switchingPoint[0] = 150.0;
    s.held().switchingPoint[1] = 250.0;
    int requests = 0;
    s.scripted.script = [&](const QByteArray &body) -> std::optional<std::string> {
        return ++requests <= answered ? s.scripted.modelAnswer(body) : std::nullopt;
    };
    TraceRecorder traces;
    s.session->bulk().readAll();

    // Step by step in reading all's order: its attempts, whether a failed attempt is traced
    // (the unit's switch to °C, the time and the laser are not).
    const int attempts[] = { 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 2, 1 };
    Requests expected;
    int failures = 0;
    for (int i = 0; i < readAllInCelsius.size(); ++i) {
        const int sent = i < answered ? 1 : attempts[i];
        expected << repeated(readAllInCelsius.at(i), sent);
        if (i >= answered && i != 2 && i < 13)
            failures += sent;
    }
    QCOMPARE(s.takeRequests(), expected);
    QCOMPARE(traces.lines.size(), failures);
    QVERIFY(traces.lines.contains(QStringLiteral("BUCLA EMISIVITY")));
    QCOMPARE(s.rows.doubleValue("1switchingOn"), answered ? 150.0 : 100.0);
    QCOMPARE(s.rows.doubleValue("2switchingOn"), 200.0);
}

void tst_BulkTransfer::writeAll_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<Requests>("requests");
    // The rows as the description sets them up, pin 2 as output 2 (read back at once).
    QTest::newRow("C") << 0 << Requests { "0U0",     "0e095", "0F3",  "0L00",    "0A10",   "0O10",
                                          "0S11000", "0WD",   "0T00", "0WT",     "0A20",   "0O20",
                                          "0S22000", "0WD",   "0Q00", "0pb0000", "0pe3500" };
    // The switching points go out in °C; the analog range as it stands (662.0 °F limited to
    // the sensor's 350.0), the sensor in °F.
    QTest::newRow("F") << 1 << Requests { "0U1",  "0e095",   "0F3",    "0L00",    "0A10", "0O10",
                                          "0U0",  "0S11000", "0U1",    "0WD",     "0T00", "0WT",
                                          "0A20", "0O20",    "0U0",    "0S22000", "0U1",  "0WD",
                                          "0Q00", "0pb0320", "0pe3500" };
}

// Every row in pre-order, the deferred ones at once, as when the PC's settings are sent.
void tst_BulkTransfer::writeAll()
{
    QFETCH(int, unit);
    QFETCH(Requests, requests);
    SimulatedSession s;
    s.held().switchingPoint[0] = 150.0;
    s.held().analogHigh = 200.0;
    if (unit) {
        s.rows.setValue("unit", 1);
        s.io().convertDisplayedTemperatures(true);
    }
    s.state().deferValueWrites = false;
    s.session->bulk().writeAll();

    QCOMPARE(s.takeRequests(), requests);
    QCOMPARE(s.held().unit, unit);
    // The range's 662.0 °F went out as 350.0 to a sensor showing °F.
    QCOMPARE(s.held().analogHigh, unit ? (350.0 - 32.0) / 1.8 : 350.0);
    // Also the rate the line runs at is asked about (declined here: nothing sent).
    QCOMPARE(s.view.count("confirmBaudRateChange"), 1);
    QCOMPARE(s.view.count("checkConnection"), 0);
}

// The write that meets the unplugged line fails five times, the connection check takes the
// session offline, and the rows after it are passed over.
void tst_BulkTransfer::unpluggedDuringWriteAll()
{
    SimulatedSession s;
    QuxSim::FaultSettings faults;
    faults.unplugAfter = 3;
    s.sensor->setFaults(faults);
    s.view.sensorThere = false;
    s.state().deferValueWrites = false;
    s.liveDataOn();
    s.session->bulk().writeAll();

    QCOMPARE(s.takeRequests().mid(0, 3), Requests({ "0U0", "0e095", "0F3" }));
    QVERIFY(!s.state().connected);
    QCOMPARE(s.view.count("checkConnection"), 1);
    // unit, emissivity, time, and the laser whose write met the unplugged line.
    QCOMPARE(s.view.count("suspendPolling"), 4);
    QCOMPARE(s.view.calls.last(), QStringLiteral("resumePolling(1)"));
}

// "0R", the whole set read back, the host's own defaults, the factory emissivity once more.
void tst_BulkTransfer::factoryReset()
{
    SimulatedSession s;
    s.held().laser = 1;
    s.held().emissivity = 50;
    s.held().switchingPoint[0] = 150.0;
    s.rows.setValue("ExpertMenu", 1);
    s.rows.setValue("laser", 1);
    s.state().measuredTemp = false;

    QVERIFY(s.session->bulk().factoryReset());
    QCOMPARE(s.takeRequests(), Requests { "0R" } + readAllInCelsius + Requests { "0e095" });
    QCOMPARE(s.held(), QuxSim::SensorParameters());
    QCOMPARE(s.rows.enumIndex("laser"), 0);
    QCOMPARE(s.rows.doubleValue("1switchingOn"), 100.0);
    QCOMPARE(s.rows.doubleValue("10v"), 350.0);
    QCOMPARE(s.rows.minimum("10v"), -25.0);
    QCOMPARE(s.rows.enumIndex("ExpertMenu"), 0);
    QVERIFY(s.state().measuredTemp);

    // Without an acknowledgement nothing else is sent.
    SimulatedSession silent("QUX-T40 D", SimulatedSession::Scripted);
    silent.scripted.script = [](const QByteArray &) { return std::optional<std::string>(); };
    QVERIFY(!silent.session->bulk().factoryReset());
    QCOMPARE(silent.takeRequests(), Requests({ "0R" }));
}

void tst_BulkTransfer::dispatchAttempts_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("failures"); // unanswered requests before the sensor answers; -1 all
    QTest::addColumn<bool>("sensorThere"); // the connection check's answer
    QTest::addColumn<bool>("pin2Analog");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<Requests>("requests");
    QTest::addColumn<int>("checks");
    QTest::addColumn<int>("unit");

    auto row = [](const char *name, const char *id, QVariant value, int failures, bool sensorThere,
                  bool pin2Analog, bool connected, Requests requests, int checks, int unit = 0) {
        QTest::newRow(name) << QString(id) << value << failures << sensorThere << pin2Analog
                            << connected << requests << checks << unit;
    };
    row("answered at the third attempt", "laser", 1, 2, true, false, true, repeated("0L01", 3), 0);
    row("never answered, sensor there", "laser", 1, -1, true, false, true, repeated("0L01", 15), 3);
    row("never answered, sensor gone", "laser", 1, -1, false, false, true, repeated("0L01", 5), 1);
    row("signal type counts as handled", "2analogoutput", 1, -1, true, false, true,
        repeated("0Q01", 5), 0);
    row("id without a command", "2teach", QString(), 0, true, false, true, {}, 3);
    row("pin 2 analog: type 2", "2type", 1, 0, true, true, true, {}, 0);
    // The sensor goes to °C after the pin 2 write whatever its answer; after a failed write we
    // set it back to °F at once rather than leave it in °C until the next unit write.
    row("pin 2 in F, first write unanswered", "2A", 1, 1, true, false, true,
        { "0T01", "0U0", "0U1", "0T01", "0U0", "0WC1", "0WC2", "0U1" }, 0, 1);
    row("pin 1 shown only", "1A", 0, 0, true, false, true, {}, 0);
    row("baud rate declined", "baudrate", 4, 0, true, false, true, {}, 0);
    row("baud rate of the line: asked as well", "baudrate", 2, 0, true, false, true, {}, 0);
    row("not connected", "laser", 1, 0, true, false, false, {}, 0);
}

// Five attempts per write, a trace line after each failed one; then the connection check and
// at most two repeats of the whole dispatch; the polling suspended and resumed around each.
void tst_BulkTransfer::dispatchAttempts()
{
    QFETCH(QString, id);
    QFETCH(QVariant, value);
    QFETCH(int, failures);
    QFETCH(bool, sensorThere);
    QFETCH(bool, pin2Analog);
    QFETCH(bool, connected);
    QFETCH(Requests, requests);
    QFETCH(int, checks);
    QFETCH(int, unit);

    SimulatedSession s("QUX-T40 D", SimulatedSession::Scripted);
    int unanswered = 0;
    s.scripted.script = [&](const QByteArray &body) -> std::optional<std::string> {
        if (failures < 0 || unanswered < failures) {
            ++unanswered;
            return std::nullopt;
        }
        return s.scripted.modelAnswer(body);
    };
    s.rows.setValue("2A", pin2Analog ? 1 : 0);
    s.rows.setValue("unit", unit);
    s.state().connected = connected;
    s.view.sensorThere = sensorThere;
    s.liveDataOn();
    TraceRecorder traces;
    s.edit(id, value);

    QCOMPARE(s.takeRequests(), requests);
    QCOMPARE(s.view.count("checkConnection"), checks);
    QCOMPARE(traces.lines.size(), failures < 0 ? requests.size() : qMin(failures, 5));
    QCOMPARE(s.state().connected, connected && sensorThere);
    if (id == QLatin1String("baudrate"))
        QCOMPARE(s.view.count("confirmBaudRateChange"), 1);
    // The live data rests once around the whole dispatch, repeats included, and comes back.
    QCOMPARE(s.view.count("suspendPolling"), int(connected));
    QCOMPARE(s.view.count("resumePolling(1)"), int(connected));
}

QTEST_GUILESS_MAIN(tst_BulkTransfer)

#include "tst_bulktransfer.moc"
