#pragma once

#include "extensionsystem_global.h"

#include <QString>

namespace ExtensionSystem {

// A sensor behind a serial device server: a port name written "tcp://HOST:PORT" is a raw TCP
// connection to that server. HOST is a name, an IPv4 address or an IPv6 address in brackets
// ("tcp://[::1]:4001"); PORT is a decimal number from 1 to 65535. The server owns the line
// rate, so the host never steps or writes baud rates on such a port.
struct EXTENSIONSYSTEM_EXPORT NetworkPort
{
    // The longest port name taken; a DNS name is at most 253 characters.
    static constexpr int maxNameLength = 300;

    QString host; // without the brackets of an IPv6 address
    quint16 port = 0;

    // True for every name written as a network port, well-formed or not, so that a mistyped
    // one is refused as such instead of being opened as a serial device.
    static bool isNetworkPortName(const QString &name);
    // Parses a network port name; false when it is malformed (or not one at all).
    static bool parse(const QString &name, NetworkPort *result);
    // The form a network port name must take, for messages.
    static QString form() { return QStringLiteral("tcp://HOST:PORT"); }

    // "tcp://HOST:PORT" again (IPv6 in brackets).
    QString name() const;
};

} // namespace ExtensionSystem
