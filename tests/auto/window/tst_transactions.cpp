#include "protocol/commands.h"
#include "protocol/identification.h"
#include "simulatedwindow.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
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

namespace {
// A click, typing and a shortcut aimed at the window, and what of them arrived.
class InputProbe
{
public:
    explicit InputProbe(QWidget *window)
        : m_button(new QPushButton(window))
        , m_edit(new QLineEdit(window))
        , m_action(new QAction(window))
    {
        m_action->setShortcut(Qt::Key_F5);
        window->addAction(m_action);
        QObject::connect(m_button, &QPushButton::clicked, [this] { ++m_arrived; });
        QObject::connect(m_action, &QAction::triggered, [this] { ++m_arrived; });
        m_edit->setFocus();
    }
    void poke()
    {
        QTest::mouseClick(m_button, Qt::LeftButton);
        QTest::keyClick(m_edit, Qt::Key_X);
        QTest::keyClick(m_edit, Qt::Key_F5);
    }
    int arrived() const { return m_arrived + m_edit->text().size(); }

private:
    QPushButton *m_button;
    QLineEdit *m_edit;
    QAction *m_action;
    int m_arrived = 0;
};
} // namespace

// One transaction, however many entries; the wait cursor only while shown, never left behind.
// A wait behind the (modal) progress dialog keeps the user's input from the window from its
// first moment, long before the dialog appears.
void tst_Transactions::answeredThroughTheWindow()
{
    QFETCH(bool, showUi);
    SimulatedWindow sim;
    sim.window->show();
    QApplication::setActiveWindow(sim.window.get());
    QVERIFY(QTest::qWaitForWindowActive(sim.window.get()));
    InputProbe input(sim.window.get());
    int arrivedWhileWaiting = -1;
    // Started before the transaction, so it runs first in the wait's event loop.
    QTimer::singleShot(0, [&] {
        input.poke();
        arrivedWhileWaiting = input.arrived();
    });
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

    QCOMPARE(arrivedWhileWaiting, showUi ? 0 : 3);
    input.poke(); // and afterwards it gets through again
    QCOMPARE(input.arrived(), showUi ? 3 : 6);
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
