// quxctl stream --mqtt with quxsim as the sensor and a mosquitto broker of the test's own: what a
// subscriber receives against what the sensor answered, the sensor's state and last will, a
// broker that goes away mid-stream, and the faults at the start.

#include "../common/brokerprocess.h"
#include "../common/quxsimprocess.h"
#include "../quxctl/quxctlrun.h"

#include "protocol/frame.h"
#include "publish/brokeraddress.h"
#include "publish/mqttpublisher.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace DrumoSensorPlugin::Core;

namespace {

// What the sensor answered to the live requests, in order: the object temperature in tenths of
// a "0D0e" answer (the sensor's factory setting of "readTemp" shows it) and the output bits of a
// "0WD" answer.
struct Answers
{
    QList<int> temperatures;
    QList<int> outputs;
};

Answers answersOf(const QList<QuxsimProcess::Entry> &log)
{
    Answers answers;
    for (const QuxsimProcess::Entry &entry : log) {
        if (entry.outcome != QLatin1String("answered"))
            continue;
        const QByteArray request
            = QByteArray::fromStdString(decodeFrame(entry.request.toStdString()));
        const QByteArray body = QByteArray::fromStdString(decodeFrame(entry.answer.toStdString()));
        if (request == "0D0e")
            answers.temperatures << body.mid(7, 4).toInt();
        else if (request == "0WD")
            answers.outputs << body.mid(3, 2).toInt();
    }
    return answers;
}

QJsonObject json(const QByteArray &payload)
{
    return QJsonDocument::fromJson(payload).object();
}

// The published temperatures in tenths, as the sensor counts them, so that equal means equal.
QList<int> tenths(const QList<QByteArray> &payloads)
{
    QList<int> result;
    for (const QByteArray &payload : payloads)
        result << qRound(json(payload).value("value").toDouble() * 10.0);
    return result;
}

// `part` appears in `whole` in the same order (samples may be missing, none made up).
bool inOrderWithin(const QList<int> &part, const QList<int> &whole)
{
    int at = 0;
    for (int value : part) {
        while (at < whole.size() && whole.at(at) != value)
            ++at;
        if (at++ >= whole.size())
            return false;
    }
    return true;
}

} // namespace

class tst_Publish : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void samplesEqualSensor_data();
    void samplesEqualSensor();
    void endings_data();
    void endings();
    void brokerRestart();
    void brokerDownAtStart();
    void startFailures_data();
    void startFailures();
    void brokerAddresses_data();
    void brokerAddresses();

private:
    // quxctl stream until stopped, started; true once it publishes.
    bool startStream(QProcess &process, const QStringList &extra = {});
    // The simulated sensor's topics (earlier tests' sensors left their retained states).
    QString topics(const char *type = "D") const
    {
        return QStringLiteral("qux/QUX-T40 %1/%2/#")
            .arg(QLatin1String(type), topicLevel(m_sim->link()));
    }

    QTemporaryDir m_brokerDir;
    std::unique_ptr<BrokerProcess> m_broker;
    std::unique_ptr<QuxsimProcess> m_sim;
};

void tst_Publish::initTestCase()
{
    if (!BrokerProcess::available())
        QSKIP("mosquitto, mosquitto_sub, mosquitto_passwd or openssl is not installed");
    m_broker = std::make_unique<BrokerProcess>(m_brokerDir.path());
    QVERIFY(m_broker->prepare());
    QVERIFY2(m_broker->start(), m_broker->output().constData());
}

void tst_Publish::init()
{
    m_sim = std::make_unique<QuxsimProcess>();
}

bool tst_Publish::startStream(QProcess &process, const QStringList &extra)
{
    prepareQuxctl(process);
    process.setArguments(
        QStringList { "stream", "--port", m_sim->link(), "--mqtt", m_broker->plainUrl() } + extra);
    process.start();
    QElapsedTimer clock;
    clock.start();
    QByteArray err;
    while (clock.elapsed() < 20000 && process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(100);
        err += process.readAllStandardError();
        if (err.contains("streaming until stopped"))
            return true;
    }
    qWarning("%s", err.constData());
    return false;
}

void tst_Publish::samplesEqualSensor_data()
{
    QTest::addColumn<QStringList>("simulator");
    QTest::addColumn<QStringList>("broker");
    QTest::addColumn<bool>("analog");
    const QString login = m_broker->file("login");
    QTest::newRow("open listener")
        << QStringList() << QStringList { m_broker->plainUrl() } << false;
    QTest::newRow("password file")
        << QStringList() << QStringList { m_broker->loginUrl(), "--mqtt-credentials", login }
        << false;
    QTest::newRow("TLS with the test authority")
        << QStringList()
        << QStringList { m_broker->tlsUrl(), "--mqtt-credentials", login, "--mqtt-ca",
                         m_broker->file("ca.crt") }
        << false;
    QTest::newRow("analog sensor")
        << QStringList { "--sensor", "QUX-T40 A" } << QStringList { m_broker->plainUrl() } << true;
}

// Every temperature the sensor sent is published once, value for value and in order, the output
// states likewise; the state is "online" while streaming and "offline" after.
void tst_Publish::samplesEqualSensor()
{
    QFETCH(QStringList, simulator);
    QFETCH(QStringList, broker);
    QFETCH(bool, analog);
    QVERIFY(m_sim->start(QStringList { "--temperature", "20", "--target", "400", "--ramp", "30" }
                         + simulator));
    Subscriber subscriber;
    QVERIFY(subscriber.start(m_broker->plainPort(), topics(analog ? "A" : "D")));

    const QuxctlRun run = runQuxctl(
        QStringList { "stream", "--port", m_sim->link(), "--seconds", "3", "--mqtt" } + broker);
    const QByteArray err = run.err.toUtf8();
    QVERIFY2(run.status == 0, err.constData());
    QVERIFY2(run.out.isEmpty(), "CSV text only with --csv");

    const Answers sent = answersOf(m_sim->take());
    QTRY_VERIFY(subscriber.payloads("/state").size() == 2);
    const QList<int> temperatures = tenths(subscriber.payloads("/temperature"));
    // The poll in flight when the time is up may have been answered but not published.
    QVERIFY2(temperatures.size() >= 10, err.constData());
    QVERIFY(sent.temperatures.size() - temperatures.size() <= 1);
    QCOMPARE(temperatures, sent.temperatures.mid(0, temperatures.size()));

    QList<int> outputs;
    for (const QByteArray &payload : subscriber.payloads("/outputs"))
        outputs << (json(payload).value("output1").toBool() ? 1 : 0)
                + (json(payload).value("output2").toBool() ? 2 : 0);
    QVERIFY(!outputs.isEmpty());
    QCOMPARE(outputs, sent.outputs.mid(0, outputs.size()));

    const QList<QByteArray> analogs = subscriber.payloads("/analog");
    QCOMPARE(analogs.size(), analog ? temperatures.size() : 0);
    if (analog)
        QCOMPARE(json(analogs.first()).value("unit").toString(), QString("V"));

    const Subscriber::Message first = subscriber.messages().first();
    QCOMPARE(first.topic, topics(analog ? "A" : "D").replace("#", "state"));
    QCOMPARE(first.payload, QByteArray("online"));
    QCOMPARE(subscriber.payloads("/state").last(), QByteArray("offline"));
    const QJsonObject sample = json(subscriber.payloads("/temperature").first());
    QCOMPARE(sample.value("unit").toString(), QString("°C"));
    QVERIFY(QRegularExpression(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z$)")
                .match(sample.value("time").toString())
                .hasMatch());
}

void tst_Publish::endings_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("clean");
    QTest::newRow("SIGTERM") << int(SIGTERM) << true;
    QTest::newRow("SIGINT") << int(SIGINT) << true;
    QTest::newRow("killed: the last will") << int(SIGKILL) << false;
}

// However the stream ends, subscribers see the sensor "offline": published by quxctl when it is
// stopped, by the broker as the last will when quxctl dies.
void tst_Publish::endings()
{
    QFETCH(int, signal);
    QFETCH(bool, clean);
    QVERIFY(m_sim->start());
    Subscriber subscriber;
    QVERIFY(subscriber.start(m_broker->plainPort(), topics()));
    QProcess quxctl;
    QVERIFY(startStream(quxctl));
    QTRY_VERIFY(!subscriber.payloads("/temperature").isEmpty());
    QCOMPARE(subscriber.payloads("/state"), QList<QByteArray> { "online" });

    ::kill(pid_t(quxctl.processId()), signal);
    QVERIFY(quxctl.waitForFinished(10000));
    QCOMPARE(quxctl.exitStatus() == QProcess::NormalExit && quxctl.exitCode() == 0, clean);
    QTRY_COMPARE(subscriber.payloads("/state"), (QList<QByteArray> { "online", "offline" }));
}

// The broker goes away for a while: quxctl keeps polling, keeps the newest samples up to the
// queue's size, and once the broker is back publishes the state, the number dropped and the
// queue, then goes on.
void tst_Publish::brokerRestart()
{
    QVERIFY(m_sim->start({ "--temperature", "20", "--target", "400", "--ramp", "30" }));
    QProcess quxctl;
    QVERIFY(startStream(quxctl, { "--mqtt-queue", "5" }));
    {
        Subscriber before;
        QVERIFY(before.start(m_broker->plainPort(), topics()));
        QTRY_VERIFY(before.payloads("/temperature").size() >= 3);
    }
    m_broker->stop();
    QTest::qWait(2000);
    QVERIFY(m_broker->start());
    Subscriber after;
    QVERIFY(after.start(m_broker->plainPort(), topics()));
    QTRY_VERIFY_WITH_TIMEOUT(!after.payloads("/dropped").isEmpty(), 40000);
    QTRY_VERIFY(after.payloads("/temperature").size() >= 10);
    ::kill(pid_t(quxctl.processId()), SIGTERM);
    QVERIFY(quxctl.waitForFinished(10000));
    QCOMPARE(quxctl.exitCode(), 0);
    const QByteArray err = quxctl.readAllStandardError();
    QVERIFY2(err.contains("the broker connection is lost"), err.constData());
    QVERIFY2(err.contains("connected to the broker again"), err.constData());

    const QList<Subscriber::Message> messages = after.messages();
    QCOMPARE(messages.first().payload, QByteArray("online"));
    QVERIFY(messages.at(1).topic.endsWith("/dropped"));
    // Two seconds away at ten samples a second: more than the five kept.
    QVERIFY(json(messages.at(1).payload).value("count").toInt() >= 5);
    QVERIFY(inOrderWithin(tenths(after.payloads("/temperature")),
                          answersOf(m_sim->take()).temperatures));
}

// A publisher that keeps going (the window's) waits for a broker that is down at its start and
// then delivers what it queued meanwhile, in order.
void tst_Publish::brokerDownAtStart()
{
    m_broker->stop();
    PublisherSettings settings;
    parseBrokerUrl(m_broker->plainUrl(), &settings.address, nullptr);
    settings.baseTopic = QStringLiteral("qux/waiting");
    MqttPublisher publisher(settings);
    QString error;
    QVERIFY2(publisher.start(&error), qPrintable(error));
    QVERIFY(!publisher.lastError().isEmpty());
    publisher.publishSample("/temperature", "1");
    publisher.publishSample("/temperature", "2");
    // Retries after 1 and 3 s meet no broker; the one after 7 s finds it and the subscriber.
    QTest::qWait(3500);
    QVERIFY(m_broker->start());
    Subscriber subscriber;
    QVERIFY(subscriber.start(m_broker->plainPort(), "qux/waiting/#"));
    QTRY_VERIFY_WITH_TIMEOUT(publisher.isConnected(), 20000);
    publisher.publishSample("/temperature", "3");
    QTRY_COMPARE(subscriber.payloads("/temperature"), (QList<QByteArray> { "1", "2", "3" }));
    QCOMPARE(subscriber.payloads("/state"), QList<QByteArray> { "online" });
    publisher.stop();
    QTRY_COMPARE(subscriber.payloads("/state"), (QList<QByteArray> { "online", "offline" }));
}

void tst_Publish::startFailures_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QString login = m_broker->file("login");
    auto row = [](const char *tag, const QStringList &options, int status, const char *message) {
        QTest::newRow(tag) << options << status << QString(message);
    };
    row("broker down",
        { "--mqtt", QStringLiteral("mqtt://127.0.0.1:%1").arg(BrokerProcess::freePort()) }, 7,
        "cannot be reached");
    row("wrong password",
        { "--mqtt", m_broker->loginUrl(), "--mqtt-credentials", m_broker->file("wrong-login") }, 7,
        "not authorised");
    row("no login", { "--mqtt", m_broker->loginUrl() }, 7, "not authorised");
    row("certificate of another authority",
        { "--mqtt", m_broker->tlsUrl(), "--mqtt-credentials", login, "--mqtt-ca",
          m_broker->file("other.crt"), "--mqtt-wait", "5" },
        7, "certificate verify failed");
    row("unknown host", { "--mqtt", "mqtt://no-such-host.invalid" }, 7, "cannot be found");
    row("credentials file missing",
        { "--mqtt", m_broker->plainUrl(), "--mqtt-credentials", "/nonexistent" }, 7,
        "credentials were not read");
    row("password in the address", { "--mqtt", "mqtt://plant:pw@127.0.0.1" }, 2,
        "must not hold a user name");
    row("wildcard in the topic", { "--mqtt", m_broker->plainUrl(), "--topic", "plant/+/{port}" }, 2,
        "wildcards");
    row("not a broker address", { "--mqtt", "http://127.0.0.1" }, 2, "must start with mqtt://");
    row("option without --mqtt", { "--topic", "plant" }, 2, "need --mqtt URL");
}

// A stream that cannot publish from the start ends at once with a reason, before polling.
void tst_Publish::startFailures()
{
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(QString, message);
    QVERIFY(m_sim->start());
    const QuxctlRun run = runQuxctl(QStringList { "stream", "--port", m_sim->link() } + options);
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(!run.err.contains("streaming"));
}

void tst_Publish::brokerAddresses_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("expected"); // "HOST PORT tls|plain"; empty: refused
    const auto row = [](const char *url, const char *expected) {
        QTest::newRow(url) << QString(url) << QString(expected);
    };
    row("mqtt://broker.plant", "broker.plant 1883 plain");
    row("mqtts://10.1.2.3/", "10.1.2.3 8883 tls");
    row("mqtt://[::1]:1884", "::1 1884 plain");
    // A port out of range or a missing host is fuzz_brokeraddress' on any text.
    for (const char *refused : { "mqtt://h:", "mqtt://h/x", "mqtt://[::1:1883" })
        row(refused, "");
}

void tst_Publish::brokerAddresses()
{
    QFETCH(QString, url);
    QFETCH(QString, expected);
    BrokerAddress address;
    QString error;
    const bool taken = parseBrokerUrl(url, &address, &error);
    QCOMPARE(error.isEmpty(), taken);
    QCOMPARE(taken ? QStringLiteral("%1 %2 %3")
                         .arg(address.host)
                         .arg(address.port)
                         .arg(address.tls ? "tls" : "plain")
                   : QString(),
             expected);
}

QTEST_MAIN(tst_Publish)

#include "tst_publish.moc"
