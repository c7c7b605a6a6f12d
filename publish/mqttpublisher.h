#pragma once

#include "publish/brokeraddress.h"
#include "publish/credentials.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <condition_variable>
#include <deque>
#include <mutex>

struct mosquitto;

namespace DrumoSensorPlugin {
namespace Core {

struct PublisherSettings
{
    BrokerAddress address;
    BrokerCredentials credentials;
    QString caFile; // mqtts: the certificate authority to trust; empty: the system's
    QString clientId; // empty: the broker's library makes one up
    int keepAliveSeconds = 30;
    int queueLimit = 10000; // samples kept while the broker is away
    QString baseTopic; // the sensor's, without a trailing "/"
};

// Live data of one sensor to a broker, with the sensor's state at "<base>/state": "online"
// (retained, QoS 1) once connected, "offline" on stop and as the last will the broker publishes
// when the connection breaks.
//
// The network runs on the client library's own thread: publishing a sample only hands it over
// and never waits for the network, so neither the polling nor the GUI thread is held up. While
// the broker is away the library reconnects with back-off (1 s doubling up to 30 s) and the
// samples wait in a bounded queue, the oldest dropped first; once back, the state, the number
// of samples dropped ("<base>/dropped") and the queue go out in that order.
//
// Signals are emitted from the library's thread; connect them queued (the default across
// threads does that).
class MqttPublisher : public QObject
{
    Q_OBJECT

public:
    explicit MqttPublisher(const PublisherSettings &settings, QObject *parent = nullptr);
    ~MqttPublisher() override;

    // Starts connecting in the background. False when that cannot even begin (the TLS file
    // cannot be read, the host name does not resolve, ...): `error` says why. A broker that
    // refuses the connection at once (down) is no such reason: lastError() tells, and the
    // attempts go on with back-off.
    bool start(QString *error);
    // Publishes "offline", waits up to `waitMs` for the broker to take it, and disconnects.
    void stop(int waitMs = 2000);

    // One sample at QoS 0 to "<base><subtopic>"; queued while the broker is away.
    void publishSample(const char *subtopic, const QByteArray &payload);

    bool isConnected() const;
    int queuedSamples() const;
    quint64 droppedSamples() const; // in total, since the start
    QString lastError() const;
    // The broker answered the last attempt with a refusal (login, client id): lastError() says
    // which.
    bool wasRefused() const;
    const PublisherSettings &settings() const { return m_settings; }

signals:
    void connected();
    // The broker refused the login or the client (the reason in English from the library).
    void refused(const QString &reason);
    // The connection broke or could not be made; the library tries again unless `fatal`.
    void connectionLost(const QString &reason, bool fatal);

private:
    struct Message
    {
        QByteArray topic;
        QByteArray payload;
    };

    static void onConnect(mosquitto *, void *self, int rc);
    static void onDisconnect(mosquitto *, void *self, int rc);
    static void onPublish(mosquitto *, void *self, int mid);
    static void onLog(mosquitto *, void *self, int level, const char *text);

    // The first connection; until it gets through, the library's thread is not running and the
    // retries with back-off are made here.
    void connectFirst();
    void connectedNow(int rc);
    void disconnectedNow(int rc);
    // With m_mutex held.
    void enqueue(Message message);
    int send(const Message &message, int qos, bool retain, int *mid = nullptr);

    PublisherSettings m_settings;
    QByteArray m_stateTopic;
    mosquitto *m_client = nullptr;
    bool m_started = false;
    bool m_loopRunning = false;
    // A child, so that it moves along when the publisher is moved to a thread of its own.
    QTimer m_firstRetry;
    int m_firstRetrySeconds = 1;

    mutable std::mutex m_mutex;
    std::condition_variable m_published;
    bool m_connected = false;
    bool m_stopping = false;
    std::deque<Message> m_queue;
    quint64 m_droppedSinceConnected = 0;
    quint64 m_droppedTotal = 0;
    int m_offlineMid = -1;
    bool m_offlineDelivered = false;
    QString m_lastError;
    bool m_refused = false;
};

} // namespace Core
} // namespace DrumoSensorPlugin
