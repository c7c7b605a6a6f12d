#include "window/livepublishing.h"

#include "model/parameterrows.h"
#include "parameters/livepoller.h"
#include "parameters/parametertable.h"
#include "parameters/sensorsession.h"
#include "parameters/sessionstate.h"
#include "publish/mqttpublisher.h"
#include "publish/payloads.h"
#include "window/brokerpreferences.h"
#include "window/windowtexts.h"

#include <QDateTime>
#include <QLabel>
#include <QStatusBar>
#include <QThread>

#include <utility>

namespace DrumoSensorPlugin {
namespace Core {

namespace {
// How long closing the window waits for a publisher's "offline" and its thread.
constexpr int finishWaitMs = 5000;
} // namespace

LivePublishing::LivePublishing(SensorSession &session, QStatusBar *statusBar, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_status(new QLabel(statusBar))
{
    m_status->setObjectName(QStringLiteral("publishingStatus"));
    statusBar->addPermanentWidget(m_status, 0);
    LivePoller &poller = session.poller();
    connect(&poller, &LivePoller::liveAnswerArrived, this, &LivePublishing::answerArrived);
    connect(&poller, &LivePoller::sampleReady, this, &LivePublishing::sampleArrived);
    connect(&poller, &LivePoller::outputStatesRead, this, &LivePublishing::outputStatesArrived);
}

LivePublishing::~LivePublishing()
{
    stop();
    for (QThread *thread : std::as_const(m_retiring)) {
        // One that does not finish in time is left to itself rather than hanging the window's
        // end; it no longer refers to this object.
        if (thread->wait(finishWaitMs))
            delete thread;
    }
}

void LivePublishing::setWanted(bool on)
{
    m_wanted = on;
    m_failed = false;
    if (!on) {
        stop();
        setStatus(QString());
    }
}

void LivePublishing::portChanged(const QString &port)
{
    Q_UNUSED(port)
    m_failed = false;
    stop();
    if (m_wanted)
        setStatus(QString());
}

QString LivePublishing::statusText() const
{
    return m_status->text();
}

void LivePublishing::sampleArrived(double temperature, double analogSignal)
{
    if (!m_fresh || !m_wanted)
        return;
    m_fresh = false;
    if (!m_publisher && !start())
        return;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    m_publisher->publishSample(
        Topics::temperature, temperaturePayload(now, temperature, m_session.io().unitIndex() != 0));
    // A sensor of an analog type always drives its output; one with a switchable pin 2 only
    // while the pin is an analog output.
    if (hasAnalogOutputType(m_session.rows()) || m_session.io().pin2Analog() != 0)
        m_publisher->publishSample(
            Topics::analog,
            analogPayload(now, analogSignal, m_session.poller().analogScale().mode));
}

void LivePublishing::outputStatesArrived(int states)
{
    if (m_publisher)
        m_publisher->publishSample(Topics::outputs,
                                   outputsPayload(QDateTime::currentDateTimeUtc(), states));
}

bool LivePublishing::start()
{
    // A sample still on its way when the port went offline starts nothing.
    if (m_failed || !m_session.connection() || !m_session.state().connected)
        return false;
    PublisherSettings settings;
    QString error;
    if (!publisherSettings(readBrokerPreferences(),
                           QString::fromStdString(m_session.sensor().name()),
                           m_session.connection()->getPortSettings().portName, &settings, &error)) {
        m_failed = true;
        setStatus(WindowTexts::tr("Not publishing: %1").arg(error));
        return false;
    }
    m_where = QStringLiteral("%1:%2").arg(settings.address.host).arg(settings.address.port);
    const quint64 generation = ++m_generation;
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("publisher"));
    m_publisher = new MqttPublisher(settings);
    m_publisher->moveToThread(m_thread);
    // The publisher's signals come from its threads and arrive here queued.
    connect(m_publisher, &MqttPublisher::connected, this, [this, generation] {
        if (generation == m_generation)
            setStatus(WindowTexts::tr("Publishing to %1").arg(m_where));
    });
    connect(m_publisher, &MqttPublisher::refused, this, [this, generation](const QString &why) {
        if (generation == m_generation)
            showRefused(why);
    });
    connect(
        m_publisher, &MqttPublisher::connectionLost, this,
        [this, generation](const QString &why, bool fatal) { reportLost(generation, why, fatal); });
    setStatus(WindowTexts::tr("Connecting to the broker at %1...").arg(m_where));
    m_thread->start();
    // Resolving the host and the first connection attempt happen on the publisher's thread.
    // A start that cannot even begin is reported as a connection lost for good.
    MqttPublisher *publisher = m_publisher;
    QMetaObject::invokeMethod(
        publisher,
        [publisher] {
            QString why;
            if (!publisher->start(&why))
                emit publisher->connectionLost(why, true);
        },
        Qt::QueuedConnection);
    return true;
}

void LivePublishing::reportLost(quint64 generation, const QString &reason, bool fatal)
{
    if (generation != m_generation)
        return;
    // A refusal ends in a broken connection too; the refusal is the better reason.
    if (!fatal && m_publisher->wasRefused()) {
        showRefused(reason);
        return;
    }
    if (!fatal) {
        setStatus(WindowTexts::tr("The broker at %1 cannot be reached (%2); samples wait "
                                  "until it is back")
                      .arg(m_where, reason));
        return;
    }
    // The client library gives up on these (an unknown host, a certificate that does not
    // verify): so does the window, until the action or the port changes.
    stop();
    m_failed = true;
    setStatus(WindowTexts::tr("Not publishing: the broker at %1 failed: %2").arg(m_where, reason));
}

// The publisher publishes "offline", disconnects and is deleted on its own thread, which then
// ends; the GUI thread goes on at once.
void LivePublishing::stop()
{
    if (!m_publisher)
        return;
    ++m_generation;
    MqttPublisher *publisher = std::exchange(m_publisher, nullptr);
    QThread *thread = std::exchange(m_thread, nullptr);
    disconnect(publisher, nullptr, this, nullptr);
    QMetaObject::invokeMethod(
        publisher,
        [publisher] {
            publisher->stop();
            delete publisher;
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    m_retiring.append(thread);
    connect(thread, &QThread::finished, this, [this, thread] {
        m_retiring.removeOne(thread);
        thread->wait();
        delete thread;
    });
}

void LivePublishing::showRefused(const QString &reason)
{
    setStatus(WindowTexts::tr("The broker at %1 refused the connection: %2").arg(m_where, reason));
}

void LivePublishing::setStatus(const QString &text)
{
    m_status->setText(text);
}

} // namespace Core
} // namespace DrumoSensorPlugin
