#pragma once

#include <QString>
#include <QStringList>

namespace Orbexa::Internal {

// What the user asked for on the command line. Parsing is kept apart from the application so
// that it can be checked without starting one.
struct CommandLineOptions
{
    QStringList ports; // --port, repeatable: pseudo-terminals the system does not list
    // --sensor, repeatable: sensor types to open at start; the n-th connects to the n-th port
    QStringList sensors;
    QString language; // --language: "en" or "de"; empty keeps the stored choice
    bool presentation = false;
    QString screenshot; // --screenshot: grab the main window into this file
    int quitAfterMs = -1; // --quit-after in milliseconds; -1 runs until the user quits
    QString pluginDir; // --plugins: overrides <application dir>/plugins
    QString settingsFile; // the one positional argument: a settings file to open at start

    bool ok = true; // false: errorText says why, the program should stop
    bool helpRequested = false;
    bool versionRequested = false;
    QString errorText;
    QString helpText;
};

// `arguments` includes the program name first, as QCoreApplication::arguments() gives it.
CommandLineOptions parseCommandLine(const QStringList &arguments);

} // namespace Orbexa::Internal
