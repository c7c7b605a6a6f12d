#include "simtesthelpers.h"

#include <simulatedcommunication.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

using namespace QuxSim;
using namespace SimTest;
using DataFrame = ExtensionSystem::CommunicationInterface::DataFrame;
using DataFrameEntry = ExtensionSystem::CommunicationInterface::DataFrameEntry;

namespace {

DataFrameEntry request(const QByteArray &body, const char *pattern, double timeout = 200.0)
{
    DataFrameEntry entry;
    entry.frame = frame(body).toStdString();
    entry.answerPattern = pattern;
    entry.timeout = timeout;
    return entry;
}

ExtensionSystem::PortSettings port(int baudrate = 38400)
{
    ExtensionSystem::PortSettings settings;
    settings.portName = QStringLiteral("/dev/simulated0");
    settings.baudrate = baudrate;
    return settings;
}

std::shared_ptr<SimulatedSensor> makeSensor(const FaultSettings &faults = {})
{
    auto sensor = std::make_shared<SimulatedSensor>();
    sensor->setFaults(faults);
    return sensor;
}

SimulatedConnectionOptions fast()
{
    SimulatedConnectionOptions options;
    options.latencyMinMs = 0;
    options.latencyMaxMs = 0;
    return options;
}

// Runs the transaction to its end and returns its id.
unsigned int run(SimulatedCommunication &connection, DataFrame *frame)
{
    QSignalSpy finished(&connection, &SimulatedCommunication::emitFinished);
    const unsigned int id = connection.uiSendDataFrame(frame);
    while (!finished.contains(QVariantList { id }))
        if (!finished.wait(5000))
            break;
    return id;
}

} // namespace

class tst_SimulatedCommunication : public QObject
{
    Q_OBJECT

private slots:
    void statusFollowsAnswer_data();
    void statusFollowsAnswer();
    void idsAndOrder();
    void lateAnswerDoesNotCount();
    void endFinishesPending_data();
    void endFinishesPending();
    void unplugFailsPort();
};

void tst_SimulatedCommunication::statusFollowsAnswer_data()
{
    QTest::addColumn<FaultSettings>("faults");
    QTest::addColumn<QByteArray>("pattern");
    QTest::addColumn<quint32>("status");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<double>("timeScale");
    const QByteArray unit = "/[0-9A-F]{2,2}0WU[0-9A-F]{3,3}\\.";
    FaultSettings none, silent, noisy, corrupt;
    silent.silent = true;
    noisy.noiseBytes = 30;
    corrupt.corruptPercent = 100;
    QTest::newRow("matching") << none << unit << 1u << frame("0WU0") << 0.1;
    QTest::newRow("not matching") << none << QByteArray("/020L0[0-9A-F]{3,3}\\.") << 2u
                                  << frame("0WU0") << 0.1;
    QTest::newRow("silent, scaled for tests") << silent << unit << 0u << QByteArray() << 0.1;
    QTest::newRow("silent, full time") << silent << unit << 0u << QByteArray() << 1.0;
    QTest::newRow("line noise around the answer") << noisy << unit << 1u << frame("0WU0") << 0.1;
    QTest::newRow("corrupted checksum still matches")
        << corrupt << unit << 1u << QByteArray("/020WU02E.") << 0.1;
}

void tst_SimulatedCommunication::statusFollowsAnswer()
{
    QFETCH(FaultSettings, faults);
    QFETCH(QByteArray, pattern);
    QFETCH(quint32, status);
    QFETCH(QByteArray, answer);
    QFETCH(double, timeScale);
    SimulatedConnectionOptions options = fast();
    options.timeScale = timeScale;
    SimulatedCommunication connection(makeSensor(faults), port(), options);
    DataFrame dataFrame { request("0WU", pattern.constData(), 200.0) };
    dataFrame.front().status = 77; // must be overwritten
    QElapsedTimer clock;
    clock.start();
    run(connection, &dataFrame);
    // Nothing came: the (scaled) time-out had to pass first.
    QVERIFY(status != 0 || clock.elapsed() >= 200.0 * timeScale - 2);
    QCOMPARE(dataFrame.front().status, status);
    QCOMPARE(QByteArray::fromStdString(dataFrame.front().answer), answer);
}

// Transactions one after another, with their entries in order, each entry with its own answer.
void tst_SimulatedCommunication::idsAndOrder()
{
    auto sensor = makeSensor();
    SimulatedCommunication connection(sensor, port());
    QSignalSpy finished(&connection, &SimulatedCommunication::emitFinished);
    QVector<DataFrame> frames;
    QList<QByteArray> requests;
    for (const QByteArray &write : { "0O0a1R0001", "0O0a1G0002", "0O0a1B0003" }) {
        frames.append({ request(write, "/(.*)\\."), request("0WL", "/(.*)\\.") });
        requests << write << "0WL";
    }
    QList<unsigned int> ids;
    for (DataFrame &dataFrame : frames)
        ids.append(connection.uiSendDataFrame(&dataFrame));
    QCOMPARE(ids, (QList<unsigned int> { 1, 2, 3 }));
    // Never from inside uiSendDataFrame: the caller connects after it returns.
    QCOMPARE(finished.count(), 0);
    QTRY_COMPARE(finished.count(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(finished.at(i).first().toUInt(), ids.at(i));
        QCOMPARE(frames.at(i).front().answer, frame("0M" + requests.at(2 * i)).toStdString());
        QCOMPARE(frames.at(i).back().answer, frame("0WL0").toStdString());
    }
    // One at a time: the sensor saw the requests one after another, none lost.
    QCOMPARE(sensor->log().requests(), requests);

    // A transaction without entries still gets its id and its completion.
    const unsigned int empty = connection.uiSendDataFrame(nullptr);
    QCOMPARE(empty, 4u);
    QTRY_COMPARE(finished.count(), 4);
    QCOMPARE(finished.last().first().toUInt(), empty);
}

void tst_SimulatedCommunication::lateAnswerDoesNotCount()
{
    auto sensor = makeSensor();
    FaultSettings slow;
    slow.delayMs = 60;
    sensor->setFaults(slow);
    SimulatedCommunication connection(sensor, port(), fast());
    DataFrame first { request("0WL", "/(.*)\\.", 20) };
    run(connection, &first);
    QCOMPARE(first.front().status, 0u);
    sensor->setFaults({});
    // The late laser answer arrives while the next request waits; it must not be taken.
    DataFrame second { request("0WU", "/(.*)\\.", 200) };
    run(connection, &second);
    QCOMPARE(second.front().status, 1u);
    QCOMPARE(second.front().answer, frame("0WU0").toStdString());
    QTest::qWait(80);
}

void tst_SimulatedCommunication::endFinishesPending_data()
{
    QTest::addColumn<bool>("destroy");
    QTest::newRow("close") << false;
    QTest::newRow("destruction") << true;
}

// Closing or destroying the connection finishes every transaction at once, with status 0.
void tst_SimulatedCommunication::endFinishesPending()
{
    QFETCH(bool, destroy);
    FaultSettings silent;
    silent.silent = true;
    auto connection = std::make_unique<SimulatedCommunication>(makeSensor(silent), port());
    QList<unsigned int> finished;
    connect(connection.get(), &SimulatedCommunication::emitFinished, this,
            [&finished](unsigned int id) { finished.append(id); });
    QVector<DataFrame> frames(
        3, DataFrame { request("0V", "/(.*)\\.", 10000), request("0WL", "/(.*)\\.") });
    for (DataFrame &dataFrame : frames)
        connection->uiSendDataFrame(&dataFrame);
    QTest::qWait(20); // the first one is under way
    if (destroy)
        connection.reset();
    else
        connection->vClose();
    QCOMPARE(finished, (QList<unsigned int> { 1, 2, 3 }));
    for (const DataFrame &dataFrame : frames)
        for (const DataFrameEntry &entry : dataFrame)
            QCOMPARE(entry.status, 0u);
    if (destroy) {
        QTest::qWait(20); // no timer of the dead connection may fire
        return;
    }
    QVERIFY(!connection->isOpen());

    // After closing, a transaction still finishes, from the event loop, with status 0.
    DataFrame late { request("0V", "/(.*)\\.") };
    late.front().status = 5;
    QCOMPARE(connection->uiSendDataFrame(&late), 4u);
    QCOMPARE(finished.size(), 3);
    QTRY_COMPARE(finished.size(), 4);
    QCOMPARE(late.front().status, 0u);
}

void tst_SimulatedCommunication::unplugFailsPort()
{
    FaultSettings faults;
    faults.unplugAfter = 1;
    auto sensor = makeSensor(faults);
    SimulatedCommunication connection(sensor, port(), fast());
    DataFrame dataFrame { request("0V", "/(.*)\\."), request("0V", "/(.*)\\.", 100000),
                          request("0V", "/(.*)\\.") };
    DataFrame queued { request("0WL", "/(.*)\\.") };
    QSignalSpy finished(&connection, &SimulatedCommunication::emitFinished);
    connection.uiSendDataFrame(&dataFrame);
    connection.uiSendDataFrame(&queued);
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 2000);
    QCOMPARE(dataFrame.front().status, 1u);
    QCOMPARE(std::next(dataFrame.begin())->status, 0u);
    QCOMPARE(dataFrame.back().status, 0u);
    QCOMPARE(queued.front().status, 0u);
    QVERIFY(!connection.isOpen());
    QVERIFY(sensor->isUnplugged());
}

QTEST_GUILESS_MAIN(tst_SimulatedCommunication)

#include "tst_simulatedcommunication.moc"
