#include "commandline.h"

#include "texts.h"

#include <networkport.h>

#include <QCommandLineParser>
#include <QCoreApplication>

namespace QuxCtl {

namespace {

// The longest stream a line engineer would leave running unattended from a script: a day.
constexpr int maximumSeconds = 24 * 60 * 60;
// More ports at once than a plant's line has sensors would only exhaust file handles.
constexpr int maximumJobs = 256;

struct CommandName
{
    const char *name;
    Command command;
};

const CommandName commands[] = {
    { "identify", Command::Identify }, { "read", Command::Read },   { "write", Command::Write },
    { "save", Command::Save },         { "apply", Command::Apply }, { "diff", Command::Diff },
    { "stream", Command::Stream },
};

Invocation failed(Invocation invocation, const QString &error)
{
    invocation.ok = false;
    invocation.errorText = error;
    return invocation;
}

} // namespace

QString helpText()
{
    return Texts::tr(
        "Usage: quxctl COMMAND --port PORT [--port PORT ...] [--jobs N] [options] [arguments]\n"
        "\n"
        "Configures QUX family sensors from the command line, with the catalogue, the\n"
        "commands, the encodings, the limits and the retry rules of the plug-in.\n"
        "\n"
        "Commands:\n"
        "  identify              find the sensor and print group, type, firmware and its\n"
        "                        sensor type\n"
        "  read [--json]         read all parameters: id, caption, value (display unit)\n"
        "                        and, for choices, the item text\n"
        "  write ID=VALUE ...    write the rows as an edit in the window would, then read\n"
        "                        them back; a choice takes an item index or an item text,\n"
        "                        a temperature is in the sensor's display unit\n"
        "  save FILE.ovs         read all and save a settings file the window loads\n"
        "  apply FILE.ovs        write a settings file's parameters to the sensor\n"
        "  diff FILE.ovs         compare the sensor with a settings file\n"
        "  stream [--seconds N] [--csv FILE]\n"
        "                        poll the live temperature as the window does and write\n"
        "                        the samples as the chart export's text; with several\n"
        "                        ports one CSV with the port's name as first column\n"
        "  stream --mqtt URL [--topic BASE] [--csv FILE]\n"
        "                        publish the live data to a broker until stopped\n"
        "                        (SIGINT, SIGTERM) or for --seconds N; CSV text only\n"
        "                        with --csv\n"
        "\n"
        "Options:\n"
        "  --port PORT           serial port, or tcp://HOST:PORT for a sensor behind a\n"
        "                        serial device server (raw TCP; its baud rate is set on\n"
        "                        the server); repeat it to run the command on several\n"
        "                        ports at once, results in the order given, a summary\n"
        "                        table follows\n"
        "  --jobs N              at most N ports at a time (default: all)\n"
        "  --json                results as JSON\n"
        "  --catalogue FILE      sensor catalogue (default: QUXfamily.xml next to quxctl)\n"
        "  -h, --help            this text\n"
        "  -v, --version         the version\n"
        "\n"
        "Broker options (stream --mqtt):\n"
        "  --mqtt URL            mqtt://HOST[:PORT] (1883) or mqtts://HOST[:PORT] (TLS,\n"
        "                        8883)\n"
        "  --topic BASE          base topic per sensor, {type} and {port} replaced\n"
        "                        (default: qux/{type}/{port})\n"
        "  --mqtt-credentials FILE  user name on the first line, password on the second\n"
        "                        (default: QUX_MQTT_USERNAME, QUX_MQTT_PASSWORD)\n"
        "  --mqtt-ca FILE        certificate authority for mqtts:// (default: the\n"
        "                        system's)\n"
        "  --mqtt-client-id ID   client id (default: made up by the client library)\n"
        "  --mqtt-keepalive S    keep-alive in seconds (default 30)\n"
        "  --mqtt-queue N        samples kept while the broker is away (default 10000)\n"
        "  --mqtt-wait S         how long the first connection may take (default 10)\n"
        "\n"
        "Results go to standard output, progress and messages to standard error.\n"
        "Messages are in German when the environment's language is German.\n"
        "\n"
        "Exit status:\n"
        "  0  success\n"
        "  1  diff: the sensor differs from the file\n"
        "  2  bad arguments (unknown id, unknown item, a value that is not a number)\n"
        "  3  no answer: the port could not be opened or no sensor answered\n"
        "  4  wrong sensor: not of the family, or not the file's sensor type\n"
        "  5  the settings file was refused (unreadable, not a settings file) or could\n"
        "     not be written\n"
        "  6  the sensor did not take a value\n"
        "  7  stream --mqtt: the broker could not be reached at the start (address,\n"
        "     login or certificate refused, or no answer)\n"
        "With several ports the first port that failed (in the order given) gives the\n"
        "status.\n");
}

Invocation parseCommandLine(const QStringList &arguments)
{
    Invocation invocation;

    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption helpOption({ QStringLiteral("h"), QStringLiteral("help") },
                                        Texts::tr("Shows this text."));
    const QCommandLineOption versionOption({ QStringLiteral("v"), QStringLiteral("version") },
                                           Texts::tr("Shows the version."));
    const QCommandLineOption portOption(QStringLiteral("port"), Texts::tr("Serial port."),
                                        Texts::tr("port"));
    const QCommandLineOption jsonOption(QStringLiteral("json"), Texts::tr("Results as JSON."));
    const QCommandLineOption secondsOption(QStringLiteral("seconds"), Texts::tr("Stream duration."),
                                           Texts::tr("seconds"));
    const QCommandLineOption csvOption(QStringLiteral("csv"), Texts::tr("Stream into a file."),
                                       Texts::tr("file"));
    const QCommandLineOption jobsOption(QStringLiteral("jobs"), Texts::tr("Ports at a time."),
                                        Texts::tr("count"));
    const QCommandLineOption catalogueOption(QStringLiteral("catalogue"),
                                             Texts::tr("Sensor catalogue."), Texts::tr("file"));
    parser.addOptions({ helpOption, versionOption, portOption, jsonOption, secondsOption, csvOption,
                        catalogueOption, jobsOption });
    addMqttOptions(parser);

    if (!parser.parse(arguments))
        return failed(invocation, parser.errorText());
    invocation.helpRequested = parser.isSet(helpOption);
    invocation.versionRequested = parser.isSet(versionOption);
    if (invocation.helpRequested || invocation.versionRequested)
        return invocation;

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return failed(invocation, Texts::tr("No command given."));
    const QString name = positional.takeFirst();
    for (const CommandName &known : commands) {
        if (name == QLatin1String(known.name))
            invocation.command = known.command;
    }
    if (invocation.command == Command::None)
        return failed(invocation, Texts::tr("Unknown command: %1").arg(name));

    invocation.ports = parser.values(portOption);
    if (invocation.ports.isEmpty())
        return failed(invocation, Texts::tr("No port given: use --port PORT."));
    for (const QString &port : qAsConst(invocation.ports)) {
        if (port.trimmed().isEmpty())
            return failed(invocation, Texts::tr("An empty port name was given."));
        if (ExtensionSystem::NetworkPort::isNetworkPortName(port)
            && !ExtensionSystem::NetworkPort::parse(port, nullptr))
            return failed(invocation,
                          Texts::tr("Not a network port: %1 (write %2, PORT from 1 to 65535, "
                                    "an IPv6 address in brackets)")
                              .arg(port.left(ExtensionSystem::NetworkPort::maxNameLength),
                                   ExtensionSystem::NetworkPort::form()));
    }
    if (invocation.ports.removeDuplicates() > 0)
        return failed(invocation, Texts::tr("A port was given twice."));
    if (parser.isSet(jobsOption)) {
        bool number = false;
        invocation.jobs = parser.value(jobsOption).toInt(&number);
        if (!number || invocation.jobs < 1 || invocation.jobs > maximumJobs)
            return failed(invocation,
                          Texts::tr("--jobs takes a whole number from 1 to %1.").arg(maximumJobs));
    }
    invocation.json = parser.isSet(jsonOption);
    invocation.catalogue = parser.value(catalogueOption);

    const bool streaming = invocation.command == Command::Stream;
    if (!streaming && (parser.isSet(secondsOption) || parser.isSet(csvOption)))
        return failed(invocation, Texts::tr("--seconds and --csv belong to the stream command."));
    if (parser.isSet(secondsOption)) {
        bool number = false;
        invocation.seconds = parser.value(secondsOption).toInt(&number);
        if (!number || invocation.seconds < 1 || invocation.seconds > maximumSeconds)
            return failed(
                invocation,
                Texts::tr("--seconds takes a whole number from 1 to %1.").arg(maximumSeconds));
    }
    invocation.csvFile = parser.value(csvOption);
    if (parser.isSet(csvOption) && invocation.csvFile.isEmpty())
        return failed(invocation, Texts::tr("An empty file name was given."));
    invocation.secondsGiven = parser.isSet(secondsOption);
    QString mqttError;
    if (!takeMqttOptions(parser, streaming, invocation.ports.size(), &invocation.mqtt, &mqttError))
        return failed(invocation, mqttError);

    switch (invocation.command) {
    case Command::Write:
        if (positional.isEmpty())
            return failed(invocation, Texts::tr("write needs at least one ID=VALUE."));
        for (const QString &assignment : qAsConst(positional)) {
            if (assignment.indexOf(QLatin1Char('=')) < 1)
                return failed(invocation,
                              Texts::tr("Not of the form ID=VALUE: %1").arg(assignment));
        }
        invocation.assignments = positional;
        break;
    case Command::Save:
    case Command::Apply:
    case Command::Diff:
        if (positional.size() != 1)
            return failed(invocation, Texts::tr("%1 needs exactly one settings file.").arg(name));
        invocation.file = positional.first();
        if (invocation.file.isEmpty())
            return failed(invocation, Texts::tr("An empty file name was given."));
        break;
    default:
        if (!positional.isEmpty())
            return failed(invocation, Texts::tr("Unexpected argument: %1").arg(positional.first()));
        break;
    }
    return invocation;
}

} // namespace QuxCtl
