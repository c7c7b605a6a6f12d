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

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace Orbexa::Internal;

class tst_HostScan : public QObject
{
    Q_OBJECT

private slots:
    void findsSimulatedSensor();
    void portComesBack_data();
    void portComesBack();
};

void tst_HostScan::findsSimulatedSensor()
{
    const QString simulator = QCoreApplication::applicationDirPath() + "/quxsim";
    if (!QFileInfo::exists(simulator))
        QSKIP("quxsim is not built");

    QTemporaryDir dir;
    const QString link = dir.filePath("port");
    QProcess sim;
    sim.setProcessChannelMode(QProcess::MergedChannels);
    sim.start(simulator, { "--sensor", "QUX-T40 DL", "--link", link, "--firmware", "3" });
    QVERIFY(sim.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(sim.readAll().contains("serving") || QFileInfo::exists(link), 5000);
    QTRY_VERIFY(QFileInfo::exists(link));
    QProcess server;
    server.start(simulator, { "--sensor", "QUX-T40 A", "--no-pty", "--tcp", "0" });
    QVERIFY(server.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(server.canReadLine(), 5000);
    const QString network = QString::fromUtf8(server.readLine()).section(' ', -1).trimmed();
    QVERIFY2(network.startsWith("tcp://"), qPrintable(network));

    PluginLoader loader;
    loader.loadFrom(PluginLoader::defaultPluginDir());
    LoadedPlugin *plugin = loader.plugin(QStringLiteral("QUXfamily"));
    QVERIFY(plugin);
    SensorListModel model;
    model.setCatalogue(plugin, plugin->sensorMap());

    const QString silent = dir.filePath("nothing-here");
    ScanDialog dialog({ plugin }, { silent, link, network }, &model, &ExtensionSystem::makeScanPort,
                      &ExtensionSystem::cancelScanPort);
    QCOMPARE(dialog.checkedPorts(), (QStringList { silent, link, network }));
    QSignalSpy added(&dialog, &ScanDialog::sensorAdded);
    dialog.show();
    dialog.startScan();
    QVERIFY(dialog.isScanning());
    // The dialog keeps painting while the worker waits on the port.
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isScanning(), 30000);

    QCOMPARE(added.count(), 2);
    const SensorEntry *behindServer = model.entry(added.at(1).constFirst().toModelIndex());
    QVERIFY(behindServer && behindServer->matched);
    QCOMPARE(behindServer->displayName(), QStringLiteral("QUX-T40 A"));
    QCOMPARE(behindServer->port, network);
    const SensorEntry *entry = model.entry(added.constFirst().constFirst().toModelIndex());
    QVERIFY(entry);
    QVERIFY(entry->matched);
    QCOMPARE(entry->displayName(), QStringLiteral("QUX-T40 DL"));
    QCOMPARE(entry->port, link);
    QCOMPARE(entry->foundGroup, 18);
    QCOMPARE(entry->foundType, 2);
    QCOMPARE(entry->firmware, 3);

    sim.terminate();
    server.terminate();
    QVERIFY(sim.waitForFinished(5000) && server.waitForFinished(5000));
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
    const QString program = QCoreApplication::applicationDirPath() + "/quxsim";
    if (!QFileInfo::exists(program))
        QSKIP("quxsim is not built");
    QTemporaryDir dir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    QuxsimProcess sim(program, dir.path());
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
    // What the host's connect sent, without the live polling.
    const auto connectRequests = [](const QList<QByteArray> &requests) {
        QList<QByteArray> result;
        for (const QByteArray &request : requests) {
            if (!request.startsWith("/020D0e") && !request.startsWith("/010WD"))
                result << request;
        }
        return result;
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
