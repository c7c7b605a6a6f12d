#include "protocol/frame.h"

#include <QtTest>

#include <string>

using namespace DrumoSensorPlugin::Core;

Q_DECLARE_METATYPE(std::string)

class tst_Frame : public QObject
{
    Q_OBJECT

private slots:
    void checksum_data();
    void checksum();
    void decode_data();
    void decode();
    void roundTrip_data();
    void roundTrip();
};

void tst_Frame::checksum_data()
{
    QTest::addColumn<std::string>("text");
    QTest::addColumn<std::string>("digits");

    QTest::newRow("start character alone") << std::string("/") << std::string("2F");
    // Equal pairs cancel out: the leading zero of "%.2X" is kept.
    QTest::newRow("zero") << std::string("aa") << std::string("00");
    QTest::newRow("single digit") << std::string("/)") << std::string("06");
    QTest::newRow("highest 7-bit") << std::string("\x7f") << std::string("7F");
}

void tst_Frame::checksum()
{
    QFETCH(std::string, text);
    QFETCH(std::string, digits);
    QCOMPARE(frameChecksum(text), digits);
}

void tst_Frame::decode_data()
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

void tst_Frame::decode()
{
    QFETCH(std::string, answer);
    QFETCH(std::string, body);
    QCOMPARE(decodeFrame(answer), body);
}

void tst_Frame::roundTrip_data()
{
    QTest::addColumn<std::string>("body");
    QTest::addColumn<std::string>("frame");

    QTest::newRow("identification") << std::string("0V") << std::string("/000V49.");
    QTest::newRow("laser on") << std::string("0L01") << std::string("/020L0150.");
    QTest::newRow("output states") << std::string("0WD") << std::string("/010WD0D.");
    QTest::newRow("signed value") << std::string("0S1-250") << std::string("/050S1-25062.");
    // The length field is hexadecimal: 15 becomes "0F", 16 becomes "10".
    const std::string a17(17, 'A'), a18(18, 'A');
    QTest::newRow("17 characters") << a17 << "/0F" + a17 + "18.";
    QTest::newRow("18 characters") << a18 << "/10" + a18 + "2E.";
}

// Every frame we build is the exact frame, accepted by our own decoder; one flipped character
// is not.
void tst_Frame::roundTrip()
{
    QFETCH(std::string, body);
    QFETCH(std::string, frame);

    QCOMPARE(buildFrame(body), frame);
    QCOMPARE(decodeFrame(frame), body);
    std::string corrupted = frame;
    corrupted[3] = char(corrupted[3] ^ 0x01);
    QCOMPARE(decodeFrame(corrupted), std::string());
}

QTEST_APPLESS_MAIN(tst_Frame)

#include "tst_frame.moc"
