// What the window adds to the parameter operations: its transactions keep the user's input
// away while they wait, edits settle for 10 ms before they are dispatched, typed values wait for
// the typing to pause, rows set from the sensor's answers are never sent back, the two
// questions, and pin 2's layout.

#include "../common/modalanswerer.h"
#include "../window/simulatedwindow.h"
#include "protocol/commands.h"
#include "protocol/identification.h"

#include <simpletimechart.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace DrumoSensorPlugin::Core;

using Requests = QList<QByteArray>;
using Edits = QList<QPair<QString, QVariant>>;
Q_DECLARE_METATYPE(Requests)
Q_DECLARE_METATYPE(Edits)

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

class tst_Dispatch : public QObject
{
    Q_OBJECT

private slots:
    void answeredThroughTheWindow_data();
    void answeredThroughTheWindow();
    void withoutPortNothingIsSent();
    void editsWithin10msSendTheLast();
    void typedValues_data();
    void typedValues();
    void rowsReadAreNotSentBack();
    void questions_data();
    void questions();
    void pin2Layout_data();
    void pin2Layout();
};

void tst_Dispatch::answeredThroughTheWindow_data()
{
    QTest::addColumn<bool>("showUi");
    QTest::newRow("with progress dialog") << true;
    QTest::newRow("without") << false;
}

// One transaction, however many entries; the wait cursor only while shown, never left behind.
// A wait behind the (modal) progress dialog keeps the user's input from the window from its
// first moment, long before the dialog appears.
void tst_Dispatch::answeredThroughTheWindow()
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

void tst_Dispatch::withoutPortNothingIsSent()
{
    SimulatedWindow sim;
    sim.window->setConnection(nullptr);
    DataFrame frame { makeRequest(Command::Identify, {}, LineTiming { 0, 150 }) };
    sim.tester->sendDataFrame(&frame, true);
    QCOMPARE(frame.front().status, 0u);
    QVERIFY(sim.takeRequests().isEmpty());
}

void tst_Dispatch::editsWithin10msSendTheLast()
{
    SimulatedWindow sim;
    sim.markConnected();
    sim.tester->edit("laser", 1);
    sim.tester->edit("1type", 1);
    QTRY_VERIFY(!sim.tester->editPending());
    QCOMPARE(sim.takeRequests(), Requests({ "0A11" }));
    QCOMPARE(sim.held().laser, 0);
    QCOMPARE(sim.held().outputType[0], 1);
}

void tst_Dispatch::typedValues_data()
{
    QTest::addColumn<Edits>("edits");
    QTest::addColumn<Requests>("requests");
    QTest::newRow("0, 9, 5 into the emissivity")
        << Edits { { "emisivity", 0.1 }, { "emisivity", 0.9 }, { "emisivity", 0.95 } }
        << Requests { "0e095" };
    QTest::newRow("emissivity, then response time")
        << Edits { { "emisivity", 0.5 }, { "time", 5 } } << Requests { "0F5" };
    QTest::newRow("switching point digit by digit")
        << Edits { { "1switchingOn", 1.0 }, { "1switchingOn", 12.0 }, { "1switchingOn", 125.0 } }
        << Requests { "0S11250", "0WD" };
    // The rows converted after a unit change are not the user's: the next delayed write is
    // given up, also when the user typed a value since.
    QTest::newRow("typed after a unit change")
        << Edits { { "unit", 1 }, { "emisivity", 0.5 } } << Requests { "0U1" };
}

// Each typed edit settles and is dispatched, and restarts the 600 ms wait instead of writing;
// when the wait ends (fired here by hand), the row edited last goes out once.
void tst_Dispatch::typedValues()
{
    QFETCH(Edits, edits);
    QFETCH(Requests, requests);
    SimulatedWindow sim;
    sim.markConnected();
    Requests sent;
    for (const auto &edit : edits) {
        sim.tester->edit(edit.first.toStdString(), edit.second);
        QTRY_VERIFY(!sim.tester->editPending());
        const bool typed = edit.first != QLatin1String("unit");
        QCOMPARE(sim.tester->typedEditPending(), typed);
        const Requests now = sim.takeRequests();
        QCOMPARE(now.isEmpty(), typed);
        sent << now;
    }
    QTRY_VERIFY(!sim.tester->typedEditPending());
    QCOMPARE(sent + sim.takeRequests(), requests);
}

// Reading all sets the rows with the tree's connections off: nothing is dispatched back, and
// nothing waits to be.
void tst_Dispatch::rowsReadAreNotSentBack()
{
    SimulatedWindow sim;
    sim.markConnected();
    sim.held().unit = 1;
    sim.held().laser = 1;
    sim.held().time = 5;
    sim.held().switchingPoint[0] = 150.0;
    sim.window->readAllProperties();
    QTest::qWait(50);

    const Requests requests = sim.takeRequests();
    QCOMPARE(requests.size(), 16);
    QCOMPARE(requests.last(), QByteArray("0U1"));
    QVERIFY(!sim.tester->editPending());
    QVERIFY(!sim.tester->typedEditPending());
    QCOMPARE(sim.tester->enumIndex("unit"), 1);
    QCOMPARE(sim.tester->enumIndex("laser"), 1);
    QCOMPARE(sim.tester->rows().doubleValue("1switchingOn"), 302.0);
}

void tst_Dispatch::questions_data()
{
    QTest::addColumn<bool>("factory"); // the factory defaults' question, or the chart history's
    QTest::addColumn<int>("answer");
    QTest::newRow("factory defaults, Cancel") << true << int(QMessageBox::Cancel);
    QTest::newRow("factory defaults, Ok") << true << int(QMessageBox::Ok);
    QTest::newRow("chart history, No") << false << int(QMessageBox::No);
    QTest::newRow("chart history, Yes") << false << int(QMessageBox::Yes);
}

// Both ask first, as warnings; declining changes nothing on the sensor or the chart.
void tst_Dispatch::questions()
{
    QFETCH(bool, factory);
    QFETCH(int, answer);
    SimulatedWindow sim;
    sim.markConnected();
    sim.held().laser = 1;
    Utils::SimpleTimeChart *chart = sim.tester->chart().chart();
    chart->vAppend(20.0, 2.0);
    sim.tester->toolbar("chartToolbar")->setEnabled(true);

    ModalAnswerer answerer;
    answerer.answer(QMessageBox::StandardButton(answer));
    if (factory)
        sim.window->vRestoreFactorySettings();
    else
        sim.window->vClearHistory();

    QCOMPARE(answerer.seen().size(), 1);
    QCOMPARE(answerer.seen().first().title,
             factory ? "Restore factory defaults" : "Clear chart history");
    QCOMPARE(answerer.seen().first().text,
             factory ? "All settings will be restored to factory defaults, continue ?"
                     : "Do you really want to clear chart history ?");
    QCOMPARE(answerer.seen().first().icon, QMessageBox::Warning);
    const bool yes = answer == QMessageBox::Ok || answer == QMessageBox::Yes;
    const Requests requests = sim.takeRequests();
    if (factory) {
        // What the reset sends and reads back is the parameter layer's test.
        QCOMPARE(requests.value(0), yes ? QByteArray("0R") : QByteArray());
        QCOMPARE(sim.held().laser, int(!yes));
    } else {
        QVERIFY(requests.isEmpty());
        QCOMPARE(int(chart->poData()->size()), yes ? 0 : 1);
        QCOMPARE(sim.tester->toolbar("chartToolbar")->isEnabled(), !yes);
    }
}

void tst_Dispatch::pin2Layout_data()
{
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<int>("unit");
    QTest::newRow("switchable, C") << "QUX-T40 D" << 0;
    QTest::newRow("switchable, F") << "QUX-T40 D" << 1;
    QTest::newRow("analog sensor") << "QUX-T40 A" << 0;
}

// The window starts with pin 2 laid out as the analog output; the "2A" row switches between
// the analog output's rows and caption and output 2's rows, LED and chart scale.
void tst_Dispatch::pin2Layout()
{
    QFETCH(QString, sensor);
    QFETCH(int, unit);
    SimulatedWindow sim(sensor.toUtf8().constData());
    WindowProbe &tester = *sim.tester;
    QAction *led2 = tester.action("actionOutput_2");
    QLabel *caption = tester.label("analogCaption");
    auto layoutIs = [&](bool analog) {
        QCOMPARE(led2->isVisible(), !analog);
        QCOMPARE(caption->isVisibleTo(sim.window.get()), analog);
        if (!tester.find("2A"))
            return;
        // Which rows belong to which layout is the property tree's test.
        QCOMPARE(tester.rowVisible("2analogoutput"), analog);
        QCOMPARE(tester.rowVisible("2type"), !analog);
    };
    layoutIs(true);
    if (!tester.find("2A")) {
        // Without the row, pin 2's layout follows what the sensor reports; its analog output
        // type is not read into the row of this type.
        sim.markConnected();
        sim.held().pin2Mode = 0;
        sim.held().analogOutput = 1;
        sim.window->readAllProperties();
        layoutIs(false);
        QCOMPARE(tester.enumIndex("analogoutput"), 0);
        return;
    }

    // Without a sensor the unit converts the rows and the caption at once.
    sim.tester->edit("unit", unit);
    QCOMPARE(tester.label("temperatureCaption")->text(),
             QString::fromUtf8(unit ? "Temperature in °F" : "Temperature in °C"));
    QCOMPARE(sim.tester->rows().doubleValue("1switchingOn"), unit ? 212.0 : 100.0);
    sim.tester->edit("2A", 1);
    layoutIs(true);
    sim.tester->edit("2A", 0);
    layoutIs(false);
    Utils::SimpleTimeChart *chart = tester.chart().chart();
    QCOMPARE(chart->getYMin(), unit ? -60.0 : -50.0);
    QCOMPARE(chart->getYMax(), unit ? 700.0 : 400.0);
    // Not connected: the layout is the window's alone.
    QTest::qWait(20);
    QVERIFY(sim.takeRequests().isEmpty());
}

QTEST_MAIN(tst_Dispatch)

#include "tst_dispatch.moc"
