#include "window/windowstatefile.h"

#include <QCoreApplication>

namespace DrumoSensorPlugin {
namespace Core {

QString windowStateFilePath()
{
    return QCoreApplication::applicationDirPath() + QLatin1String("/QUXfamily.ini");
}

} // namespace Core
} // namespace DrumoSensorPlugin
