// quxsim over its real pseudo-terminal, started as a program: at the byte level through
// QSerialPort, and end to end through the host's own serial line.

#include "simtesthelpers.h"

#include <serialcommunication.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using ExtensionSystem::SerialCommunication;
using Entry = ExtensionSystem::CommunicationInterface::DataFrameEntry;
using Frame = ExtensionSystem::CommunicationInterface::DataFrame;

namespace {
const char identificationPattern[] = "/070V8[0-9A-Z]{1,1}:[0-9A-F]{6,6}\\.";

Entry entry(const char *frame, const char *pattern, double timeout)
{
    Entry result;
    result.frame = frame;
    result.answerPattern = pattern;
    result.timeout = timeout;
    return result;
}

// Runs one transaction of the host's serial line and waits for its end.
bool run(SerialCommunication &serial, Frame &frame, int waitMs = 3000)
{
    const unsigned int id = serial.uiSendDataFrame(&frame);
    bool finished = false;
    const auto connection = QObject::connect(&serial, &SerialCommunication::emitFinished,
                                             [&](unsigned int done) { finished |= done == id; });
    const bool ended = QTest::qWaitFor([&] { return finished; }, waitMs);
    QObject::disconnect(connection);
    return ended;
}
} // namespace

class tst_Quxsim : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void listsCatalogue();
    void refusesBadOptions_data();
    void refusesBadOptions();
    void identifiesOverPty();
    void answersAtLineSpeed();
    void garblesAtWrongBaudrate();
    void hostIdentifiesAndPolls();
    void hostAutoBaudFindsTheSensorsRate();
    void unplugEndsHostTransactionAndProgram();

private:
    bool start(const QStringList &arguments);
    bool openPort(const QString &name, int baudrate = 38400);
    bool openHost(SerialCommunication &serial);
    QByteArray ask(const QByteArray &request, int timeoutMs = 1000);

    QTemporaryDir m_dir;
    QProcess *m_process = nullptr;
    QString m_portName;
    QSerialPort *m_port = nullptr;
};

static QString program()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/quxsim");
}

void tst_Quxsim::init()
{
    QVERIFY(m_dir.isValid());
    m_process = new QProcess(this);
    m_port = new QSerialPort(this);
}

void tst_Quxsim::cleanup()
{
    delete m_port;
    m_port = nullptr;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(3000))
            m_process->kill();
    }
    delete m_process;
    m_process = nullptr;
}

bool tst_Quxsim::start(const QStringList &arguments)
{
    m_process->start(program(), arguments);
    if (!m_process->waitForStarted(5000))
        return false;
    // The first line names the port: "quxsim: serving <sensor> on <port>".
    const QRegularExpression serving(QStringLiteral("^quxsim: serving (.+) on (\\S+)$"));
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000) {
        if (!m_process->canReadLine() && !m_process->waitForReadyRead(500))
            continue;
        const QString line = QString::fromLocal8Bit(m_process->readLine()).trimmed();
        const QRegularExpressionMatch match = serving.match(line);
        if (match.hasMatch()) {
            m_portName = match.captured(2);
            return true;
        }
    }
    return false;
}

bool tst_Quxsim::openPort(const QString &name, int baudrate)
{
    m_port->setPortName(name);
    m_port->setBaudRate(baudrate);
    return m_port->open(QIODevice::ReadWrite);
}

bool tst_Quxsim::openHost(SerialCommunication &serial)
{
    ExtensionSystem::PortSettings settings;
    settings.portName = m_portName;
    QString error;
    const bool opened = serial.open(settings, &error);
    if (!opened)
        qWarning() << error;
    return opened;
}

QByteArray tst_Quxsim::ask(const QByteArray &request, int timeoutMs)
{
    m_port->clear();
    m_port->write(request);
    m_port->waitForBytesWritten(500);
    QByteArray answer;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        if (m_port->waitForReadyRead(20))
            answer += m_port->readAll();
        const int start = answer.indexOf('/');
        if (start >= 0 && answer.indexOf('.', start) > start)
            return answer.mid(start, answer.indexOf('.', start) - start + 1);
    }
    return answer;
}

void tst_Quxsim::listsCatalogue()
{
    QFile catalogue(m_dir.filePath("QUXfamily.xml"));
    QVERIFY(catalogue.open(QIODevice::WriteOnly));
    catalogue.write(
        "<document><documentId>QUXfamily</documentId><sensorList>"
        "<s><name>First</name><group>2</group><types>7</types><isdigital>0</isdigital></s>"
        "<s><name>Second</name><group>3</group><types>1;2</types><isdigital>1</isdigital></s>"
        "</sensorList></document>");
    catalogue.close();
    QProcess list;
    list.start(program(), { "--catalogue", catalogue.fileName(), "--list" });
    QVERIFY(list.waitForFinished(5000));
    QCOMPARE(list.exitCode(), 0);
    const QString output = QString::fromLocal8Bit(list.readAllStandardOutput());
    QVERIFY2(output.contains("First\tgroup 2\ttypes 7\tanalog"), qPrintable(output));
    QVERIFY(output.contains("Second\tgroup 3\ttypes 1;2\tdigital"));

    // The default sensor is the first digital type; an unknown name is an error.
    QVERIFY(start({ "--catalogue", catalogue.fileName() }));
    QProcess wrong;
    wrong.start(program(), { "--catalogue", catalogue.fileName(), "--sensor", "Third" });
    QVERIFY(wrong.waitForFinished(5000));
    QVERIFY(wrong.exitCode() != 0);
    QVERIFY(openPort(m_portName));
    QCOMPARE(ask("/000V49."), SimTest::frame("0V81:0301"));
}

// Values that do not fit the sensor or the timers end the program with a message instead of
// overflowing a conversion.
void tst_Quxsim::refusesBadOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("baud nan") << QStringList { "--baud", "nan" } << "--baud must be";
    QTest::newRow("baud 1200") << QStringList { "--baud", "1200" } << "--baud must be";
    QTest::newRow("delay 1e12") << QStringList { "--delay", "1e12" } << "--delay must be";
    QTest::newRow("unplug-after -1e12")
        << QStringList { "--unplug-after", "-1e12" } << "--unplug-after must be";
    QTest::newRow("noise-bytes 2.5")
        << QStringList { "--noise-bytes", "2.5" } << "--noise-bytes must be a whole number";
    QTest::newRow("drop 101") << QStringList { "--drop", "101" } << "--drop must be";
    QTest::newRow("temperature inf")
        << QStringList { "--temperature", "inf" } << "--temperature must be";
    QTest::newRow("seed -1") << QStringList { "--seed", "-1" } << "--seed must be";
}

void tst_Quxsim::refusesBadOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    m_process->start(program(), arguments);
    QVERIFY(m_process->waitForFinished(5000));
    QCOMPARE(m_process->exitCode(), 2);
    const QString error = QString::fromLocal8Bit(m_process->readAllStandardError());
    QVERIFY2(error.contains("quxsim: " + message), qPrintable(error));
}

void tst_Quxsim::identifiesOverPty()
{
    const QString link = m_dir.filePath("qux0");
    const QString log = m_dir.filePath("requests.log");
    QVERIFY(start({ "--link", link, "--log", log, "--firmware", "Q", "--foreign-type" }));
    QVERIFY(m_portName.startsWith("/dev/pts/"));
    QCOMPARE(QFileInfo(link).symLinkTarget(), m_portName);

    QVERIFY(openPort(link));
    const QByteArray answer = ask("/000V49.");
    QVERIFY2(SimTest::matchesAnchored("/070V8Q:[0-9A-F]{6,6}\\.", answer), answer.constData());
    QVERIFY(ask("/020D0e0C.").startsWith("/090D0"));

    // A host that closes the port and opens it again (a scan, a reconnect) finds the sensor.
    m_port->close();
    QVERIFY(m_port->open(QIODevice::ReadWrite));
    QVERIFY(ask("/000V49.").startsWith("/070V8Q:"));
    m_port->close();
    m_process->terminate();
    QVERIFY(m_process->waitForFinished(3000));
    QCOMPARE(m_process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_process->exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink()); // removed on exit
    QFile logFile(log);
    QVERIFY(logFile.open(QIODevice::ReadOnly));
    const QByteArray text = logFile.readAll();
    QCOMPARE(text.count('\n'), 3);
    QVERIFY(text.contains("/000V49.  -> answered /070V8Q:"));
}

void tst_Quxsim::answersAtLineSpeed()
{
    QVERIFY(start({ "--baud", "9600" }));
    QVERIFY(openPort(m_portName, 9600));
    QElapsedTimer clock;
    clock.start();
    const QByteArray answer = ask("/000V49.");
    // 15 characters of 10 bits at 9600 baud take 15.6 ms; a pseudo-terminal alone would not.
    QCOMPARE(answer.size(), 15);
    QVERIFY2(clock.elapsed() >= 14, qPrintable(QString::number(clock.elapsed())));
}

void tst_Quxsim::garblesAtWrongBaudrate()
{
    QVERIFY(start({ "--baud", "19200", "--seed", "4" }));
    QVERIFY(openPort(m_portName, 57600));
    QVERIFY(!ask("/000V49.", 300).contains('/'));
    m_port->setBaudRate(19200);
    QVERIFY(ask("/000V49.").startsWith("/070V8"));
    // Changing the rate takes a power cycle: the sensor acknowledges and keeps its rate.
    QVERIFY(ask(SimTest::frame("0?BR5")).startsWith("/030Ade5"));
    QVERIFY(ask("/000V49.").startsWith("/070V8"));

    // SIGHUP switches the sensor off and on: now it runs at 57600.
    ::kill(pid_t(m_process->processId()), SIGHUP);
    QByteArray output;
    QTRY_VERIFY2((output += m_process->readAllStandardOutput()).contains("now at 57600 baud"),
                 output.constData());
    QVERIFY(!ask("/000V49.", 300).contains('/'));
    m_port->setBaudRate(57600);
    QVERIFY(ask("/000V49.").startsWith("/070V8"));
}

// The host's line against the program: identification of a chosen catalogue sensor (its group
// and type as hexadecimal digits) and repeated live requests.
void tst_Quxsim::hostIdentifiesAndPolls()
{
    QVERIFY(start({ "--sensor", "QUX-T40 A", "--firmware", "7", "--temperature", "123.4", "--head",
                    "30.5" }));
    SerialCommunication serial;
    QVERIFY(openHost(serial));
    Frame identification { entry("/000V49.", identificationPattern, 500) };
    QVERIFY(run(serial, identification));
    QCOMPARE(identification.front().status, 1u);
    const QString answer = QString::fromStdString(identification.front().answer);
    QCOMPARE(answer.mid(6, 1), QString("7"));
    QCOMPARE(answer.mid(8, 4), QString("1203"));

    Frame live { entry("/020D0e0C.", "/[0-9A-F]{2,2}0D0[0-9A-Z]{3,3}:[0-9A-Z]{6,6}\\.", 120) };
    for (int i = 0; i < 3; ++i) {
        QVERIFY(run(serial, live));
        QCOMPARE(live.front().status, 1u);
        QCOMPARE(QString::fromStdString(live.front().answer).mid(6, 8), QString("305:1234"));
    }
}

// The connect sequence's auto-baud: a sensor at 9600 is found from a host set to 38400.
void tst_Quxsim::hostAutoBaudFindsTheSensorsRate()
{
    QVERIFY(start({ "--baud", "9600" }));
    SerialCommunication serial;
    QVERIFY(openHost(serial));
    ExtensionSystem::PortSettings trial = serial.getPortSettings();
    Frame frame { entry("/000V49.", identificationPattern, 500) };
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

// The unplug fault hangs up the line: the host's waiting transaction ends at once (not by its
// time-out), the host's port closes, and the program ends normally.
void tst_Quxsim::unplugEndsHostTransactionAndProgram()
{
    QVERIFY(start({ "--unplug-after", "1" }));
    SerialCommunication serial;
    QVERIFY(openHost(serial));
    Frame first { entry("/000V49.", identificationPattern, 500) };
    QVERIFY(run(serial, first));
    QCOMPARE(first.front().status, 1u);

    Frame second { entry("/000V49.", identificationPattern, 5000) };
    QElapsedTimer clock;
    clock.start();
    QVERIFY(run(serial, second, 6000));
    QCOMPARE(second.front().status, 0u);
    QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
    QTRY_VERIFY(!serial.isOpen());

    QVERIFY(m_process->waitForFinished(3000));
    QCOMPARE(m_process->exitCode(), 0);
    QVERIFY(m_process->readAllStandardOutput().contains("quxsim: unplugged after 1 requests"));
}

QTEST_GUILESS_MAIN(tst_Quxsim)

#include "tst_quxsim.moc"
