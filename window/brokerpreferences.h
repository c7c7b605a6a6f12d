#pragma once

#include "publish/mqttpublisher.h"

#include <QString>

namespace DrumoSensorPlugin {
namespace Core {

// The broker settings of the host's preferences (Tools > Preferences, group "Broker" of the
// host's settings file). The plug-in reads them from the host's own QSettings, found by the
// application's organisation and name, instead of being handed them through the extension
// system: the plug-in interface stays as every host knows it, and a change in the preferences
// applies the next time a window starts publishing. A host without the group leaves every field
// at its default and the URL empty, which publishes nothing.
struct BrokerPreferences
{
    QString url; // mqtt://HOST[:PORT] or mqtts://HOST[:PORT]
    QString topicPattern; // empty: qux/{type}/{port}
    QString credentialsFile; // empty: QUX_MQTT_USERNAME, QUX_MQTT_PASSWORD
    QString caFile;
    QString clientId; // the port's topic level is appended, one id per window
    int keepAliveSeconds = 30;
    int queueSize = 10000;
};

BrokerPreferences readBrokerPreferences();

// The publisher's settings for one sensor; false and a translated reason when the preferences
// do not make any (no URL, a malformed one, a topic with wildcards, an unreadable login).
bool publisherSettings(const BrokerPreferences &preferences, const QString &sensorType,
                       const QString &port, PublisherSettings *settings, QString *error);

} // namespace Core
} // namespace DrumoSensorPlugin
