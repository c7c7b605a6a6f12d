#include "commandline.h"
#include "hostlog.h"
#include "logdock.h"
#include "mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

using namespace Orbexa::Internal;

namespace {
// Grabs the main window into `fileName`; false when it cannot be written.
bool saveScreenshot(MainWindow *window, const QString &fileName)
{
    const QFileInfo info(fileName);
    QDir().mkpath(info.absolutePath());
    const bool saved = window->grab().save(fileName);
    std::fprintf(saved ? stdout : stderr, "orbexa: %s %s\n",
                 saved ? "screenshot saved to" : "could not save the screenshot to",
                 qPrintable(QDir::toNativeSeparators(info.absoluteFilePath())));
    std::fflush(saved ? stdout : stderr);
    return saved;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Halvorn"));
    QApplication::setApplicationName(QStringLiteral("Orbexa"));
    QApplication::setApplicationVersion(QStringLiteral(QUX_VERSION));

    const CommandLineOptions options = parseCommandLine(QApplication::arguments());
    if (!options.ok) {
        std::fprintf(stderr, "orbexa: %s\n\n%s", qPrintable(options.errorText),
                     qPrintable(options.helpText));
        return 2;
    }
    if (options.helpRequested) {
        std::fputs(qPrintable(options.helpText), stdout);
        return 0;
    }
    if (options.versionRequested) {
        std::printf("orbexa %s\n", qPrintable(QApplication::applicationVersion()));
        return 0;
    }

    MainWindow window;
    window.setCommandLinePorts(options.ports);
    window.readSettings();
    if (!options.language.isEmpty())
        window.setLanguage(options.language);
    window.loadPlugins(options.pluginDir);
    window.show();
    if (options.presentation)
        window.setPresentationMode(true);

    int exitCode = 0;
    // Armed before anything can ask the user: the timer runs inside every modal message's loop.
    if (!options.screenshot.isEmpty() || options.quitAfterMs >= 0) {
        // Without --quit-after the screenshot is taken once the window has settled.
        const int delay = options.quitAfterMs >= 0 ? options.quitAfterMs : 3000;
        QTimer::singleShot(delay, &window, [&] {
            if (!options.screenshot.isEmpty() && !saveScreenshot(&window, options.screenshot))
                exitCode = 1;
            if (options.quitAfterMs >= 0) {
                // A window that asks before closing cannot hold up a run without a user. quit()
                // ends every running event loop, a message box's too.
                window.close();
                QCoreApplication::quit();
            }
        });
    }
    // Opened from the event loop, so that a message it shows at start runs inside app.exec():
    // a quit() before exec() had started would be forgotten by it.
    QTimer::singleShot(0, &window, [&window, &options] {
        for (int i = 0; i < options.sensors.size(); ++i)
            window.openSensorByName(options.sensors.at(i), options.ports.value(i));
        if (!options.settingsFile.isEmpty()
            && !window.openSettingsFileInItsWindow(
                options.settingsFile,
                options.sensors.isEmpty() ? options.ports.value(0) : QString()))
            std::fprintf(
                stderr, "orbexa: %s\n",
                qPrintable(window.logDock()->text().trimmed().section(QLatin1Char('\n'), -1)));
    });
    const int loopResult = app.exec();
    return exitCode != 0 ? exitCode : loopResult;
}
