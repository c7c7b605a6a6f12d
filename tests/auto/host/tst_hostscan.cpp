// The host's scan dialog against the simulator on a pseudo-terminal and behind a TCP port,
// through the real plug-in and the real blocking port objects.

#include <pluginloader.h>
#include <scandialog.h>
#include <sensorlistmodel.h>

#include <scanports.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Orbexa::Internal;

class tst_HostScan : public QObject
{
    Q_OBJECT

private slots:
    void findsSimulatedSensor();
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

QTEST_MAIN(tst_HostScan)
#include "tst_hostscan.moc"
