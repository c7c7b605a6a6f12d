// The window's "Publish live data" against a mosquitto of the test's own, with an in-process
// simulated sensor polled at full speed: what a subscriber receives, the retained state, and
// brokers and settings that do not work while the chart goes on (skipped where mosquitto is not
// installed).

#include "../common/brokerprocess.h"
#include "../live/waituntil.h"
#include "../window/simulatedwindow.h"
#include "window/livepublishing.h"

#include <simpletimechart.h>
#include <valueovertime.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace DrumoSensorPlugin::Core;

namespace {
const QString topics = QStringLiteral("qux/QUX-T40 D/sim0/#");

// The host's preferences, as the preferences dialog writes them.
void setBroker(const QString &url, const QString &topic = QString())
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope,
                       QCoreApplication::organizationName(), QCoreApplication::applicationName());
    settings.setValue(QStringLiteral("Broker/url"), url);
    settings.setValue(QStringLiteral("Broker/topic"), topic);
    settings.setValue(QStringLiteral("Broker/caFile"), QString());
    settings.setValue(QStringLiteral("Broker/credentialsFile"), QString());
}

struct PublishingWindow : SimulatedWindow
{
    explicit PublishingWindow(double temperature)
    {
        markConnected();
        tester->session().poller().setRestartDelay(1);
        sensor->model().process().setTemperature(temperature);
        tester->setMeasuredTemp(false);
    }
    ~PublishingWindow() { setPublishing(false); } // the window state file is shared
    void setPublishing(bool on) { tester->action("actionPublish_live_data")->setChecked(on); }
    void setLive(bool on) { tester->action("actionEnable_live_data")->setChecked(on); }
    QString status() { return window->livePublishing().statusText(); }
    int samples() { return tester->chart().chart()->poData()->size(); }
};

// Runs the window's events while the subscriber takes messages in.
bool waitFor(Subscriber &subscriber, const QString &suffix, int count)
{
    return waitUntil([&] {
        subscriber.wait(10);
        return subscriber.payloads(suffix).size() >= count;
    });
}
} // namespace

class tst_LivePublishing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void samplesReachSubscribers_data();
    void samplesReachSubscribers();
    void chartGoesOnWithoutBroker_data();
    void chartGoesOnWithoutBroker();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<BrokerProcess> m_broker;
};

void tst_LivePublishing::initTestCase()
{
    if (!BrokerProcess::available())
        QSKIP("mosquitto, mosquitto_sub, mosquitto_passwd or openssl is not installed");
    QCoreApplication::setOrganizationName(QStringLiteral("quxtest"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    m_broker = std::make_unique<BrokerProcess>(m_dir.path());
    QVERIFY(m_broker->prepare());
    QVERIFY2(m_broker->start(), m_broker->output().constData());
}

void tst_LivePublishing::samplesReachSubscribers_data()
{
    QTest::addColumn<double>("temperature");
    QTest::addColumn<QString>("topic"); // the preference; empty: the default
    QTest::addColumn<QString>("filter");
    QTest::newRow("default topic") << 150.0 << QString() << topics;
    QTest::newRow("own topic") << 321.7 << "plant/{port}/{type}/"
                               << "plant/sim0/QUX-T40 D/#";
}

void tst_LivePublishing::samplesReachSubscribers()
{
    QFETCH(double, temperature);
    QFETCH(QString, topic);
    QFETCH(QString, filter);
    setBroker(m_broker->plainUrl(), topic);
    Subscriber subscriber;
    QVERIFY(subscriber.start(m_broker->plainPort(), filter));
    PublishingWindow sim(temperature);
    sim.setPublishing(true);
    sim.setLive(true);
    QVERIFY(waitFor(subscriber, "/temperature", 5));
    QVERIFY(waitFor(subscriber, "/outputs", 1));
    QCOMPARE(sim.status(), QStringLiteral("Publishing to 127.0.0.1:%1").arg(m_broker->plainPort()));
    for (const QByteArray &payload : subscriber.payloads("/temperature")) {
        const QJsonObject sample = QJsonDocument::fromJson(payload).object();
        QCOMPARE(sample.value("value").toDouble(), temperature);
        QCOMPARE(sample.value("unit").toString(), QStringLiteral("°C"));
    }
    QCOMPARE(subscriber.payloads("/state"), QList<QByteArray> { "online" });

    // Live data paused around a write keeps the connection; a late subscriber gets the
    // retained state.
    sim.setLive(false);
    sim.setLive(true);
    Subscriber late;
    QVERIFY(late.start(m_broker->plainPort(), filter));
    QVERIFY(waitFor(late, "/state", 1));
    QCOMPARE(late.payloads("/state"), QList<QByteArray> { "online" });

    sim.setPublishing(false);
    QVERIFY(waitFor(subscriber, "/state", 2));
    QCOMPARE(subscriber.payloads("/state").last(), QByteArray("offline"));
    QVERIFY(sim.status().isEmpty());
    // Checked again: back at the next sample.
    sim.setPublishing(true);
    QVERIFY(waitFor(subscriber, "/state", 3));
    QCOMPARE(subscriber.payloads("/state").last(), QByteArray("online"));
    // The port going away (live data ends with it) ends it as unchecking does.
    sim.setLive(false);
    sim.tester->setConnected(false);
    emit sim.window->vComPortSelected(QString());
    QVERIFY(waitFor(subscriber, "/state", 4));
    subscriber.wait(200);
    QCOMPARE(subscriber.payloads("/state"),
             (QList<QByteArray> { "online", "offline", "online", "offline" }));
}

void tst_LivePublishing::chartGoesOnWithoutBroker_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QString>("status");
    const QString none;
    // One row per way the window reports a failure: a broker it waits for, a refusal, one the
    // client library gives up on, and preferences it cannot use. The publisher's reasons for
    // each (a certificate that does not verify, ...) are tst_publish's, through quxctl.
    QTest::newRow("broker down")
        << QStringLiteral("mqtt://127.0.0.1:%1").arg(BrokerProcess::freePort()) << none
        << "cannot be reached";
    QTest::newRow("login refused") << m_broker->loginUrl() << none
                                   << "refused the connection: Connection Refused: not authorised";
    QTest::newRow("unknown host") << "mqtt://no-such-host.invalid" << none
                                  << "Not publishing: the broker at no-such-host.invalid:1883";
    QTest::newRow("no broker set") << none << none << "no broker is set";
    QTest::newRow("malformed address")
        << "mqtt://127.0.0.1:99999" << none << "not a broker address";
    QTest::newRow("wildcard in the topic") << m_broker->plainUrl() << "plant/+/{port}"
                                           << "not a topic to publish to";
}

void tst_LivePublishing::chartGoesOnWithoutBroker()
{
    QFETCH(QString, url);
    QFETCH(QString, topic);
    QFETCH(QString, status);
    setBroker(url, topic);
    Subscriber subscriber;
    QVERIFY(subscriber.start(m_broker->plainPort(), topics));
    PublishingWindow sim(80.0);
    sim.setPublishing(true);
    sim.setLive(true);
    QVERIFY2(waitUntil([&] { return sim.status().contains(status); }), qPrintable(sim.status()));
    const int samples = sim.samples();
    QVERIFY(waitUntil([&] { return sim.samples() > samples + 20; }));
    subscriber.wait(200);
    QVERIFY(subscriber.payloads("/temperature").isEmpty());
}

QTEST_MAIN(tst_LivePublishing)
#include "tst_livepublishing.moc"
