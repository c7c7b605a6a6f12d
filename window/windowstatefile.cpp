#include "window/windowstatefile.h"

#include "window/windowlog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace DrumoSensorPlugin {
namespace Core {

namespace {
const char fileName[] = "QUXfamily.ini";
}

QString windowStateFilePath(const QString &applicationDir, const QString &fallbackDir)
{
    const QFileInfo appDir(applicationDir);
    if (!applicationDir.isEmpty() && appDir.isDir() && appDir.isWritable())
        return applicationDir + QLatin1Char('/') + QLatin1String(fileName);

    qCDebug(windowLog) << "Application directory" << applicationDir
                       << "is not writable, the window state goes to" << fallbackDir;
    QDir().mkpath(fallbackDir);
    return fallbackDir + QLatin1Char('/') + QLatin1String(fileName);
}

QString windowStateFilePath()
{
    return windowStateFilePath(QCoreApplication::applicationDirPath(),
                               QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

} // namespace Core
} // namespace DrumoSensorPlugin
