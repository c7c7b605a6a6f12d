#pragma once

#include <QString>

class QSettings;

namespace Orbexa::Internal {

// Where plug-ins publish live data to (group "Broker" of the host's settings file, which the
// plug-ins read themselves). A login is never kept here: only the path of a file holding it.
struct BrokerSettings
{
    QString url; // mqtt://HOST[:PORT] or mqtts://HOST[:PORT]; empty: no broker
    QString topic; // base topic with {type} and {port}; empty: the plug-in's default
    QString credentialsFile;
    QString caFile;
    QString clientId;
    int keepAliveSeconds = 30;
    int queueSize = 10000;

    static BrokerSettings read(QSettings &settings);
    void write(QSettings &settings) const;
    // Empty when usable; otherwise what is wrong, for the user.
    QString error() const;
};

} // namespace Orbexa::Internal
