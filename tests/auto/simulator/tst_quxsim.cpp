// quxsim over its real pseudo-terminal: started as a program, talked to through QSerialPort.

#include "simtesthelpers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

class tst_Quxsim : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void listsCatalogue();
    void identifiesOverPty();
    void answersAtLineSpeed();
    void garblesAtWrongBaudrate();
    void unplugsAfterRequests();

private:
    bool start(const QStringList &arguments);
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
        m_process->waitForFinished(3000);
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
    m_port->setPortName(m_portName);
    m_port->setBaudRate(38400);
    QVERIFY(m_port->open(QIODevice::ReadWrite));
    QCOMPARE(ask("/000V49."), SimTest::frame("0V81:0301"));
}

void tst_Quxsim::identifiesOverPty()
{
    const QString link = m_dir.filePath("qux0");
    const QString log = m_dir.filePath("requests.log");
    QVERIFY(start({ "--link", link, "--log", log, "--firmware", "Q", "--foreign-type" }));
    QVERIFY(m_portName.startsWith("/dev/pts/"));
    QCOMPARE(QFileInfo(link).symLinkTarget(), m_portName);

    m_port->setPortName(link);
    m_port->setBaudRate(38400);
    QVERIFY(m_port->open(QIODevice::ReadWrite));
    const QByteArray answer = ask("/000V49.");
    QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern("/070V8Q:[0-9A-F]{6,6}\\."))
                 .match(QString::fromLatin1(answer))
                 .hasMatch(),
             answer.constData());
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
    m_port->setPortName(m_portName);
    m_port->setBaudRate(9600);
    QVERIFY(m_port->open(QIODevice::ReadWrite));
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
    m_port->setPortName(m_portName);
    m_port->setBaudRate(57600);
    QVERIFY(m_port->open(QIODevice::ReadWrite));
    const QByteArray garbled = ask("/000V49.", 300);
    QVERIFY(!garbled.contains('/'));
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

void tst_Quxsim::unplugsAfterRequests()
{
    QVERIFY(start({ "--unplug-after", "1" }));
    m_port->setPortName(m_portName);
    m_port->setBaudRate(38400);
    QVERIFY(m_port->open(QIODevice::ReadWrite));
    QVERIFY(ask("/000V49.").startsWith("/070V8"));
    QCOMPARE(ask("/000V49.", 300).indexOf('/'), -1);
    QVERIFY(m_process->waitForFinished(3000));
    QCOMPARE(m_process->exitCode(), 0);
    QVERIFY(m_process->readAllStandardOutput().contains("quxsim: unplugged after 1 requests"));
}

QTEST_GUILESS_MAIN(tst_Quxsim)

#include "tst_quxsim.moc"
