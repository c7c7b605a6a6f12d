#include "publish/mqttpublisher.h"

#include "publish/payloads.h"

#include <QDateTime>

#include <mosquitto.h>

#include <chrono>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

constexpr int stateQos = 1;
constexpr int sampleQos = 0;
constexpr unsigned int reconnectMinSeconds = 1;
constexpr unsigned int reconnectMaxSeconds = 30;

// The library keeps global state (its TLS and socket set-up) that is made once per process.
void initialiseLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

QString errorText(int rc)
{
    if (rc == MOSQ_ERR_ERRNO)
        return QString::fromLocal8Bit(strerror(errno));
    return QString::fromUtf8(mosquitto_strerror(rc));
}

} // namespace

MqttPublisher::MqttPublisher(const PublisherSettings &settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_stateTopic((settings.baseTopic + QLatin1String(Topics::state)).toUtf8())
    , m_firstRetry(this)
{
    initialiseLibrary();
    m_firstRetry.setSingleShot(true);
    connect(&m_firstRetry, &QTimer::timeout, this, &MqttPublisher::connectFirst);
}

MqttPublisher::~MqttPublisher()
{
    stop(0);
    if (m_client)
        mosquitto_destroy(m_client);
}

bool MqttPublisher::start(QString *error)
{
    const QByteArray clientId = m_settings.clientId.toUtf8();
    m_client = mosquitto_new(clientId.isEmpty() ? nullptr : clientId.constData(), true, this);
    if (!m_client) {
        *error = QStringLiteral("The broker client could not be created: %1")
                     .arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    mosquitto_connect_callback_set(m_client, &MqttPublisher::onConnect);
    mosquitto_disconnect_callback_set(m_client, &MqttPublisher::onDisconnect);
    mosquitto_publish_callback_set(m_client, &MqttPublisher::onPublish);
    mosquitto_log_callback_set(m_client, &MqttPublisher::onLog);
    mosquitto_reconnect_delay_set(m_client, reconnectMinSeconds, reconnectMaxSeconds, true);

    static const char offline[] = "offline";
    int rc = mosquitto_will_set(m_client, m_stateTopic.constData(), int(sizeof offline - 1),
                                offline, stateQos, true);
    if (rc == MOSQ_ERR_SUCCESS && !m_settings.credentials.username.isEmpty()) {
        rc = mosquitto_username_pw_set(m_client,
                                       m_settings.credentials.username.toUtf8().constData(),
                                       m_settings.credentials.password.toUtf8().constData());
    }
    if (rc == MOSQ_ERR_SUCCESS && m_settings.address.tls) {
        if (m_settings.caFile.isEmpty()) {
            rc = mosquitto_int_option(m_client, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
        } else {
            rc = mosquitto_tls_set(m_client, m_settings.caFile.toLocal8Bit().constData(), nullptr,
                                   nullptr, nullptr, nullptr);
            if (rc != MOSQ_ERR_SUCCESS) {
                *error = QStringLiteral("The certificate authority file %1 cannot be used.")
                             .arg(m_settings.caFile);
                return false;
            }
        }
    }
    if (rc == MOSQ_ERR_SUCCESS) {
        rc = mosquitto_connect_async(m_client, m_settings.address.host.toUtf8().constData(),
                                     m_settings.address.port, m_settings.keepAliveSeconds);
        // A broker that is down refuses at once; the library's thread would not try again
        // after that, so the first connection is retried here. A name that does not resolve is
        // an error of the address.
        if (rc == MOSQ_ERR_ERRNO || rc == MOSQ_ERR_CONN_REFUSED) {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_lastError = errorText(rc);
            }
            m_started = true;
            m_firstRetry.start(m_firstRetrySeconds * 1000);
            return true;
        }
    }
    if (rc == MOSQ_ERR_SUCCESS) {
        rc = mosquitto_loop_start(m_client);
        m_loopRunning = rc == MOSQ_ERR_SUCCESS;
    }
    if (rc != MOSQ_ERR_SUCCESS) {
        *error = rc == MOSQ_ERR_EAI
            ? QStringLiteral("The broker's host %1 cannot be found.").arg(m_settings.address.host)
            : QStringLiteral("Connecting to the broker failed: %1").arg(errorText(rc));
        // The library's log says what was wrong with a certificate.
        const QString detail = lastError();
        if (!detail.isEmpty())
            *error += QStringLiteral(" (%1)").arg(detail);
        return false;
    }
    m_started = true;
    return true;
}

void MqttPublisher::connectFirst()
{
    const int rc = mosquitto_connect_async(m_client, m_settings.address.host.toUtf8().constData(),
                                           m_settings.address.port, m_settings.keepAliveSeconds);
    if (rc == MOSQ_ERR_SUCCESS && mosquitto_loop_start(m_client) == MOSQ_ERR_SUCCESS) {
        m_loopRunning = true;
        return;
    }
    const QString reason = errorText(rc);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lastError = reason;
    }
    m_firstRetrySeconds = qMin(m_firstRetrySeconds * 2, int(reconnectMaxSeconds));
    m_firstRetry.start(m_firstRetrySeconds * 1000);
    emit connectionLost(reason, false);
}

void MqttPublisher::stop(int waitMs)
{
    if (!m_started)
        return;
    m_started = false;
    m_firstRetry.stop();
    if (!m_loopRunning)
        return;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_stopping = true;
        if (m_connected && waitMs > 0) {
            const QByteArray offline("offline");
            int mid = -1;
            if (send({ m_stateTopic, offline }, stateQos, true, &mid) == MOSQ_ERR_SUCCESS) {
                m_offlineMid = mid;
                m_published.wait_for(lock, std::chrono::milliseconds(waitMs),
                                     [this] { return m_offlineDelivered || !m_connected; });
            }
        }
    }
    mosquitto_disconnect(m_client);
    mosquitto_loop_stop(m_client, false);
}

void MqttPublisher::publishSample(const char *subtopic, const QByteArray &payload)
{
    Message message { (m_settings.baseTopic + QLatin1String(subtopic)).toUtf8(), payload };
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_stopping)
        return;
    if (m_connected && send(message, sampleQos, false) == MOSQ_ERR_SUCCESS)
        return;
    enqueue(std::move(message));
}

void MqttPublisher::enqueue(Message message)
{
    if (m_settings.queueLimit <= 0) {
        ++m_droppedSinceConnected;
        ++m_droppedTotal;
        return;
    }
    while (int(m_queue.size()) >= m_settings.queueLimit) {
        m_queue.pop_front();
        ++m_droppedSinceConnected;
        ++m_droppedTotal;
    }
    m_queue.push_back(std::move(message));
}

int MqttPublisher::send(const Message &message, int qos, bool retain, int *mid)
{
    return mosquitto_publish(m_client, mid, message.topic.constData(), message.payload.size(),
                             message.payload.constData(), qos, retain);
}

bool MqttPublisher::isConnected() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_connected;
}

int MqttPublisher::queuedSamples() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_queue.size());
}

quint64 MqttPublisher::droppedSamples() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_droppedTotal;
}

QString MqttPublisher::lastError() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastError;
}

bool MqttPublisher::wasRefused() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_refused;
}

void MqttPublisher::onConnect(mosquitto *, void *self, int rc)
{
    static_cast<MqttPublisher *>(self)->connectedNow(rc);
}

void MqttPublisher::onDisconnect(mosquitto *, void *self, int rc)
{
    static_cast<MqttPublisher *>(self)->disconnectedNow(rc);
}

void MqttPublisher::onPublish(mosquitto *, void *self, int mid)
{
    auto *publisher = static_cast<MqttPublisher *>(self);
    std::lock_guard<std::mutex> lock(publisher->m_mutex);
    if (mid == publisher->m_offlineMid) {
        publisher->m_offlineDelivered = true;
        publisher->m_published.notify_all();
    }
}

// The library says why a connection failed (a certificate that does not verify, ...) only in
// its log; the last error line is kept for the messages.
void MqttPublisher::onLog(mosquitto *, void *self, int level, const char *text)
{
    if (level != MOSQ_LOG_ERR)
        return;
    auto *publisher = static_cast<MqttPublisher *>(self);
    const QString reason = QString::fromUtf8(text);
    bool handshakeFailed = false;
    {
        std::lock_guard<std::mutex> lock(publisher->m_mutex);
        publisher->m_lastError = reason;
        handshakeFailed = !publisher->m_connected && !publisher->m_stopping
            && reason.startsWith(QLatin1String("OpenSSL Error"));
    }
    // A handshake that fails on the library's thread ends that thread without a disconnect
    // callback: nothing would tell that the publisher gave up.
    if (handshakeFailed)
        emit publisher->connectionLost(reason, true);
}

void MqttPublisher::connectedNow(int rc)
{
    if (rc != 0) {
        const QString reason = QString::fromUtf8(mosquitto_connack_string(rc));
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_lastError = reason;
            m_refused = true;
        }
        emit refused(reason);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_connected = true;
        m_refused = false;
        send({ m_stateTopic, QByteArrayLiteral("online") }, stateQos, true);
        if (m_droppedSinceConnected > 0) {
            const QByteArray topic
                = (m_settings.baseTopic + QLatin1String(Topics::dropped)).toUtf8();
            send(
                { topic, droppedPayload(QDateTime::currentDateTimeUtc(), m_droppedSinceConnected) },
                stateQos, false);
            m_droppedSinceConnected = 0;
        }
        while (!m_queue.empty()) {
            if (send(m_queue.front(), sampleQos, false) != MOSQ_ERR_SUCCESS)
                break;
            m_queue.pop_front();
        }
    }
    emit connected();
}

void MqttPublisher::disconnectedNow(int rc)
{
    QString reason;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_connected = false;
        m_published.notify_all();
        if (m_stopping)
            return;
        reason = m_lastError.isEmpty() ? errorText(rc) : m_lastError;
        if (rc != MOSQ_ERR_SUCCESS && m_lastError.isEmpty())
            m_lastError = reason;
    }
    // The library's thread gives up on these; everything else it tries again.
    const bool fatal = rc == MOSQ_ERR_TLS || rc == MOSQ_ERR_EAI || rc == MOSQ_ERR_AUTH
        || rc == MOSQ_ERR_PROTOCOL || rc == MOSQ_ERR_NOT_SUPPORTED;
    emit connectionLost(reason, fatal);
}

} // namespace Core
} // namespace DrumoSensorPlugin
