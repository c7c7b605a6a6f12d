// The host's serial line end to end against the simulator program quxsim on a pseudo-terminal:
// identification, a live request, auto-baud, an unplugged sensor, and the scan's port object.

#include <serialcommunication.h>
#include <serialscanport.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QtTest>

#include <atomic>

using namespace ExtensionSystem;
using Entry = CommunicationInterface::DataFrameEntry;
using Frame = CommunicationInterface::DataFrame;

namespace {
const char identificationPattern[] = "/070V8[0-9A-Z]{1,1}:[0-9A-F]{6,6}\\.";

// One quxsim process serving one sensor; stopped when it goes out of scope.
class Simulator
{
public:
    ~Simulator()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(3000))
                m_process.kill();
        }
    }

    // Starts quxsim with the arguments and returns the port it serves, or an empty text.
    QString start(const QStringList &arguments)
    {
        m_process.setProgram(QCoreApplication::applicationDirPath() + "/quxsim");
        m_process.setArguments(arguments);
        m_process.start();
        if (!m_process.waitForStarted(5000))
            return {};
        static const QRegularExpression serving("^quxsim: serving (.+) on (\\S+)$");
        while (m_process.waitForReadyRead(5000) || m_process.canReadLine()) {
            while (m_process.canReadLine()) {
                const QString line = QString::fromLocal8Bit(m_process.readLine()).trimmed();
                const QRegularExpressionMatch match = serving.match(line);
                if (match.hasMatch())
                    return match.captured(2);
            }
        }
        return {};
    }

    QProcess &process() { return m_process; }

private:
    QProcess m_process;
};

Entry identificationEntry()
{
    Entry entry;
    entry.frame = "/000V49.";
    entry.answerPattern = identificationPattern;
    entry.timeout = 500;
    return entry;
}

// Runs one transaction and waits for its end.
bool run(SerialCommunication &serial, Frame &frame, int waitMs = 3000)
{
    const unsigned int id = serial.uiSendDataFrame(&frame);
    bool finished = false;
    const auto connection = QObject::connect(&serial, &CommunicationInterface::emitFinished,
                                             [&](unsigned int done) { finished |= done == id; });
    const bool ended = QTest::qWaitFor([&] { return finished; }, waitMs);
    QObject::disconnect(connection);
    return ended;
}
} // namespace

class tst_SerialSimulator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void identification_data();
    void identification();
    void liveRequest();
    void autoBaudFindsTheSensorsRate();
    void unpluggedSensor();
    void scanPortFindsIdentification();
};

void tst_SerialSimulator::initTestCase()
{
    if (!QFileInfo::exists(QCoreApplication::applicationDirPath() + "/quxsim"))
        QSKIP("quxsim is not built");
}

void tst_SerialSimulator::identification_data()
{
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<QString>("groupAndType"); // as the answer carries them, hexadecimal
    QTest::newRow("QUX-T40 D") << "QUX-T40 D"
                               << "1201";
    QTest::newRow("QUX-T40 A") << "QUX-T40 A"
                               << "1203";
}

void tst_SerialSimulator::identification()
{
    QFETCH(QString, sensor);
    QFETCH(QString, groupAndType);
    Simulator simulator;
    const QString port = simulator.start({ "--sensor", sensor, "--firmware", "7" });
    QVERIFY(!port.isEmpty());

    SerialCommunication serial;
    PortSettings settings;
    settings.portName = port;
    QString error;
    QVERIFY2(serial.open(settings, &error), qPrintable(error));
    Frame frame { identificationEntry() };
    QVERIFY(run(serial, frame));
    const QString answer = QString::fromStdString(frame.front().answer);
    QCOMPARE(frame.front().status, 1u);
    QCOMPARE(answer.mid(6, 1), QString("7"));
    QCOMPARE(answer.mid(8, 4), groupAndType);
}

void tst_SerialSimulator::liveRequest()
{
    Simulator simulator;
    const QString port = simulator.start({ "--temperature", "123.4", "--head", "30.5" });
    QVERIFY(!port.isEmpty());
    SerialCommunication serial;
    PortSettings settings;
    settings.portName = port;
    QVERIFY(serial.open(settings));
    Entry entry;
    entry.frame = "/020D0e0C.";
    entry.answerPattern = "/[0-9A-F]{2,2}0D0[0-9A-Z]{3,3}:[0-9A-Z]{6,6}\\.";
    entry.timeout = 120;
    Frame frame { entry };
    for (int i = 0; i < 3; ++i) {
        QVERIFY(run(serial, frame));
        QCOMPARE(frame.front().status, 1u);
        QCOMPARE(QString::fromStdString(frame.front().answer).mid(6, 8), QString("305:1234"));
    }
}

// The connect sequence's auto-baud: a sensor at 9600 is found from a host set to 38400.
void tst_SerialSimulator::autoBaudFindsTheSensorsRate()
{
    Simulator simulator;
    const QString port = simulator.start({ "--baud", "9600" });
    QVERIFY(!port.isEmpty());
    SerialCommunication serial;
    PortSettings settings;
    settings.portName = port;
    QVERIFY(serial.open(settings));

    PortSettings trial = serial.getPortSettings();
    Frame frame { identificationEntry() };
    QVector<int> tried;
    for (int attempt = 0; attempt < 12; ++attempt) {
        trial.vSetBaudrateDefault(1);
        serial.vSetPortSettings(trial);
        tried << serial.getPortSettings().baudrate;
        QVERIFY(run(serial, frame));
        if (frame.front().status == 1)
            break;
    }
    QCOMPARE(tried, (QVector<int> { 38400, 57600, 115200, 9600 }));
    QCOMPARE(frame.front().status, 1u);
}

void tst_SerialSimulator::unpluggedSensor()
{
    Simulator simulator;
    const QString port = simulator.start({ "--unplug-after", "1" });
    QVERIFY(!port.isEmpty());
    SerialCommunication serial;
    PortSettings settings;
    settings.portName = port;
    QVERIFY(serial.open(settings));
    Frame first { identificationEntry() };
    QVERIFY(run(serial, first));
    QCOMPARE(first.front().status, 1u);

    Frame second { identificationEntry() };
    second.front().timeout = 5000;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(run(serial, second, 6000));
    QCOMPARE(second.front().status, 0u);
    // Ended by the hang-up, not by the time-out.
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    QTRY_VERIFY(!serial.isOpen());
}

// The scan's own sequence and timing, in a worker thread, against the simulator.
void tst_SerialSimulator::scanPortFindsIdentification()
{
    Simulator simulator;
    const QString port = simulator.start({ "--sensor", "QUX-T40 DL" });
    QVERIFY(!port.isEmpty());

    std::string received;
    std::atomic<bool> done { false };
    std::unique_ptr<QThread> worker(QThread::create([&] {
        SerialScanPort scanPort(port);
        PortSettings settings;
        settings.vInit();
        scanPort.vGetPortName(settings.portName);
        scanPort.vClose();
        settings.baudrate = 38400;
        scanPort.vApplySettings(&settings);
        scanPort.vPrepare();
        scanPort.vSend(".");
        QThread::msleep(10);
        scanPort.vSend("/000V49.");
        QThread::msleep(800);
        received = scanPort.readAll();
        scanPort.vClose();
        done = true;
    }));
    worker->start();
    QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
    worker->wait();

    const QByteArray text = QByteArray::fromStdString(received);
    QVERIFY2(text.size() >= 13, text.constData());
    const int start = text.indexOf('/');
    QVERIFY(start >= 0 && start < 50);
    QVERIFY(text.indexOf('.') < 100);
    QCOMPARE(text.mid(start + 8, 4), QByteArray("1202"));
}

QTEST_GUILESS_MAIN(tst_SerialSimulator)

#include "tst_serialsimulator.moc"
