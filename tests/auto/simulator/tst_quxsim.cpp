// quxsim over its real pseudo-terminal, started as a program, at the byte level through
// QSerialPort. The host's serial line against it, reconnects and the request log file:
// tests/auto/connect.

#include "../common/quxsimprocess.h"
#include "../common/testfiles.h"
#include "simtesthelpers.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QtTest>

#include <memory>

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

private:
    bool openPort(int baudrate = 38400);
    QByteArray ask(const QByteArray &request);

    std::unique_ptr<QuxsimProcess> m_sim;
    QSerialPort m_port;
};

void tst_Quxsim::init()
{
    m_sim = std::make_unique<QuxsimProcess>();
}

void tst_Quxsim::cleanup()
{
    m_port.close();
    m_sim.reset();
}

bool tst_Quxsim::openPort(int baudrate)
{
    m_port.setPortName(m_sim->link());
    m_port.setBaudRate(baudrate);
    return m_port.open(QIODevice::ReadWrite);
}

QByteArray tst_Quxsim::ask(const QByteArray &request)
{
    m_port.clear();
    m_port.write(request);
    m_port.waitForBytesWritten(500);
    QByteArray answer;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 1000) {
        if (m_port.waitForReadyRead(20))
            answer += m_port.readAll();
        const int start = answer.indexOf('/');
        if (start >= 0 && answer.indexOf('.', start) > start)
            return answer.mid(start, answer.indexOf('.', start) - start + 1);
    }
    return answer;
}

void tst_Quxsim::listsCatalogue()
{
    const QString catalogue = m_sim->filePath("QUXfamily.xml");
    QVERIFY(TestFiles::write(
        catalogue,
        "<document><documentId>QUXfamily</documentId><sensorList>"
        "<s><name>First</name><group>2</group><types>7</types><isdigital>0</isdigital></s>"
        "<s><name>Second</name><group>3</group><types>1;2</types><isdigital>1</isdigital></s>"
        "</sensorList></document>"));
    QProcess list;
    list.start(m_sim->program(), { "--catalogue", catalogue, "--list" });
    QVERIFY(list.waitForFinished(5000));
    QCOMPARE(list.exitCode(), 0);
    const QString output = QString::fromLocal8Bit(list.readAllStandardOutput());
    QVERIFY2(output.contains("First\tgroup 2\ttypes 7\tanalog"), qPrintable(output));
    QVERIFY(output.contains("Second\tgroup 3\ttypes 1;2\tdigital"));

    // The default sensor is the first digital type; an unknown name is an error.
    QVERIFY(m_sim->start({ "--catalogue", catalogue }));
    QProcess wrong;
    wrong.start(m_sim->program(), { "--catalogue", catalogue, "--sensor", "Third" });
    QVERIFY(wrong.waitForFinished(5000));
    QVERIFY(wrong.exitCode() != 0);
    QVERIFY(openPort());
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
    QTest::newRow("tcp 65536") << QStringList { "--tcp", "65536" } << "--tcp must be";
    QTest::newRow("no pty, no tcp") << QStringList { "--no-pty" } << "--no-pty needs --tcp";
}

void tst_Quxsim::refusesBadOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QProcess process;
    process.start(m_sim->program(), arguments);
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitCode(), 2);
    const QString error = QString::fromLocal8Bit(process.readAllStandardError());
    QVERIFY2(error.contains("quxsim: " + message), qPrintable(error));
}

void tst_Quxsim::identifiesOverPty()
{
    QVERIFY(m_sim->start({ "--firmware", "Q", "--foreign-type", "--temperature", "123.4", "--head",
                           "30.5", "--log-us" }));
    QVERIFY(QFileInfo(m_sim->link()).symLinkTarget().startsWith("/dev/pts/"));
    QVERIFY(openPort());
    const QByteArray answer = ask("/000V49.");
    QVERIFY2(SimTest::matchesAnchored("/070V8Q:[0-9A-F]{6,6}\\.", answer), answer.constData());
    QCOMPARE(ask("/020D0e0C."), SimTest::frame("0D0305:1234"));
    // Stamped to the microsecond, the log still reads as the millisecond one does.
    const QList<QuxsimProcess::Entry> logged = m_sim->take();
    QVERIFY(!logged.isEmpty());
    for (const QuxsimProcess::Entry &entry : logged)
        QVERIFY(entry.at.isValid());
    QCOMPARE(logged.last().request, QByteArray("/020D0e0C."));
    m_port.close();
    m_sim->stop();
    QVERIFY(!QFileInfo(m_sim->link()).isSymLink()); // removed on exit
}

void tst_Quxsim::answersAtLineSpeed()
{
    QVERIFY(m_sim->start({ "--baud", "9600" }));
    QVERIFY(openPort(9600));
    QElapsedTimer clock;
    clock.start();
    const QByteArray answer = ask("/000V49.");
    // 15 characters of 10 bits at 9600 baud take 15.6 ms; a pseudo-terminal alone would not.
    QCOMPARE(answer.size(), 15);
    QVERIFY2(clock.elapsed() >= 14, qPrintable(QString::number(clock.elapsed())));
}

QTEST_GUILESS_MAIN(tst_Quxsim)

#include "tst_quxsim.moc"
