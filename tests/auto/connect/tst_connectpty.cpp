// The connect sequence end to end: quxsim on a pseudo-terminal or behind a TCP port (a serial
// device server), the host's connection opened by its connection manager, the window behind its
// interface object, as a user has it. Checked against quxsim's request log. The sequence's
// choices, messages, auto-connect and the baud-rate change are the in-process test's
// (tst_connectsequence); here is what only a real line shows: bytes around the answers, a
// terminal or a connection that goes away, and a network port's fixed line rate.

#include "../common/quxsimprocess.h"
#include "connectrig.h"

using namespace DrumoSensorPlugin::Core;

namespace {
const QByteArray identify = "/000V49.";
const QString otherPort = QStringLiteral("/nonexistent/ttyQUX");
} // namespace

class tst_ConnectPty : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void noisyLine_data();
    void noisyLine();
    void lateAnswer();
    void unplugged_data();
    void unplugged();
    void networkPortKeepsItsRate();

private:
    // quxsim on a pseudo-terminal, or on TCP at `tcpPort` (0: a free one); its port offered, and
    // a port that does not exist.
    bool startSimulator(bool tcp, const QStringList &options, int tcpPort = 0)
    {
        const bool started = tcp ? m_sim->startTcp(options, tcpPort) : m_sim->start(options);
        m_rig->offerPorts({ m_sim->port(), otherPort });
        return started;
    }
    // What the title shows after the port: the baud rate of a serial port, nothing for a
    // network port, whose rate is its server's.
    QString titlePort(bool tcp) const
    {
        return tcp ? m_sim->port() : QStringLiteral("%1 - Baud 38400").arg(m_sim->port());
    }

    // Sensor -> PC on quxsim's port (or `port`) through the port box; the messages said.
    QStringList choose(const QString &port = QString())
    {
        ModalAnswerer answerer;
        ConnectRig::press(answerer, QStringLiteral("sensorToPc"));
        answerer.answer(QMessageBox::Ok);
        m_rig->choose(port.isEmpty() ? m_sim->port() : port);
        return said(answerer);
    }

    std::unique_ptr<QuxsimProcess> m_sim;
    std::unique_ptr<ConnectRig> m_rig;
};

void tst_ConnectPty::init()
{
    // This test runs from a folder of its own, below quxsim's.
    if (!QFile::exists(QuxsimProcess::besideTests(1)))
        QSKIP("quxsim is not built");
    m_sim = std::make_unique<QuxsimProcess>(QuxsimProcess::besideTests(1));
    // The host's own serial connection.
    ExtensionSystem::ConnectionManager::instance()->setFactory({});
    m_rig = std::make_unique<ConnectRig>();
}

void tst_ConnectPty::cleanup()
{
    m_rig.reset();
    m_sim.reset();
}

void tst_ConnectPty::noisyLine_data()
{
    QTest::addColumn<bool>("tcp");
    QTest::newRow("pty") << false;
    QTest::newRow("tcp") << true;
}

// Bytes around every answer and every checksum wrong: connected with one identification
// request, the firmware left unknown. A clean line is the reconnect in unplugged().
void tst_ConnectPty::noisyLine()
{
    QFETCH(bool, tcp);
    QVERIFY(startSimulator(tcp, { "--noise-bytes", "5", "--corrupt", "100" }));
    QCOMPARE(choose(), QStringList { success });
    const QList<QByteArray> requests = m_sim->takeRequests();
    QCOMPARE(requests.count(identify), 1);
    QCOMPARE(requests.first(), identify);
    QVERIFY(m_rig->isConnected() && m_rig->portOpen() && m_rig->statusShown());
    QCOMPARE(m_rig->title(), QStringLiteral("QUX-T40 D (%1)").arg(titlePort(tcp)));
}

// A sensor at 57600 that answers later than the identification's time-out: its answer to the
// request at 57600 arrives while the host already asks at 115200, where the sensor hears
// nothing. A real line garbles it there, and quxsim does the same over its pseudo-terminal: the
// sensor is found at its own rate or not at all, never at a rate it does not listen at.
void tst_ConnectPty::lateAnswer()
{
    QVERIFY(startSimulator(false, { "--baud", "57600", "--delay", "700" }));
    QVERIFY(
        QMetaObject::invokeMethod(m_rig->window, "vConnectToPort", Q_ARG(QString, m_sim->port())));
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
    QTest::addColumn<bool>("tcp");
    QTest::addColumn<int>("answeredBefore");
    QTest::newRow("pty, during identification") << false << 0;
    QTest::newRow("pty, while connected") << false << 1;
    QTest::newRow("tcp, during identification") << true << 0;
    QTest::newRow("tcp, while connected") << true << 1;
}

// The adapter pulled out (quxsim closes its terminal and exits): "Offline" at once, the port
// silent while it is gone, and connecting again once it is back. The port that did not open
// stays the interface object's port: choosing it again opens nothing until another port was
// chosen in between.
void tst_ConnectPty::unplugged()
{
    QFETCH(bool, tcp);
    QFETCH(int, answeredBefore);
    QVERIFY(startSimulator(tcp, { "--unplug-after", QString::number(answeredBefore) }));
    const int tcpPort = m_sim->tcpPort();
    if (answeredBefore == 0) {
        QCOMPARE(choose(), QStringList { noAnswer });
    } else {
        QCOMPARE(choose(), QStringList { success });
        // What the live polling or a failed write asks for.
        QVERIFY(!m_rig->tester->session().view().checkConnection());
    }
    QVERIFY(m_sim->waitForExit());
    QVERIFY(m_rig->viewsPaint());
    QVERIFY(!m_rig->isConnected());
    QVERIFY(!m_rig->portOpen());
    QCOMPARE(m_rig->portBox()->currentIndex(), 0);
    QCOMPARE(m_rig->title(), QStringLiteral("QUX-T40 D (Offline)"));

    QCOMPARE(choose(), QStringList { noAnswer });

    m_sim->take();
    QVERIFY(startSimulator(tcp, {}, tcp ? tcpPort : 0));
    QCOMPARE(choose(), QStringList { noAnswer });
    QVERIFY(m_sim->takeRequests().isEmpty());
    QCOMPARE(choose(otherPort), QStringList { noAnswer });
    QCOMPARE(choose(), QStringList { success });
    QCOMPARE(m_sim->takeRequests().mid(0, 1), QList<QByteArray> { identify });
    QCOMPARE(m_rig->title(), QStringLiteral("QUX-T40 D fw: 1 (%1)").arg(titlePort(tcp)));
}

// The line rate of a sensor behind a serial device server is the server's: one identification
// request whatever the sensor's rate, and a new baud rate refused with the reason, nothing sent.
void tst_ConnectPty::networkPortKeepsItsRate()
{
    QVERIFY(startSimulator(true, { "--baud", "115200" }));
    QCOMPARE(choose(), QStringList { success });
    QCOMPARE(m_sim->takeRequests().count(identify), 1);

    ModalAnswerer answerer;
    answerer.answer(QMessageBox::Ok);
    m_rig->tester->edit("baudrate", 0);
    QTRY_VERIFY(!m_rig->tester->editPending());
    QCOMPARE(said(answerer),
             QStringList { "W|Sensor connections...|The baud rate of a network port is set on its "
                           "serial device server, not by Orbexa. The sensor's baud rate was not "
                           "changed." });
    for (const QByteArray &request : m_sim->takeRequests())
        QVERIFY2(!request.contains("?BR"), request.constData());
    QVERIFY(m_rig->isConnected());
}

QTEST_MAIN(tst_ConnectPty)

#include "tst_connectpty.moc"
