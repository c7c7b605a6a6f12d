#pragma once

#include "mqttoptions.h"

#include <QObject>
#include <QString>
#include <QTextStream>

#include <memory>

namespace DrumoSensorPlugin {
namespace Core {
class LivePoller;
class MqttPublisher;
} // namespace Core
} // namespace DrumoSensorPlugin

namespace QuxCtl {

class SensorPort;

// The live data of one port to the broker: the samples the poller reads (not the repeats it
// plots while the sensor is silent), the output states, and the analog signal where the sensor
// has an analog output. One broker connection per sensor, so that each sensor's last will
// marks that sensor offline.
class MqttStream : public QObject
{
    Q_OBJECT

public:
    MqttStream(const MqttOptions &options, SensorPort &port, QTextStream &progress);
    ~MqttStream() override;

    bool enabled() const { return m_options.enabled(); }
    // Connects, waiting up to the option's time for the broker to take the client. False when
    // it did not, with the reason in `message`: quxctl then ends with BrokerUnreachable.
    bool open(QString *message);
    void attach(DrumoSensorPlugin::Core::LivePoller &poller);
    // Publishes "offline" and disconnects.
    void stop();

private:
    void say(const QString &line);

    const MqttOptions &m_options;
    SensorPort &m_port;
    QTextStream &m_progress;
    std::unique_ptr<DrumoSensorPlugin::Core::MqttPublisher> m_publisher;
    bool m_fresh = false;
    bool m_fahrenheit = false;
    bool m_analog = false;
    int m_analogMode = 0;
};

} // namespace QuxCtl
