// Many sensor windows live in one host, each on a quxsim of its own:
//
//   bench_multiwindow [--windows 16] [--minutes 2] [--baud 38400] [--probe-ms 10]
//                     [--settle-s 5] [--sensor "QUX-T40 D"] [--cycle]
//                     [--list-late MS]
//
// The host is orbexa's own main window with its plug-in loader, port watcher and session
// manager; each window is opened and connected as `orbexa --sensor NAME --port PORT` does, and
// goes live once connected. After the windows settle, for the given minutes:
// - CPU of the host process (and of its GUI thread) and of all quxsims together, in % of a core;
// - how late the GUI thread handles an event posted from another thread every P ms;
// - requests per second the quxsims answered, and samples per second the charts took;
// - with --cycle, the live cycle from the quxsims' request logs (stamped to the microsecond):
//   each poll's arrival to the next one's, above its floor (the answer's wire time plus the 65 ms
//   restart delay; live requests are not paced), next to the pseudo-terminal's own delivery
//   time, a round trip of the same sizes between two threads of the bench, measured meanwhile.
//
// Not a test: run it by hand on a quiet machine, from a Release or RelWithDebInfo build.

#include "mainwindow.h"

#include <simpletimechart.h>
#include <valueovertime.h>

#include "../common/guiprobe.h"
#include "../common/quxsimstart.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

namespace {

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double cpuSeconds(clockid_t clock)
{
    timespec t {};
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// User and system time of another process, from /proc/PID/stat.
double processCpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0.0;
    const QByteArray text = stat.readAll();
    // The command name in parentheses may hold spaces; the fields after it are plain.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0.0;
    return (fields[11].toDouble() + fields[12].toDouble()) / double(sysconf(_SC_CLK_TCK));
}

qint64 lineCount(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readAll().count('\n');
}

class Simulator
{
public:
    Simulator(int baud, const QString &logPath, bool microseconds)
        : m_log(logPath)
    {
        QStringList options { "--baud",        QString::number(baud),
                              "--temperature", "180",
                              "--target",      "220",
                              "--ramp",        "0.1",
                              "--noise",       "0.3",
                              "--log",         logPath };
        if (microseconds)
            options << "--log-us";
        m_port = BenchQuxsim::start(m_process, options);
    }
    ~Simulator()
    {
        m_process.terminate();
        m_process.waitForFinished(3000);
    }
    QString port() const { return m_port; }
    double cpuSeconds() const { return processCpuSeconds(m_process.processId()); }
    qint64 requests() const { return lineCount(m_log); }
    QString logPath() const { return m_log; }

private:
    QProcess m_process;
    QString m_port;
    QString m_log;
};

using BenchProbe::ProbeEvent;
using BenchProbe::ProbeReceiver;

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

qint64 chartSamples(const QWidget *host)
{
    qint64 total = 0;
    for (const auto *chart : host->findChildren<Utils::SimpleTimeChart *>())
        total += chart->poData()->size();
    return total;
}

constexpr double restartDelayMs = 65.0;

struct Quantiles
{
    double median = 0, p90 = 0, p99 = 0, max = 0;
};

Quantiles quantiles(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) { return values[std::size_t(q * double(values.size() - 1))]; };
    return { at(0.5), at(0.9), at(0.99), values.back() };
}

void printQuantiles(const char *what, const std::vector<double> &values)
{
    const Quantiles q = quantiles(values);
    std::printf("  %-40s median %7.3f  p90 %7.3f  p99 %7.3f  max %8.3f ms (%zu)\n", what, q.median,
                q.p90, q.p99, q.max, values.size());
}

// One live poll as quxsim logged it: arrival in µs since the epoch, and the sizes both ways.
struct LoggedPoll
{
    qint64 arrivedUs = 0;
    int requestLength = 0;
    int answerLength = 0;
    bool answered = false;
};

// The live polls among the log's lines from `firstLine` up to `endLine` (exclusive).
std::vector<LoggedPoll> loggedPolls(const QString &path, qint64 firstLine, qint64 endLine)
{
    std::vector<LoggedPoll> polls;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return polls;
    static const QRegularExpression line(
        "^(\\S+)T(\\d\\d):(\\d\\d):(\\d\\d)\\.(\\d{6})Z -?\\d+ ms  (\\S*)  -> (\\S+)(?: (\\S+))?");
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (qint64 i = firstLine; i < endLine && i < lines.size(); ++i) {
        const QRegularExpressionMatch m = line.match(QString::fromLatin1(lines[int(i)]));
        if (!m.hasMatch())
            continue;
        const QString request = m.captured(6);
        if (!request.contains("0D0e") && !request.contains("0WD"))
            continue;
        const QDate day = QDate::fromString(m.captured(1), Qt::ISODate);
        const qint64 seconds = QDateTime(day, QTime(0, 0), Qt::UTC).toSecsSinceEpoch()
            + m.captured(2).toLongLong() * 3600 + m.captured(3).toLongLong() * 60
            + m.captured(4).toLongLong();
        polls.push_back({ seconds * 1000000 + m.captured(5).toLongLong(), int(request.size()),
                          int(m.captured(8).size()), m.captured(7) == "answered" });
    }
    return polls;
}

bool readFully(int fd, char *buffer, int length, const std::atomic<bool> &stop)
{
    int got = 0;
    while (got < length && !stop) {
        pollfd p { fd, POLLIN, 0 };
        if (::poll(&p, 1, 100) <= 0)
            continue;
        const ssize_t n = ::read(fd, buffer + got, std::size_t(length - got));
        if (n <= 0)
            return false;
        got += int(n);
    }
    return got == length;
}

// A pseudo-terminal with nothing but two threads of this process at its ends: one writes a
// request of the live poll's size every restart delay, the other answers it at once with the
// answer's size; the round trip is what the pseudo-terminal alone takes to deliver both ways.
class PtyRoundTrip
{
public:
    PtyRoundTrip(int requestLength, int answerLength)
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return;
        m_slave = ::open(::ptsname(m_master), O_RDWR | O_NOCTTY);
        if (m_slave < 0)
            return;
        termios raw {};
        ::tcgetattr(m_slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(m_slave, TCSANOW, &raw);
        m_answerer = std::thread([this, requestLength, answerLength] {
            std::vector<char> request(std::size_t(requestLength), 0);
            const std::vector<char> answer(std::size_t(answerLength), 'A');
            while (readFully(m_master, request.data(), requestLength, m_stop))
                ::write(m_master, answer.data(), answer.size());
        });
        m_asker = std::thread([this, requestLength, answerLength] {
            const std::vector<char> request(std::size_t(requestLength), 'R');
            std::vector<char> answer(std::size_t(answerLength), 0);
            while (!m_stop) {
                std::this_thread::sleep_for(std::chrono::microseconds(int(restartDelayMs * 1000)));
                const Clock::time_point sent = Clock::now();
                ::write(m_slave, request.data(), request.size());
                if (!readFully(m_slave, answer.data(), answerLength, m_stop))
                    break;
                if (m_recording)
                    roundTrips.push_back(msBetween(sent, Clock::now()));
            }
        });
    }
    ~PtyRoundTrip() { stop(); }
    // Ends both threads; roundTrips holds what was recorded.
    void stop()
    {
        m_stop = true;
        if (m_asker.joinable())
            m_asker.join();
        if (m_answerer.joinable())
            m_answerer.join();
        if (m_slave >= 0)
            ::close(m_slave);
        if (m_master >= 0)
            ::close(m_master);
        m_slave = m_master = -1;
    }
    void setRecording(bool on) { m_recording = on; }
    std::vector<double> roundTrips; // ms; read after stop()

private:
    int m_master = -1;
    int m_slave = -1;
    std::atomic<bool> m_stop { false };
    std::atomic<bool> m_recording { false };
    std::thread m_answerer;
    std::thread m_asker;
};

// Each live poll's cycle (its arrival at quxsim to the next one's) above its floor: the answer's
// wire time and the restart delay. A poll without an answer ends the chain.
void reportCycles(const std::vector<std::vector<LoggedPoll>> &logs, int baud,
                  const std::vector<double> &roundTrips, double listLateMs)
{
    const double characterMs = 10000.0 / baud;
    std::vector<double> above;
    int unanswered = 0;
    std::size_t total = 0;
    for (const std::vector<LoggedPoll> &polls : logs) {
        total += polls.size();
        for (std::size_t i = 0; i < polls.size(); ++i) {
            if (!polls[i].answered) {
                ++unanswered;
                continue;
            }
            if (i + 1 == polls.size())
                break;
            const double floor = polls[i].answerLength * characterMs + restartDelayMs;
            above.push_back(double(polls[i + 1].arrivedUs - polls[i].arrivedUs) / 1000.0 - floor);
            // For lining up with a profile recorded with `perf record -k CLOCK_REALTIME`.
            if (listLateMs > 0 && above.back() > listLateMs)
                std::printf("  late: %.6f to %.6f s, %.3f ms above the floor\n",
                            double(polls[i].arrivedUs) / 1e6, double(polls[i + 1].arrivedUs) / 1e6,
                            above.back());
        }
    }
    std::printf("live cycle at %d baud: %zu polls logged, %d unanswered\n", baud, total,
                unanswered);
    printQuantiles("cycle above its floor", above);
    printQuantiles("pty round trip, no host between", roundTrips);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The host's preferences go to a folder of the run's own, not the user's.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    QApplication app(argc, argv);
    int windows = 16;
    double minutes = 2.0;
    int baud = 38400;
    int probeMs = 10;
    int settleS = 5;
    QString sensor = QStringLiteral("QUX-T40 D");
    const QStringList args = app.arguments();
    const bool cycle = args.contains("--cycle");
    double listLateMs = 0; // lists the polls more than this above the floor

    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--windows")
            windows = args[i + 1].toInt();
        else if (args[i] == "--minutes")
            minutes = args[i + 1].toDouble();
        else if (args[i] == "--baud")
            baud = args[i + 1].toInt();
        else if (args[i] == "--probe-ms")
            probeMs = args[i + 1].toInt();
        else if (args[i] == "--settle-s")
            settleS = args[i + 1].toInt();
        else if (args[i] == "--sensor")
            sensor = args[i + 1];
        else if (args[i] == "--list-late")
            listLateMs = args[i + 1].toDouble();
    }

    std::vector<std::unique_ptr<Simulator>> simulators;
    QStringList ports;
    for (int i = 0; i < windows; ++i) {
        simulators.push_back(std::make_unique<Simulator>(
            baud, home.filePath(QStringLiteral("quxsim%1.log").arg(i)), cycle));
        if (simulators.back()->port().isEmpty()) {
            std::fprintf(stderr, "quxsim %d did not start\n", i);
            return 1;
        }
        ports << simulators.back()->port();
    }

    // A message box would wait for a user that is not there: it is noted and closed.
    int messages = 0;
    QTimer modalWatch;
    QObject::connect(&modalWatch, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "message: %s\n", qPrintable(box->text()));
            ++messages;
            box->reject();
        }
    });
    modalWatch.start(200);

    Orbexa::Internal::MainWindow host;
    host.setCommandLinePorts(ports);
    host.loadPlugins();
    host.resize(1920, 1200);
    host.show();
    const Clock::time_point openStart = Clock::now();
    for (const QString &port : ports)
        host.openSensorByName(sensor, port);
    std::printf("%d windows of %s at %d baud opened and connected in %.0f ms (%d messages)\n",
                windows, qPrintable(sensor), baud, msBetween(openStart, Clock::now()), messages);
    wait(settleS * 1000);

    ProbeReceiver receiver;
    receiver.recording = false; // records once the windows have settled
    std::atomic<bool> stop { false };
    std::thread poster([&] {
        while (!stop && probeMs > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(probeMs));
            QCoreApplication::postEvent(&receiver, new ProbeEvent);
        }
    });

    const auto quxsimCpu = [&] {
        double total = 0;
        for (const auto &simulator : simulators)
            total += simulator->cpuSeconds();
        return total;
    };
    const auto requests = [&] {
        qint64 total = 0;
        for (const auto &simulator : simulators)
            total += simulator->requests();
        return total;
    };
    std::vector<qint64> logStart;
    for (const auto &simulator : simulators)
        logStart.push_back(simulator->requests());
    // The round trip takes the sizes of the longest live poll logged while the windows settled.
    std::unique_ptr<PtyRoundTrip> roundTrip;
    if (cycle) {
        const std::vector<LoggedPoll> settled
            = loggedPolls(simulators.front()->logPath(), 0, logStart.front());
        LoggedPoll sizes { 0, 10, 17, true }; // "0D0e" and its answer
        for (const LoggedPoll &poll : settled) {
            if (poll.answerLength >= sizes.answerLength)
                sizes = poll;
        }
        std::printf("pty round trip of %d and %d characters\n", sizes.requestLength,
                    sizes.answerLength);
        roundTrip = std::make_unique<PtyRoundTrip>(sizes.requestLength, sizes.answerLength);
        roundTrip->setRecording(true);
    }
    const qint64 requests0 = requests();
    const qint64 samples0 = chartSamples(&host);
    const double sim0 = quxsimCpu();
    const double cpu0 = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double thread0 = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    const Clock::time_point start = Clock::now();
    receiver.recording = true;
    wait(int(minutes * 60000));
    receiver.recording = false;
    const double seconds = msBetween(start, Clock::now()) / 1000.0;
    const double cpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
    const double thread = cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - thread0;
    const double sim = quxsimCpu() - sim0;
    const qint64 polls = requests() - requests0;
    const qint64 samples = chartSamples(&host) - samples0;
    stop = true;
    poster.join();
    std::vector<std::vector<LoggedPoll>> logs;
    std::vector<double> roundTrips;
    if (cycle) {
        roundTrip->stop();
        roundTrips = roundTrip->roundTrips;
        for (std::size_t i = 0; i < simulators.size(); ++i)
            logs.push_back(
                loggedPolls(simulators[i]->logPath(), logStart[i], simulators[i]->requests()));
    }

    std::vector<double> latencies = receiver.latencies;
    std::sort(latencies.begin(), latencies.end());
    const auto at = [&](double q) {
        return latencies.empty() ? 0.0 : latencies[std::size_t(q * double(latencies.size() - 1))];
    };
    std::printf("over %.1f s:\n", seconds);
    std::printf("  host CPU            %6.2f %% of a core (GUI thread %.2f %%; probe thread "
                "included)\n",
                100.0 * cpu / seconds, 100.0 * thread / seconds);
    std::printf("  quxsims' CPU        %6.2f %% of a core, all %d together\n",
                100.0 * sim / seconds, windows);
    std::printf("  requests answered   %6.1f per second (%.2f per window)\n", polls / seconds,
                polls / seconds / windows);
    std::printf("  chart samples       %6.1f per second\n", samples / seconds);
    std::printf("  host CPU per request %.0f us\n", polls > 0 ? cpu / polls * 1e6 : 0.0);
    std::printf("  posted event handled after: median %.3f ms  p99 %.3f ms  max %.3f ms (%zu)\n",
                at(0.5), at(0.99), at(1.0), latencies.size());
    std::printf("  messages shown      %d\n", messages);
    if (cycle)
        reportCycles(logs, baud, roundTrips, listLateMs);
    return 0;
}
