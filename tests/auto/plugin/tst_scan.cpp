#include "../common/fakeserialport.h"

#include "plugin/sensorscan.h"
#include "protocol/frame.h"

#include <QtTest>

#include <memory>

using namespace DrumoSensorPlugin::Core;

using Answers = std::deque<std::string>;
Q_DECLARE_METATYPE(Answers)

namespace {

// The identification answer: firmware digit, ":", group and type as hex digits.
std::string identification(const std::string &firmware, const std::string &groupAndType)
{
    return buildFrame("0V8" + firmware + ":" + groupAndType);
}

// What one attempt does on the port, in order.
const QStringList attemptCalls { "close",  "apply COM7 38400", "prepare",
                                 "send .", "send /000V49.",    "read" };

const ScanTiming noPauses { 0, 0 };

} // namespace

class tst_Scan : public QObject
{
    Q_OBJECT

private slots:
    void scan_data();
    void scan();
};

void tst_Scan::scan_data()
{
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<int>("attempts");
    QTest::addColumn<QList<int>>("found"); // firmware, group, type; empty: no sensor

    const std::string answer = identification("1", "1203");
    const QList<int> found { 1, 18, 3 }, none;
    QTest::newRow("clean answer") << Answers { answer } << 1 << found;
    QTest::newRow("answer on the third attempt") << Answers { "", "/0", answer } << 3 << found;
    QTest::newRow("silent port") << Answers {} << 5 << none;
    QTest::newRow("twelve characters") << Answers(5, answer.substr(0, 12)) << 5 << none;
    QTest::newRow("thirteen characters are enough") << Answers { "/070V81:1203." } << 1 << found;
    QTest::newRow("49 characters of noise")
        << Answers { std::string(49, '~') + answer } << 1 << found;
    QTest::newRow("50 characters of noise")
        << Answers(5, std::string(50, '~') + answer) << 5 << none;
    QTest::newRow("no end character") << Answers(5, answer.substr(0, 14) + "~~") << 5 << none;
    QTest::newRow("end character at 100")
        << Answers(5, "/" + std::string(99, '~') + ".") << 5 << none;
    // Only the first "." counts, wherever it stands before position 100.
    QTest::newRow("end character in the noise") << Answers { "." + answer } << 1 << found;
    QTest::newRow("text after a zero byte is ignored")
        << Answers(5, answer.substr(0, 5) + std::string(1, '\0') + answer.substr(5)) << 5 << none;
    QTest::newRow("answer cut after the group")
        << Answers { std::string(40, '~') + "/070V81:12." } << 1 << QList<int> { 1, 18, 0 };
}

void tst_Scan::scan()
{
    QFETCH(Answers, answers);
    QFETCH(int, attempts);
    QFETCH(QList<int>, found);

    FakeSerialPort port(answers, "COM7");
    const std::unique_ptr<ExtensionSystem::SensorBasic> sensor(scanPortForSensor(&port, noPauses));

    // The port's name asked once; closed at the start of every attempt and once more at the end.
    QStringList calls { "name" };
    for (int i = 0; i < attempts; ++i)
        calls << attemptCalls;
    QCOMPARE(port.calls, calls << "close");
    QCOMPARE(bool(sensor), !found.isEmpty());
    if (!sensor)
        return;
    QCOMPARE(sensor->firmwareVersion(), std::vector<int> { found[0] });
    QCOMPARE(sensor->group(), found[1]);
    QCOMPARE(sensor->type(), std::vector<int> { found[2] });
    QCOMPARE(sensor->description(), std::string("DrumoResponse"));
    QVERIFY(sensor->name().empty());
}

QTEST_GUILESS_MAIN(tst_Scan)

#include "tst_scan.moc"
