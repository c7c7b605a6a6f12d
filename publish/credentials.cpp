#include "credentials.h"

#include <QFile>

namespace DrumoSensorPlugin {
namespace Core {

bool parseCredentials(const QByteArray &text, BrokerCredentials *credentials, QString *error)
{
    if (text.size() > maxCredentialsFileBytes) {
        *error = QStringLiteral("The credentials file is larger than %1 bytes.")
                     .arg(maxCredentialsFileBytes);
        return false;
    }
    QList<QByteArray> lines = text.split('\n');
    // A last line ending in a line feed leaves an empty piece behind it.
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    if (lines.isEmpty() || lines.size() > 2 || lines.first().isEmpty()) {
        *error = QStringLiteral("A credentials file holds the user name on its first line and "
                                "the password on its second.");
        return false;
    }
    if (text.contains('\0')) {
        *error = QStringLiteral("The credentials file holds a NUL character.");
        return false;
    }
    credentials->username = QString::fromUtf8(lines.at(0));
    credentials->password = lines.size() > 1 ? QString::fromUtf8(lines.at(1)) : QString();
    return true;
}

bool readCredentialsFile(const QString &path, BrokerCredentials *credentials, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
        return false;
    }
    return parseCredentials(file.read(maxCredentialsFileBytes + 1), credentials, error);
}

BrokerCredentials credentialsFromEnvironment()
{
    BrokerCredentials credentials;
    credentials.username = qEnvironmentVariable("QUX_MQTT_USERNAME");
    if (!credentials.username.isEmpty())
        credentials.password = qEnvironmentVariable("QUX_MQTT_PASSWORD");
    return credentials;
}

} // namespace Core
} // namespace DrumoSensorPlugin
