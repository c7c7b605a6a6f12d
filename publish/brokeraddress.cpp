#include "brokeraddress.h"

#include <QRegularExpression>

namespace DrumoSensorPlugin {
namespace Core {

namespace {

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

} // namespace

bool parseBrokerUrl(const QString &url, BrokerAddress *address, QString *error)
{
    if (url.size() > maxUrlLength)
        return fail(
            error,
            QStringLiteral("The broker address is longer than %1 characters.").arg(maxUrlLength));
    BrokerAddress parsed;
    QString rest;
    if (url.startsWith(QLatin1String("mqtt://"))) {
        rest = url.mid(7);
        parsed.port = 1883;
    } else if (url.startsWith(QLatin1String("mqtts://"))) {
        rest = url.mid(8);
        parsed.port = 8883;
        parsed.tls = true;
    } else {
        return fail(error,
                    QStringLiteral("The broker address must start with mqtt:// or mqtts://."));
    }
    if (rest.endsWith(QLatin1Char('/')))
        rest.chop(1);
    if (rest.contains(QLatin1Char('@')))
        return fail(error,
                    QStringLiteral("The broker address must not hold a user name or "
                                   "password; give them in a file or the environment."));
    if (rest.contains(QLatin1Char('/')) || rest.contains(QLatin1Char('?'))
        || rest.contains(QLatin1Char('#')))
        return fail(error, QStringLiteral("The broker address takes a host and a port only."));

    QString portText;
    if (rest.startsWith(QLatin1Char('['))) {
        const int close = rest.indexOf(QLatin1Char(']'));
        if (close < 0)
            return fail(error, QStringLiteral("The IPv6 address lacks its closing \"]\"."));
        parsed.host = rest.mid(1, close - 1);
        const QString after = rest.mid(close + 1);
        if (!after.isEmpty() && !after.startsWith(QLatin1Char(':')))
            return fail(error, QStringLiteral("Only a port may follow the IPv6 address."));
        portText = after.mid(1);
        if (after.startsWith(QLatin1Char(':')) && portText.isEmpty())
            return fail(error, QStringLiteral("The port after \":\" is missing."));
        static const QRegularExpression ipv6(QStringLiteral("^[0-9A-Fa-f:.]+$"));
        if (!ipv6.match(parsed.host).hasMatch())
            return fail(error, QStringLiteral("Not an IPv6 address: %1").arg(parsed.host));
    } else {
        const int colon = rest.indexOf(QLatin1Char(':'));
        parsed.host = colon < 0 ? rest : rest.left(colon);
        if (colon >= 0) {
            portText = rest.mid(colon + 1);
            if (portText.isEmpty())
                return fail(error, QStringLiteral("The port after \":\" is missing."));
        }
        // Names as resolvers take them: letters, digits, "-", "_" and dots.
        static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9._-]+$"));
        if (!parsed.host.isEmpty() && !name.match(parsed.host).hasMatch())
            return fail(error, QStringLiteral("Not a host name: %1").arg(parsed.host));
    }
    if (parsed.host.isEmpty())
        return fail(error, QStringLiteral("The broker address names no host."));
    if (!portText.isEmpty()) {
        static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
        const int port = portText.toInt();
        if (!digits.match(portText).hasMatch() || port < 1 || port > 65535)
            return fail(error, QStringLiteral("The port must be a number from 1 to 65535."));
        parsed.port = port;
    }
    if (address)
        *address = parsed;
    return true;
}

QString publishTopicError(const QString &topic)
{
    if (topic.isEmpty())
        return QStringLiteral("The topic is empty.");
    if (topic.toUtf8().size() > maxBaseTopicBytes)
        return QStringLiteral("The topic is too long.");
    if (topic.contains(QLatin1Char('+')) || topic.contains(QLatin1Char('#')))
        return QStringLiteral("A topic to publish to must not hold the wildcards + or #: %1")
            .arg(topic);
    if (topic.contains(QChar(0)))
        return QStringLiteral("The topic holds a NUL character.");
    if (topic.startsWith(QLatin1Char('$')))
        return QStringLiteral("Topics starting with $ belong to the broker: %1").arg(topic);
    return QString();
}

QString topicLevel(const QString &text)
{
    QString level = text;
    for (const char *prefix : { "/dev/", "tcp://" }) {
        if (level.startsWith(QLatin1String(prefix)))
            level = level.mid(int(qstrlen(prefix)));
    }
    for (QChar &c : level) {
        if (c == QLatin1Char('/') || c == QLatin1Char('+') || c == QLatin1Char('#') || c.isNull())
            c = QLatin1Char('_');
    }
    return level.isEmpty() ? QStringLiteral("_") : level;
}

QString baseTopic(const QString &pattern, const QString &sensorType, const QString &port)
{
    QString topic = pattern;
    topic.replace(QLatin1String("{type}"), topicLevel(sensorType));
    topic.replace(QLatin1String("{port}"), topicLevel(port));
    return topic;
}

} // namespace Core
} // namespace DrumoSensorPlugin
