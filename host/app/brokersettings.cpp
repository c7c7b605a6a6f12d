#include "brokersettings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QUrl>

namespace Orbexa::Internal {

namespace {
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(BrokerSettings)
};

bool readable(const QString &path)
{
    const QFileInfo file(path);
    return path.isEmpty() || (file.isFile() && file.isReadable());
}
} // namespace

BrokerSettings BrokerSettings::read(QSettings &settings)
{
    settings.beginGroup(QStringLiteral("Broker"));
    BrokerSettings broker;
    broker.url = settings.value(QStringLiteral("url")).toString();
    broker.topic = settings.value(QStringLiteral("topic")).toString();
    broker.credentialsFile = settings.value(QStringLiteral("credentialsFile")).toString();
    broker.caFile = settings.value(QStringLiteral("caFile")).toString();
    broker.clientId = settings.value(QStringLiteral("clientId")).toString();
    broker.keepAliveSeconds = settings.value(QStringLiteral("keepAlive"), 30).toInt();
    broker.queueSize = settings.value(QStringLiteral("queueSize"), 10000).toInt();
    settings.endGroup();
    return broker;
}

void BrokerSettings::write(QSettings &settings) const
{
    settings.beginGroup(QStringLiteral("Broker"));
    settings.setValue(QStringLiteral("url"), url);
    settings.setValue(QStringLiteral("topic"), topic);
    settings.setValue(QStringLiteral("credentialsFile"), credentialsFile);
    settings.setValue(QStringLiteral("caFile"), caFile);
    settings.setValue(QStringLiteral("clientId"), clientId);
    settings.setValue(QStringLiteral("keepAlive"), keepAliveSeconds);
    settings.setValue(QStringLiteral("queueSize"), queueSize);
    settings.endGroup();
}

// The plug-in checks the address again when it connects; this catches the typing errors while
// the user is still in the dialog.
QString BrokerSettings::error() const
{
    if (!url.isEmpty()) {
        const QUrl parsed(url, QUrl::StrictMode);
        const QString scheme = parsed.scheme();
        if (!parsed.isValid()
            || (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts"))
            || parsed.host().isEmpty()
            || (!parsed.path().isEmpty() && parsed.path() != QLatin1String("/"))
            || parsed.hasQuery() || parsed.hasFragment())
            return Texts::tr("Not a broker address: %1\nWrite mqtt://HOST[:PORT] or "
                             "mqtts://HOST[:PORT].")
                .arg(url.left(200));
        if (!parsed.userInfo().isEmpty())
            return Texts::tr("A broker address holds no user name or password; give a "
                             "credentials file instead.");
    }
    if (topic.contains(QLatin1Char('+')) || topic.contains(QLatin1Char('#')))
        return Texts::tr("A topic to publish to holds no wildcards (+ or #): %1")
            .arg(topic.left(200));
    if (topic.startsWith(QLatin1Char('$')) || topic.contains(QChar(0)))
        return Texts::tr("Not a topic to publish to: %1").arg(topic.left(200));
    if (!readable(credentialsFile))
        return Texts::tr("The credentials file %1 cannot be read.").arg(credentialsFile);
    if (!readable(caFile))
        return Texts::tr("The certificate authority file %1 cannot be read.").arg(caFile);
    return QString();
}

} // namespace Orbexa::Internal
