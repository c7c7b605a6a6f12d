#include "commandline.h"

#include <networkport.h>

#include <QCommandLineParser>
#include <QCoreApplication>

namespace Orbexa::Internal {

CommandLineOptions parseCommandLine(const QStringList &arguments)
{
    CommandLineOptions options;

    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "Orbexa::Internal::CommandLine",
        "Orbexa sensor configuration host: loads sensor plug-ins and opens their "
        "sensor windows."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QCoreApplication::translate(
            "Orbexa::Internal::CommandLine",
            "Adds a serial port (for example a pseudo-terminal) or a network port "
            "tcp://HOST:PORT (a serial device server) to the port list. "
            "May be given more than once."),
        QCoreApplication::translate("Orbexa::Internal::CommandLine", "path"));
    const QCommandLineOption sensorOption(
        QStringLiteral("sensor"),
        QCoreApplication::translate(
            "Orbexa::Internal::CommandLine",
            "Opens a window for the sensor type <name> at start. May be given more than "
            "once: the n-th window connects to the n-th port given with --port, if any."),
        QCoreApplication::translate("Orbexa::Internal::CommandLine", "name"));
    const QCommandLineOption languageOption(
        QStringLiteral("language"),
        QCoreApplication::translate("Orbexa::Internal::CommandLine",
                                    "User interface language: en or de."),
        QCoreApplication::translate("Orbexa::Internal::CommandLine", "code"));
    const QCommandLineOption presentationOption(
        QStringLiteral("presentation"),
        QCoreApplication::translate("Orbexa::Internal::CommandLine",
                                    "Starts in presentation mode."));
    const QCommandLineOption screenshotOption(
        QStringLiteral("screenshot"),
        QCoreApplication::translate(
            "Orbexa::Internal::CommandLine",
            "Saves an image of the main window to <file> (with --quit-after: at that time)."),
        QCoreApplication::translate("Orbexa::Internal::CommandLine", "file"));
    const QCommandLineOption quitOption(
        QStringLiteral("quit-after"),
        QCoreApplication::translate("Orbexa::Internal::CommandLine", "Quits after <seconds>."),
        QCoreApplication::translate("Orbexa::Internal::CommandLine", "seconds"));
    const QCommandLineOption pluginsOption(
        QStringLiteral("plugins"),
        QCoreApplication::translate("Orbexa::Internal::CommandLine",
                                    "Loads the plug-ins from <dir> instead of the "
                                    "plug-in folder next to the program."),
        QCoreApplication::translate("Orbexa::Internal::CommandLine", "dir"));
    parser.addOptions({ portOption, sensorOption, languageOption, presentationOption,
                        screenshotOption, quitOption, pluginsOption });
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QCoreApplication::translate("Orbexa::Internal::CommandLine",
                                    "A sensor settings file (.ovs) to open in a window for its "
                                    "sensor type."),
        QStringLiteral("[FILE.ovs]"));
    options.helpText = parser.helpText();

    if (!parser.parse(arguments)) {
        options.ok = false;
        options.errorText = parser.errorText();
        return options;
    }
    options.helpRequested = parser.isSet(helpOption);
    options.versionRequested = parser.isSet(versionOption);
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        options.ok = false;
        options.errorText = QCoreApplication::translate("Orbexa::Internal::CommandLine",
                                                        "Unexpected argument: %1")
                                .arg(positional.at(1));
        return options;
    }
    options.settingsFile = positional.value(0);

    for (const QString &port : parser.values(portOption)) {
        if (port.trimmed().isEmpty()) {
            options.ok = false;
            options.errorText = QCoreApplication::translate("Orbexa::Internal::CommandLine",
                                                            "--port needs a port name.");
            return options;
        }
        if (ExtensionSystem::NetworkPort::isNetworkPortName(port)
            && !ExtensionSystem::NetworkPort::parse(port, nullptr)) {
            options.ok = false;
            options.errorText
                = QCoreApplication::translate("Orbexa::Internal::CommandLine",
                                              "Not a network port: %1 (write %2, PORT from 1 "
                                              "to 65535, an IPv6 address in brackets)")
                      .arg(port.left(ExtensionSystem::NetworkPort::maxNameLength),
                           ExtensionSystem::NetworkPort::form());
            return options;
        }
        if (!options.ports.contains(port))
            options.ports << port;
    }
    for (const QString &value : parser.values(sensorOption)) {
        const QString sensor = value.trimmed();
        if (sensor.isEmpty()) {
            options.ok = false;
            options.errorText = QCoreApplication::translate("Orbexa::Internal::CommandLine",
                                                            "--sensor needs a sensor name.");
            return options;
        }
        options.sensors << sensor;
    }

    if (parser.isSet(languageOption)) {
        options.language = parser.value(languageOption).trimmed().toLower();
        if (options.language != QLatin1String("en") && options.language != QLatin1String("de")) {
            options.ok = false;
            options.errorText
                = QCoreApplication::translate("Orbexa::Internal::CommandLine",
                                              "Unknown language \"%1\"; use en or de.")
                      .arg(parser.value(languageOption));
            return options;
        }
    }
    options.presentation = parser.isSet(presentationOption);
    options.screenshot = parser.value(screenshotOption);
    options.pluginDir = parser.value(pluginsOption);

    if (parser.isSet(quitOption)) {
        bool valid = false;
        const double seconds = parser.value(quitOption).toDouble(&valid);
        if (!valid || seconds < 0 || seconds > 24 * 3600) {
            options.ok = false;
            options.errorText
                = QCoreApplication::translate("Orbexa::Internal::CommandLine",
                                              "--quit-after needs a number of seconds, not \"%1\".")
                      .arg(parser.value(quitOption));
            return options;
        }
        options.quitAfterMs = qRound(seconds * 1000);
    }
    return options;
}

} // namespace Orbexa::Internal
