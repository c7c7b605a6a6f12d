#pragma once

#include <QString>

namespace DrumoSensorPlugin {
namespace Core {

// Where the broker is: "mqtt://HOST[:PORT]" (plain, port 1883) or "mqtts://HOST[:PORT]" (TLS,
// port 8883). A host may be a name, an IPv4 address or an IPv6 address in brackets. A user name
// or password in the address is refused: the address shows up in process lists and shell
// histories, the credentials come from a file or the environment instead.
struct BrokerAddress
{
    QString host;
    int port = 0;
    bool tls = false;
};

// The limits of what is accepted from outside.
constexpr int maxUrlLength = 1024;
// A topic's length on the wire is a 16-bit count of UTF-8 bytes; the base keeps room for the
// sub-topics appended to it.
constexpr int maxBaseTopicBytes = 65535 - 32;

// Parses `url`; on failure returns false and says why in `error` (English, for the log and the
// tools to translate by their own words).
bool parseBrokerUrl(const QString &url, BrokerAddress *address, QString *error);

// Empty when `topic` may be published to; otherwise why not: empty, too long, a wildcard "+"
// or "#", a NUL character, or a leading "$" (the broker's own topics).
QString publishTopicError(const QString &topic);

// One topic level made of a free text (a port name, a sensor type): "/dev/" and "tcp://" are
// left out, "/", "+", "#" and NUL become "_", so that the level splits nothing and matches no
// wildcard. "/dev/ttyUSB0" gives "ttyUSB0", "/dev/pts/3" "pts_3".
QString topicLevel(const QString &text);

// The base topic of one sensor from a pattern with the place holders "{type}" and "{port}",
// each replaced by its topicLevel. The default pattern is "qux/{type}/{port}".
QString baseTopic(const QString &pattern, const QString &sensorType, const QString &port);
constexpr char defaultTopicPattern[] = "qux/{type}/{port}";

} // namespace Core
} // namespace DrumoSensorPlugin
