// The live polling without a window: LivePoller on an in-process simulated sensor (what goes
// over the line, what the chart and the LEDs would get) and on a scripted connection (the
// request of a poll outliving its poller or its connection). How each form of answer is read
// (by its length, whatever its status; wrong checksums, fields that are no number, silence) is
// fuzz_livepoller's: its model of the polling rules checks every completion.

#include "parameters/livepoller.h"
#include "parameters/sessionstate.h"
#include "parameters/transactionrunner.h"
#include "protocol/frame.h"

#include <simulatedcommunication.h>
#include <simulatedsensor.h>

#include "../common/fakeconnection.h"
#include "../common/testline.h"
#include "waituntil.h"

#include <QtTest>

#include <memory>

using namespace DrumoSensorPlugin::Core;
using ExtensionSystem::CommunicationInterface;

namespace {

using Sample = QPair<double, double>;

// A connection whose transactions end only when the test says so, with the answer it gives.
class ScriptedConnection : public FakeConnection
{
public:
    unsigned int uiSendDataFrame(DataFrame *frame) override
    {
        last = frame;
        ++sent;
        return ++lastId;
    }
    void finish(const std::string &answer, quint32 status)
    {
        last->front().answer = answer;
        last->front().status = status;
        last = nullptr;
        emit emitFinished(lastId);
    }
    std::string lastBody() const { return decodeFrame(last->front().frame); }

    DataFrame *last = nullptr;
    int sent = 0;
};

// What the poller hands on, recorded.
struct Recorder
{
    explicit Recorder(LivePoller &poller)
    {
        QObject::connect(&poller, &LivePoller::sampleReady, [this](double t, double s) {
            samples.append({ t, s });
        });
        QObject::connect(&poller, &LivePoller::outputStatesRead,
                         [this](int s) { states.append(s); });
        QObject::connect(&poller, &LivePoller::sensorSilent, [this] { ++silent; });
    }
    QList<Sample> samples;
    QList<int> states;
    int silent = 0;
};

// A poller on a simulated sensor whose time-outs run 10 times faster (12 ms for a temperature
// answer, room enough for a slow run), 1 ms between polls.
struct SimulatedRig
{
    SimulatedRig()
        : sensor(std::make_shared<QuxSim::SimulatedSensor>())
    {
        connection = std::make_unique<QuxSim::SimulatedCommunication>(
            sensor, ExtensionSystem::PortSettings(), TestLine::quickOptions());
        sensor->model().process().setTemperature(123.4);
        poller.setConnection(connection.get());
        poller.setRestartDelay(1);
    }
    void start()
    {
        poller.setLiveData(true);
        poller.poll();
    }
    bool waitFor(const std::function<bool()> &done) { return waitUntil(done); }
    // Ends the chain and waits until the last poll is back.
    void stop()
    {
        poller.setLiveData(false);
        QVERIFY(waitFor([this] { return poller.pendingTransactionId() == 0; }));
    }

    std::shared_ptr<QuxSim::SimulatedSensor> sensor;
    std::unique_ptr<QuxSim::SimulatedCommunication> connection;
    SessionState state;
    LivePoller poller { state };
    Recorder recorder { poller };
};

} // namespace

Q_DECLARE_METATYPE(AnalogScale)

class tst_LivePoller : public QObject
{
    Q_OBJECT

private slots:
    void plotsWhatTheSensorSent_data();
    void plotsWhatTheSensorSent();
    void silentSensorAsksForACheck_data();
    void silentSensorAsksForACheck();
    void synchronousTransactionDuringAPoll();
    void requestInFlightOutlivesItsOwner_data();
    void requestInFlightOutlivesItsOwner();
};

void tst_LivePoller::plotsWhatTheSensorSent_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<bool>("measuredTemp");
    QTest::addColumn<double>("object");
    QTest::addColumn<AnalogScale>("scale");
    QTest::addColumn<double>("plotted");
    QTest::addColumn<double>("signal");
    const auto row = [](const char *tag, int unit, bool head, double object, int low, int high,
                        double plotted, double signal) {
        QTest::newRow(tag) << unit << head << object << AnalogScale { low, high, 0 } << plotted
                           << signal;
    };
    // Head 32.5 °C; the sensor answers in its own unit, taken as it comes.
    row("object, °C", 0, false, 123.4, 0, 500, 123.4, 2.468);
    row("head, °C", 0, true, 123.4, 0, 500, 32.5, 0.65);
    row("object, °F", 1, false, 123.4, 0, 500, 254.1, 5.082);
    row("head, °F", 1, true, 123.4, 0, 500, 90.5, 1.81);
    row("signal not limited above", 0, false, 600.0, 0, 500, 600.0, 12.0);
    row("falling range", 0, false, 75.0, 100, 0, 75.0, 2.5);
    // Both ends equal, where the signal is ours to choose: a step at that temperature.
    row("equal ends, below", 0, false, 99.9, 100, 100, 99.9, 0.0);
    row("equal ends, at", 0, false, 100.0, 100, 100, 100.0, 10.0);
}

// Four temperature polls, then one for the output states, over several cycles; every sample is
// the chosen temperature as sent and its analog signal; the chain ends with live data off.
void tst_LivePoller::plotsWhatTheSensorSent()
{
    QFETCH(int, unit);
    QFETCH(bool, measuredTemp);
    QFETCH(double, object);
    QFETCH(AnalogScale, scale);
    QFETCH(double, plotted);
    QFETCH(double, signal);
    SimulatedRig rig;
    rig.sensor->model().parameters().unit = unit;
    rig.sensor->model().process().setTemperature(object);
    rig.state.measuredTemp = measuredTemp;
    rig.poller.setAnalogScale(scale);
    rig.start();
    QVERIFY(rig.waitFor([&] { return rig.sensor->requestCount() >= 16; }));
    rig.stop();

    const QList<QByteArray> requests = rig.sensor->log().requests();
    for (int i = 0; i < requests.size(); ++i)
        QCOMPARE(requests.at(i), QByteArray((i + 1) % 5 == 0 ? "0WD" : "0D0e"));
    const int sent = requests.size();
    QTest::qWait(20);
    QCOMPARE(rig.sensor->requestCount(), sent);
    QCOMPARE(rig.recorder.samples.size(), sent - sent / 5);
    QCOMPARE(rig.recorder.states.size(), sent / 5);
    QCOMPARE(rig.poller.pollCounter(), sent % 5);
    for (const Sample &sample : qAsConst(rig.recorder.samples))
        QCOMPARE(sample, Sample(plotted, signal));
    QCOMPARE(rig.poller.currentTemperature(), plotted);
}

void tst_LivePoller::silentSensorAsksForACheck_data()
{
    QTest::addColumn<int>("answeredRequests"); // -1: silent from the start
    QTest::addColumn<int>("polls"); // completed polls when the check is asked for
    QTest::newRow("silent from the start") << -1 << 61;
    // Unplugged after three temperature answers: the silence starts with the fourth poll.
    QTest::newRow("unplugged after three answers") << 3 << 64;
    // The fifth answer is an output-state answer: the count starts again after it.
    QTest::newRow("unplugged after output states") << 5 << 66;
}

void tst_LivePoller::silentSensorAsksForACheck()
{
    QFETCH(int, answeredRequests);
    QFETCH(int, polls);
    SimulatedRig rig;
    QuxSim::FaultSettings faults;
    faults.silent = answeredRequests < 0;
    faults.unplugAfter = answeredRequests;
    rig.sensor->setFaults(faults);
    int completedAtCheck = -1;
    QObject::connect(&rig.poller, &LivePoller::sensorSilent, [&] {
        completedAtCheck = rig.recorder.samples.size() + rig.recorder.states.size();
    });
    rig.start();
    QVERIFY(rig.waitFor([&] { return rig.recorder.silent > 0; }));

    QCOMPARE(completedAtCheck, polls);
    QCOMPARE(rig.poller.missedAnswers(), 0);
    // The chain waits for the view's check: nothing more is sent.
    QTest::qWait(20);
    QCOMPARE(rig.recorder.silent, 1);
    QCOMPARE(rig.recorder.samples.size() + rig.recorder.states.size(), polls);
    QCOMPARE(rig.poller.pendingTransactionId(), 0u);
}

// A read started by the user while a poll is on the line: both are answered, each to its own.
void tst_LivePoller::synchronousTransactionDuringAPoll()
{
    SimulatedRig rig;
    EventLoopRunner runner(rig.connection.get());
    rig.start();
    QVERIFY(rig.poller.pendingTransactionId() != 0);
    DataFrame read { makeRequest(Command::ReadUnit, std::string(), LineTiming { 0, 150 }) };
    runner.runTransaction(read);

    QCOMPARE(read.front().status, 1u);
    QCOMPARE(decodeFrame(read.front().answer), std::string("0WU0"));
    QVERIFY(rig.waitFor([&] { return rig.recorder.samples.size() >= 3; }));
    rig.stop();
    QCOMPARE(rig.sensor->log().requests().mid(0, 2), QList<QByteArray>({ "0D0e", "0WU" }));
    for (const Sample &sample : qAsConst(rig.recorder.samples))
        QCOMPARE(sample.first, 32.5);
}

void tst_LivePoller::requestInFlightOutlivesItsOwner_data()
{
    QTest::addColumn<QString>("event");
    QTest::newRow("port changed") << "port changed";
    QTest::newRow("poller destroyed") << "poller destroyed";
    QTest::newRow("connection destroyed without finishing") << "connection destroyed";
}

// The connection may write into a poll's request until it reports it finished: the request is
// freed then (or with the connection), never before; and nothing reaches the poller any more.
void tst_LivePoller::requestInFlightOutlivesItsOwner()
{
    QFETCH(QString, event);
    auto connection = std::make_unique<ScriptedConnection>();
    ScriptedConnection next;
    SessionState state;
    auto poller = std::make_unique<LivePoller>(state);
    Recorder recorder(*poller);
    poller->setConnection(connection.get());
    poller->setLiveData(true);
    poller->poll();
    poller->poll(); // one poll in flight at most
    QCOMPARE(connection->sent, 1);
    QCOMPARE(connection->lastBody(), std::string("0D0e"));

    if (event == "port changed") {
        poller->setConnection(&next);
        QCOMPARE(poller->pendingTransactionId(), 0u);
        connection->finish(buildFrame("0D0325:1234"), 1);
        QVERIFY(recorder.samples.isEmpty());
        // The new line polls at once, the old one's request is gone with its completion.
        poller->poll();
        QCOMPARE(next.sent, 1);
        QTRY_VERIFY(connection->children().isEmpty());
    } else if (event == "poller destroyed") {
        poller.reset();
        QCOMPARE(connection->children().size(), 1);
        connection->finish(buildFrame("0D0325:1234"), 1);
        QTRY_VERIFY(connection->children().isEmpty());
    } else {
        connection.reset();
        QCOMPARE(poller->pendingTransactionId(), 0u);
        poller->poll(); // no connection: nothing, no crash
        poller->setConnection(&next);
        poller->poll();
        QCOMPARE(next.sent, 1);
        QVERIFY(recorder.samples.isEmpty());
    }
}

QTEST_MAIN(tst_LivePoller)

#include "tst_livepoller.moc"
