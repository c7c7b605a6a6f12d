// The connect sequence against an in-process simulated sensor, through the interface object and
// the host's connection manager as the host wires them: the port box choices, auto-connect,
// going offline, the baud-rate change and the connection check. Checked: the identification
// requests the sensor received (always first, however much the connect reads or writes after
// them), the baud rates tried, the messages, and the window's state.

#include "connectrig.h"
#include "model/parameterrows.h"
#include "simulatedline.h"

#include <QSettings>
#include <optional>

using namespace DrumoSensorPlugin::Core;
using QuxSim::FaultSettings;

namespace {

const QString mismatch = QStringLiteral(
    "W|Connecting to sensor...|The connected sensor does not match currently selected sensor, "
    "please try again with the proper sensor");
const QString question
    = QStringLiteral("I|Orbexa|Sensor settings will be overwritten with the ones from PC");
const QString baudQuestion = QStringLiteral(
    "I|Orbexa|The new baud rate is activated after the power supply voltage is applied anew and "
    "reconnected with Orbexa.");

QString warned(QString message)
{
    return message.replace(0, 1, QLatin1Char('W'));
}

// The line's faults by name: "silent", "foreign group", "foreign type", "corrupt"; "" none.
FaultSettings faultsNamed(const QString &name)
{
    FaultSettings faults;
    faults.silent = name == QLatin1String("silent");
    faults.foreignGroup = name == QLatin1String("foreign group");
    faults.foreignType = name == QLatin1String("foreign type");
    faults.corruptPercent = name == QLatin1String("corrupt") ? 100 : 0;
    return faults;
}

} // namespace

class tst_ConnectSequence : public QObject
{
    Q_OBJECT

private slots:
    void portChoice_data();
    void portChoice();
    void offlineAndStateFile();
    void baudRateChange();
    void connectionCheck_data();
    void connectionCheck();
    void hostClosesDuringIdentification();

private:
    // Connects `rig` through the port box with Sensor -> PC. A test that keeps an answerer of
    // its own passes it: two would both answer the same dialog.
    static void connectSensorToPc(ConnectRig &rig, ModalAnswerer *answerer = nullptr);
};

void tst_ConnectSequence::connectSensorToPc(ConnectRig &rig, ModalAnswerer *answerer)
{
    std::optional<ModalAnswerer> own;
    if (!answerer)
        answerer = &own.emplace();
    answerer->clear();
    ConnectRig::press(*answerer, QStringLiteral("sensorToPc"));
    answerer->answer(QMessageBox::Ok);
    rig.choose(QStringLiteral("sim0"));
    QVERIFY(rig.isConnected());
    QCOMPARE(said(*answerer), QStringList { success });
    answerer->clear();
}

void tst_ConnectSequence::portChoice_data()
{
    QTest::addColumn<QString>("faults");
    QTest::addColumn<int>("sensorRate");
    QTest::addColumn<bool>("connectedBefore");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("confirm"); // the answer to the PC -> Sensor question
    QTest::addColumn<int>("identifications");
    QTest::addColumn<QList<int>>("rates"); // empty: only their number is checked
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("title");

    auto row = [](const char *tag, const char *faults, int rate, bool before, const char *port,
                  const char *button, int confirm, int identifications, const QList<int> &rates,
                  bool connected, const QStringList &messages, const char *title) {
        QTest::newRow(tag) << QString(faults) << rate << before << QString(port) << QString(button)
                           << confirm << identifications << rates << connected << messages
                           << QString(title);
    };
    const char *online = "QUX-T40 D fw: 1 (sim0 - Baud 38400)";
    const char *offline = "QUX-T40 D (Offline)";
    const char *s2p = "sensorToPc", *p2s = "pcToSensor";
    const int ok = QMessageBox::Ok, cancel = QMessageBox::Cancel, na = QMessageBox::NoButton;
    // The host's baud stepping goes on where the last identification left it: the foreign
    // sensor answers the first request, and again once the second call is round at its rate.
    const QList<int> twice { 38400, 57600, 115200, 9600, 19200, 38400 };

    row("Sensor -> PC", "", 38400, false, "sim0", s2p, na, 1, { 38400 }, true, { success }, online);
    // Writing all asks about the baud row too (declined: the port's rate stays).
    row("PC -> Sensor", "", 38400, false, "sim0", p2s, ok, 1, {}, true,
        { question, baudQuestion, success }, online);
    row("PC -> Sensor, not confirmed", "", 38400, false, "sim0", p2s, cancel, 0, {}, false,
        { question }, offline);
    row("Cancel", "", 38400, false, "sim0", "cancel", na, 0, {}, false, {}, offline);
    row("dialog closed with Escape", "", 38400, false, "sim0", "escape", na, 0, {}, false, {},
        offline);
    // The connected port chosen again: Cancel leaves everything as it was.
    row("Cancel while connected", "", 38400, true, "sim0", "cancel", na, 0, {}, true, {}, online);
    row("silent sensor", "silent", 38400, false, "sim0", s2p, na, 24, {}, false, { noAnswer },
        offline);
    row("foreign group", "foreign group", 38400, false, "sim0", s2p, na, 6, twice, false,
        { mismatch, mismatch, noAnswer }, offline);
    row("foreign type", "foreign type", 38400, false, "sim0", p2s, ok, 6, twice, false,
        { question, mismatch, mismatch, noAnswer }, offline);
    // The pattern leaves the checksum digits to the checksum: the sensor counts as found, but
    // its firmware cannot be trusted and is not shown.
    row("wrong checksums", "corrupt", 38400, false, "sim0", s2p, na, 1, {}, true, { success },
        "QUX-T40 D (sim0 - Baud 38400)");
    row("sensor at 9600 baud", "", 9600, false, "sim0", s2p, na, 4, { 38400, 57600, 115200, 9600 },
        true, { success }, "QUX-T40 D fw: 1 (sim0 - Baud 9600)");
    // A port that does not open fails like a silent sensor, without a request.
    row("port gone", "", 38400, false, "sim1", s2p, na, 0, {}, false, { noAnswer }, offline);
    row("port held by another window", "", 38400, false, "held", p2s, ok, 0, {}, false,
        { question, noAnswer }, offline);
    // The host connects a window on its own: no dialog, no success message, the sensor's
    // settings read and the live data on; what goes wrong is said as a warning. A failure
    // leaves the title on the port tried and lastPortIndex on the last completed choice.
    row("auto-connect", "", 38400, false, "sim0", "auto", na, 1, { 38400 }, true, {}, online);
    row("auto-connect, silent", "silent", 38400, false, "sim0", "auto", na, 12, {}, false,
        { warned(noAnswer) }, "QUX-T40 D (sim0)");
    row("auto-connect while connected, silent", "silent", 38400, true, "sim0", "auto", na, 12, {},
        false, { warned(noAnswer) }, "QUX-T40 D (sim0)");
    row("auto-connect, foreign type", "foreign type", 38400, false, "sim0", "auto", na, 1, {},
        false, { mismatch, warned(noAnswer) }, "QUX-T40 D (sim0)");
    // The box keeps "Offline", which goes out as the port name and does not open.
    row("auto-connect, port not in the list", "", 38400, false, "ttyS9", "auto", na, 0, {}, false,
        { warned(noAnswer) }, offline);
    row("auto-connect, port gone", "", 38400, false, "sim1", "auto", na, 0, {}, false,
        { warned(noAnswer) }, "QUX-T40 D (sim1)");
}

void tst_ConnectSequence::portChoice()
{
    QFETCH(QString, faults);
    QFETCH(int, sensorRate);
    QFETCH(bool, connectedBefore);
    QFETCH(QString, port);
    QFETCH(QString, button);
    QFETCH(int, confirm);
    QFETCH(int, identifications);
    QFETCH(QList<int>, rates);
    QFETCH(bool, connected);
    QFETCH(QStringList, messages);
    QFETCH(QString, title);

    SimulatedLine line;
    line.sensor->model().setBaudrate(sensorRate);
    line.sensor->model().powerCycle();
    ConnectRig rig;
    rig.offerPorts({ "sim0", "sim1" });

    // Another window holds the port.
    ExtensionSystem::PluginInterface holder;
    if (port == QLatin1String("held")) {
        ExtensionSystem::PortSettings settings;
        settings.portName = port = QStringLiteral("sim0");
        ExtensionSystem::CommunicationInterface *held = nullptr;
        holder.vRegisterConnection(settings, &held, &holder);
        QVERIFY(held);
    }
    if (connectedBefore)
        connectSensorToPc(rig);
    line.takeRequests();
    line.setFaults(faultsNamed(faults));
    const int portIndexBefore = rig.portBox()->currentIndex();

    BaudTrace trace;
    ModalAnswerer answerer;
    const bool automatic = button == QLatin1String("auto");
    if (!automatic)
        ConnectRig::press(answerer, button);
    int boxes = messages.size();
    if (confirm != QMessageBox::NoButton) {
        answerer.answer(QMessageBox::StandardButton(confirm));
        --boxes;
    }
    for (; boxes > 0; --boxes)
        answerer.answer(QMessageBox::Ok);
    if (automatic)
        rig.plugin->vAutoConnect(port);
    else
        rig.choose(port);

    const QList<QByteArray> requests = line.takeRequests();
    QCOMPARE(::identifications(requests), identifications);
    const QList<int> tried = trace.take();
    QCOMPARE(tried.size(), identifications);
    if (!rates.isEmpty())
        QCOMPARE(tried, rates);
    if (!connected)
        QVERIFY(requests.size() == identifications); // nothing but the identification

    QCOMPARE(said(answerer), messages);
    QCOMPARE(rig.isConnected(), connected);
    QCOMPARE(rig.statusShown(), connected);
    // A failed auto-connect leaves the toolbar as it was.
    QCOMPARE(rig.toolbarEnabled(), connected || (automatic && connectedBefore));
    QCOMPARE(rig.tester->action("actionEnable_live_data")->isChecked(), connected);
    QCOMPARE(rig.portOpen(), connected);
    QCOMPARE(rig.title(), title);
    QVERIFY(rig.viewsPaint());
    const bool cancelled = button == QLatin1String("cancel") || button == QLatin1String("escape");
    const int expectedIndex = cancelled || confirm == QMessageBox::Cancel
        ? portIndexBefore
        : (connected ? rig.portBox()->findText(port) : 0);
    QCOMPARE(rig.portBox()->currentIndex(), expectedIndex);
    QCOMPARE(rig.tester->connector().lastPortIndex(),
             automatic && !connected ? portIndexBefore : expectedIndex);
}

// "Offline" closes the port and writes the window state file; Sensor -> PC reads the expert
// rows and the chart's temperature choice from it before it identifies the sensor.
void tst_ConnectSequence::offlineAndStateFile()
{
    const QString stateFile = QCoreApplication::applicationDirPath() + "/QUXfamily.ini";
    QFile::remove(stateFile);
    {
        QSettings settings(stateFile, QSettings::IniFormat);
        settings.setValue("SensorWindow/expertMenu", true);
        settings.setValue("SensorWindow/mesuredTemp", false);
    }
    SimulatedLine line;
    ConnectRig rig;
    rig.offerPorts({ "sim0" });
    QVERIFY(rig.tester->measuredTemp());
    connectSensorToPc(rig);
    QVERIFY(rig.tester->expertMenu());
    QCOMPARE(rig.tester->enumIndex("ExpertMenu"), 1);
    QVERIFY(!rig.tester->measuredTemp());
    QCOMPARE(rig.tester->enumIndex("readTemp"), 0);

    QFile::remove(stateFile);
    line.takeRequests();
    ModalAnswerer answerer;
    rig.choose(QStringLiteral("Offline"));
    QVERIFY(answerer.seen().isEmpty());
    QVERIFY(line.takeRequests().isEmpty());
    QVERIFY(!rig.isConnected());
    QVERIFY(!rig.portOpen());
    QVERIFY(!rig.statusShown());
    QVERIFY(!rig.toolbarEnabled());
    QCOMPARE(rig.title(), QStringLiteral("QUX-T40 D (Offline)"));
    QSettings written(stateFile, QSettings::IniFormat);
    QCOMPARE(written.value("SensorWindow/expertMenu").toBool(), true);
    QCOMPARE(written.value("SensorWindow/mesuredTemp").toBool(), false);
    QVERIFY(written.contains("SensorWindow/state"));
}

// The baud-rate row's way through the dispatch: the question, the port's rate shown again
// after No; writing all asks as well, also for the rate the line runs at, and Yes writes it and
// takes the window offline, the live-data action as it was. After the sensor's power cycle,
// choosing the port finds it again.
void tst_ConnectSequence::baudRateChange()
{
    SimulatedLine line;
    ConnectRig rig;
    rig.offerPorts({ "sim0" });
    connectSensorToPc(rig);
    line.takeRequests();

    ModalAnswerer answerer;
    answerer.answer(QMessageBox::No);
    rig.tester->edit("baudrate", 4);
    QTRY_VERIFY(!rig.tester->editPending() && answerer.pending() == 0);
    QCOMPARE(said(answerer), QStringList { baudQuestion });
    QCOMPARE(rig.tester->enumIndex("baudrate"), 2); // 38400, the port's rate
    QVERIFY(withoutPolls(line.takeRequests()).isEmpty());
    QVERIFY(rig.isConnected());

    answerer.answer(QMessageBox::Yes);
    rig.tester->session().state().deferValueWrites = false;
    rig.window->writeAllProperties();
    QCOMPARE(answerer.seen().size(), 2);
    QCOMPARE(withoutPolls(line.takeRequests()).last(), QByteArray("0?BR4"));
    QVERIFY(!rig.isConnected());
    QVERIFY(!rig.portOpen());
    QVERIFY(!rig.toolbarEnabled());
    QCOMPARE(rig.portBox()->currentIndex(), 0);
    QCOMPARE(rig.title(), QStringLiteral("QUX-T40 D (sim0)"));
    QVERIFY(rig.tester->action("actionEnable_live_data")->isChecked());

    line.sensor->replug();
    BaudTrace trace;
    connectSensorToPc(rig, &answerer);
    QCOMPARE(::identifications(line.takeRequests()), 1);
    QCOMPARE(trace.take(), QList<int> { 38400 });
}

void tst_ConnectSequence::connectionCheck_data()
{
    QTest::addColumn<bool>("factoryReset"); // what fails: an edit's writes, or the reset
    QTest::newRow("edit") << false;
    QTest::newRow("factory reset") << true;
}

// A connection check, as the live polling, a failed write or a failed factory reset asks for
// it: one that finds the sensor keeps the window as it was (the title without firmware and
// rate); one that does not takes it "Offline" at once, and the live-data action comes back as
// it was found. The adapter pulled out, choosing the port while it is gone and again once it is
// back run against quxsim (tst_connectpty); the polling noticing a silent sensor is the live
// chart's test.
void tst_ConnectSequence::connectionCheck()
{
    QFETCH(bool, factoryReset);
    SimulatedLine line;
    ConnectRig rig;
    rig.offerPorts({ "sim0" });
    connectSensorToPc(rig);
    QVERIFY(rig.tester->session().view().checkConnection());
    QVERIFY(rig.isConnected());
    QCOMPARE(rig.title(), QStringLiteral("QUX-T40 D (sim0)"));

    FaultSettings unplug;
    unplug.unplugAfter = 0;
    line.setFaults(unplug);
    ModalAnswerer answerer;
    answerer.answer(QMessageBox::Ok); // the reset's question
    factoryReset ? rig.window->vRestoreFactorySettings() : rig.tester->edit("laser", 1);
    QTRY_VERIFY(!rig.isConnected());
    QVERIFY(rig.tester->action("actionEnable_live_data")->isChecked());
    QCOMPARE(answerer.seen().size(), int(factoryReset));
    QVERIFY(!rig.portOpen());
    QCOMPARE(rig.portBox()->currentIndex(), 0);
    QCOMPARE(rig.title(), QStringLiteral("QUX-T40 D (Offline)"));
}

// The host may destroy the interface object, and with it the window, from a timer while the
// window waits for its sensor (a host quitting after a set time does). The identification
// must not go on in a window that is gone.
void tst_ConnectSequence::hostClosesDuringIdentification()
{
    SimulatedLine line;
    FaultSettings silent;
    silent.silent = true;
    line.setFaults(silent);
    ConnectRig rig;
    rig.offerPorts({ "sim0" });
    QPointer<SensorWindow> window = rig.window;
    ModalAnswerer answerer;
    ConnectRig::press(answerer, QStringLiteral("sensorToPc"));
    QTimer::singleShot(30, [&] { rig.plugin.reset(); });
    rig.choose(QStringLiteral("sim0"));
    QTRY_VERIFY(window.isNull());
    QVERIFY(line.sensor->log().requests().size() < 24);
}

QTEST_MAIN(tst_ConnectSequence)

#include "tst_connectsequence.moc"
