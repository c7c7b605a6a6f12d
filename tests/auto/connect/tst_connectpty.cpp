// The connect sequence end to end: quxsim on a pseudo-terminal, the host's serial connection
// opened by its connection manager, the window behind its interface object, as a user has it.
// Checked against quxsim's request log: the identification requests, then the window's state
// and messages. The paths that only cost time-outs (a silent sensor) run in-process.

#include "connectrig.h"
#include "../common/quxsimprocess.h"

#include <QTemporaryDir>

using namespace DrumoSensorPlugin::Core;

namespace {
const QByteArray identify = "/000V49.";
const QString noAnswer = QStringLiteral(
    "C|Connecting to sensor...|The sensor did not respond, please make sure it is properly "
    "connected to the selected port and try again");
const QString mismatch = QStringLiteral(
    "W|Connecting to sensor...|The connected sensor does not match currently selected sensor, "
    "please try again with the proper sensor");
const QString question
    = QStringLiteral("I|Orbexa|Sensor settings will be overwritten with the ones from PC");
const QString success = QStringLiteral("I|Sensor connections...|Successfuly connected ...");
} // namespace

class tst_ConnectPty : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void choices_data();
    void choices();
    void autoConnect();
    void baudRateChangeAndPowerCycle();
    void unplugged_data();
    void unplugged();

private:
    // Sensor -> PC through the port box; the messages said on the way.
    QStringList choose(const QString &port, const QString &button = "sensorToPc",
                       QMessageBox::StandardButton confirm = QMessageBox::NoButton, int boxes = 1);
    QString onlineTitle(int baud = 38400) const
    {
        return QStringLiteral("QUX-T40 D fw: 1 (%1 - Baud %2)").arg(m_sim->link()).arg(baud);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QuxsimProcess> m_sim;
    std::unique_ptr<ConnectRig> m_rig;
};

void tst_ConnectPty::init()
{
    const QString program = QCoreApplication::applicationDirPath() + "/../quxsim";
    if (!QFile::exists(program))
        QSKIP("quxsim is not built");
    m_dir = std::make_unique<QTemporaryDir>();
    m_sim = std::make_unique<QuxsimProcess>(program, m_dir->path());
    // The host's own serial connection.
    ExtensionSystem::ConnectionManager::instance()->setFactory({});
    m_rig = std::make_unique<ConnectRig>();
    m_rig->offerPorts({ m_sim->link(), m_dir->path() + "/gone" });
}

void tst_ConnectPty::cleanup()
{
    m_rig.reset();
    m_sim.reset();
    m_dir.reset();
}

QStringList tst_ConnectPty::choose(const QString &port, const QString &button,
                                   QMessageBox::StandardButton confirm, int boxes)
{
    ModalAnswerer answerer;
    ConnectRig::press(answerer, button);
    if (confirm != QMessageBox::NoButton)
        answerer.answer(confirm);
    for (; boxes > 0; --boxes)
        answerer.answer(QMessageBox::Ok);
    m_rig->choose(port);
    return said(answerer);
}

void tst_ConnectPty::choices_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("confirm");
    QTest::addColumn<int>("identifications");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QStringList>("messages");

    const int na = QMessageBox::NoButton;
    QTest::newRow("Sensor -> PC") << QStringList() << "sensorToPc" << na << 1 << true
                                  << QStringList { success };
    QTest::newRow("PC -> Sensor") << QStringList() << "pcToSensor" << int(QMessageBox::Ok) << 1
                                  << true << QStringList { question, success };
    // One request per identification call: each starts at the rate the sensor answers at.
    QTest::newRow("foreign type") << QStringList { "--foreign-type" } << "sensorToPc" << na << 2
                                  << false << QStringList { mismatch, mismatch, noAnswer };
    QTest::newRow("garbage and wrong checksums")
        << QStringList { "--noise-bytes", "5", "--corrupt", "100" } << "sensorToPc" << na << 1
        << true << QStringList { success };
}

void tst_ConnectPty::choices()
{
    QFETCH(QStringList, options);
    QFETCH(QString, button);
    QFETCH(int, confirm);
    QFETCH(int, identifications);
    QFETCH(bool, connected);
    QFETCH(QStringList, messages);

    QVERIFY(m_sim->start(options));
    const int boxes = messages.size() - (confirm != QMessageBox::NoButton ? 1 : 0);
    QCOMPARE(choose(m_sim->link(), button, QMessageBox::StandardButton(confirm), boxes), messages);
    const QList<QByteArray> requests = m_sim->takeRequests();
    QCOMPARE(requests.count(identify), identifications);
    QCOMPARE(requests.mid(0, identifications).count(identify), identifications); // all first
    QCOMPARE(m_rig->isConnected(), connected);
    QCOMPARE(m_rig->portOpen(), connected);
    QCOMPARE(m_rig->statusShown(), connected);
    QCOMPARE(m_rig->toolbarEnabled(), connected);
    // A corrupted checksum leaves the firmware unknown.
    const QString title = options.contains("--corrupt")
        ? QStringLiteral("QUX-T40 D (%1 - Baud 38400)").arg(m_sim->link())
        : onlineTitle();
    QCOMPARE(m_rig->title(), connected ? title : QStringLiteral("QUX-T40 D (Offline)"));

    if (connected) {
        QCOMPARE(choose("Offline", QString(), QMessageBox::NoButton, 0), QStringList());
        QVERIFY(!m_rig->portOpen());
        QVERIFY(ExtensionSystem::ConnectionManager::instance()->heldPorts().isEmpty());
    }
}

void tst_ConnectPty::autoConnect()
{
    QVERIFY(m_sim->start());
    ModalAnswerer answerer;
    m_rig->plugin->vAutoConnect(m_sim->link());
    QVERIFY(answerer.seen().isEmpty());
    QCOMPARE(m_sim->takeRequests().mid(0, 1), QList<QByteArray> { identify });
    QVERIFY(m_rig->isConnected());
    QCOMPARE(m_rig->title(), onlineTitle());
    QVERIFY(m_rig->tester->ui()->actionEnable_live_data->isChecked());

    // A port that is not there any more: said so, and "Offline".
    m_rig->plugin->vAutoConnect(m_dir->path() + "/gone");
    QCOMPARE(answerer.seen().size(), 1);
    QVERIFY(answerer.seen().first().text.startsWith(
        QStringLiteral("The port %1/gone could not be opened.").arg(m_dir->path())));
    QVERIFY(!m_rig->isConnected());
    QCOMPARE(m_rig->title(), QStringLiteral("QUX-T40 D (Offline)"));
}

// "0?BR6" is acknowledged and the window goes "Offline"; after the power cycle the sensor
// answers at 115200 only, and choosing its port finds it there by the baud stepping.
void tst_ConnectPty::baudRateChangeAndPowerCycle()
{
    QVERIFY(m_sim->start());
    QCOMPARE(choose(m_sim->link()), QStringList { success });
    SensorSession &session = m_rig->tester->session();
    m_sim->take();
    {
        ModalAnswerer answerer;
        answerer.answer(QMessageBox::Yes);
        QVERIFY(session.view().confirmBaudRateChange());
    }
    QVERIFY(session.io().writeBaudRate(4));
    session.view().baudRateWritten();
    QList<QuxsimProcess::Entry> written = m_sim->take();
    // The live polling runs while the sensor is connected; only the rate write counts here.
    written.erase(std::remove_if(written.begin(), written.end(),
                                 [](const QuxsimProcess::Entry &entry) {
                                     return entry.request.contains("0D0e")
                                         || entry.request.contains("0WD");
                                 }),
                  written.end());
    QCOMPARE(written.size(), 1);
    QCOMPARE(written.first().request.mid(3, 5), QByteArray("0?BR6"));
    QCOMPARE(written.first().outcome, QStringLiteral("answered"));
    QVERIFY(!m_rig->isConnected());
    QVERIFY(!m_rig->portOpen());

    QVERIFY(m_sim->powerCycle());
    BaudTrace trace;
    QCOMPARE(choose(m_sim->link()), QStringList { success });
    QCOMPARE(trace.take(), (QList<int> { 38400, 57600, 115200 }));
    QCOMPARE(m_sim->takeRequests().count(identify), 3);
    QCOMPARE(m_rig->title(), onlineTitle(115200));
}

void tst_ConnectPty::unplugged_data()
{
    QTest::addColumn<int>("answeredBefore");
    QTest::newRow("during identification") << 0;
    QTest::newRow("while connected") << 1;
}

// The adapter pulled out (quxsim closes its terminal and exits): "Offline" at once, the port
// reported gone while it is, and connecting again once it is back.
void tst_ConnectPty::unplugged()
{
    QFETCH(int, answeredBefore);
    QVERIFY(m_sim->start({ "--unplug-after", QString::number(answeredBefore) }));
    if (answeredBefore == 0) {
        QCOMPARE(choose(m_sim->link()), QStringList { noAnswer });
    } else {
        QCOMPARE(choose(m_sim->link()), QStringList { success });
        // What the live polling or a failed write asks for.
        QVERIFY(!m_rig->tester->session().view().checkConnection());
    }
    QVERIFY(m_sim->waitForExit());
    QVERIFY(!m_rig->isConnected());
    QVERIFY(!m_rig->portOpen());
    QCOMPARE(m_rig->portBox()->currentIndex(), 0);
    QCOMPARE(m_rig->title(), QStringLiteral("QUX-T40 D (Offline)"));

    const QStringList gone = choose(m_sim->link(), "sensorToPc", QMessageBox::NoButton, 1);
    QCOMPARE(gone.size(), 1);
    QVERIFY(gone.first().contains(QStringLiteral("could not be opened")));

    m_sim->take();
    QVERIFY(m_sim->start());
    QCOMPARE(choose(m_sim->link()), QStringList { success });
    QCOMPARE(m_sim->takeRequests().mid(0, 1), QList<QByteArray> { identify });
    QCOMPARE(m_rig->title(), onlineTitle());
}

QTEST_MAIN(tst_ConnectPty)

#include "tst_connectpty.moc"
