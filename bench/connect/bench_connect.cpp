// From the user's choice of a port to "connected": the connect sequence with Sensor -> PC
// (identification and reading all parameters) against quxsim on a pseudo-terminal, through the
// interface object and the host's serial connection, as a user has it.
//
//   bench_connect [--runs N] [--bauds 9600,115200] [--delay MS] [--sensor NAME]
//
// One run starts when "Sensor -> PC" is clicked in the connection switch dialog and ends when
// the success message appears; "Offline" follows before the next run. quxsim paces its answers
// at the line's speed and logs every request; two floors of a run are computed from the
// requests it actually received, each plus the answers' wire time (characters × 10 / baud) and
// quxsim's answer delay:
// - a real line's: per request the larger of its wire time and its pacing ((length − 1) ×
//   character delay + one character's wire time), since the characters travel while the host
//   waits between them;
// - this setup's own: a pseudo-terminal hands the request over at once, so only the pacing
//   counts ((length − 1) × character delay). The ratio is taken against this one, the lower.
//
// The host's first rate comes from the sensor's catalogue entry, so this program runs from a
// folder of its own and writes there a copy of the catalogue whose rates start with the rate
// measured; quxsim serves at that rate.

#include "model/sensor.h"
#include "model/sensorcatalogue.h"
#include "plugin/sensorinterface.h"
#include "protocol/commands.h"
#include "protocol/frame.h"
#include "quxsimprocess.h"
#include "window/connectionswitchdialog.h"
#include "window/sensorwindow.h"

#include <connectionmanager.h>
#include <sensorbasic.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

using namespace DrumoSensorPlugin::Core;

namespace {

// Answers the dialogs of the sequence the moment they appear and times the run between the
// click on "Sensor -> PC" and the success message.
class Operator : public QObject
{
public:
    Operator() { qApp->installEventFilter(this); }

    // Times the transactions of the connection opened on `owner`'s behalf.
    void watch(ExtensionSystem::PluginInterface *owner)
    {
        auto manager = ExtensionSystem::ConnectionManager::instance();
        connect(manager, &ExtensionSystem::ConnectionManager::connectionsChanged, this,
                [this, manager, owner] {
                    if (auto connection = manager->connection(owner))
                        connect(
                            connection, &ExtensionSystem::CommunicationInterface::emitFinished,
                            this,
                            [this] {
                                if (firstFinishedNs < 0)
                                    firstFinishedNs = clock.nsecsElapsed();
                                lastFinishedNs = clock.nsecsElapsed();
                            },
                            Qt::UniqueConnection);
                });
    }
    void reset() { startNs = endNs = firstFinishedNs = lastFinishedNs = -1; }

    QElapsedTimer clock;
    qint64 startNs = -1;
    qint64 endNs = -1;
    qint64 firstFinishedNs = -1; // the first transaction's end
    qint64 lastFinishedNs = -1;
    QStringList failures;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        if (auto dialog = qobject_cast<ConnectionSwitchDialog *>(watched)) {
            auto button = dialog->findChild<QPushButton *>(QStringLiteral("sensorToPc"));
            // Clicked from the dialog's own loop, not from inside show().
            QTimer::singleShot(0, button, [this, button] {
                startNs = clock.nsecsElapsed();
                button->click();
            });
        } else if (auto box = qobject_cast<QMessageBox *>(watched)) {
            if (box->icon() == QMessageBox::Information)
                endNs = clock.nsecsElapsed();
            else
                failures << box->text();
            QTimer::singleShot(0, box, [box] {
                box->defaultButton() ? box->defaultButton()->click() : box->reject();
            });
        }
        return false;
    }
};

struct Figures
{
    double median = 0, p90 = 0, max = 0;
};

Figures figures(std::vector<double> values)
{
    Figures result;
    if (values.empty())
        return result;
    std::sort(values.begin(), values.end());
    result.median = values[values.size() / 2];
    result.p90 = values[std::min(values.size() - 1, values.size() * 9 / 10)];
    result.max = values.back();
    return result;
}

// The command a request body belongs to: the longest command letters it starts with.
std::optional<Command> commandOf(const std::string &body)
{
    std::optional<Command> best;
    std::size_t bestLength = 0;
    for (int i = 0; i <= int(Command::WriteThreshold); ++i) {
        const CommandDefinition &definition = commandDefinition(Command(i));
        const std::string letters = definition.letters;
        if (body.compare(0, letters.size(), letters) == 0 && letters.size() > bestLength) {
            best = Command(i);
            bestLength = letters.size();
        }
    }
    return best;
}

struct Floors
{
    double line = 0; // on a real line at this rate
    double pty = 0; // on the pseudo-terminal this runs on
};

// Where the line idles: for each request body, the time between the end of its answer and the
// arrival of the next request less that request's pacing, over all runs. quxsim stamps
// requests in whole ms, so single gaps are ±1 ms.
std::map<std::string, std::vector<double>> idleAfter;

// The least a run can take for these requests, in ms.
Floors floorMs(const QList<QuxsimProcess::Entry> &entries, int baud, const LineTiming &timing,
               int *unanswered)
{
    const double characterMs = 10000.0 / baud;
    Floors floors;
    double previousEnd = -1; // ms since the first request, when the last answer was out
    std::string previousBody;
    const QDateTime start = entries.isEmpty() ? QDateTime() : entries.first().at;
    for (const QuxsimProcess::Entry &entry : entries) {
        const std::string frame = entry.request.toStdString();
        double pacing = 0;
        const std::string body = decodeFrame(frame);
        if (const std::optional<Command> command = commandOf(body)) {
            const std::string letters = commandDefinition(*command).letters;
            const DataFrameEntry request
                = makeRequest(*command, body.substr(letters.size()), timing);
            pacing = double(request.characterDelay) * double(qMax(0, entry.request.size() - 1));
        }
        const double answer = double(entry.answer.size()) * characterMs + entry.delayMs;
        floors.line
            += qMax(double(entry.request.size()) * characterMs, pacing + characterMs) + answer;
        floors.pty += pacing + answer;
        const double arrived = double(start.msecsTo(entry.at));
        if (previousEnd >= 0)
            idleAfter[previousBody].push_back(arrived - pacing - previousEnd);
        previousEnd = arrived + answer;
        previousBody = body;
        if (entry.outcome != QLatin1String("answered"))
            ++*unanswered;
    }
    return floors;
}

// The catalogue next to this program: the installed one with every sensor's rates starting at
// `baud`.
bool writeCatalogue(int baud)
{
    QFile original(QCoreApplication::applicationDirPath() + QStringLiteral("/../QUXfamily.xml"));
    if (!original.open(QIODevice::ReadOnly))
        return false;
    QString text = QString::fromUtf8(original.readAll());
    text.replace(QRegularExpression(QStringLiteral("<baudrate>[^<]*</baudrate>")),
                 QStringLiteral("<baudrate>%1</baudrate>").arg(baud));
    QFile copy(sensorCataloguePath());
    return copy.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && copy.write(text.toUtf8()) == text.toUtf8().size();
}

bool measure(const QString &sensorName, int baud, int runs, int delayMs)
{
    if (!writeCatalogue(baud)) {
        std::fprintf(stderr, "bench_connect: cannot write %s\n", qPrintable(sensorCataloguePath()));
        return false;
    }
    QTemporaryDir dir;
    QuxsimProcess sim(QCoreApplication::applicationDirPath() + QStringLiteral("/../quxsim"),
                      dir.path());
    if (!sim.start({ QStringLiteral("--sensor"), sensorName, QStringLiteral("--baud"),
                     QString::number(baud), QStringLiteral("--delay"),
                     QString::number(delayMs) })) {
        std::fprintf(stderr, "bench_connect: quxsim did not start\n");
        return false;
    }

    ExtensionSystem::SensorBasic basic;
    basic.setName(sensorName.toStdString());
    SensorInterface plugin(&basic, nullptr);
    SensorWindow *window = plugin.sensorWindow();
    const LineTiming timing = lineTiming(window->sensorRecord());
    plugin.vAvailablePortsUpdated({ sim.link() });
    auto box = window->findChild<QComboBox *>();

    Operator op;
    op.clock.start();
    op.watch(&plugin);
    // Click to the end of the first transaction, which includes opening the port; the end of
    // the last transaction to the success message.
    std::vector<double> elapsed, floors, lineFloors, over, ratio, first, after;
    int requests = 0, unanswered = 0;
    for (int run = 0; run < runs; ++run) {
        sim.take();
        op.reset();
        const int index = box->findText(sim.link());
        box->setCurrentIndex(index);
        emit box->activated(index);
        QList<QuxsimProcess::Entry> entries = sim.take();
        // Live data starts with the message, and its first poll may reach quxsim before the
        // log is taken: it is no part of connecting.
        while (!entries.isEmpty()) {
            const std::string body = decodeFrame(entries.last().request.toStdString());
            if (body != "0D0e" && body != "0WD")
                break;
            entries.removeLast();
        }
        if (op.startNs < 0 || op.endNs < 0 || !op.failures.isEmpty()) {
            std::fprintf(stderr, "bench_connect: run %d did not connect: %s\n", run,
                         qPrintable(op.failures.join(QStringLiteral("; "))));
            return false;
        }
        const double ms = double(op.endNs - op.startNs) / 1e6;
        const Floors both = floorMs(entries, baud, timing, &unanswered);
        const double floor = both.pty;
        elapsed.push_back(ms);
        floors.push_back(floor);
        lineFloors.push_back(both.line);
        over.push_back(ms - floor);
        ratio.push_back(ms / floor);
        first.push_back(double(op.firstFinishedNs - op.startNs) / 1e6);
        after.push_back(double(op.endNs - op.lastFinishedNs) / 1e6);
        requests = entries.size();

        box->setCurrentIndex(0);
        emit box->activated(0);
    }

    const Figures e = figures(elapsed), f = figures(floors), o = figures(over), r = figures(ratio);
    std::printf("%6d baud, %d runs, %d requests per run (%d unanswered in all), answer delay %d "
                "ms\n",
                baud, runs, requests, unanswered, delayMs);
    std::printf("  elapsed   median %8.2f ms  p90 %8.2f ms  max %8.2f ms\n", e.median, e.p90,
                e.max);
    std::printf("  floor     median %8.2f ms (this pseudo-terminal; on a real line %.2f ms)\n",
                f.median, figures(lineFloors).median);
    std::printf("  above     median %8.2f ms  p90 %8.2f ms  max %8.2f ms\n", o.median, o.p90,
                o.max);
    std::printf("  ratio     median %8.3f     p90 %8.3f     max %8.3f\n", r.median, r.p90, r.max);
    const Figures a = figures(first), b = figures(after);
    std::printf("  click -> first transaction done  median %8.2f ms  p90 %8.2f ms\n", a.median,
                a.p90);
    std::printf("  last transaction -> message      median %8.2f ms  p90 %8.2f ms\n", b.median,
                b.p90);
    std::vector<std::pair<double, std::string>> idle;
    double idleTotal = 0;
    for (const auto &[body, gaps] : idleAfter) {
        double sum = 0;
        for (double gap : gaps)
            sum += gap;
        idle.emplace_back(sum / double(runs), body);
        idleTotal += sum / double(runs);
    }
    idleAfter.clear();
    std::sort(idle.rbegin(), idle.rend());
    std::printf("  line idle between requests, per run %.1f ms; most after:", idleTotal);
    for (std::size_t i = 0; i < idle.size() && i < 5; ++i)
        std::printf(" \"%s\" %.1f ms", idle[i].second.c_str(), idle[i].first);
    std::printf("\n");
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({
        { "runs", "Runs per baud rate (default 20).", "n", "20" },
        { "bauds", "Baud rates, comma separated (default 9600,115200).", "list", "9600,115200" },
        { "delay", "quxsim's answer delay in ms (default 0).", "ms", "0" },
        { "sensor", "Sensor type (default QUX-T40 D).", "name", "QUX-T40 D" },
    });
    parser.process(app);
    ExtensionSystem::ConnectionManager::instance()->setFactory({});

    int status = 0;
    // Inside the main loop, as a user's choice would be.
    QTimer::singleShot(0, [&] {
        for (const QString &baud : parser.value("bauds").split(QLatin1Char(','))) {
            if (!measure(parser.value("sensor"), baud.toInt(), parser.value("runs").toInt(),
                         parser.value("delay").toInt()))
                status = 1;
        }
        QFile::remove(sensorCataloguePath());
        QCoreApplication::exit(status);
    });
    return app.exec();
}
