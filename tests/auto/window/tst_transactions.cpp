#include "protocol/commands.h"
#include "protocol/identification.h"
#include "simulatedwindow.h"

#include <QApplication>
#include <QtTest>

using namespace DrumoSensorPlugin::Core;

class tst_Transactions : public QObject
{
    Q_OBJECT

private slots:
    void answeredThroughTheWindow_data();
    void answeredThroughTheWindow();
    void withoutPortNothingIsSent();
};

void tst_Transactions::answeredThroughTheWindow_data()
{
    QTest::addColumn<bool>("showUi");
    QTest::newRow("with progress dialog") << true;
    QTest::newRow("without") << false;
}

// One transaction, however many entries; the wait cursor only while shown, never left behind.
void tst_Transactions::answeredThroughTheWindow()
{
    QFETCH(bool, showUi);
    SimulatedWindow sim;
    DataFrame frame { makeRequest(Command::Identify, {}, LineTiming { 0, 150 }),
                      makeRequest(Command::ReadUnit, {}, LineTiming { 0, 150 }) };
    bool cursorWhileWaiting = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout,
                     [&] { cursorWhileWaiting |= QApplication::overrideCursor() != nullptr; });
    probe.start(0);
    QSignalSpy finished(sim.connection.get(),
                        &ExtensionSystem::CommunicationInterface::emitFinished);
    sim.tester->sendDataFrame(&frame, showUi);

    QCOMPARE(finished.count(), 1);
    QCOMPARE(frame.front().status, 1u);
    QCOMPARE(parseIdentification(frame.front().answer)->group, 18);
    QCOMPARE(frame.back().status, 1u);
    QCOMPARE(sim.takeRequests(), QList<QByteArray>({ "0V", "0WU" }));
    QCOMPARE(cursorWhileWaiting, showUi);
    QVERIFY(!QApplication::overrideCursor());
}

void tst_Transactions::withoutPortNothingIsSent()
{
    SimulatedWindow sim;
    sim.window->setConnection(nullptr);
    DataFrame frame { makeRequest(Command::Identify, {}, LineTiming { 0, 150 }) };
    sim.tester->sendDataFrame(&frame, true);
    QCOMPARE(frame.front().status, 0u);
    QVERIFY(sim.takeRequests().isEmpty());
}

QTEST_MAIN(tst_Transactions)

#include "tst_transactions.moc"
