#include "protocol/commands.h"
#include "protocol/frame.h"
#include "protocol/identification.h"
#include "protocol/temperature.h"

#include <sensormodel.h>

#include <QRegularExpression>
#include <QtTest>

#include <optional>
#include <string>

using namespace DrumoSensorPlugin::Core;

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(DrumoSensorPlugin::Core::Command)
Q_DECLARE_METATYPE(std::optional<double>)

namespace {

bool matches(const std::string &pattern, const std::string &answer)
{
    const QRegularExpression expression(
        QRegularExpression::anchoredPattern(QString::fromStdString(pattern)));
    return expression.match(QString::fromStdString(answer)).hasMatch();
}

} // namespace

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
    void againstSimulator_data();
    void againstSimulator();
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
    } rows[] = { { 25.0, "0250" },  { 5.0, "0050" },   { 125.0, "1250" }, { 350.0, "3500" },
                 { -5.0, "-050" },  { -25.0, "-250" }, { -0.5, "-005" },  { 0.0, "0000" },
                 { 99.95, "1000" }, { 0.04, "0000" } };
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
    QTest::newRow("boiling to C") << 212.0 << false << 100.0;
    QTest::newRow("lowest to F") << -25.0 << true << -13.0;
    QTest::newRow("highest to F") << 350.0 << true << 662.0;
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

// Every request as the simulated sensor answers it: the answer matches the request's pattern,
// and a read takes the value the sensor holds.
void tst_Commands::againstSimulator_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<std::string>("argument");
    QTest::addColumn<std::optional<double>>("value");
    const std::optional<double> none;
    QTest::newRow("identify") << Command::Identify << std::string() << none;
    QTest::newRow("pin 2") << Command::ReadPin2Mode << std::string() << std::optional(1.0);
    QTest::newRow("unit") << Command::ReadUnit << std::string() << std::optional(0.0);
    QTest::newRow("laser") << Command::ReadLaser << std::string() << std::optional(1.0);
    QTest::newRow("time") << Command::ReadTime << std::string() << std::optional(4.0);
    QTest::newRow("emissivity") << Command::ReadEmissivity << std::string() << std::optional(0.87);
    QTest::newRow("analog output")
        << Command::ReadAnalogOutput << std::string() << std::optional(1.0);
    QTest::newRow("analog low") << Command::ReadAnalogLow << std::string() << std::optional(-5.0);
    QTest::newRow("analog high") << Command::ReadAnalogHigh << std::string()
                                 << std::optional(300.0);
    QTest::newRow("switching point 2")
        << Command::ReadSwitchingPoint << std::string("2") << std::optional(212.5);
    QTest::newRow("type 1") << Command::ReadType << std::string("1") << std::optional(1.0);
    QTest::newRow("operate 2") << Command::ReadOperateOutputs << std::string("2")
                               << std::optional(2.0);
    QTest::newRow("output states")
        << Command::ReadOutputStates << std::string() << std::optional(1.0);
    QTest::newRow("live output states")
        << Command::LiveOutputStates << std::string() << std::optional(1.0);
    QTest::newRow("live temperatures")
        << Command::LiveTemperatures << std::string() << std::optional(32.5);
    for (const auto &[name, command, argument] :
         { std::tuple("write pin 2", Command::WritePin2Mode, "0"),
           std::tuple("write unit", Command::WriteUnit, "1"),
           std::tuple("write laser", Command::WriteLaser, "0"),
           std::tuple("write time", Command::WriteTime, "3"),
           std::tuple("write emissivity", Command::WriteEmissivity, "100"),
           std::tuple("write analog output", Command::WriteAnalogOutput, "0"),
           std::tuple("write analog low", Command::WriteAnalogLow, "-050"),
           std::tuple("write analog high", Command::WriteAnalogHigh, "3500"),
           std::tuple("write switching point 1", Command::WriteSwitchingPoint, "11000"),
           std::tuple("write switching point 2", Command::WriteSwitchingPoint, "2-250"),
           std::tuple("write type", Command::WriteType, "21"),
           std::tuple("write operate", Command::WriteOperateOutputs, "12"),
           std::tuple("factory reset", Command::FactoryReset, ""),
           std::tuple("baud rate", Command::WriteBaudRate, "6"),
           std::tuple("threshold", Command::WriteThreshold, "1S03E8") })
        QTest::newRow(name) << command << std::string(argument) << none;
}

void tst_Commands::againstSimulator()
{
    QFETCH(Command, command);
    QFETCH(std::string, argument);
    QFETCH(std::optional<double>, value);

    QuxSim::SensorModel sensor(QuxSim::SensorType::fallback());
    QuxSim::SensorParameters &held = sensor.parameters();
    held.pin2Mode = 1;
    held.laser = 1;
    held.time = 4;
    held.emissivity = 87;
    held.analogOutput = 1;
    held.analogLow = -5.0;
    held.analogHigh = 300.0;
    held.switchingPoint[1] = 212.5;
    held.outputType[0] = 1;
    held.operateMode[1] = 2;
    // No output is active this cold: output 1, normally closed, reports its bit set; output 2
    // is the analog output.
    sensor.process().setTemperature(-20.0);
    sensor.setHeadTemperature(32.5);

    const DataFrameEntry request = makeRequest(command, argument, LineTiming { 1, 150 });
    const QByteArray body = QByteArray::fromStdString(requestBody(command, argument));
    std::optional<QByteArray> answerBody = sensor.answer(body);
    QVERIFY2(answerBody, "the sensor ignores the request");
    const std::string answer = buildFrame(answerBody->toStdString());
    QVERIFY2(matches(request.answerPattern, answer), answer.c_str());
    if (value)
        QCOMPARE(readValue(command, answer), value);

    // Signs and four-digit values, in both units, must fit the patterns as well.
    for (int unit : { 0, 1 }) {
        for (double extreme : { -25.0, 350.0 }) {
            held.unit = unit;
            held.analogLow = held.analogHigh = extreme;
            held.switchingPoint[0] = held.switchingPoint[1] = extreme;
            sensor.process().setTemperature(extreme);
            answerBody = sensor.answer(body);
            QVERIFY(answerBody);
            const std::string frame = buildFrame(answerBody->toStdString());
            QVERIFY2(matches(request.answerPattern, frame), frame.c_str());
        }
    }
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
