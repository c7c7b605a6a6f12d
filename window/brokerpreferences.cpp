#include "window/brokerpreferences.h"

#include "window/windowtexts.h"

#include <QCoreApplication>
#include <QSettings>

namespace DrumoSensorPlugin {
namespace Core {

BrokerPreferences readBrokerPreferences()
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope,
                       QCoreApplication::organizationName(), QCoreApplication::applicationName());
    settings.beginGroup(QStringLiteral("Broker"));
    BrokerPreferences preferences;
    preferences.url = settings.value(QStringLiteral("url")).toString().trimmed();
    preferences.topicPattern = settings.value(QStringLiteral("topic")).toString().trimmed();
    preferences.credentialsFile = settings.value(QStringLiteral("credentialsFile")).toString();
    preferences.caFile = settings.value(QStringLiteral("caFile")).toString();
    preferences.clientId = settings.value(QStringLiteral("clientId")).toString();
    // The protocol's keep-alive is a 16-bit count of seconds.
    preferences.keepAliveSeconds
        = qBound(5, settings.value(QStringLiteral("keepAlive"), 30).toInt(), 65535);
    preferences.queueSize
        = qBound(0, settings.value(QStringLiteral("queueSize"), 10000).toInt(), 10000000);
    return preferences;
}

bool publisherSettings(const BrokerPreferences &preferences, const QString &sensorType,
                       const QString &port, PublisherSettings *settings, QString *error)
{
    if (preferences.url.isEmpty()) {
        *error = WindowTexts::tr("no broker is set in the preferences");
        return false;
    }
    QString reason;
    if (!parseBrokerUrl(preferences.url, &settings->address, &reason)) {
        *error = WindowTexts::tr("not a broker address (%1): %2").arg(preferences.url, reason);
        return false;
    }
    QString pattern = preferences.topicPattern.isEmpty() ? QString::fromLatin1(defaultTopicPattern)
                                                         : preferences.topicPattern;
    if (pattern.endsWith(QLatin1Char('/')))
        pattern.chop(1);
    settings->baseTopic = baseTopic(pattern, sensorType, port);
    reason = publishTopicError(settings->baseTopic);
    if (!reason.isEmpty()) {
        *error = WindowTexts::tr("not a topic to publish to (%1): %2").arg(pattern, reason);
        return false;
    }
    if (preferences.credentialsFile.isEmpty()) {
        settings->credentials = credentialsFromEnvironment();
    } else if (!readCredentialsFile(preferences.credentialsFile, &settings->credentials, &reason)) {
        *error = WindowTexts::tr("the broker login was not read: %1").arg(reason);
        return false;
    }
    settings->caFile = preferences.caFile;
    // Every window has a connection of its own; one id for two would have the broker drop
    // each in turn.
    if (!preferences.clientId.isEmpty())
        settings->clientId = preferences.clientId + QLatin1Char('-') + topicLevel(port);
    settings->keepAliveSeconds = preferences.keepAliveSeconds;
    settings->queueLimit = preferences.queueSize;
    return true;
}

} // namespace Core
} // namespace DrumoSensorPlugin
