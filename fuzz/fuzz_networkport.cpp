// The network port names ("tcp://HOST:PORT") that quxctl, orbexa and the connection factory
// take, against a regular expression of the form and the parser's own writer (round trip).

#include "fuzzsupport.h"

#include <networkport.h>

#include <QHostAddress>
#include <QRegularExpression>

using namespace ExtensionSystem;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceLogging();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString name = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    // The scheme's case is spelled out: a case-insensitive expression would also take letters
    // that fold to ASCII ones ("\u017F" to "s", "\u212A" to "k") for the host's [A-Za-z].
    static const QRegularExpression form(QStringLiteral(
        R"(^[Tt][Cc][Pp]://(?:\[([A-Za-z0-9:.%_-]+)\]|([A-Za-z0-9._-]+)):([0-9]{1,5})$)"));

    NetworkPort port;
    const bool accepted = NetworkPort::parse(name, &port);
    if (accepted)
        FUZZ_CHECK(NetworkPort::isNetworkPortName(name), "accepted but not a network port name");
    const QRegularExpressionMatch match = form.match(name.trimmed());
    const uint number = match.captured(3).toUInt();
    bool expected = match.hasMatch() && number >= 1 && number <= 65535
        && name.trimmed().size() <= NetworkPort::maxNameLength;
    if (expected && match.capturedLength(1) > 0) {
        QHostAddress address;
        expected = address.setAddress(match.captured(1))
            && address.protocol() == QAbstractSocket::IPv6Protocol;
    }
    FUZZ_CHECK(accepted == expected, "parser %d, form %d", int(accepted), int(expected));
    if (!accepted)
        return 0;

    FUZZ_CHECK(port.port == number, "port %u, text %u", uint(port.port), number);
    FUZZ_CHECK(port.host == match.captured(1) + match.captured(2), "host");
    // What the parser gives back is a name it takes again, to the same endpoint.
    NetworkPort again;
    FUZZ_CHECK(NetworkPort::parse(port.name(), &again), "its own name refused");
    FUZZ_CHECK(again.host == port.host && again.port == port.port, "round trip");
    return 0;
}
