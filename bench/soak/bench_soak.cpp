// The fault soak: the host's serial line (SerialCommunication over quxsim's pseudo-terminal) and
// the plug-in's live polling (LivePoller on a SensorSession, without a window) against quxsim
// with lost answers, wrong checksums, line noise and unplugged adapters:
//
//   bench_soak [--polls N] [--unplugs U] [--drop P] [--corrupt P] [--noise-bytes B]
//              [--baud RATE] [--seed S] [--restart-ms MS] [--keep-log FILE]
//
// Defaults: 10,000 polls, 3 unplugs, 5 % dropped answers, 2 % wrong checksums, 4 noise bytes
// around every answer, 38400 baud, the polling's own 65 ms between polls.
//
// It connects the way the sensor window does ("Sensor -> PC"): opens the port, identifies the
// sensor, reads all parameters and starts the polling. quxsim's --unplug-after ends the
// simulator after its share of the requests: the port fails, the polls go unanswered, and after
// 61 of them the poller asks for the connection check, which identifies again on the port. On
// the failed port that cannot succeed, so the view goes offline, as the window does; the
// simulator is started again on the same link (the adapter plugged back in), and the user (the
// benchmark) chooses the port again, which repeats the connect.
//
// Figures: transactions, polls, good temperature answers sent (from quxsim's request log) against
// samples plotted from answers (they must be equal, value for value), reconnects, crashes and
// hangs, resident memory per 1,000 polls. Exit status 0 only when samples and answers agree and
// nothing crashed or hung.
//
// Not a test: run it by hand from a Release or RelWithDebInfo build (it takes about 13 minutes
// for 10,000 polls).

#include "model/memoryrows.h"
#include "model/sensorcatalogue.h"
#include "parameters/livepoller.h"
#include "parameters/sensorsession.h"
#include "parameters/sensorview.h"
#include "protocol/frame.h"

#include <serialcommunication.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include <unistd.h>

using namespace DrumoSensorPlugin::Core;
using ExtensionSystem::SerialCommunication;

namespace {

const char sensorName[] = "QUX-T40 D";
// A poll takes at most its 120 ms time-out plus 65 ms; nothing may stand still for this long.
constexpr int hangSeconds = 60;

struct Options
{
    int polls = 10000;
    int unplugs = 3;
    double drop = 5;
    double corrupt = 2;
    int noiseBytes = 4;
    int baud = 38400;
    int seed = 1;
    int restartMs = 65;
    QString keepLog;
};

double residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0.0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / 1024.0 : 0.0;
}

// Debug lines of the operations (every failed attempt, every baud step) are counted, not shown.
int debugLines = 0;
int warnings = 0;
void messageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg) {
        ++debugLines;
        return;
    }
    ++warnings;
    std::fprintf(stderr, "  [%s] %s\n", type == QtWarningMsg ? "warning" : "error",
                 qPrintable(message));
}

// quxsim on a pseudo-terminal behind a fixed link; started again after every unplug.
class Simulator : public QObject
{
public:
    Simulator(const Options &options, QString link, QString log)
        : m_options(options)
        , m_link(std::move(link))
        , m_log(std::move(log))
    {
    }
    ~Simulator() override { stop(); }

    // Starts quxsim; with `unplugAfter` >= 0 it leaves after that many answered requests.
    bool start(int unplugAfter, int run)
    {
        m_process = std::make_unique<QProcess>();
        m_process->setProcessChannelMode(QProcess::MergedChannels);
        QStringList arguments { "--sensor",      sensorName,
                                "--link",        m_link,
                                "--log",         m_log,
                                "--baud",        QString::number(m_options.baud),
                                "--drop",        QString::number(m_options.drop),
                                "--corrupt",     QString::number(m_options.corrupt),
                                "--noise-bytes", QString::number(m_options.noiseBytes),
                                "--seed",        QString::number(m_options.seed + run),
                                "--temperature", "120",
                                "--target",      "260",
                                "--ramp",        "0.2",
                                "--noise",       "0.4" };
        if (unplugAfter >= 0)
            arguments << "--unplug-after" << QString::number(unplugAfter);
        QObject::connect(m_process.get(), qOverload<int, QProcess::ExitStatus>(&QProcess::finished),
                         this, [this](int code, QProcess::ExitStatus status) {
                             if (status == QProcess::CrashExit || code != 0)
                                 ++crashes;
                             ++exits;
                         });
        m_process->start(QCoreApplication::applicationDirPath() + "/quxsim", arguments);
        static const QRegularExpression linked("^quxsim: linked ");
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 10000 && m_process->state() != QProcess::NotRunning) {
            m_process->waitForReadyRead(100);
            while (m_process->canReadLine()) {
                if (linked.match(QString::fromLocal8Bit(m_process->readLine())).hasMatch())
                    return true;
            }
        }
        std::fprintf(stderr, "quxsim did not start: %s\n", m_process->readAll().constData());
        return false;
    }
    bool running() const { return m_process && m_process->state() == QProcess::Running; }
    void stop()
    {
        if (!running())
            return;
        m_process->terminate();
        m_process->waitForFinished(5000);
    }

    int crashes = 0;
    int exits = 0;

private:
    const Options &m_options;
    QString m_link, m_log;
    std::unique_ptr<QProcess> m_process;
};

// The view of a program without a window: the connection check is the soak's.
class SoakView : public SensorView
{
public:
    std::function<bool()> check;
    bool checkConnection() override { return check && check(); }
};

// What quxsim's request log says: the outcomes of all requests and of the temperature polls,
// and the good "0D0e" answers in order, as the temperature the poller plots.
struct RequestLog
{
    QMap<QString, int> outcomes, temperatureOutcomes;
    std::vector<double> goodAnswers;
};

RequestLog readRequestLog(const QString &path, bool measuredTemp)
{
    RequestLog log;
    std::vector<double> &values = log.goodAnswers;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return log;
    static const QRegularExpression outcome(R"(ms  (\S+)  -> (\S+))");
    // "<time> <ms> ms  <request>  -> answered <answer>[ (delay N ms)][ (+N noise bytes)]"
    static const QRegularExpression line(
        R"(ms  (\S+)  -> answered (.*?)( \(delay \d+ ms\))?( \(\+\d+ noise bytes\))?$)");
    while (!file.atEnd()) {
        QString text = QString::fromLatin1(file.readLine());
        if (text.endsWith('\n'))
            text.chop(1);
        const QRegularExpressionMatch request = outcome.match(text);
        if (request.hasMatch()) {
            ++log.outcomes[request.captured(2)];
            if (decodeFrame(request.captured(1).toStdString()) == "0D0e")
                ++log.temperatureOutcomes[request.captured(2)];
        }
        const QRegularExpressionMatch match = line.match(text);
        if (!match.hasMatch() || decodeFrame(match.captured(1).toStdString()) != "0D0e")
            continue;
        // The answer as logged, noise included: "\xNN" stands for an unprintable byte.
        QString logged = match.captured(2);
        static const QRegularExpression escaped(R"(\\x[0-9a-f]{2})");
        logged.replace(escaped, QStringLiteral("?"));
        const int start = logged.indexOf('/');
        const int end = logged.indexOf('.', start);
        const std::string body = decodeFrame(logged.mid(start, end - start + 1).toStdString());
        const std::optional<double> value = measuredTemp
            ? readValue(Command::LiveTemperatures, buildFrame(body))
            : readSecondValue(Command::LiveTemperatures, buildFrame(body));
        if (value)
            values.push_back(*value);
    }
    return log;
}

QString outcomeCounts(const QMap<QString, int> &outcomes)
{
    QStringList parts;
    int total = 0;
    for (auto it = outcomes.cbegin(); it != outcomes.cend(); ++it) {
        parts << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
        total += it.value();
    }
    return QStringLiteral("%1 (%2)").arg(total).arg(parts.join(QStringLiteral(", ")));
}

class Soak : public QObject
{
public:
    explicit Soak(const Options &options)
        : m_options(options)
        , m_record(findSensorInCatalogue(sensorName))
        , m_rows(m_record)
        , m_session(m_record, m_runner, m_rows, m_view)
        , m_simulator(options, m_dir.filePath("qux0"), m_dir.filePath("requests.log"))
    {
        m_view.check = [this] { return checkConnection(); };
        LivePoller &poller = m_session.poller();
        poller.setRestartDelay(options.restartMs);
        connect(&poller, &LivePoller::liveAnswerArrived, this, [this] { m_fromAnswer = true; });
        connect(&poller, &LivePoller::sampleReady, this, &Soak::sample);
        connect(&poller, &LivePoller::sensorSilent, this, &Soak::sensorSilent);
        m_watchdog.setInterval(1000);
        connect(&m_watchdog, &QTimer::timeout, this, &Soak::watch);
    }

    int run()
    {
        if (m_record.name() != sensorName) {
            std::fprintf(stderr, "no %s in %s\n", sensorName, qPrintable(sensorCataloguePath()));
            return 2;
        }
        // Each simulator run answers its share of the requests before it is unplugged.
        m_unplugAfter = m_options.polls / (m_options.unplugs + 1);
        if (!startSimulator())
            return 2;
        if (!userChoosesPort()) {
            std::fprintf(stderr, "the first connect failed\n");
            return 2;
        }
        m_clock.start();
        m_lastActivity.start();
        m_watchdog.start();
        m_memory.push_back(residentKiB());
        m_loop.exec();
        m_watchdog.stop();
        finishPolling();
        disconnectPort();
        m_simulator.stop();
        return report();
    }

private:
    bool startSimulator()
    {
        const int run = m_simulatorRuns++;
        return m_simulator.start(run < m_options.unplugs ? m_unplugAfter : -1, run);
    }

    // The window's connect: open the chosen port, identify, read all, poll.
    bool userChoosesPort()
    {
        ++m_connectAttempts;
        ExtensionSystem::PortSettings settings;
        settings.vInit();
        settings.portName = m_dir.filePath("qux0");
        settings.baudrate = m_options.baud;
        auto line = std::make_unique<SerialCommunication>();
        if (!line->open(settings))
            return false;
        // Before the poller's own connection: a poll's id is still pending here.
        connect(line.get(), &ExtensionSystem::CommunicationInterface::emitFinished, this,
                &Soak::finished);
        m_line = std::move(line);
        m_runner.setConnection(m_line.get());
        m_session.setConnection(m_line.get());
        if (m_session.identify().status != IdentifyResult::Identified) {
            disconnectPort();
            return false;
        }
        m_session.state().connected = true;
        m_session.bulk().readAll();
        m_session.state().measuredTemp = m_rows.enumIndex(QStringLiteral("readTemp")) != 0;
        m_session.poller().setAnalogScale({ int(m_rows.doubleValue(QStringLiteral("0v"))),
                                            int(m_rows.doubleValue(QStringLiteral("10v"))),
                                            m_rows.enumIndex(QStringLiteral("2analogoutput")) });
        m_session.poller().setLiveData(true);
        m_session.poller().poll();
        return true;
    }

    // "Offline": the polling stops and the port is given back.
    void disconnectPort()
    {
        LivePoller &poller = m_session.poller();
        poller.setLiveData(false);
        poller.setStatusChecking(false);
        m_session.state().connected = false;
        m_session.setConnection(nullptr);
        m_runner.setConnection(nullptr);
        if (m_line) {
            m_line->vClose();
            m_line.release()->deleteLater();
        }
    }

    // The window's connection check after 61 unanswered polls: identify on the port; when that
    // fails the window goes offline.
    bool checkConnection()
    {
        ++m_checks;
        if (m_session.identify().status == IdentifyResult::Identified) {
            ++m_checksFound;
            return true;
        }
        disconnectPort();
        m_offline = true;
        QTimer::singleShot(0, this, &Soak::replug);
        return false;
    }

    void sensorSilent()
    {
        if (checkConnection())
            m_session.poller().setStatusChecking(true);
    }

    // The adapter back in, the port chosen again: the simulator starts when the old one is gone,
    // and the user retries every half second until the window connects.
    void replug()
    {
        if (!m_offline)
            return;
        if (m_simulator.running()) {
            QTimer::singleShot(100, this, &Soak::replug);
            return;
        }
        if (!m_waitingForUser) {
            if (!startSimulator()) {
                m_failed = true;
                m_loop.quit();
                return;
            }
            m_waitingForUser = true;
        }
        if (userChoosesPort()) {
            ++m_reconnects;
            m_offline = false;
            m_waitingForUser = false;
            m_lastActivity.restart();
            return;
        }
        QTimer::singleShot(500, this, &Soak::replug);
    }

    void finished(unsigned int id)
    {
        ++m_transactions;
        m_lastActivity.restart();
        if (id == 0 || id != m_session.poller().pendingTransactionId())
            return;
        if (++m_polls % 1000 == 0) {
            m_memory.push_back(residentKiB());
            std::fprintf(stderr, "  %d polls, %zu samples from answers, %.0f s\n", m_polls,
                         m_samples.size(), m_clock.elapsed() / 1000.0);
        }
        if (m_polls >= m_options.polls)
            m_loop.quit();
    }

    void sample(double temperature, double)
    {
        if (m_fromAnswer)
            m_samples.push_back(temperature);
        else
            ++m_repeated;
        m_fromAnswer = false;
    }

    // The last poll comes back before the port closes, so that every answer sent is read.
    void finishPolling()
    {
        LivePoller &poller = m_session.poller();
        poller.setLiveData(false);
        QElapsedTimer waited;
        waited.start();
        while (poller.pendingTransactionId() != 0 && waited.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    }

    void watch()
    {
        if (m_lastActivity.elapsed() > hangSeconds * 1000) {
            std::fprintf(stderr, "hang: nothing finished for %d s\n", hangSeconds);
            ++m_hangs;
            m_loop.quit();
        }
    }

    int report()
    {
        // Output-state polls give no sample: count them from the log instead of the poller.
        const RequestLog log
            = readRequestLog(m_dir.filePath("requests.log"), m_session.state().measuredTemp);
        const std::vector<double> &answers = log.goodAnswers;
        if (!m_options.keepLog.isEmpty()) {
            QFile::remove(m_options.keepLog);
            QFile::copy(m_dir.filePath("requests.log"), m_options.keepLog);
        }
        std::size_t firstDifference = 0;
        while (firstDifference < answers.size() && firstDifference < m_samples.size()
               && answers[firstDifference] == m_samples[firstDifference])
            ++firstDifference;
        const bool equal = answers.size() == m_samples.size() && firstDifference == answers.size();

        std::vector<double> growth; // KiB per 1,000 polls, after the first thousand
        for (std::size_t i = 2; i < m_memory.size(); ++i)
            growth.push_back(m_memory[i] - m_memory[i - 1]);
        double mean = 0;
        for (double g : growth)
            mean += g;
        mean = growth.empty() ? 0 : mean / double(growth.size());

        std::printf("Soak: %d polls in %.0f s, %d unplugs, drop %g %%, corrupt %g %%, %d noise "
                    "bytes, %d baud\n",
                    m_polls, m_clock.elapsed() / 1000.0, m_options.unplugs, m_options.drop,
                    m_options.corrupt, m_options.noiseBytes, m_options.baud);
        std::printf("  transactions                 %d\n", m_transactions);
        std::printf("  requests quxsim received     %s\n", qPrintable(outcomeCounts(log.outcomes)));
        std::printf("    of them temperature polls  %s\n",
                    qPrintable(outcomeCounts(log.temperatureOutcomes)));
        std::printf("  polls: samples from answers  %zu, repeated (no answer) %d\n",
                    m_samples.size(), m_repeated);
        std::printf(
            "  good answers sent (0D0e)     %zu   %s\n", answers.size(),
            equal ? "equal, value for value"
                  : qPrintable(QStringLiteral("DIFFER from sample %1 on").arg(firstDifference)));
        std::printf("  connection checks            %d (sensor found again: %d)\n", m_checks,
                    m_checksFound);
        std::printf("  reconnects                   %d of %d unplugs (connect attempts %d)\n",
                    m_reconnects, m_options.unplugs, m_connectAttempts);
        std::printf("  crashes                      %d (simulator runs %d, exits %d)\n",
                    m_simulator.crashes, m_simulatorRuns, m_simulator.exits);
        std::printf("  hangs                        %d\n", m_hangs);
        double largest = 0;
        for (double g : growth)
            largest = std::max(largest, g);
        std::printf("  resident memory              %.0f KiB at the start, %.0f KiB at the end; "
                    "per 1,000 polls after the first: %.1f KiB on average, %.0f KiB at most\n",
                    m_memory.front(), m_memory.back(), mean, largest);
        std::printf("  log lines: %d debug, %d warnings\n", debugLines, warnings);
        if (!equal) {
            for (std::size_t i = firstDifference; i < firstDifference + 5; ++i) {
                std::printf("    #%zu answer %s sample %s\n", i,
                            i < answers.size() ? qPrintable(QString::number(answers[i])) : "-",
                            i < m_samples.size() ? qPrintable(QString::number(m_samples[i])) : "-");
            }
        }
        const bool good = equal && m_simulator.crashes == 0 && m_hangs == 0 && !m_failed
            && m_reconnects == m_options.unplugs;
        return good ? 0 : 1;
    }

    const Options &m_options;
    QTemporaryDir m_dir;
    Sensor m_record;
    MemoryRows m_rows;
    EventLoopRunner m_runner;
    SoakView m_view;
    SensorSession m_session;
    Simulator m_simulator;
    std::unique_ptr<SerialCommunication> m_line;
    QEventLoop m_loop;
    QTimer m_watchdog;
    QElapsedTimer m_clock, m_lastActivity;

    int m_unplugAfter = 0;
    int m_simulatorRuns = 0;
    bool m_offline = false;
    bool m_waitingForUser = false;
    bool m_failed = false;
    bool m_fromAnswer = false;
    int m_polls = 0;
    int m_repeated = 0;
    std::vector<double> m_samples;
    int m_transactions = 0;
    int m_checks = 0, m_checksFound = 0;
    int m_reconnects = 0, m_connectAttempts = 0;
    int m_hangs = 0;
    std::vector<double> m_memory;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(messageHandler);
    Options options;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        const QString &name = args[i];
        const QString &value = args[i + 1];
        if (name == "--polls")
            options.polls = value.toInt();
        else if (name == "--unplugs")
            options.unplugs = value.toInt();
        else if (name == "--drop")
            options.drop = value.toDouble();
        else if (name == "--corrupt")
            options.corrupt = value.toDouble();
        else if (name == "--noise-bytes")
            options.noiseBytes = value.toInt();
        else if (name == "--baud")
            options.baud = value.toInt();
        else if (name == "--seed")
            options.seed = value.toInt();
        else if (name == "--restart-ms")
            options.restartMs = value.toInt();
        else if (name == "--keep-log")
            options.keepLog = value;
        else {
            std::fprintf(stderr, "bench_soak: unknown option %s\n", qPrintable(name));
            return 2;
        }
    }
    if (options.polls < 1 || options.unplugs < 0) {
        std::fprintf(stderr, "bench_soak: --polls must be at least 1, --unplugs at least 0\n");
        return 2;
    }
    Soak soak(options);
    return soak.run();
}
