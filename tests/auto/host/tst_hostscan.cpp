// The host against the simulator through the real plug-in: the scan dialog with the real
// blocking port objects, on a pseudo-terminal and behind a TCP port, and a window whose adapter
// is unplugged and plugged in again.

#include "../common/modalanswerer.h"
#include "../common/quxsimprocess.h"

#include <logdock.h>
#include <mainwindow.h>
#include <pluginloader.h>
#include <portwatcher.h>
#include <scandialog.h>
#include <sensorlistmodel.h>
#include <sensorsubwindow.h>
#include <sessionmanager.h>

#include <scanports.h>

#include <QSettings>
#include <QtTest>

using namespace Orbexa::Internal;

class tst_HostScan : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void findsSimulatedSensor();
    void portComesBack_data();
    void portComesBack();
};

void tst_HostScan::initTestCase()
{
    if (!QFileInfo::exists(QuxsimProcess::besideTests()))
        QSKIP("quxsim is not built");
}

// Two sensors, one on a pseudo-terminal and one behind a network port, are found next to a port
// where nothing answers.
void tst_HostScan::findsSimulatedSensor()
{
    QuxsimProcess sim, server;
    QVERIFY(sim.start({ "--sensor", "QUX-T40 DL", "--firmware", "3" }));
    QVERIFY(server.startTcp({ "--sensor", "QUX-T40 A" }));

    PluginLoader loader;
    loader.loadFrom(PluginLoader::defaultPluginDir());
    LoadedPlugin *plugin = loader.plugin(QStringLiteral("QUXfamily"));
    QVERIFY(plugin);
    SensorListModel model;
    model.setCatalogue(plugin, plugin->sensorMap());

    const QStringList ports { sim.filePath("nothing-here"), sim.link(), server.port() };
    ScanDialog dialog({ plugin }, ports, &model, &ExtensionSystem::makeScanPort,
                      &ExtensionSystem::cancelScanPort);
    QCOMPARE(dialog.checkedPorts(), ports);
    QSignalSpy added(&dialog, &ScanDialog::sensorAdded);
    dialog.show();
    dialog.startScan();
    QVERIFY(dialog.isScanning());
    // The dialog keeps painting while the worker waits on the port.
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isScanning(), 30000);

    QCOMPARE(added.count(), 2);
    QStringList found;
    for (const QList<QVariant> &signal : qAsConst(added)) {
        const SensorEntry *entry = model.entry(signal.constFirst().toModelIndex());
        QVERIFY(entry && entry->matched);
        found << QStringLiteral("%1 on %2: %3/%4 firmware %5")
                     .arg(entry->displayName(), entry->port)
                     .arg(entry->foundGroup)
                     .arg(entry->foundType)
                     .arg(entry->firmware);
    }
    QCOMPARE(found.first(), "QUX-T40 DL on " + sim.link() + ": 18/2 firmware 3");
    QVERIFY2(found.last().startsWith("QUX-T40 A on " + server.port() + ": "),
             qPrintable(found.last()));
}

void tst_HostScan::portComesBack_data()
{
    QTest::addColumn<bool>("reconnect");
    QTest::newRow("reconnect when the port comes back") << true;
    QTest::newRow("off (the default)") << false;
}

// The adapter is pulled out while the window polls (quxsim's unplug: it closes its terminal and
// exits), the window goes offline, then a simulator serves on the same link again. With the
// preference on, the window reads that sensor by itself and the log says so; without it, it
// stays offline.
void tst_HostScan::portComesBack()
{
    QFETCH(bool, reconnect);
    QuxsimProcess sim;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, sim.dir());
    QVERIFY(sim.start({ "--unplug-after", "40" }));

    MainWindow window;
    window.portWatcher()->setSystemPortSource([] { return QStringList(); });
    window.portWatcher()->setInterval(200);
    window.setCommandLinePorts({ sim.link() });
    window.loadPlugins();
    window.sessions()->setReconnectWhenPortReturns(reconnect);
    window.show();
    QVERIFY(window.portWatcher()->waitForLook());
    ModalAnswerer answerer; // the "did not respond" message after the unplug
    SensorSubWindow *sub = window.openSensorByName(QStringLiteral("QUX-T40 D"), sim.link());
    QVERIFY(sub);
    QCOMPARE(sub->connectedPort(), sim.link());

    QTRY_VERIFY_WITH_TIMEOUT(sim.waitForExit(1), 20000); // keeps the event loop running
    QTRY_VERIFY_WITH_TIMEOUT(sub->connectedPort().isEmpty(), 20000);
    QTRY_VERIFY(!window.portWatcher()->ports().contains(sim.link()));
    // What the host's connect sent, without the live polling's two frames.
    const auto connectRequests = [](QList<QByteArray> requests) {
        requests.removeAll("/020D0e0C.");
        requests.removeAll("/010WD0D.");
        return requests;
    };
    const QList<QByteArray> connected = connectRequests(sim.takeRequests());
    QVERIFY(sim.start());

    const QString said = QStringLiteral("%1 is back: reconnecting QUX-T40 D.").arg(sim.link());
    if (reconnect) {
        QTRY_COMPARE_WITH_TIMEOUT(sub->connectedPort(), sim.link(), 20000);
        QVERIFY(window.logDock()->text().contains(said));
        // The host's own connect once more (Sensor -> PC: the sensor's settings read).
        QList<QByteArray> again;
        QTRY_VERIFY_WITH_TIMEOUT(
            (again += connectRequests(sim.takeRequests())).size() >= connected.size(), 20000);
        QCOMPARE(again, connected);
    } else {
        QTRY_VERIFY(window.portWatcher()->ports().contains(sim.link()));
        QTest::qWait(1000);
        QVERIFY(sub->connectedPort().isEmpty());
        QVERIFY(sim.takeRequests().isEmpty());
        QVERIFY(!window.logDock()->text().contains(said));
    }
    QVERIFY2(answerer.seen().size() == 1, qPrintable(answerer.texts().join(QLatin1String(" | "))));
    QVERIFY(window.close());
}

QTEST_MAIN(tst_HostScan)
#include "tst_hostscan.moc"
