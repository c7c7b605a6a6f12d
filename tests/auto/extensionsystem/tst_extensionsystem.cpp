// The host library's rules without a line: baud stepping, the sensor record, the nesting scan and
// the connection manager. The answer collector is fuzz_answercollector's (in pieces, against a
// reader of all bytes at once) and tst_serialcommunication's over a pseudo-terminal; here only
// how many characters the line may wait for before it reports input.

#include "../common/fakeconnection.h"

#include <answercollector.h>
#include <communicationinterface.h>
#include <connectionmanager.h>
#include <plugininterface.h>
#include <portsettings.h>
#include <sensorbasic.h>
#include <xmlnesting.h>

#include <QtTest>

#include <memory>
#include <optional>
#include <sstream>

using namespace ExtensionSystem;

namespace {

PortSettings settingsFor(const QString &port)
{
    PortSettings settings;
    settings.portName = port;
    return settings;
}

} // namespace

class tst_ExtensionSystem : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void autoBaud();

    void sensorRecord_data();
    void sensorRecord();
    void rejectedRecordUnchanged();
    void xmlNesting_data();
    void xmlNesting();
    void answerLengthExpected_data();
    void answerLengthExpected();

    void connections();

private:
    std::optional<FakePorts> m_ports;
};

void tst_ExtensionSystem::init()
{
    m_ports.emplace();
}

void tst_ExtensionSystem::cleanup()
{
    m_ports.reset();
    QCOMPARE(ConnectionManager::instance()->heldPorts(), QStringList());
}

// The rate each attempt of an identification uses: the first keeps the configured rate, one
// that is no standard rate goes on at the lowest. (The standard cycle, wrapping from the highest
// to the lowest, is what tst_connectsequence sees the sensor asked at.)
void tst_ExtensionSystem::autoBaud()
{
    PortSettings settings;
    settings.baudrate = 4800;
    QList<int> seen;
    for (int i = 0; i < 3; ++i) {
        settings.vSetBaudrateDefault(1);
        seen << settings.baudrate;
    }
    QCOMPARE(seen, (QList<int> { 4800, 9600, 19200 }));

    // A reset makes the next call keep the rate again.
    settings.vSetBaudrateDefault(0);
    settings.vSetBaudrateDefault(1);
    QCOMPARE(settings.baudrate, 19200);
    settings.vSetBaudrateDefault(1);
    QCOMPARE(settings.baudrate, 38400);
}

// Whatever an entry holds, an accepted one has a name, a group and types within 0..255 and is
// nested no deeper than the limit, and the stream is used up: fuzz_sensorbasic's, on any text.
// Here the rows that oracle lets pass either way (an entry without a group and a malformed one
// are tst_catalogue's, through the plug-in's reader).
void tst_ExtensionSystem::sensorRecord_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("group");
    QTest::addColumn<QList<int>>("types");

    const QString decl = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    const QString entry = "<name>QUX-T40 D</name><group>%1</group><types>%2</types>";
    QTest::newRow("plain") << decl + entry.arg("18", "1") << true << 18 << QList<int> { 1 };
    QTest::newRow("without declaration") << entry.arg("18", "1") << true << 18 << QList<int> { 1 };
    QTest::newRow("indented") << decl
            + "<name>A</name>\n  <group> 18 </group>\n  <types> 1 ; 2 </types>\n"
                              << true << 18 << QList<int> { 1, 2 };
    QTest::newRow("trailing separator") << entry.arg("18", "4;") << true << 18 << QList<int> { 4 };
    QTest::newRow("group 0") << entry.arg("0", "1") << true << 0 << QList<int> { 1 };
    QTest::newRow("group 255") << entry.arg("255", "1") << true << 255 << QList<int> { 1 };
    QTest::newRow("group with letters") << entry.arg("18a", "1") << false << 0 << QList<int> {};
    QTest::newRow("unreadable type") << entry.arg("18", "1;x") << false << 0 << QList<int> {};
    // An element of the entry nesting `levels` deep.
    const auto nested = [&](int levels) {
        return entry.arg("18", "1") + "<d>" + QString("<x>").repeated(levels - 1)
            + QString("</x>").repeated(levels - 1) + "</d>";
    };
    QTest::newRow("nested to the limit") << nested(maxXmlNesting) << true << 18 << QList<int> { 1 };
    // Deep enough to overflow the stack of a recursive reader.
    QTest::newRow("nested 50000 deep") << nested(50000) << false << 0 << QList<int> {};
}

void tst_ExtensionSystem::sensorRecord()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(int, group);
    QFETCH(QList<int>, types);

    SensorBasic sensor;
    std::stringstream in(text.toStdString());
    if (text.size() > 1000 && !accepted)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("nested deeper than"));
    QCOMPARE(sensor.fromXMLStream(in), accepted);
    // The stream is used up either way, so a caller can reuse it for the next entry.
    QCOMPARE(in.peek(), std::char_traits<char>::eof());
    if (!accepted)
        return;
    QCOMPARE(sensor.group(), group);
    QCOMPARE(QList<int>(sensor.type().begin(), sensor.type().end()), types);
    QVERIFY(!sensor.name().empty());
}

void tst_ExtensionSystem::rejectedRecordUnchanged()
{
    SensorBasic sensor;
    std::stringstream good("<name>A</name><group>5</group><types>7</types>"
                           "<description>first</description>");
    QVERIFY(sensor.fromXMLStream(good));

    std::stringstream bad("<name>B</name><group>500</group><types>8</types>"
                          "<description>second</description>");
    QVERIFY(!sensor.fromXMLStream(bad));
    QCOMPARE(sensor.name(), std::string("A"));
    QCOMPARE(sensor.group(), 5);
    QCOMPARE(sensor.type(), std::vector<int> { 7 });
    QCOMPARE(sensor.description(), std::string("first"));

    // An accepted entry without a description clears the old one.
    std::stringstream plain("<name>C</name><group>6</group><types>9</types>");
    QVERIFY(sensor.fromXMLStream(plain));
    QCOMPARE(sensor.description(), std::string());
}

// What the depth scan must not be fooled by: markup inside comments, sections and quoted values,
// and texts that are not well-formed (a recursive reader still descends into them). On
// well-formed text it sees Qt's XML reader's depth: fuzz_sensorbasic's.
void tst_ExtensionSystem::xmlNesting_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("depth");
    QTest::newRow("markup in comments, sections, declarations")
        << "<!DOCTYPE a><a><!-- <b><b> --><![CDATA[<b><b>]]><?pi <b><b>?></a>" << 1;
    QTest::newRow("'/>' in a quoted value") << "<a x=\"/>\"><a y='/>'><a>" << 3;
    QTest::newRow("'>' in a quoted value") << "<a x=\"></a>\"><a>" << 2;
    QTest::newRow("closing tags without openers") << "</a></a><a><a>" << 2;
    QTest::newRow("unterminated tag") << "<a><b" << 2;
}

void tst_ExtensionSystem::xmlNesting()
{
    QFETCH(QString, text);
    QFETCH(int, depth);
    QCOMPARE(xmlNestingDepth(text.toStdString()), depth);
    // Counting stops right past the limit.
    QCOMPARE(xmlNestingDepth(text.toStdString(), 1), qMin(depth, 2));
}

// What the line may wait for before it reports input: never more than a matching answer has.
void tst_ExtensionSystem::answerLengthExpected_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("remaining");

    const QString live = "/[0-9A-F]{2,2}0D0[0-9A-Z]{3,3}:[0-9A-Z]{6,6}\\.";
    QTest::newRow("live poll, nothing yet") << live << QByteArray() << 17 << 0;
    QTest::newRow("live poll, length field in") << live << QByteArray("xx/090D") << 17 << 12;
    QTest::newRow("optional sign, any body")
        << "/[0-9A-F]{2,2}0Wb[-]{0,1}[0-9A-F]{5,6}\\." << QByteArray("/0") << 12 << 0;
    QTest::newRow("any text") << "/(.*)\\." << QByteArray("/zz") << 2 << 0;
    QTest::newRow("alternatives") << "/(0A|0B)\\." << QByteArray() << 0 << 0;
    QTest::newRow("repeated group") << "/(0A){2}\\." << QByteArray() << 0 << 0;
    QTest::newRow("field says less than is in") << live << QByteArray("/000V81:0A") << 17 << 0;
}

void tst_ExtensionSystem::answerLengthExpected()
{
    QFETCH(QString, pattern);
    QFETCH(QByteArray, received);
    QFETCH(int, minimum);
    QFETCH(int, remaining);

    AnswerCollector collector;
    collector.start(pattern.toStdString());
    collector.feed(received);
    QCOMPARE(collector.minimumLength(), minimum);
    QCOMPARE(collector.remainingCharacters(), remaining);
}

// One connection per port: a taken port, or one that cannot be opened, gives nothing and leaves
// what is held alone. Registering again replaces and closes the old connection; a destroyed
// plug-in interface gives its port back.
void tst_ExtensionSystem::connections()
{
    PluginInterface first;
    auto second = std::make_unique<PluginInterface>();
    ConnectionManager *manager = ConnectionManager::instance();

    CommunicationInterface *connection = nullptr;
    first.vRegisterConnection(settingsFor("/dev/ttyQUX0"), &connection, &first);
    QVERIFY(connection);
    QCOMPARE(manager->connection(&first), connection);
    QCOMPARE(manager->portOf(&first), QString("/dev/ttyQUX0"));

    CommunicationInterface *other = reinterpret_cast<CommunicationInterface *>(0x1);
    second->vRegisterConnection(settingsFor("/dev/ttyQUX0"), &other, second.get());
    QCOMPARE(other, nullptr);
    QVERIFY(manager->lastError().contains("/dev/ttyQUX0"));
    QCOMPARE(m_ports->opened.size(), 1);
    QCOMPARE(m_ports->opened.first().portName, QStringLiteral("/dev/ttyQUX0"));
    QCOMPARE(manager->connection(&first), connection);
    QVERIFY(!static_cast<FakeConnection *>(connection)->closed);

    QSignalSpy changed(manager, &ConnectionManager::connectionsChanged);
    other = reinterpret_cast<CommunicationInterface *>(0x1);
    second->vRegisterConnection(settingsFor("/dev/missing0"), &other, second.get());
    QCOMPARE(other, nullptr);
    QCOMPARE(manager->lastError(), QString("No such port"));
    QCOMPARE(changed.count(), 0);

    second->vRegisterConnection(settingsFor("/dev/ttyQUX1"), &other, second.get());
    QVERIFY(other);
    QCOMPARE(manager->heldPorts(), (QStringList { "/dev/ttyQUX0", "/dev/ttyQUX1" }));

    // On the same port or on another.
    QPointer<CommunicationInterface> old(connection);
    first.vRegisterConnection(settingsFor("/dev/ttyQUX0"), &connection, &first);
    QVERIFY(connection && old && static_cast<FakeConnection *>(old.data())->closed);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!old);
    first.vRegisterConnection(settingsFor("/dev/ttyQUX2"), &connection, &first);
    QCOMPARE(manager->connection(&first), connection);
    QCOMPARE(manager->heldPorts(), (QStringList { "/dev/ttyQUX1", "/dev/ttyQUX2" }));

    QPointer<CommunicationInterface> held(other);
    QSignalSpy unregistered(manager, &ConnectionManager::pluginUnregistered);
    second.reset();
    QCOMPARE(unregistered.count(), 1);
    QVERIFY(static_cast<FakeConnection *>(held.data())->closed);
    QCOMPARE(manager->heldPorts(), QStringList { "/dev/ttyQUX2" });
    first.vUnregisterConnection(&first);
    QCOMPARE(manager->heldPorts(), QStringList());
}

QTEST_GUILESS_MAIN(tst_ExtensionSystem)

#include "tst_extensionsystem.moc"
