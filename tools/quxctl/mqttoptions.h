#pragma once

#include <QString>

class QCommandLineParser;

namespace QuxCtl {

// stream --mqtt: where the live data go besides (or instead of) the CSV text.
struct MqttOptions
{
    QString url; // --mqtt URL; empty: no publishing
    QString topicPattern; // --topic BASE, with {type} and {port}
    QString credentialsFile; // --mqtt-credentials FILE; else QUX_MQTT_USERNAME/_PASSWORD
    QString caFile; // --mqtt-ca FILE
    QString clientId; // --mqtt-client-id ID
    int keepAliveSeconds = 30; // --mqtt-keepalive S
    int queueLimit = 10000; // --mqtt-queue N
    int connectSeconds = 10; // --mqtt-wait S: how long the first connection may take
    bool severalPorts = false; // a client id given is then made unique per port

    bool enabled() const { return !url.isEmpty(); }
};

// Declares the options on `parser`.
void addMqttOptions(QCommandLineParser &parser);
// Takes them after parsing; false and `error` when one is wrong. `streaming` and `portCount`
// are what the rest of the command line says.
bool takeMqttOptions(const QCommandLineParser &parser, bool streaming, int portCount,
                     MqttOptions *options, QString *error);

} // namespace QuxCtl
