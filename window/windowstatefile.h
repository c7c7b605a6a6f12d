#pragma once

#include <QString>

namespace DrumoSensorPlugin {
namespace Core {

// The window state file "QUXfamily.ini" lives in the host application's directory, next to the
// sensor catalogue, so that an installation carries its layout with it. Where that directory
// cannot be written (an installed package, for a user), reads find nothing and writes are
// dropped: every window starts with the built layout, and nothing is reported.
QString windowStateFilePath();

} // namespace Core
} // namespace DrumoSensorPlugin
