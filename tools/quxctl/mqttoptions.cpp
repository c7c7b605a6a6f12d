#include "mqttoptions.h"

#include "texts.h"

#include "publish/brokeraddress.h"

#include <QCommandLineParser>

using namespace DrumoSensorPlugin::Core;

namespace QuxCtl {

namespace {

// Option names and what each takes; the texts are for --help of QCommandLineParser, which
// quxctl does not show (its own help lists them).
struct Option
{
    const char *name;
    const char *value;
};
const Option options[] = {
    { "mqtt", "url" },         { "topic", "base" },        { "mqtt-credentials", "file" },
    { "mqtt-ca", "file" },     { "mqtt-client-id", "id" }, { "mqtt-keepalive", "seconds" },
    { "mqtt-queue", "count" }, { "mqtt-wait", "seconds" },
};

bool number(const QCommandLineParser &parser, const char *name, int low, int high, int *value,
            QString *error)
{
    if (!parser.isSet(QLatin1String(name)))
        return true;
    bool ok = false;
    const int parsed = parser.value(QLatin1String(name)).toInt(&ok);
    if (!ok || parsed < low || parsed > high) {
        *error = Texts::tr("--%1 takes a whole number from %2 to %3.")
                     .arg(QLatin1String(name))
                     .arg(low)
                     .arg(high);
        return false;
    }
    *value = parsed;
    return true;
}

} // namespace

void addMqttOptions(QCommandLineParser &parser)
{
    for (const Option &option : options)
        parser.addOption(
            QCommandLineOption(QLatin1String(option.name), QString(), QLatin1String(option.value)));
}

bool takeMqttOptions(const QCommandLineParser &parser, bool streaming, int portCount,
                     MqttOptions *mqtt, QString *error)
{
    bool any = false;
    for (const Option &option : options)
        any = any || parser.isSet(QLatin1String(option.name));
    if (!any)
        return true;
    if (!streaming) {
        *error = Texts::tr("--mqtt and its options belong to the stream command.");
        return false;
    }
    mqtt->url = parser.value(QStringLiteral("mqtt"));
    if (mqtt->url.isEmpty()) {
        *error = Texts::tr("The --mqtt-... and --topic options need --mqtt URL.");
        return false;
    }
    QString reason;
    if (!parseBrokerUrl(mqtt->url, nullptr, &reason)) {
        *error = Texts::tr("Not a broker address (%1): %2").arg(mqtt->url, reason);
        return false;
    }
    mqtt->topicPattern = parser.isSet(QStringLiteral("topic"))
        ? parser.value(QStringLiteral("topic"))
        : QString::fromLatin1(defaultTopicPattern);
    if (mqtt->topicPattern.endsWith(QLatin1Char('/')))
        mqtt->topicPattern.chop(1);
    reason = publishTopicError(
        baseTopic(mqtt->topicPattern, QStringLiteral("t"), QStringLiteral("p")));
    if (!reason.isEmpty()) {
        *error = Texts::tr("Not a topic to publish to (%1): %2").arg(mqtt->topicPattern, reason);
        return false;
    }
    if (portCount > 1 && !mqtt->topicPattern.contains(QLatin1String("{port}"))) {
        *error = Texts::tr("With several ports the topic needs {port}, so that each sensor has "
                           "its own.");
        return false;
    }
    mqtt->credentialsFile = parser.value(QStringLiteral("mqtt-credentials"));
    mqtt->caFile = parser.value(QStringLiteral("mqtt-ca"));
    mqtt->clientId = parser.value(QStringLiteral("mqtt-client-id"));
    mqtt->severalPorts = portCount > 1;
    // The protocol's own limits: a keep-alive is a 16-bit count of seconds.
    return number(parser, "mqtt-keepalive", 5, 65535, &mqtt->keepAliveSeconds, error)
        && number(parser, "mqtt-queue", 0, 10000000, &mqtt->queueLimit, error)
        && number(parser, "mqtt-wait", 1, 600, &mqtt->connectSeconds, error);
}

} // namespace QuxCtl
