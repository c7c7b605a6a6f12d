// Frames, temperature digits and conversions, request timing and the reading of answers. How
// every command meets the simulated sensor, both units, is tst_parameterio's read-back.
#include "protocol/commands.h"
#include "protocol/frame.h"
#include "protocol/identification.h"
#include "protocol/temperature.h"

#include <QtTest>

#include <optional>
#include <string>

using namespace DrumoSensorPlugin::Core;

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(DrumoSensorPlugin::Core::Command)
Q_DECLARE_METATYPE(std::optional<double>)

class tst_Commands : public QObject
{
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void roundTrip_data();
    void roundTrip();
    void temperatureDigits_data();
    void temperatureDigits();
    void conversions_data();
    void conversions();
    void timing_data();
    void timing();
    void oddAnswers_data();
    void oddAnswers();
    void identification_data();
    void identification();
};

void tst_Commands::decode_data()
{
    QTest::addColumn<std::string>("answer");
    QTest::addColumn<std::string>("body");

    QTest::newRow("wrong checksum") << std::string("/000V48.") << std::string();
    QTest::newRow("lower-case checksum") << std::string("/020D0e0c.") << std::string();
    QTest::newRow("seven characters, sum right") << std::string("/0V079.") << std::string();
    QTest::newRow("empty") << std::string() << std::string();
    // The length field and the end character are the answer pattern's business.
    QTest::newRow("length field ignored") << std::string("/110V49.") << std::string("0V");
    QTest::newRow("end character ignored") << std::string("/000V49#") << std::string("0V");
    QTest::newRow("truncated answer") << std::string("/020L0150") << std::string();
}

void tst_Commands::decode()
{
    QFETCH(std::string, answer);
    QFETCH(std::string, body);
    QCOMPARE(decodeFrame(answer), body);
}

void tst_Commands::roundTrip_data()
{
    QTest::addColumn<std::string>("body");
    QTest::addColumn<std::string>("frame");

    QTest::newRow("identification") << std::string("0V") << std::string("/000V49.");
    QTest::newRow("laser on") << std::string("0L01") << std::string("/020L0150.");
    // The checksum keeps its leading zero.
    QTest::newRow("output states") << std::string("0WD") << std::string("/010WD0D.");
    QTest::newRow("signed value") << std::string("0S1-250") << std::string("/050S1-25062.");
    // The length field is hexadecimal: 15 becomes "0F", 16 becomes "10".
    const std::string a17(17, 'A'), a18(18, 'A');
    QTest::newRow("17 characters") << a17 << "/0F" + a17 + "18.";
    QTest::newRow("18 characters") << a18 << "/10" + a18 + "2E.";
}

// Every frame we build is the exact frame, accepted by our own decoder; one flipped character
// is not.
void tst_Commands::roundTrip()
{
    QFETCH(std::string, body);
    QFETCH(std::string, frame);

    QCOMPARE(buildFrame(body), frame);
    QCOMPARE(decodeFrame(frame), body);
    std::string corrupted = frame;
    corrupted[3] = char(corrupted[3] ^ 0x01);
    QCOMPARE(decodeFrame(corrupted), std::string());
}

void tst_Commands::temperatureDigits_data()
{
    QTest::addColumn<double>("celsius");
    QTest::addColumn<QString>("digits");
    const struct
    {
        double celsius;
        const char *digits;
    } rows[] = { { 5.0, "0050" }, { -0.5, "-005" }, { 99.95, "1000" }, { 0.04, "0000" } };
    for (const auto &row : rows)
        QTest::addRow("%s", row.digits) << row.celsius << QString(row.digits);
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
    QTest::newRow("negative rounding") << 0.0 << false << -17.8;
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

// Odd answers read as the sensor's own tools read them: the number a field starts with (atoi,
// atof), or the whole field as a number (QString::toDouble) for the analog range; nothing only
// when there is no text to read.
void tst_Commands::oddAnswers_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<std::string>("answer");
    QTest::addColumn<std::optional<double>>("value");
    const std::optional<double> none;
    QTest::newRow("wrong checksum") << Command::ReadLaser << std::string("/020WL148.") << none;
    QTest::newRow("empty") << Command::ReadPin2Mode << std::string() << none;
    QTest::newRow("a write reads nothing") << Command::WriteUnit << buildFrame("0MU1") << none;
    QTest::newRow("hex letter for a digit")
        << Command::ReadPin2Mode << buildFrame("0WT0A") << std::optional(0.0);
    QTest::newRow("short body") << Command::ReadSwitchingPoint << buildFrame("0WC1025")
                                << std::optional(2.5);
    QTest::newRow("letter inside a switching point")
        << Command::ReadSwitchingPoint << buildFrame("0WC112a4") << std::optional(1.2);
    QTest::newRow("letter inside the analog range")
        << Command::ReadAnalogLow << buildFrame("0Wb12a4") << std::optional(0.0);
    QTest::newRow("sign inside") << Command::ReadAnalogHigh << buildFrame("0We1-00")
                                 << std::optional(0.0);
    QTest::newRow("blank in the emissivity")
        << Command::ReadEmissivity << buildFrame("0Wm 95") << std::optional(0.95);
    QTest::newRow("unit, raw answer cut short")
        << Command::ReadUnit << std::string("/020WU") << std::optional(0.0);
}

void tst_Commands::oddAnswers()
{
    QFETCH(Command, command);
    QFETCH(std::string, answer);
    QFETCH(std::optional<double>, value);
    const std::optional<double> read = readValue(command, answer);
    QCOMPARE(bool(read), bool(value));
    if (value)
        QVERIFY2(qAbs(*read - *value) < 1e-9, qPrintable(QString::number(*read)));
}

void tst_Commands::identification_data()
{
    QTest::addColumn<std::string>("answer");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("firmwareDigit");
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("type");
    QTest::newRow("clean") << std::string("/070V81:12017F.") << true << 1 << 18 << 1;
    QTest::newRow("noise before") << std::string("x.~/070V8A:FF0200.") << true << 10 << 255 << 2;
    QTest::newRow("signed group") << std::string("/070V81:-D0100.") << true << 1 << 0 << 1;
    QTest::newRow("letter firmware") << std::string("/070V8Z:12017F.") << true << 0 << 18 << 1;
    QTest::newRow("unreadable group") << std::string("/070V82:zz0500.") << true << 2 << 0 << 5;
    QTest::newRow("cut after the group") << std::string("/070V81:12") << true << 1 << 18 << 0;
    QTest::newRow("no frame") << std::string("070V81:12017F.") << false << 0 << 0 << 0;
}

void tst_Commands::identification()
{
    QFETCH(std::string, answer);
    QFETCH(bool, found);
    QFETCH(int, firmwareDigit);
    QFETCH(int, group);
    QFETCH(int, type);
    const std::optional<Identification> result = parseIdentification(answer);
    QCOMPARE(result.has_value(), found);
    if (!found)
        return;
    QCOMPARE(result->firmwareDigit, firmwareDigit);
    QCOMPARE(result->group, group);
    QCOMPARE(result->type, type);
}

QTEST_APPLESS_MAIN(tst_Commands)

#include "tst_commands.moc"
