// quxctl against quxsim on a pseudo-terminal: each command's output and exit status, the
// requests it sends next to those the window sends for the same edits, and settings files going
// both ways between quxctl and the window.

#include "../common/modalanswerer.h"
#include "../common/quxsimprocess.h"
#include "../common/testfiles.h"
#include "../files/filesizelimit.h"
#include "../window/simulatedwindow.h"
#include "quxctlrun.h"

#include "files/settingsfile.h"
#include "protocol/frame.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QtTest>

#include <optional>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace DrumoSensorPlugin::Core;

namespace {

// The request bodies of the frames quxsim logged.
QList<QByteArray> bodies(const QList<QByteArray> &frames)
{
    QList<QByteArray> result;
    for (const QByteArray &frame : frames)
        result << QByteArray::fromStdString(decodeFrame(frame.toStdString()));
    return result;
}

// An edit in the window's tree, as a user makes it, and the wait for its dispatch (a row typed
// digit by digit is written 600 ms after the edit).
void edit(SimulatedWindow &sim, const QString &id, const QVariant &value)
{
    sim.tester->edit(id.toStdString(), value);
    QTRY_VERIFY(!sim.tester->editPending() && !sim.tester->typedEditPending());
}

} // namespace

class tst_Quxctl : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void badArguments_data();
    void badArguments();
    void identify_data();
    void identify();
    void readAsJson();
    void writeSendsWhatTheWindowSends_data();
    void writeSendsWhatTheWindowSends();
    void settingsFilesBetweenQuxctlAndWindow();
    void refusedFiles_data();
    void refusedFiles();
    void stream();
    void severalPorts();
    void networkFailures_data();
    void networkFailures();

private:
    std::unique_ptr<QuxsimProcess> m_sim;
};

// A folder of its own per test: quxsim's link and request log, the files written. The last
// test's quxsim stops as it goes.
void tst_Quxctl::init()
{
    m_sim = std::make_unique<QuxsimProcess>();
}

void tst_Quxctl::badArguments_data()
{
    QTest::addColumn<QStringList>("arguments"); // "SIM": the simulated sensor's port
    QTest::addColumn<QString>("message");
    auto row = [](const char *tag, const QStringList &arguments, const char *message) {
        QTest::newRow(tag) << arguments << QString(message);
    };
    row("no command", { "--port", "x" }, "No command given.");
    row("unknown command", { "erase", "--port", "x" }, "Unknown command: erase");
    row("no port", { "read" }, "No port given");
    row("write without assignment", { "write", "--port", "x", "laser" },
        "Not of the form ID=VALUE: laser");
    row("save without file", { "save", "--port", "x" }, "save needs exactly one settings file.");
    row("empty file name", { "save", "--port", "x", "" }, "An empty file name was given.");
    row("seconds out of range", { "stream", "--port", "x", "--seconds", "0" }, "--seconds takes");
    row("stream option elsewhere", { "read", "--port", "x", "--csv", "f" },
        "belong to the stream command");
    row("jobs not a number", { "read", "--port", "x", "--jobs", "all" }, "--jobs takes");
    row("port twice", { "read", "--port", "x", "--port", "x" }, "A port was given twice.");
    // A wrong assignment anywhere refuses the whole command before anything is written.
    row("unknown id", { "write", "--port", "SIM", "laser=1", "lazer=1" },
        "The sensor has no parameter lazer");
    row("unknown item", { "write", "--port", "SIM", "laser=bright" },
        "laser has no item \"bright\"; its items are: Off, On");
    row("not a number", { "write", "--port", "SIM", "emisivity=high" },
        "emisivity takes a number, not \"high\"");
    row("a group", { "write", "--port", "SIM", "output1=1" }, "output1 takes no value");
}

// Refused with the reason: a wrong command line before any port is opened, with the usage; a
// wrong assignment after the sensor told what it has, without writing.
void tst_Quxctl::badArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const int sim = arguments.indexOf("SIM");
    if (sim >= 0) {
        QVERIFY(m_sim->start());
        arguments[sim] = m_sim->link();
    }
    const auto run = runQuxctl(arguments);
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(run.err.contains("Usage: quxctl"), sim < 0);
    QVERIFY(run.out.isEmpty());
    for (const QByteArray &body : bodies(m_sim->takeRequests()))
        QVERIFY2(!body.startsWith("0L0") && !body.startsWith("0e"), body.constData());
}

void tst_Quxctl::identify_data()
{
    QTest::addColumn<QStringList>("simulator");
    QTest::addColumn<QString>("output");
    QTest::newRow("sensor") << QStringList { "--firmware", "7" }
                            << "sensor type: QUX-T40 D\ngroup:       18\ntype:        1\n"
                               "firmware:    7\nbaud rate:   38400";
    QTest::newRow("sensor at 115200, found by the baud stepping")
        << QStringList { "--baud", "115200" } << "baud rate:   115200";
}

void tst_Quxctl::identify()
{
    QFETCH(QStringList, simulator);
    QFETCH(QString, output);
    QVERIFY(m_sim->start(simulator));
    const auto run = runQuxctl({ "identify", "--port", m_sim->link() });
    QCOMPARE(run.status, 0);
    QVERIFY2(run.out.contains(output), qPrintable(run.out));
    const QList<QByteArray> sent = bodies(m_sim->takeRequests());
    QVERIFY(!sent.isEmpty());
    QVERIFY(std::all_of(sent.begin(), sent.end(), [](const QByteArray &b) { return b == "0V"; }));
    // From 38400 the stepping reaches 115200 at the third attempt. (A silent or foreign sensor
    // is severalPorts', the twelve attempts of the shared identification tst_connectsequence's.)
    QCOMPARE(sent.size(), simulator.contains("--baud") ? 3 : 1);
}

// Every parameter in the tree's order, with its caption, value and item text.
void tst_Quxctl::readAsJson()
{
    QVERIFY(m_sim->start({ "--sensor", "QUX-T40 D" }));
    QVERIFY(runQuxctl({ "write", "--port", m_sim->link(), "unit=°F", "laser=On" }).status == 0);
    const auto run = runQuxctl({ "read", "--port", m_sim->link(), "--json" });
    QCOMPARE(run.status, 0);
    const QJsonObject document = QJsonDocument::fromJson(run.out.toUtf8()).object();
    const QJsonObject port = document["ports"].toArray().first().toObject();
    QCOMPARE(port["sensorType"].toString(), QString("QUX-T40 D"));
    QMap<QString, QJsonObject> rows;
    QStringList order;
    for (const QJsonValue &value : port["parameters"].toArray()) {
        rows.insert(value["id"].toString(), value.toObject());
        order << value["id"].toString();
    }
    QCOMPARE(order.mid(0, 4), QStringList({ "unit", "emisivity", "time", "laser" }));
    QCOMPARE(rows["unit"]["item"].toString(), QString::fromUtf8("°F"));
    QCOMPARE(rows["laser"]["value"].toInt(), 1);
    // 100.0 °C, shown in °F.
    QCOMPARE(rows["1switchingOn"]["value"].toDouble(), 212.0);
}

void tst_Quxctl::writeSendsWhatTheWindowSends_data()
{
    QTest::addColumn<QStringList>("assignments");
    QTest::addColumn<QVariantList>("values"); // the same edits in the window's tree
    auto row = [](const char *tag, const QStringList &assignments, const QVariantList &values) {
        QTest::newRow(tag) << assignments << values;
    };
    row("emissivity, typed", { "emisivity=0.9" }, { 0.9 });
    row("switching point, °C", { "1switchingOn=150" }, { 150.0 });
    row("switching point, °F", { "unit=1", "2switchingOn=300" }, { 1, 300.0 });
    row("analog range, °F", { "unit=°F", "0v=50", "10v=400" }, { 1, 50.0, 400.0 });
    row("pin 2 analog, then its type", { "2A=1", "2type=1" }, { 1, 1 });
    row("contact and circuit", { "1type=Normally closed", "2operateOutputs=2" }, { 1, 2 });
}

// The same edits from quxctl and from the window's tree send the same requests, byte for byte:
// quxctl reads all (as connecting does), writes, and reads all back; the window does the same
// around its edits.
void tst_Quxctl::writeSendsWhatTheWindowSends()
{
    QFETCH(QStringList, assignments);
    QFETCH(QVariantList, values);

    QVERIFY(m_sim->start());
    // The window gives up the first typed value after a unit change: both sensors are put into
    // the unit beforehand, and only the values are compared.
    const bool fahrenheit = assignments.first().startsWith(QLatin1String("unit="));
    if (fahrenheit) {
        QCOMPARE(runQuxctl({ "write", "--port", m_sim->link(), assignments.takeFirst() }).status,
                 0);
        values.takeFirst();
        m_sim->takeRequests();
    }
    const auto run = runQuxctl(QStringList { "write", "--port", m_sim->link() } + assignments);
    QCOMPARE(run.status, 0);
    QList<QByteArray> fromQuxctl = bodies(m_sim->takeRequests());
    QCOMPARE(fromQuxctl.takeFirst(), QByteArray("0V"));

    SimulatedWindow sim("QUX-T40 D");
    sim.markConnected();
    sim.held().unit = fahrenheit ? 1 : 0;
    sim.window->readAllProperties();
    for (int i = 0; i < assignments.size(); ++i)
        edit(sim, assignments.at(i).section('=', 0, 0), values.at(i));
    sim.window->readAllProperties();
    QCOMPARE(fromQuxctl, sim.takeRequests());
}

// A file saved by quxctl loads in the window; one the window saves, quxctl compares and applies.
void tst_Quxctl::settingsFilesBetweenQuxctlAndWindow()
{
    QVERIFY(m_sim->start());
    QCOMPARE(
        runQuxctl({ "write", "--port", m_sim->link(), "laser=1", "1switchingOn=123.4" }).status, 0);
    const QString fromQuxctl = m_sim->filePath("quxctl.ovs");
    QCOMPARE(runQuxctl({ "save", "--port", m_sim->link(), fromQuxctl }).status, 0);

    SimulatedWindow sim("QUX-T40 D");
    QVERIFY(sim.window->bOpenSettings(fromQuxctl));
    QCOMPARE(sim.tester->enumIndex("laser"), 1);
    QCOMPARE(sim.tester->rows().doubleValue("1switchingOn"), 123.4);
    QVERIFY(sim.takeRequests().isEmpty()); // offline: nothing sent

    // The window's own file, with other values: quxctl finds the differences, applies the file,
    // and then finds none.
    sim.tester->edit("laser", 0);
    sim.tester->edit("2switchingOn", 250.0);
    const QString fromWindow = m_sim->filePath("window.ovs");
    QVERIFY(writeSettingsFile(fromWindow, settingsDocument("QUX-T40 D", sim.tester->rows(), "")));

    QuxctlRun diff = runQuxctl({ "diff", "--port", m_sim->link(), fromWindow });
    QCOMPARE(diff.status, 1);
    QVERIFY2(diff.out.contains("laser\tPilot laser\tsensor: 1 (On)\tfile: 0 (Off)"),
             qPrintable(diff.out));
    QVERIFY(diff.out.contains("2switchingOn\tSwitching point\tsensor: 200.0\tfile: 250.0"));
    QCOMPARE(diff.out.count('\n'), 2);

    m_sim->takeRequests();
    QCOMPARE(runQuxctl({ "apply", "--port", m_sim->link(), fromWindow }).status, 0);
    const QList<QByteArray> applied = bodies(m_sim->takeRequests());
    QVERIFY(applied.contains("0L00"));
    QVERIFY(applied.contains("0S22500"));
    QCOMPARE(runQuxctl({ "diff", "--port", m_sim->link(), fromWindow }).status, 0);

    // A file saved in °F: the analog range goes out as the file holds it, limited to what the
    // sensor takes, so that 350 °C saved as 662.0 °F is sent as "0pe3500".
    sim.tester->edit("unit", 1);
    QCOMPARE(sim.tester->rows().doubleValue("10v"), 662.0);
    const QString inFahrenheit = m_sim->filePath("fahrenheit.ovs");
    QVERIFY(writeSettingsFile(inFahrenheit, settingsDocument("QUX-T40 D", sim.tester->rows(), "")));
    runQuxctl({ "apply", "--port", m_sim->link(), inFahrenheit });
    QVERIFY(bodies(m_sim->takeRequests()).contains("0pe3500"));
}

void tst_Quxctl::refusedFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("german");
    QTest::newRow("another sensor type")
        << QByteArray("<root pluginid=\"QUXfamily\" sensorid=\"QUX-T40 A\"><pluginsettings>"
                      "<propertytreedata data=\"laser=1;\"/></pluginsettings></root>")
        << 4 << "The selected settings are not for the current sensor"
        << "Die ausgewählten Einstellungen gehören nicht zum aktuellen Sensor";
    QTest::newRow("not XML") << QByteArray("laser=1;") << 5 << "The selected settings are corupted"
                             << "Die ausgewählten Einstellungen sind beschädigt";
    QTest::newRow("no parameters")
        << QByteArray("<root pluginid=\"QUXfamily\" sensorid=\"QUX-T40 D\"/>") << 5
        << "holds no parameters"
        << "enthält keine Parameter";
    QTest::newRow("not a number") << QByteArray(
        "<root pluginid=\"QUXfamily\" sensorid=\"QUX-T40 D\"><pluginsettings>"
        "<propertytreedata data=\"laser=1;baudrate=;emisivity=nan;\"/>"
        "</pluginsettings></root>")
                                  << 5 << "The selected settings are corupted"
                                  << "Die ausgewählten Einstellungen sind beschädigt";
    QTest::newRow("a folder") << QByteArray() << 5
                              << "The selected settings file is a folder, not a file"
                              << "Die ausgewählte Einstellungsdatei ist ein Ordner";
}

// Refused as the window refuses them; nothing is written.
void tst_Quxctl::refusedFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(int, status);
    QFETCH(QString, message);
    QFETCH(QString, german);
    const QString path = m_sim->filePath("refused.ovs");
    if (content.isEmpty())
        QVERIFY(QDir(m_sim->dir()).mkdir("refused.ovs"));
    else
        QVERIFY(TestFiles::write(path, content));
    QVERIFY(m_sim->start());
    for (const char *command : { "apply", "diff" }) {
        const auto run = runQuxctl({ command, "--port", m_sim->link(), path });
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
    }
    QCOMPARE(bodies(m_sim->takeRequests()), QList<QByteArray>({ "0V", "0V" }));
    // Saving over a folder is refused before the sensor is read.
    if (content.isEmpty()) {
        const auto save = runQuxctl({ "save", "--port", m_sim->link(), path });
        QCOMPARE(save.status, 5);
        QVERIFY2(save.err.contains(": it is a folder. A file of that name is unchanged."),
                 qPrintable(save.err));
        QCOMPARE(bodies(m_sim->takeRequests()), QList<QByteArray>({ "0V" }));
    }
    // In German, in the window's words.
    const auto inGerman = runQuxctl({ "apply", "--port", m_sim->link(), path }, "de_DE.UTF-8");
    QCOMPARE(inGerman.status, status);
    QVERIFY2(inGerman.err.contains(german), qPrintable(inGerman.err));
}

// Every sample a line of the chart export (the polls are the window's poller's, tested with
// it in tests/auto/live).
void tst_Quxctl::stream()
{
    QVERIFY(m_sim->start({ "--temperature", "123.4" }));
    const QString csv = m_sim->filePath("stream.csv");
    const auto run
        = runQuxctl({ "stream", "--port", m_sim->link(), "--seconds", "2", "--csv", csv });
    QCOMPARE(run.status, 0);
    const QStringList lines
        = QString::fromUtf8(TestFiles::read(csv)).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.first(), QString("Time;Signal"));
    QVERIFY(lines.size() > 10);
    const QRegularExpression line(R"(^\d\d-\d\d-\d{4} \d\d:\d\d:\d\d\.\d{3};123\.40$)");
    for (const QString &sample : lines.mid(1))
        QVERIFY2(line.match(sample).hasMatch(), qPrintable(sample));

    // A disk that fills up (here: the file may not grow beyond 100 bytes, cutting a line in
    // two) ends the stream with the failure and the system's reason, not with success.
    std::optional<FileSizeLimit> limit(100);
    const auto full
        = runQuxctl({ "stream", "--port", m_sim->link(), "--seconds", "2", "--csv", csv });
    limit.reset();
    QCOMPARE(full.status, 5);
    QVERIFY2(full.err.contains(QRegularExpression("failed after [1-3] samples: File too large")),
             qPrintable(full.err));
}

// The ports run at once, each on its own: a silent sensor given first holds up nobody, one that
// drops its connection mid-run fails alone. Results and the summary keep the order given, the
// first failure decides the exit status, every progress line names its port.
void tst_Quxctl::severalPorts()
{
    struct Sim
    {
        QStringList options;
        bool tcp;
        int status;
        const char *summary;
    };
    const QList<Sim> plan = {
        { { "--silent" }, false, 3, "No sensor answered" },
        { {}, false, 0, "read" },
        { { "--foreign-group" }, false, 4, "not in the catalogue" },
        { { "--unplug-after", "5" }, true, 3, "The connection to" },
        { {}, true, 0, "read" },
    };
    std::vector<std::unique_ptr<QuxsimProcess>> sims;
    QStringList arguments { "read" };
    for (const Sim &sim : plan) {
        sims.push_back(std::make_unique<QuxsimProcess>());
        QVERIFY(sim.tcp ? sims.back()->startTcp(sim.options) : sims.back()->start(sim.options));
        arguments << "--port" << sims.back()->port();
    }
    const auto run = runQuxctl(arguments);
    QCOMPARE(run.status, 3);

    const QStringList summary = run.out.section("\n\n", -1).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(summary.size(), plan.size() + 1);
    int lastSection = -1;
    for (int i = 0; i < plan.size(); ++i) {
        const QString port = sims[i]->port();
        const QStringList columns = summary.at(i + 1).split(QRegularExpression("\\s{2,}"));
        QCOMPARE(columns.first(), port);
        QVERIFY2(summary.at(i + 1).contains(plan[i].summary), qPrintable(summary.at(i + 1)));
        QVERIFY(columns.contains(QString::number(plan[i].status)));
        if (plan[i].status == 0) {
            // The whole parameter list, after the sections of the ports given before.
            const int section = run.out.indexOf("== " + port + "\n");
            QVERIFY(section > lastSection);
            lastSection = section;
            QVERIFY(run.out.indexOf("emisivity\t", section) > section);
        }
    }
    for (const QString &line : run.err.split('\n', Qt::SkipEmptyParts)) {
        if (line.startsWith("orbexa.")) // the host library's warnings, as for a serial port
            continue;
        QVERIFY2(std::any_of(sims.begin(), sims.end(),
                             [&](const auto &sim) { return line.startsWith(sim->port() + ": "); }),
                 qPrintable(line));
    }

    // At once, not in turn: the second sensor was read while the silent first one was still
    // being asked who it is.
    const QList<QuxsimProcess::Entry> silent = sims[0]->take();
    const QList<QuxsimProcess::Entry> answered = sims[1]->take();
    QVERIFY(silent.size() > 1 && !answered.isEmpty());
    QVERIFY(answered.last().at < silent.last().at);
}

void tst_Quxctl::networkFailures_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    auto row = [](const char *tag, const char *command, const QString &fault, int status,
                  const char *message) {
        QTest::newRow(tag) << command << fault << status << QString(message);
    };
    row("unknown host", "read", "host", 3, "could not be opened");
    row("refused", "read", "refused", 3, "Connection refused");
    row("connect times out", "read", "backlog", 3, "no answer from the server within 3 s");
    row("accepts, then silent", "read", "--silent", 3, "No sensor answered on");
    row("dropped identifying", "read", "--unplug-after=0", 3, "No sensor answered on");
    // Dropped while reading: severalPorts' fourth sensor.
    row("dropped polling", "stream", "--unplug-after=25", 3, "was lost");
    // Which names are malformed is fuzz_networkport's: here the refusal and its message.
    for (const char *port : { "tcp://host", "tcp://host:99999" })
        row(port, "read", QString("port=") + port, 2,
            "(write tcp://HOST:PORT, PORT from 1 to 65535");
}

// A network port that fails in any way ends as a serial port does: status 3 and the reason, and
// the serial port next to it is read all the same; a dropped stream ends at once, without
// samples the sensor never sent. A malformed one is refused before any port is opened.
void tst_Quxctl::networkFailures()
{
    QFETCH(QString, command);
    QFETCH(QString, fault);
    QFETCH(int, status);
    QFETCH(QString, message);
    QVERIFY(m_sim->start());
    QuxsimProcess other;
    QTcpServer listener;
    int filler = -1;
    QString port;
    if (fault.startsWith("port=")) {
        port = fault.mid(5);
    } else if (fault == "host") {
        // A label longer than DNS allows: refused by the resolver without asking any server.
        port = "tcp://" + QString(64, 'a') + ".invalid:4001";
    } else if (fault == "refused") {
        QVERIFY(listener.listen(QHostAddress::LocalHost));
        port = QStringLiteral("tcp://127.0.0.1:%1").arg(listener.serverPort());
        listener.close();
    } else if (fault == "backlog") {
        // A listener that never accepts, its queue filled: the handshake is never answered.
        const int server = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        QVERIFY(::bind(server, reinterpret_cast<sockaddr *>(&address), length) == 0);
        QVERIFY(::listen(server, 0) == 0);
        QVERIFY(::getsockname(server, reinterpret_cast<sockaddr *>(&address), &length) == 0);
        filler = ::socket(AF_INET, SOCK_STREAM, 0);
        QVERIFY(::connect(filler, reinterpret_cast<sockaddr *>(&address), length) == 0);
        port = QStringLiteral("tcp://127.0.0.1:%1").arg(ntohs(address.sin_port));
        listener.setSocketDescriptor(server); // closed with the listener
    } else {
        QVERIFY(other.startTcp(fault.split('=')));
        port = other.port();
    }
    // One at a time: the second port starts when the first has failed.
    QStringList arguments { command, "--jobs", "1", "--port", port, "--port", m_sim->port() };
    if (command == "stream")
        arguments << "--seconds"
                  << "2";
    const auto run = runQuxctl(arguments);
    if (filler >= 0)
        ::close(filler);
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    if (status == 2) {
        QVERIFY(run.out.isEmpty());
        QVERIFY(m_sim->takeRequests().isEmpty());
        return;
    }
    QVERIFY2(run.err.contains(port + ": "), qPrintable(run.err));
    // The summary: the failed port with its status, the serial port done.
    const QStringList summary = run.out.section("\n\n", -1).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(summary.size(), 3);
    const QRegularExpression columns("\\s{2,}");
    QVERIFY(summary.at(1).startsWith(port) && summary.at(1).split(columns).contains("3"));
    QCOMPARE(summary.at(2).split(columns).mid(0, 3),
             QStringList({ m_sim->port(), "QUX-T40 D", "0" }));
    // Every sample of the dropped stream is one the sensor answered.
    int answered = 0;
    for (const QuxsimProcess::Entry &entry : other.take())
        answered += entry.outcome == "answered" && entry.request.contains("D0e");
    QVERIFY2(run.out.count(port + ";") <= answered, qPrintable(run.out));
}

QTEST_MAIN(tst_Quxctl)

#include "tst_quxctl.moc"
