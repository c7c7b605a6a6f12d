#include "fakeserialport.h"

#include "plugin/sensorscan.h"
#include "protocol/frame.h"

#include <QtTest>

#include <memory>

using namespace DrumoSensorPlugin::Core;

Q_DECLARE_METATYPE(std::deque<std::string>)

namespace {

// The identification answer: firmware digit, ":", group and type as hex digits.
std::string identification(const std::string &firmware, const std::string &groupAndType)
{
    return buildFrame("0V8" + firmware + ":" + groupAndType);
}

// What one attempt does on the port, in order.
QStringList attemptCalls(const QString &portName = "/dev/ttyQUX0")
{
    return {
        "close", "apply " + portName + " 38400", "prepare", "send .", "send /000V49.", "read"
    };
}

const ScanTiming noPauses { 0, 0 };

} // namespace

class tst_Scan : public QObject
{
    Q_OBJECT

private slots:
    void scan_data();
    void scan();
    void callOrder();
    void nullPort();
};

void tst_Scan::scan_data()
{
    QTest::addColumn<std::deque<std::string>>("answers");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("attempts");
    QTest::addColumn<int>("firmware");
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("type");

    const std::string answer = identification("1", "1203");
    QCOMPARE(answer.size(), std::size_t(15));

    QTest::newRow("clean answer") << std::deque<std::string> { answer } << true << 1 << 1 << 18
                                  << 3;
    QTest::newRow("upper-case hex")
        << std::deque<std::string> { identification("A", "FFE1") } << true << 1 << 10 << 255 << 225;
    QTest::newRow("firmware letter beyond hex")
        << std::deque<std::string> { identification("G", "1201") } << true << 1 << 0 << 18 << 1;
    QTest::newRow("answer on the third attempt")
        << std::deque<std::string> { "", "/0", answer } << true << 3 << 1 << 18 << 3;
    QTest::newRow("silent port") << std::deque<std::string> {} << false << 5 << 0 << 0 << 0;
    QTest::newRow("twelve characters")
        << std::deque<std::string>(5, answer.substr(0, 12)) << false << 5 << 0 << 0 << 0;
    QTest::newRow("thirteen characters are enough")
        << std::deque<std::string> { "/070V81:1203." } << true << 1 << 1 << 18 << 3;
    QTest::newRow("49 characters of noise")
        << std::deque<std::string> { std::string(49, '~') + answer } << true << 1 << 1 << 18 << 3;
    QTest::newRow("50 characters of noise")
        << std::deque<std::string>(5, std::string(50, '~') + answer) << false << 5 << 0 << 0 << 0;
    QTest::newRow("no end character")
        << std::deque<std::string>(5, answer.substr(0, 14) + "~~") << false << 5 << 0 << 0 << 0;
    QTest::newRow("end character at 100")
        << std::deque<std::string>(5, "/" + std::string(99, '~') + ".") << false << 5 << 0 << 0
        << 0;
    // Only the first "." counts, wherever it stands before position 100.
    QTest::newRow("end character in the noise")
        << std::deque<std::string> { "." + answer } << true << 1 << 1 << 18 << 3;
    QTest::newRow("text after a zero byte is ignored")
        << std::deque<std::string>(5, answer.substr(0, 5) + std::string(1, '\0') + answer.substr(5))
        << false << 5 << 0 << 0 << 0;
    QTest::newRow("unreadable group")
        << std::deque<std::string> { identification("2", "zz05") } << true << 1 << 2 << 0 << 5;
    // Group and type are unsigned: a sign in their place is not a digit.
    QTest::newRow("minus sign in the group")
        << std::deque<std::string> { "/070V81:-D0100." } << true << 1 << 1 << 0 << 1;
    QTest::newRow("answer cut after the group")
        << std::deque<std::string> { std::string(40, '~') + "/070V81:12." } << true << 1 << 1 << 18
        << 0;
}

void tst_Scan::scan()
{
    QFETCH(std::deque<std::string>, answers);
    QFETCH(bool, found);
    QFETCH(int, attempts);
    QFETCH(int, firmware);
    QFETCH(int, group);
    QFETCH(int, type);

    FakeSerialPort port(answers);
    const std::unique_ptr<ExtensionSystem::SensorBasic> sensor(scanPortForSensor(&port, noPauses));

    QCOMPARE(port.calls.count("read"), attempts);
    // Closed at the start of every attempt and once more at the end.
    QCOMPARE(port.calls.count("close"), attempts + 1);
    QCOMPARE(port.calls.last(), QString("close"));
    QCOMPARE(bool(sensor), found);
    if (!sensor)
        return;
    QCOMPARE(sensor->group(), group);
    QCOMPARE(sensor->type(), std::vector<int> { type });
    QCOMPARE(sensor->firmwareVersion(), std::vector<int> { firmware });
    QCOMPARE(sensor->description(), std::string("DrumoResponse"));
    QVERIFY(sensor->name().empty());
}

void tst_Scan::callOrder()
{
    FakeSerialPort port({ "", identification("1", "1201") }, "COM7");
    const std::unique_ptr<ExtensionSystem::SensorBasic> sensor(scanPortForSensor(&port, noPauses));
    QVERIFY(sensor);

    const QStringList expected = QStringList { "name" } + attemptCalls("COM7")
        + attemptCalls("COM7") + QStringList { "close" };
    QCOMPARE(port.calls, expected);
}

void tst_Scan::nullPort()
{
    QCOMPARE(scanPortForSensor(nullptr), nullptr);
}

QTEST_GUILESS_MAIN(tst_Scan)

#include "tst_scan.moc"
