#include "networkport.h"

#include <QHostAddress>

namespace ExtensionSystem {

namespace {

const QLatin1String scheme("tcp://");

// Letters, digits, "-", "_" and "." cover host names and IPv4 addresses; anything else
// (spaces, "/", "@", a second ":") is a typing error, not a host. Inside brackets ":" and the
// "%" of a scope ("[fe80::1%eth0]") belong to the address.
bool isHostName(const QString &host, bool bracketed)
{
    if (host.isEmpty())
        return false;
    for (const QChar c : host) {
        const ushort u = c.unicode();
        const bool ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9')
            || u == '-' || u == '_' || u == '.' || (bracketed && (u == ':' || u == '%'));
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

bool NetworkPort::isNetworkPortName(const QString &name)
{
    return name.trimmed().startsWith(scheme, Qt::CaseInsensitive);
}

bool NetworkPort::parse(const QString &name, NetworkPort *result)
{
    const QString text = name.trimmed();
    if (text.size() > maxNameLength || !text.startsWith(scheme, Qt::CaseInsensitive))
        return false;
    const QString rest = text.mid(scheme.size());
    const int colon = rest.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return false;
    QString host = rest.left(colon);
    const QString portText = rest.mid(colon + 1);

    if (host.startsWith(QLatin1Char('['))) {
        if (!host.endsWith(QLatin1Char(']')))
            return false;
        host = host.mid(1, host.size() - 2);
        QHostAddress address;
        if (!isHostName(host, true) || !address.setAddress(host)
            || address.protocol() != QAbstractSocket::IPv6Protocol)
            return false;
    } else if (!isHostName(host, false)) {
        return false;
    }

    // Digits only: toUInt would also take "+5" or " 5".
    if (portText.isEmpty() || portText.size() > 5)
        return false;
    for (const QChar c : portText) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    const uint port = portText.toUInt();
    if (port < 1 || port > 65535)
        return false;

    if (result) {
        result->host = host;
        result->port = quint16(port);
    }
    return true;
}

QString NetworkPort::name() const
{
    const QString shownHost
        = host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(host) : host;
    // One arg() for both: a scope such as "%0eth" must not be taken for a place holder.
    return QStringLiteral("tcp://%1:%2").arg(shownHost, QString::number(port));
}

} // namespace ExtensionSystem
