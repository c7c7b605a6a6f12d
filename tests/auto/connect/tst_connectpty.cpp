// The connect sequence end to end: quxsim on a pseudo-terminal, the host's serial connection
// opened by its connection manager, the window behind its interface object, as a user has it.
// Checked against quxsim's request log. The sequence's choices, messages, auto-connect and the
// baud-rate change are the in-process test's (tst_connectsequence); here is what only a real
// line shows: bytes around the answers, and a terminal that goes away.

#include "../common/quxsimprocess.h"
#include "connectrig.h"

#include <QTemporaryDir>

using namespace DrumoSensorPlugin::Core;

namespace {
const QByteArray identify = "/000V49.";
const QString success = QStringLiteral("I|Sensor connections...|Successfuly connected ...");
const QString noAnswer = QStringLiteral(
    "C|Connecting to sensor...|The sensor did not respond, please make sure it is properly "
    "connected to the selected port and try again");
const QString otherPort = QStringLiteral("/nonexistent/ttyQUX");
} // namespace

class tst_ConnectPty : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void noisyLine();
    void lateAnswer();
    void unplugged_data();
    void unplugged();

private:
    // Sensor -> PC on quxsim's port (or `port`) through the port box; the messages said.
    QStringList choose(const QString &port = QString())
    {
        ModalAnswerer answerer;
        ConnectRig::press(answerer, QStringLiteral("sensorToPc"));
        answerer.answer(QMessageBox::Ok);
        m_rig->choose(port.isEmpty() ? m_sim->link() : port);
        return said(answerer);
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
    m_rig->offerPorts({ m_sim->link(), otherPort });
}

void tst_ConnectPty::cleanup()
{
    m_rig.reset();
    m_sim.reset();
    m_dir.reset();
}

// Bytes around every answer and every checksum wrong: connected with one identification
// request, the firmware left unknown. A clean line is the reconnect in unplugged().
void tst_ConnectPty::noisyLine()
{
    QVERIFY(m_sim->start({ "--noise-bytes", "5", "--corrupt", "100" }));
    QCOMPARE(choose(), QStringList { success });
    const QList<QByteArray> requests = m_sim->takeRequests();
    QCOMPARE(requests.count(identify), 1);
    QCOMPARE(requests.first(), identify);
    QVERIFY(m_rig->isConnected() && m_rig->portOpen() && m_rig->statusShown());
    QCOMPARE(m_rig->title(), QStringLiteral("QUX-T40 D (%1 - Baud 38400)").arg(m_sim->link()));
}

// A sensor at 57600 that answers later than the identification's time-out: its answer to the
// request at 57600 arrives while the host already asks at 115200, where the sensor hears
// nothing. A real line garbles it there, and quxsim does the same over its pseudo-terminal: the
// sensor is found at its own rate or not at all, never at a rate it does not listen at.
void tst_ConnectPty::lateAnswer()
{
    QVERIFY(m_sim->start({ "--baud", "57600", "--delay", "700" }));
    QVERIFY(QMetaObject::invokeMethod(m_rig->window, "vConnectToPort",
                                      Q_ARG(QString, m_sim->link())));
    QVERIFY(m_rig->portOpen());
    BaudTrace trace;
    const IdentifyResult result = m_rig->tester->session().identify();
    QVERIFY(m_rig->portOpen());
    const int rate = m_rig->window->connection()->getPortSettings().baudrate;
    QVERIFY2(result.status != IdentifyResult::Identified || rate == 57600,
             qPrintable(QString::number(rate)));
    // The late answer reached the host after it had stepped on to another rate, where a line
    // garbles it: one request per attempt, none asked twice.
    QCOMPARE(m_sim->takeRequests().count(identify), trace.take().size());
}

void tst_ConnectPty::unplugged_data()
{
    QTest::addColumn<int>("answeredBefore");
    QTest::newRow("during identification") << 0;
    QTest::newRow("while connected") << 1;
}

// The adapter pulled out (quxsim closes its terminal and exits): "Offline" at once, the port
// silent while it is gone, and connecting again once it is back. The port that did not open
// stays the interface object's port: choosing it again opens nothing until another port was
// chosen in between.
void tst_ConnectPty::unplugged()
{
    QFETCH(int, answeredBefore);
    QVERIFY(m_sim->start({ "--unplug-after", QString::number(answeredBefore) }));
    if (answeredBefore == 0) {
        QCOMPARE(choose(), QStringList { noAnswer });
    } else {
        QCOMPARE(choose(), QStringList { success });
        // What the live polling or a failed write asks for.
        QVERIFY(!m_rig->tester->session().view().checkConnection());
    }
    QVERIFY(m_sim->waitForExit());
    QVERIFY(!m_rig->isConnected());
    QVERIFY(!m_rig->portOpen());
    QCOMPARE(m_rig->portBox()->currentIndex(), 0);
    QCOMPARE(m_rig->title(), QStringLiteral("QUX-T40 D (Offline)"));

    QCOMPARE(choose(), QStringList { noAnswer });

    m_sim->take();
    QVERIFY(m_sim->start());
    QCOMPARE(choose(), QStringList { noAnswer });
    QVERIFY(m_sim->takeRequests().isEmpty());
    QCOMPARE(choose(otherPort), QStringList { noAnswer });
    QCOMPARE(choose(), QStringList { success });
    QCOMPARE(m_sim->takeRequests().mid(0, 1), QList<QByteArray> { identify });
    QCOMPARE(m_rig->title(),
             QStringLiteral("QUX-T40 D fw: 1 (%1 - Baud 38400)").arg(m_sim->link()));
}

QTEST_MAIN(tst_ConnectPty)

#include "tst_connectpty.moc"
