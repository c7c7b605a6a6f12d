#include "mqttstream.h"

#include "sensorport.h"
#include "texts.h"

#include "parameters/livepoller.h"
#include "parameters/parametertable.h"
#include "publish/brokeraddress.h"
#include "publish/credentials.h"
#include "publish/mqttpublisher.h"
#include "publish/payloads.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QThread>

using namespace DrumoSensorPlugin::Core;

namespace QuxCtl {

MqttStream::MqttStream(const MqttOptions &options, SensorPort &port, QTextStream &progress)
    : m_options(options)
    , m_port(port)
    , m_progress(progress)
{
}

MqttStream::~MqttStream() = default;

void MqttStream::say(const QString &line)
{
    m_progress << line << '\n';
    m_progress.flush();
}

bool MqttStream::open(QString *message)
{
    PublisherSettings settings;
    QString error;
    parseBrokerUrl(m_options.url, &settings.address, &error);
    if (m_options.credentialsFile.isEmpty()) {
        settings.credentials = credentialsFromEnvironment();
    } else if (!readCredentialsFile(m_options.credentialsFile, &settings.credentials, &error)) {
        *message = Texts::tr("The broker credentials were not read: %1").arg(error);
        return false;
    }
    settings.caFile = m_options.caFile;
    settings.clientId = m_options.clientId;
    if (!settings.clientId.isEmpty() && m_options.severalPorts)
        settings.clientId += QLatin1Char('-') + topicLevel(m_port.portName());
    settings.keepAliveSeconds = m_options.keepAliveSeconds;
    settings.queueLimit = m_options.queueLimit;
    settings.baseTopic = baseTopic(
        m_options.topicPattern, QString::fromStdString(m_port.record().name()), m_port.portName());
    const QString where
        = QStringLiteral("%1:%2").arg(settings.address.host).arg(settings.address.port);

    m_publisher = std::make_unique<MqttPublisher>(settings);
    if (!m_publisher->start(&error)) {
        *message = Texts::tr("The broker at %1 cannot be reached: %2").arg(where, error);
        return false;
    }
    // Before the first connection every failure is final: a service manager or the user
    // should hear at once that the address, the login or the certificate is wrong. The wait
    // asks the publisher rather than listening to it: a signal of the library's thread must not
    // meet receivers that end with this wait.
    QElapsedTimer clock;
    clock.start();
    while (!m_publisher->isConnected() && m_publisher->lastError().isEmpty()
           && clock.elapsed() < m_options.connectSeconds * 1000)
        QThread::msleep(10);
    const bool reached = m_publisher->isConnected();
    QString reason = m_publisher->lastError();
    if (m_publisher->wasRefused())
        reason = Texts::tr("the broker refused the connection (%1)").arg(reason);
    else if (!reached && reason.isEmpty())
        reason = Texts::tr("no answer within %1 s").arg(m_options.connectSeconds);
    if (!reached) {
        m_publisher.reset();
        *message = Texts::tr("The broker at %1 cannot be reached: %2").arg(where, reason);
        return false;
    }
    say(Texts::tr("%1: publishing to %2 under %3")
            .arg(m_port.portName(), m_options.url, settings.baseTopic));

    connect(m_publisher.get(), &MqttPublisher::connectionLost, this,
            [this](const QString &why, bool fatal) {
                say(fatal ? Texts::tr("%1: the broker connection is lost for good: %2")
                                .arg(m_port.portName(), why)
                          : Texts::tr("%1: the broker connection is lost (%2); samples wait "
                                      "until it is back")
                                .arg(m_port.portName(), why));
            });
    connect(m_publisher.get(), &MqttPublisher::refused, this, [this](const QString &why) {
        say(Texts::tr("%1: the broker refused the connection (%2)").arg(m_port.portName(), why));
    });
    connect(m_publisher.get(), &MqttPublisher::connected, this,
            [this] { say(Texts::tr("%1: connected to the broker again").arg(m_port.portName())); });
    return true;
}

void MqttStream::attach(LivePoller &poller)
{
    if (!m_publisher)
        return;
    const MemoryRows &rows = m_port.rows();
    m_fahrenheit = m_port.session().io().unitIndex() != 0;
    // A sensor of an analog type always drives its output; one with a switchable pin 2 only
    // while the pin is an analog output.
    m_analog = hasAnalogOutputType(rows) || m_port.session().io().pin2Analog() != 0;
    const AnalogScale scale = analogScaleOf(rows, poller.analogScale());
    poller.setAnalogScale(scale);
    m_analogMode = scale.mode;

    // A silent poll repeats the last sample for the chart; the broker gets read samples only.
    connect(&poller, &LivePoller::liveAnswerArrived, this, [this] { m_fresh = true; });
    connect(&poller, &LivePoller::sampleReady, this, [this](double temperature, double signal) {
        if (!m_fresh)
            return;
        m_fresh = false;
        const QDateTime now = QDateTime::currentDateTimeUtc();
        m_publisher->publishSample(Topics::temperature,
                                   temperaturePayload(now, temperature, m_fahrenheit));
        if (m_analog)
            m_publisher->publishSample(Topics::analog, analogPayload(now, signal, m_analogMode));
    });
    connect(&poller, &LivePoller::outputStatesRead, this, [this](int states) {
        m_publisher->publishSample(Topics::outputs,
                                   outputsPayload(QDateTime::currentDateTimeUtc(), states));
    });
}

void MqttStream::stop()
{
    if (m_publisher)
        m_publisher->stop();
}

} // namespace QuxCtl
