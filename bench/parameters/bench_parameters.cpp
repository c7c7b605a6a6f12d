// Reading all parameters and writing all rows, through the window-less session (rows in memory,
// a local event loop per transaction) over the host's serial connection to quxsim on its
// pseudo-terminal, at the given baud rates.
//
//   bench_parameters [--runs N] [--bauds 9600,115200] [--sensor NAME] [--delay MS]
//
// Each run's elapsed time is set against two floors computed from the requests quxsim logged
// for that run: every answer character takes 10 bit times at the baud rate and every answer
// leaves the simulator's answer delay (--delay, default 0) late; a request takes, over this
// pseudo-terminal, its pacing (character delay × (length − 1), as the entries handed to the
// connection say), and on a real line the larger of its wire time and its pacing plus one
// character (its characters travel while the host waits between them). The ratio is taken
// against the pseudo-terminal's floor, the lower one: what this setup cannot beat.

#include "../common/quxsimstart.h"
#include "model/memoryrows.h"
#include "model/sensorcatalogue.h"
#include "parameters/sensorsession.h"
#include "parameters/sensorview.h"

#include <connectionmanager.h>
#include <portsettings.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace DrumoSensorPlugin::Core;

namespace {

// Runs transactions as the session asks and keeps every entry it handed over.
class RecordingRunner : public TransactionRunner
{
public:
    explicit RecordingRunner(ExtensionSystem::CommunicationInterface *connection)
        : m_runner(connection)
    {
    }
    void runTransaction(DataFrame &frame) override
    {
        QElapsedTimer timer;
        timer.start();
        m_runner.runTransaction(frame);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        entries.insert(entries.end(), frame.begin(), frame.end());
        transactionMs.insert(transactionMs.end(), frame.size(), ms / double(frame.size()));
    }
    std::vector<DataFrameEntry> entries;
    std::vector<double> transactionMs; // per entry

private:
    EventLoopRunner m_runner;
};

// The requests and answers quxsim logged, as frames.
struct Logged
{
    QByteArray request;
    QByteArray answer;
};

class SimulatorLog
{
public:
    explicit SimulatorLog(const QString &path)
        : m_file(path)
    {
    }
    // The lines appended since the last call.
    std::vector<Logged> take()
    {
        std::vector<Logged> result;
        if (!m_file.isOpen() && !m_file.open(QIODevice::ReadOnly))
            return result;
        static const QRegularExpression line(
            QStringLiteral("^\\S+ \\d+ ms  (\\S+)  -> \\S+(?: (\\S+))?"));
        while (!m_file.atEnd()) {
            const QRegularExpressionMatch match
                = line.match(QString::fromLatin1(m_file.readLine()).trimmed());
            if (match.hasMatch())
                result.push_back({ match.captured(1).toLatin1(), match.captured(2).toLatin1() });
        }
        return result;
    }

private:
    QFile m_file;
};

struct Stats
{
    double median = 0.0;
    double p90 = 0.0;
    double max = 0.0;
};

Stats stats(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) { return values[size_t(q * double(values.size() - 1) + 0.5)]; };
    return { at(0.5), at(0.9), values.back() };
}

struct Result
{
    QString operation;
    int baud = 0;
    int requests = 0; // per run
    int failed = 0; // attempts without an acknowledgement, all runs
    int repeated = 0; // requests sent again right after an acknowledged one, all runs
    std::vector<double> elapsedMs;
    std::vector<double> floorMs;
    std::vector<double> aboveMs;
    std::vector<double> ratio;
    // Over the pseudo-terminal a request's characters reach quxsim as the host writes them: only
    // its pacing and the answer take time.
    std::vector<double> ptyFloorMs;
    // Time of each transaction above its pty floor, for paced and unpaced requests.
    std::vector<double> pacedAboveMs;
    std::vector<double> unpacedAboveMs;
};

int runAtBaud(const QString &sensorName, int baud, int runs, int delayMs,
              std::vector<Result> &results)
{
    QTemporaryDir dir;
    const QString logPath = dir.filePath(QStringLiteral("quxsim.log"));
    QProcess simulator;
    QStringList arguments { "--sensor", sensorName, "--baud", QString::number(baud),
                            "--log",    logPath };
    if (delayMs > 0)
        arguments << "--delay" << QString::number(delayMs);
    const QString port = BenchQuxsim::start(simulator, arguments);
    if (port.isEmpty()) {
        std::fprintf(stderr, "quxsim did not start\n");
        return 1;
    }

    ExtensionSystem::PortSettings settings;
    settings.vInit();
    settings.portName = port;
    settings.baudrate = baud;
    QString error;
    std::unique_ptr<ExtensionSystem::CommunicationInterface> connection(
        ExtensionSystem::ConnectionManager::defaultFactory()(settings, &error));
    if (!connection) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(port), qPrintable(error));
        return 1;
    }

    const Sensor record = findSensorInCatalogue(sensorName.toStdString());
    MemoryRows rows(record);
    SensorView view;
    RecordingRunner runner(connection.get());
    SensorSession session(record, runner, rows, view);
    session.setConnection(connection.get());
    session.state().connected = true;
    SimulatorLog log(logPath);

    const std::vector<std::pair<QString, std::function<void()>>> operations {
        { QStringLiteral("read all"), [&] { session.bulk().readAll(); } },
        { QStringLiteral("write all"),
          [&] {
              session.state().deferValueWrites = false;
              session.bulk().writeAll();
              session.state().deferValueWrites = true;
          } },
    };
    for (const auto &[name, operation] : operations) {
        Result result;
        result.operation = name;
        result.baud = baud;
        for (int run = 0; run < runs; ++run) {
            runner.entries.clear();
            runner.transactionMs.clear();
            log.take();
            QElapsedTimer timer;
            timer.start();
            operation();
            const double elapsed = double(timer.nsecsElapsed()) / 1e6;
            // quxsim writes its log line as it answers; let the last one land.
            QCoreApplication::processEvents();
            const std::vector<Logged> logged = log.take();

            double floor = 0.0;
            double ptyFloor = 0.0;
            const double characterMs = 10.0 * 1000.0 / baud;
            for (size_t i = 0; i < logged.size(); ++i) {
                const Logged &l = logged[i];
                const double answer
                    = double(l.answer.size()) * characterMs + (l.answer.isEmpty() ? 0 : delayMs);
                const double delay
                    = i < runner.entries.size() ? double(runner.entries[i].characterDelay) : 0.0;
                const double pacing = delay * qMax(0.0, double(l.request.size()) - 1);
                floor += std::max(double(l.request.size()) * characterMs, pacing + characterMs)
                    + answer;
                ptyFloor += pacing + answer;
            }
            for (size_t i = 0; i < runner.entries.size(); ++i) {
                const DataFrameEntry &entry = runner.entries[i];
                if (entry.status != 1)
                    ++result.failed;
                else if (i + 1 < runner.entries.size()
                         && runner.entries[i + 1].frame == entry.frame)
                    ++result.repeated;
            }
            for (size_t i = 0; i < runner.entries.size() && i < logged.size(); ++i) {
                const DataFrameEntry &entry = runner.entries[i];
                const double own = double(entry.characterDelay) * double(entry.frame.size() - 1)
                    + double(logged[i].answer.size()) * 10.0 * 1000.0 / baud;
                (entry.characterDelay > 0 ? result.pacedAboveMs : result.unpacedAboveMs)
                    .push_back(runner.transactionMs[i] - own);
            }
            if (logged.size() != runner.entries.size())
                std::fprintf(stderr, "%s at %d: %zu requests sent, %zu logged by quxsim\n",
                             qPrintable(name), baud, runner.entries.size(), logged.size());
            result.requests = int(logged.size());
            result.elapsedMs.push_back(elapsed);
            result.floorMs.push_back(floor);
            result.aboveMs.push_back(elapsed - ptyFloor);
            result.ratio.push_back(elapsed / ptyFloor);
            result.ptyFloorMs.push_back(ptyFloor);
        }
        results.push_back(result);
    }
    connection->vClose();
    connection.reset();
    simulator.terminate();
    simulator.waitForFinished(3000);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int runs = 20;
    int delayMs = 0;
    QString sensor = QStringLiteral("QUX-T40 D");
    QList<int> bauds { 9600, 115200 };
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--runs")
            runs = qMax(1, args[i + 1].toInt());
        else if (args[i] == "--delay")
            delayMs = qMax(0, args[i + 1].toInt());
        else if (args[i] == "--sensor")
            sensor = args[i + 1];
        else if (args[i] == "--bauds") {
            bauds.clear();
            for (const QString &b : args[i + 1].split(QLatin1Char(',')))
                bauds << b.toInt();
        }
    }

    std::vector<Result> results;
    for (int baud : bauds) {
        if (runAtBaud(sensor, baud, runs, delayMs, results) != 0)
            return 1;
    }

    std::printf("%s, %d runs each, answer delay %d ms\n\n", qPrintable(sensor), runs, delayMs);
    std::printf("%-10s %7s %9s %6s %10s %9s %9s %9s %9s %9s %8s %8s\n", "operation", "baud",
                "requests", "failed", "line floor", "pty floor", "median", "p90", "max", "above",
                "ratio", "target");
    for (const Result &r : results) {
        const Stats elapsed = stats(r.elapsedMs);
        const Stats above = stats(r.aboveMs);
        const Stats ratio = stats(r.ratio);
        const Stats floor = stats(r.floorMs);
        const bool met = ratio.median <= 1.1;
        std::printf("%-10s %7d %9d %6d %8.1fms %7.1fms %7.1fms %7.1fms %7.1fms %7.1fms %8.3f %8s\n",
                    qPrintable(r.operation), r.baud, r.requests, r.failed, floor.median,
                    stats(r.ptyFloorMs).median, elapsed.median, elapsed.p90, elapsed.max,
                    above.median, ratio.median, met ? "met" : "MISSED");
        if (!r.pacedAboveMs.empty() && !r.unpacedAboveMs.empty())
            std::printf("           per request above its own floor: paced median %.2f ms "
                        "(p90 %.2f), unpaced median %.2f ms (p90 %.2f)\n",
                        stats(r.pacedAboveMs).median, stats(r.pacedAboveMs).p90,
                        stats(r.unpacedAboveMs).median, stats(r.unpacedAboveMs).p90);
        if (r.repeated > 0)
            std::printf("           %d requests sent again after an acknowledged one\n",
                        r.repeated);
    }
    return 0;
}
