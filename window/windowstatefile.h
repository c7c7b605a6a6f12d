#pragma once

#include <QString>

namespace DrumoSensorPlugin {
namespace Core {

// The window state file "QUXfamily.ini" lives in the host application's directory, next to the
// sensor catalogue, so that an installation carries its layout with it. When that directory
// cannot be written (an installation under /usr, a read-only share) every save would be lost;
// the file then lives in the user's configuration directory (QStandardPaths::
// AppConfigLocation), which is created when missing. Reads and writes use the same choice, so a
// layout saved there is found again.
QString windowStateFilePath();

// The choice itself: `applicationDir` when it is an existing writable directory, else
// `fallbackDir`.
QString windowStateFilePath(const QString &applicationDir, const QString &fallbackDir);

} // namespace Core
} // namespace DrumoSensorPlugin
