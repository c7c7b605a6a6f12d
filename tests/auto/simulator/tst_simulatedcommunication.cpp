#include "../common/testline.h"
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

// At the default 38400 baud.
ExtensionSystem::PortSettings port()
{
    ExtensionSystem::PortSettings settings;
    settings.portName = QStringLiteral("/dev/simulated0");
    return settings;
}

std::shared_ptr<SimulatedSensor> makeSensor(const FaultSettings &faults = {})
{
    auto sensor = std::make_shared<SimulatedSensor>();
    sensor->setFaults(faults);
    return sensor;
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
    SimulatedCommunication connection(makeSensor(faults), port(),
                                      TestLine::quickOptions(timeScale));
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
    FaultSettings slow;
    slow.delayMs = 60;
    auto sensor = makeSensor(slow);
    SimulatedCommunication connection(sensor, port(), TestLine::quickOptions(1.0));
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
    QTest::addColumn<QString>("end");
    QTest::newRow("close") << "close";
    QTest::newRow("destruction") << "destruction";
    // The sensor answers the first request and is pulled out at the second.
    QTest::newRow("unplug") << "unplug";
}

// Closing, destroying or unplugging the line finishes every transaction at once, with status 0,
// none waiting for its time-out.
void tst_SimulatedCommunication::endFinishesPending()
{
    QFETCH(QString, end);
    FaultSettings faults;
    faults.silent = end != "unplug";
    faults.unplugAfter = end == "unplug" ? 1 : -1;
    auto sensor = makeSensor(faults);
    auto connection
        = std::make_unique<SimulatedCommunication>(sensor, port(), TestLine::quickOptions(1.0));
    QList<unsigned int> finished;
    connect(connection.get(), &SimulatedCommunication::emitFinished, this,
            [&finished](unsigned int id) { finished.append(id); });
    QVector<DataFrame> frames(
        3, DataFrame { request("0V", "/(.*)\\.", 100000), request("0WL", "/(.*)\\.", 100000) });
    for (DataFrame &dataFrame : frames)
        connection->uiSendDataFrame(&dataFrame);
    if (end == "unplug") {
        QTRY_COMPARE(finished.size(), 3);
    } else {
        QTest::qWait(20); // the first one is under way
        if (end == "close")
            connection->vClose();
        else
            connection.reset();
    }
    QCOMPARE(finished, (QList<unsigned int> { 1, 2, 3 }));
    QString statuses;
    for (const DataFrame &dataFrame : frames)
        for (const DataFrameEntry &entry : dataFrame)
            statuses += QString::number(entry.status);
    QCOMPARE(statuses, end == "unplug" ? "100000" : "000000");
    if (!connection) {
        QTest::qWait(20); // no timer of the dead connection may fire
        return;
    }
    QVERIFY(!connection->isOpen());
    QCOMPARE(sensor->isUnplugged(), end == "unplug");

    // Afterwards, a transaction still finishes, from the event loop, with status 0.
    DataFrame late { request("0V", "/(.*)\\.") };
    late.front().status = 5;
    QCOMPARE(connection->uiSendDataFrame(&late), 4u);
    QCOMPARE(finished.size(), 3);
    QTRY_COMPARE(finished.size(), 4);
    QCOMPARE(late.front().status, 0u);
}

QTEST_GUILESS_MAIN(tst_SimulatedCommunication)

#include "tst_simulatedcommunication.moc"
