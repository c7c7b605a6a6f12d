#pragma once

#include <QString>

namespace DrumoSensorPlugin {
namespace Core {

// A broker login. Never taken from the command line, where every user of the machine can read
// it: from a file (first line the user name, second line the password, nothing else) or from the
// environment variables QUX_MQTT_USERNAME and QUX_MQTT_PASSWORD.
struct BrokerCredentials
{
    QString username; // empty: connect without a login
    QString password;
};

// A credentials file is a few short lines; anything longer is not one.
constexpr qint64 maxCredentialsFileBytes = 4096;

// Parses the text of a credentials file; false and `error` when it is none.
bool parseCredentials(const QByteArray &text, BrokerCredentials *credentials, QString *error);
// Reads and parses a credentials file.
bool readCredentialsFile(const QString &path, BrokerCredentials *credentials, QString *error);
// From the environment; an empty login when QUX_MQTT_USERNAME is not set.
BrokerCredentials credentialsFromEnvironment();

} // namespace Core
} // namespace DrumoSensorPlugin
