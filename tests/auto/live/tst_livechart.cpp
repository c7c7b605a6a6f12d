// The window's side of the live data, on an in-process simulated sensor: samples on the chart,
// the LEDs, the analog output's axis, the switching-point lines and their drag, the markers of a
// sensor without switching outputs, and a sensor that falls silent. A request outliving its poll
// is the poller's test.

#include "../common/modalanswerer.h"
#include "../window/simulatedwindow.h"
#include "model/parameterrows.h"

#include <simpletimechart.h>
#include <thresholddatamanager.h>
#include <thresholdwindowwidget.h>
#include <valueovertime.h>

#include "waituntil.h"

#include <QtTest>

using namespace DrumoSensorPlugin::Core;

namespace {

// A connected window polling a simulated sensor whose object is at `temperature` °C; time-outs
// run 10 times faster (12 ms for a temperature answer, room enough for a slow run) and polls
// follow each other after 1 ms.
struct LiveWindow : SimulatedWindow
{
    explicit LiveWindow(const char *name = "QUX-T40 D", double temperature = 150.0)
        : SimulatedWindow(name, 0.1)
    {
        markConnected();
        poller().setRestartDelay(1);
        sensor->model().process().setTemperature(temperature);
        tester->setMeasuredTemp(false); // the object temperature
    }
    LivePoller &poller() { return tester->session().poller(); }
    SessionEvents &events() { return tester->session().events(); }
    Utils::SimpleTimeChart *chart() { return tester->chart().chart(); }
    Utils::ThresholdWindowWidget *lines() { return tester->chart().lines(); }
    void setLive(bool on) { tester->action("actionEnable_live_data")->setChecked(on); }
    int samples() { return chart()->poData()->size(); }
    bool waitForSamples(int count)
    {
        return waitUntil([&] { return samples() >= count; });
    }
    void stopLive()
    {
        setLive(false);
        QVERIFY(waitUntil([&] { return poller().pendingTransactionId() == 0; }));
    }
    bool ledLit(int output)
    {
        return (output == 1 ? tester->action("actionOutput_1") : tester->action("actionOutput_2"))
            ->isEnabled();
    }
};

} // namespace

class tst_LiveChart : public QObject
{
    Q_OBJECT

private slots:
    void samplesAndLedsFollowTheSensor_data();
    void samplesAndLedsFollowTheSensor();
    void analogOutputFollowsItsRows_data();
    void analogOutputFollowsItsRows();
    void switchingPointsOntoLines_data();
    void switchingPointsOntoLines();
    void draggedLineIsWritten_data();
    void draggedLineIsWritten();
    void markersEditTheAnalogRange();
    void silentSensorGoesOffline();
};

void tst_LiveChart::samplesAndLedsFollowTheSensor_data()
{
    QTest::addColumn<double>("temperature");
    QTest::addColumn<int>("type1");
    QTest::addColumn<int>("type2");
    QTest::addColumn<bool>("lit1");
    QTest::addColumn<bool>("lit2");
    // Switching points 100 and 200 °C. Whatever the contact type, an LED is lit while its
    // output is switched.
    QTest::newRow("below both, normally open") << 50.0 << 0 << 0 << false << false;
    QTest::newRow("between, normally open") << 150.0 << 0 << 0 << true << false;
    QTest::newRow("between, normally closed") << 150.0 << 1 << 1 << true << false;
    QTest::newRow("above both, mixed") << 250.0 << 1 << 0 << true << true;
    QTest::newRow("below both, normally closed") << 50.0 << 1 << 1 << false << false;
}

void tst_LiveChart::samplesAndLedsFollowTheSensor()
{
    QFETCH(double, temperature);
    QFETCH(int, type1);
    QFETCH(int, type2);
    QFETCH(bool, lit1);
    QFETCH(bool, lit2);
    LiveWindow sim("QUX-T40 D", temperature);
    sim.held().outputType[0] = type1;
    sim.held().outputType[1] = type2;
    sim.rows().setValue(QStringLiteral("1type"), type1);
    sim.rows().setValue(QStringLiteral("2type"), type2);
    emit sim.events().analogChartChanged(); // 0 V at 0.0, 10 V at 350.0 (the tree's defaults)
    // Pin 2 switches, as reading all would have found: the window starts with it laid out as
    // the analog output, whose LED is hidden.
    emit sim.events().pin2ModeRead(false);
    QVERIFY(!sim.tester->toolbar("chartToolbar")->isEnabled());

    sim.setLive(true);
    QVERIFY(sim.waitForSamples(9)); // two output-state answers among them
    sim.stopLive();

    const Utils::ValueOverTime *data = sim.chart()->poData();
    for (int i = 0; i < data->size(); ++i) {
        QCOMPARE(data->pyData()[i], temperature);
        QCOMPARE(data->pyRightData()[i], temperature / 35.0);
    }
    QCOMPARE(sim.ledLit(1), lit1);
    QCOMPARE(sim.ledLit(2), lit2);
    QVERIFY(sim.tester->toolbar("chartToolbar")->isEnabled());

    // Without a sensor the LEDs are dark, whatever the states say.
    sim.tester->setConnected(false);
    sim.window->updateLeds(3);
    QVERIFY(!sim.ledLit(1) && !sim.ledLit(2));
}

void tst_LiveChart::analogOutputFollowsItsRows_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<double>("rightMax");
    QTest::addColumn<double>("signal"); // for 150 °C over 50 .. 250 °C
    QTest::newRow("voltage") << 0 << QStringList { "0 volt", "10 volt" } << 10.0 << 5.0;
    QTest::newRow("current") << 1 << QStringList { "4mA", "20mA" } << 20.0 << 12.0;
}

void tst_LiveChart::analogOutputFollowsItsRows()
{
    QFETCH(int, mode);
    QFETCH(QStringList, captions);
    QFETCH(double, rightMax);
    QFETCH(double, signal);
    LiveWindow sim;
    sim.rows().setValue(QStringLiteral("2A"), 1);
    sim.rows().setValue(QStringLiteral("0v"), 50.7); // the scale takes whole degrees
    sim.rows().setValue(QStringLiteral("10v"), 250.0);
    sim.rows().setValue(QStringLiteral("2analogoutput"), mode);
    emit sim.events().analogChartChanged();

    QCOMPARE(sim.rows().caption(QStringLiteral("0v")), captions.at(0));
    QCOMPARE(sim.rows().caption(QStringLiteral("10v")), captions.at(1));
    QCOMPARE(sim.chart()->getYRightMax(), rightMax);
    QCOMPARE(sim.chart()->getYMin(), 50.0);
    QCOMPARE(sim.chart()->getYMax(), 250.0);
    QCOMPARE(sim.tester->label("analogCaption")->text(), mode ? "Current (mA)" : "Voltage (V)");

    sim.setLive(true);
    QVERIFY(sim.waitForSamples(1));
    sim.stopLive();
    QCOMPARE(sim.chart()->poData()->pyRightData()[0], signal);
}

void tst_LiveChart::switchingPointsOntoLines_data()
{
    QTest::addColumn<int>("pin2");
    QTest::addColumn<bool>("justRead");
    QTest::addColumn<int>("output");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("shown"); // on the line; NaN: the line did not move
    const double unmoved = qQNaN();
    QTest::newRow("output 1") << 0 << false << 1 << 123.4 << 123.4;
    QTest::newRow("output 2, pin 2 analog") << 1 << false << 2 << 222.2 << unmoved;
    QTest::newRow("output 2 read, pin 2 analog") << 1 << true << 2 << 222.2 << 222.2;
    QTest::newRow("read beyond the unit's range") << 0 << true << 1 << 400.0 << 350.0;
}

void tst_LiveChart::switchingPointsOntoLines()
{
    QFETCH(int, pin2);
    QFETCH(bool, justRead);
    QFETCH(int, output);
    QFETCH(double, value);
    QFETCH(double, shown);
    LiveWindow sim;
    sim.rows().setValue(QStringLiteral("2A"), pin2);
    const auto mark
        = [&] { return output == 1 ? sim.lines()->lowerMark() : sim.lines()->upperMark(); };
    const double before = mark();
    if (justRead)
        emit sim.events().switchingPointRead(output, value);
    else
        emit sim.events().switchingPointChanged(output, value);

    const Utils::ThresholdDataManager *store = sim.tester->chart().store();
    if (qIsNaN(shown)) {
        QCOMPARE(mark(), before);
        return;
    }
    QCOMPARE(mark(), shown);
    QCOMPARE(output == 1 ? store->low(1, 4) : store->high(1, 4), shown);
    QCOMPARE(output == 1 ? sim.lines()->lowerLabel() : sim.lines()->upperLabel(),
             QString::asprintf("A%d: %.1f", output, shown));
}

void tst_LiveChart::draggedLineIsWritten_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<unsigned int>("line");
    QTest::addColumn<double>("dragged");
    QTest::addColumn<double>("shown");
    QTest::addColumn<QList<QByteArray>>("written");
    QTest::newRow("lower, °C, limited")
        << 0 << 0u << 400.0 << 350.0 << QList<QByteArray> { "0S13500", "0WD" };
    QTest::newRow("upper, °C, below the range")
        << 0 << 1u << -30.0 << -25.0 << QList<QByteArray> { "0S2-250", "0WD" };
    QTest::newRow("upper, °F") << 1 << 1u << 212.0 << 212.0
                               << QList<QByteArray> { "0U0", "0S21000", "0U1", "0WD" };
    QTest::newRow("lower, °F, limited")
        << 1 << 0u << 700.0 << 662.0 << QList<QByteArray> { "0U0", "0S13500", "0U1", "0WD" };
}

// A line dragged while a poll is on the line: the poll finishes, the polling rests during the
// write (in °C, the sensor switched to °C around it), then the row follows and live data goes on.
void tst_LiveChart::draggedLineIsWritten()
{
    QFETCH(int, unit);
    QFETCH(unsigned int, line);
    QFETCH(double, dragged);
    QFETCH(double, shown);
    QFETCH(QList<QByteArray>, written);
    LiveWindow sim;
    sim.held().unit = unit;
    sim.rows().setValue(QStringLiteral("unit"), unit);
    if (unit) {
        for (const QString row :
             { QStringLiteral("1switchingOn"), QStringLiteral("2switchingOn") }) {
            sim.rows().setMaximum(row, 662.0);
            sim.rows().setMinimum(row, -13.0);
        }
    }
    sim.setLive(true);
    QVERIFY(sim.waitForSamples(1));
    QVERIFY(waitUntil([&] {
        return sim.poller().pendingTransactionId() != 0 && sim.poller().pollCounter() != 0;
    }));
    sim.takeRequests();

    emit sim.lines()->emitValueChanged(line, dragged);

    const QString row = line ? QStringLiteral("2switchingOn") : QStringLiteral("1switchingOn");
    QCOMPARE(sim.rows().doubleValue(row), shown);
    QCOMPARE(line ? sim.lines()->upperMark() : sim.lines()->lowerMark(), shown);
    QVERIFY(!sim.tester->session().state().thresholdDragActive);
    QVERIFY(sim.tester->action("actionEnable_live_data")->isChecked());
    const int before = sim.samples();
    QVERIFY(sim.waitForSamples(before + 2));
    sim.stopLive();

    const QList<QByteArray> requests = sim.takeRequests();
    QCOMPARE(requests.mid(0, written.size() + 2),
             QList<QByteArray> { "0D0e" } + written + QList<QByteArray> { "0D0e" });
    QCOMPARE(sim.held().switchingPoint[line], unit ? (shown - 32.0) / 1.8 : shown);
    QCOMPARE(sim.held().unit, unit);
}

// A sensor without switching outputs: the on marker edits the low end of the analog output,
// the off marker the high end; a dragged marker is an edit of its row, written like a typed
// value. A chart refresh after the rows changed leaves the markers where they are.
void tst_LiveChart::markersEditTheAnalogRange()
{
    LiveWindow sim("QUX-T40 A");
    QVERIFY(!sim.lines());
    const double on = sim.chart()->onMarker(), off = sim.chart()->offMarker();
    sim.rows().setValue(QStringLiteral("0v"), 20.0);
    sim.rows().setValue(QStringLiteral("10v"), 300.0);
    emit sim.events().analogChartChanged();
    QCOMPARE(sim.chart()->onMarker(), on);
    QCOMPARE(sim.chart()->offMarker(), off);

    emit sim.chart()->vOnMarkerChanged(42.0);
    QCOMPARE(sim.rows().doubleValue(QStringLiteral("0v")), 42.0);
    QCOMPARE(sim.tester->lastProperty(), sim.tester->find("0v"));
    emit sim.chart()->vOffMarkerChanged(280.0);
    QCOMPARE(sim.rows().doubleValue(QStringLiteral("10v")), 280.0);
    QCOMPARE(sim.tester->lastProperty(), sim.tester->find("10v"));
}

// 61 polls without an answer keep the chart moving with "no value"; then the window checks the
// connection, and when the sensor stays silent it goes offline and says so.
void tst_LiveChart::silentSensorGoesOffline()
{
    LiveWindow sim;
    QuxSim::FaultSettings faults;
    faults.silent = true;
    sim.sensor->setFaults(faults);
    sim.window->updateComPortList({ QStringLiteral("sim0") });
    sim.tester->connector().portBox()->setCurrentIndex(2);
    const auto polls = [&] {
        const QList<QByteArray> requests = sim.sensor->log().requests();
        return requests.count("0D0e") + requests.count("0WD"); // not the check's
    };
    ModalAnswerer answerer;
    answerer.answer(QMessageBox::Ok);
    sim.setLive(true);
    QVERIFY(waitUntil([&] { return answerer.seen().size() == 1; }, 20000));

    const ModalAnswerer::Seen message = answerer.seen().first();
    QCOMPARE(message.title, QStringLiteral("Connecting to sensor..."));
    QCOMPARE(message.text,
             QStringLiteral("The sensor did not respond, please make sure it is properly "
                            "connected to the selected port and try again"));
    QCOMPARE(message.icon, QMessageBox::Critical);
    QCOMPARE(sim.tester->connector().portBox()->currentIndex(), 0);
    QCOMPARE(polls(), 61);
    const Utils::ValueOverTime *data = sim.chart()->poData();
    QCOMPARE(data->size(), 61);
    QCOMPARE(data->pyData()[60], LivePoller::noSample);
    QCOMPARE(data->pyRightData()[60], LivePoller::noSample);
    QTest::qWait(30);
    QCOMPARE(polls(), 61);
}

QTEST_MAIN(tst_LiveChart)

#include "tst_livechart.moc"
