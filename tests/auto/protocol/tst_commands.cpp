// Frames, temperature digits and conversions, request timing. How every command meets the
// simulated sensor, both units, is tst_parameterio's read-back; decoding any bytes, reading odd
// answers and the identification answer are fuzz_frame's, fuzz_answervalues' and
// fuzz_identification's, each against a reader of its own.
#include "protocol/commands.h"
#include "protocol/frame.h"
#include "protocol/temperature.h"

#include <QtTest>

#include <string>

using namespace DrumoSensorPlugin::Core;

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(DrumoSensorPlugin::Core::Command)

class tst_Commands : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void temperatureDigits_data();
    void temperatureDigits();
    void conversions_data();
    void conversions();
    void timing_data();
    void timing();
};

void tst_Commands::roundTrip_data()
{
    QTest::addColumn<std::string>("body");
    QTest::addColumn<std::string>("frame");

    // The checksum keeps its leading zero.
    QTest::newRow("output states") << std::string("0WD") << std::string("/010WD0D.");
    QTest::newRow("signed value") << std::string("0S1-250") << std::string("/050S1-25062.");
    // The length field is hexadecimal: 15 becomes "0F", 16 becomes "10".
    const std::string a17(17, 'A'), a18(18, 'A');
    QTest::newRow("17 characters") << a17 << "/0F" + a17 + "18.";
    QTest::newRow("18 characters") << a18 << "/10" + a18 + "2E.";
}

// Every frame we build is the exact frame, accepted by our own decoder. (A frame that does not
// check out is fuzz_frame's, against the simulator's decoder.)
void tst_Commands::roundTrip()
{
    QFETCH(std::string, body);
    QFETCH(std::string, frame);

    QCOMPARE(buildFrame(body), frame);
    QCOMPARE(decodeFrame(frame), body);
}

void tst_Commands::temperatureDigits_data()
{
    QTest::addColumn<double>("celsius");
    QTest::addColumn<QString>("digits");
    QTest::newRow("whole") << 5.0 << "0050";
    QTest::newRow("negative") << -0.5 << "-005";
    QTest::newRow("rounded up into a fourth digit") << 99.95 << "1000";
}

void tst_Commands::temperatureDigits()
{
    QFETCH(double, celsius);
    QFETCH(QString, digits);
    QCOMPARE(DrumoSensorPlugin::Core::temperatureDigits(celsius), digits);
}

void tst_Commands::conversions_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("toFahrenheit");
    QTest::addColumn<double>("expected");
    QTest::newRow("boiling to F") << 100.0 << true << 212.0;
    QTest::newRow("rounded to one decimal") << 100.0 << false << 37.8;
}

void tst_Commands::conversions()
{
    QFETCH(double, value);
    QFETCH(bool, toFahrenheit);
    QFETCH(double, expected);
    QCOMPARE(convertTemperature(value, toFahrenheit), expected);
}

// The waiting and pacing rules, each in one row.
void tst_Commands::timing_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<std::string>("argument");
    QTest::addColumn<double>("timeout");
    QTest::addColumn<int>("pacing");
    // Character delay 3, line delay 150.
    QTest::newRow("identification") << Command::Identify << std::string() << 3.0 * 8 + 500 << 3;
    QTest::newRow("switching point write")
        << Command::WriteSwitchingPoint << std::string("10250") << 3.0 * 13 + 150 << 1;
    QTest::newRow("live temperatures") << Command::LiveTemperatures << std::string() << 120.0 << 0;
}

void tst_Commands::timing()
{
    QFETCH(Command, command);
    QFETCH(std::string, argument);
    QFETCH(double, timeout);
    QFETCH(int, pacing);
    const DataFrameEntry entry = makeRequest(command, argument, LineTiming { 3, 150 });
    QCOMPARE(entry.frame, buildFrame(requestBody(command, argument)));
    QCOMPARE(entry.timeout, timeout);
    QCOMPARE(int(entry.characterDelay), pacing);
    QCOMPARE(entry.status, 0u);
}

QTEST_APPLESS_MAIN(tst_Commands)

#include "tst_commands.moc"
