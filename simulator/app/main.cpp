// quxsim: a simulated sensor of the family on a pseudo-terminal, for working with the host and
// the plug-in without hardware.

#include "ptyserver.h"
#include "tcpserver.h"

#include <sensortype.h>
#include <simulatedsensor.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

using namespace QuxSim;

namespace {

int signalPipe[2] = { -1, -1 };

void onSignal(int number)
{
    const char byte = char(number);
    [[maybe_unused]] const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
}

void print(FILE *stream, const QString &text)
{
    std::fprintf(stream, "%s\n", qPrintable(text));
    std::fflush(stream);
}

int fail(const QString &text)
{
    print(stderr, QStringLiteral("quxsim: %1").arg(text));
    return 2;
}

struct Link
{
    QString path;
    QString target;
    ~Link()
    {
        // Only a link that still points at our terminal is ours to remove.
        if (!path.isEmpty()
            && QFileInfo(path).symLinkTarget() == QFileInfo(target).absoluteFilePath())
            ::unlink(QFile::encodeName(path).constData());
    }
};

// A numeric option: a finite number from `low` to `high`, a whole one when `whole`. Leaves
// *value alone when the option is not given; otherwise returns an error text, or an empty one.
QString readNumber(const QCommandLineParser &parser, const QString &name, double *value, double low,
                   double high, bool whole = false)
{
    if (!parser.isSet(name))
        return QString();
    bool ok = false;
    const double number = parser.value(name).toDouble(&ok);
    if (ok && std::isfinite(number) && number >= low && number <= high
        && (!whole || number == std::floor(number))) {
        *value = number;
        return QString();
    }
    return QStringLiteral("--%1 must be a%2 number from %3 to %4, not \"%5\"")
        .arg(name, whole ? QStringLiteral(" whole") : QString(), QString::number(low, 'g', 10),
             QString::number(high, 'g', 10), parser.value(name));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quxsim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUX_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated sensor of the QUX family on a pseudo-terminal and/or on 127.0.0.1 over TCP.\n"
        "Prints \"quxsim: serving <sensor> on <port>\" (per port) and answers the sensor\n"
        "protocol there\n"
        "until SIGINT or SIGTERM; SIGHUP switches the sensor off and on (a new baud rate\n"
        "applies then). Answers leave at the sensor's line speed (10 bits per character).\n"
        "Temperatures are in degrees Celsius; the sensor reports them in its unit."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QList<QCommandLineOption> options = {
        { "sensor", "Sensor type from the catalogue (default: the first digital type).", "name" },
        { "catalogue", "Catalogue file (default: QUXfamily.xml next to quxsim).", "path" },
        { "list", "List the catalogue's sensor types and exit." },
        { "link", "Also make the port reachable as a symbolic link at <path> (removed on exit).",
          "path" },
        { "firmware", "Firmware character of the identification (default 1).", "char" },
        { "temperature", "Object temperature at start, degrees C (default 25).", "celsius" },
        { "target", "Temperature the object moves to (default: the start temperature).",
          "celsius" },
        { "ramp", "Speed towards the target in degrees C per second; 0 jumps (default 0).",
          "rate" },
        { "noise", "Standard deviation of the measuring noise, degrees C (default 0).", "sd" },
        { "head", "Internal (head) temperature, degrees C (default 32.5).", "celsius" },
        { "baud", "The sensor's baud rate (default 38400).", "rate" },
        { "baud-mismatch",
          "What the sensor does when the host's rate differs: garble (answers are unreadable "
          "bytes, default) or ignore (answer anyway).",
          "mode" },
        { "silent", "Never answer." },
        { "drop", "Lose this percentage of the answers (the request still takes effect).",
          "percent" },
        { "corrupt", "Send this percentage of the answers with wrong checksum digits.", "percent" },
        { "delay", "Hold every answer back this many milliseconds.", "ms" },
        { "noise-bytes", "Send this many random bytes (never \"/\") before and after every answer.",
          "count" },
        { "foreign-group", "Report a group other than the catalogue's in the identification." },
        { "foreign-type", "Report a type number the catalogue entry does not list." },
        { "unplug-after",
          "Answer this many requests, then close the terminal (the host's port fails) and exit.",
          "count" },
        { "tcp",
          "Also serve the sensor on 127.0.0.1:<port> as a serial device server would (raw TCP, "
          "one client at a time); 0 takes a free port. --unplug-after drops the connection.",
          "port" },
        { "no-pty", "Serve on --tcp only, without a pseudo-terminal." },
        { "log", "Append every request, its answer or fault to <file>.", "file" },
        { "log-us", "Stamp the --log file's lines to the microsecond instead of the millisecond." },
        { "verbose", "Print every request and its answer or fault on standard error." },
        { "seed", "Seed of the fault and noise generators (default 1).", "number" },
    };
    parser.addOptions(options);
    parser.process(app);

    const QString cataloguePath
        = parser.isSet("catalogue") ? parser.value("catalogue") : defaultCataloguePath();
    QString error;
    QList<SensorType> catalogue = readCatalogue(cataloguePath, &error);
    if (parser.isSet("list")) {
        if (catalogue.isEmpty())
            return fail(QStringLiteral("no sensor types in %1 %2").arg(cataloguePath, error));
        for (const SensorType &type : catalogue) {
            QStringList types;
            for (int number : type.types)
                types.append(QString::number(number));
            print(stdout,
                  QStringLiteral("%1\tgroup %2\ttypes %3\t%4")
                      .arg(type.name)
                      .arg(type.group)
                      .arg(types.join(';'), type.isDigital ? "digital" : "analog"));
        }
        return 0;
    }

    SensorType type;
    if (!findSensorType(catalogue, parser.value("sensor"), &type)) {
        if (parser.isSet("sensor"))
            return fail(QStringLiteral("no sensor type \"%1\" in %2")
                            .arg(parser.value("sensor"), cataloguePath));
        type = SensorType::fallback();
        print(stderr,
              QStringLiteral("quxsim: no sensor types in %1, simulating \"%2\"")
                  .arg(cataloguePath, type.name));
    }

    double temperature = 25.0, target = qQNaN(), ramp = 0.0, noise = 0.0, head = 32.5;
    double drop = 0.0, corrupt = 0.0, delay = 0.0, noiseBytes = 0.0, unplug = -1.0, baud = 38400;
    double seed = 1, tcpPort = -1;
    // Bounds keep every value within what the sensor model and the timers can hold.
    const QStringList problems = {
        readNumber(parser, "temperature", &temperature, -273.15, 10000.0),
        readNumber(parser, "target", &target, -273.15, 10000.0),
        readNumber(parser, "ramp", &ramp, 0.0, 1e6),
        readNumber(parser, "noise", &noise, 0.0, 1000.0),
        readNumber(parser, "head", &head, -273.15, 10000.0),
        readNumber(parser, "drop", &drop, 0.0, 100.0),
        readNumber(parser, "corrupt", &corrupt, 0.0, 100.0),
        readNumber(parser, "delay", &delay, 0.0, 3600000.0, true),
        readNumber(parser, "noise-bytes", &noiseBytes, 0.0, 4096.0, true),
        readNumber(parser, "unplug-after", &unplug, 0.0, 1e9, true),
        readNumber(parser, "baud", &baud, 9600.0, 115200.0, true),
        readNumber(parser, "seed", &seed, 0.0, 4294967295.0, true),
        readNumber(parser, "tcp", &tcpPort, 0.0, 65535.0, true),
    };
    for (const QString &problem : problems) {
        if (!problem.isEmpty())
            return fail(problem);
    }
    const bool withPty = !parser.isSet("no-pty");
    if (!withPty && tcpPort < 0)
        return fail(QStringLiteral("--no-pty needs --tcp"));
    if (!withPty && parser.isSet("link"))
        return fail(QStringLiteral("--link needs the pseudo-terminal"));
    if (!QList<int> { 9600, 19200, 38400, 57600, 115200 }.contains(int(baud)))
        return fail(QStringLiteral("--baud must be 9600, 19200, 38400, 57600 or 115200"));
    SimulatedSensor sensor(type, systemClock(), quint32(seed));
    // The program never reads the log back; the file and --verbose see every request.
    sensor.log().setCapacity(0);

    FaultSettings faults;
    faults.silent = parser.isSet("silent");
    faults.foreignGroup = parser.isSet("foreign-group");
    faults.foreignType = parser.isSet("foreign-type");
    faults.dropPercent = drop;
    faults.corruptPercent = corrupt;
    faults.delayMs = int(delay);
    faults.noiseBytes = int(noiseBytes);
    faults.unplugAfter = int(unplug);
    const QString mismatch = parser.value("baud-mismatch");
    if (mismatch == QLatin1String("ignore"))
        faults.baudMismatch = FaultSettings::BaudMismatch::Ignore;
    else if (!mismatch.isEmpty() && mismatch != QLatin1String("garble"))
        return fail(QStringLiteral("--baud-mismatch must be garble or ignore"));
    sensor.setFaults(faults);

    sensor.model().setBaudrate(int(baud));
    sensor.model().setHeadTemperature(head);
    if (parser.isSet("firmware") && !parser.value("firmware").isEmpty())
        sensor.model().setFirmware(parser.value("firmware").at(0).toLatin1());
    TemperatureProcess &process = sensor.model().process();
    process.setTemperature(temperature);
    process.setRamp(ramp);
    process.setNoise(noise);
    if (!qIsNaN(target))
        process.setTarget(target);

    sensor.log().setMicrosecondStamps(parser.isSet("log-us"));
    if (parser.isSet("log") && !sensor.log().setFile(parser.value("log"), &error))
        return fail(QStringLiteral("cannot write the log %1: %2").arg(parser.value("log"), error));
    if (parser.isSet("verbose"))
        sensor.log().setObserver([](const RequestLogEntry &entry) {
            print(stderr, QStringLiteral("quxsim: ") + entry.toString());
        });

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return fail(QStringLiteral("cannot set up signal handling"));
    struct sigaction action
    {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
    QSocketNotifier signalNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [&sensor] {
        char byte = 0;
        if (::read(signalPipe[0], &byte, 1) == 1 && byte == SIGHUP) {
            // Switching the sensor off and on: a rate chosen with "0?BR" applies now.
            sensor.replug();
            print(stdout,
                  QStringLiteral("quxsim: power cycle, now at %1 baud")
                      .arg(sensor.model().baudrate()));
            return;
        }
        QCoreApplication::quit();
    });

    PtyServer server(&sensor);
    if (withPty && !server.open(&error))
        return fail(QStringLiteral("cannot open a pseudo-terminal: %1").arg(error));
    TcpServer tcpServer(&sensor);
    if (tcpPort >= 0 && !tcpServer.listen(quint16(tcpPort), &error))
        return fail(QStringLiteral("cannot serve on 127.0.0.1:%1: %2").arg(tcpPort).arg(error));

    Link link;
    if (parser.isSet("link")) {
        const QString path = parser.value("link");
        const QFileInfo existing(path);
        if (existing.exists() || existing.isSymLink()) {
            if (!existing.isSymLink())
                return fail(QStringLiteral("%1 exists and is not a symbolic link").arg(path));
            ::unlink(QFile::encodeName(path).constData());
        }
        if (::symlink(QFile::encodeName(server.portName()).constData(),
                      QFile::encodeName(path).constData())
            != 0)
            return fail(QStringLiteral("cannot create the link %1").arg(path));
        link.path = path;
        link.target = server.portName();
    }

    const auto unplugged = [&sensor] {
        print(stdout,
              QStringLiteral("quxsim: unplugged after %1 requests").arg(sensor.requestCount() - 1));
        QCoreApplication::quit();
    };
    QObject::connect(&server, &PtyServer::unplugged, &app, unplugged);
    QObject::connect(&tcpServer, &TcpServer::unplugged, &app, unplugged);

    if (withPty)
        print(stdout, QStringLiteral("quxsim: serving %1 on %2").arg(type.name, server.portName()));
    if (tcpPort >= 0)
        print(stdout,
              QStringLiteral("quxsim: serving %1 on %2").arg(type.name, tcpServer.portName()));
    if (!link.path.isEmpty())
        print(stdout, QStringLiteral("quxsim: linked %1 -> %2").arg(link.path, server.portName()));
    const int result = app.exec();
    print(stdout, QStringLiteral("quxsim: stopped after %1 requests").arg(sensor.requestCount()));
    return result;
}
