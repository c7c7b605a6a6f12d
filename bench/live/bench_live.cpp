// The live polling against quxsim over a pseudo-terminal, through the host's real
// SerialCommunication:
//
//   bench_live [--minutes M] [--phase all|poller|window|memory] [--baud B] [--samples N]
//              [--probe-ms P]
//
// poller  LivePoller without a window for M minutes: the cycle time (start of one poll to the
//         start of the next) against its floor (the answer's wire time + the 65 ms restart
//         delay), and the host's CPU time per cycle.
// window  A sensor window polling for M minutes, shown (offscreen unless a platform is set):
//         how late the GUI thread handles an event posted from another thread every P ms
//         (default 10; 0 posts none),
//         the cycle time with the chart drawing, the CPU time per cycle; first, for a quarter
//         of M minutes, the CPU time of a bare 65 ms timer's wake-up with the same probe.
// memory  A sensor window's chart filled with N samples (default 1,000,000): resident memory
//         per plotted sample.
//
// Not a test: run it by hand on a quiet machine, from a Release or RelWithDebInfo build.

#include "model/sensorcatalogue.h"
#include "parameters/livepoller.h"
#include "parameters/sessionstate.h"
#include "window/sensorwindow.h"

#include <serialcommunication.h>
#include <simpletimechart.h>
#include <valueovertime.h>

#include "../common/guiprobe.h"
#include "../common/quxsimstart.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <malloc.h>
#include <poll.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

using namespace DrumoSensorPlugin::Core;
using ExtensionSystem::CommunicationInterface;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double restartDelayMs = 65.0;

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

struct Stats
{
    double median = 0, p99 = 0, max = 0;
};

Stats stats(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) { return values[std::size_t(q * double(values.size() - 1))]; };
    return { at(0.5), at(0.99), values.back() };
}

void printStats(const char *what, const std::vector<double> &values, const char *unit = "ms")
{
    const Stats s = stats(values);
    std::printf("  %-34s median %8.3f %s  p99 %8.3f %s  max %8.3f %s\n", what, s.median, unit,
                s.p99, unit, s.max, unit);
}

double cpuSeconds(clockid_t clock)
{
    timespec t {};
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// The process's CPU per event (poll or wake-up) in consecutive 5 s windows. This virtual machine
// counts the time its host takes the processor away as the process's own, and that comes in
// bursts: the same build measured 0.6 to 1.7 ms per poll from one minute to the next. The
// quietest window is the closest to what the program itself costs; the median says what a
// user of such a machine pays.
class CpuWindows
{
public:
    explicit CpuWindows(std::function<std::size_t()> events)
        : m_events(std::move(events))
    {
        m_timer.setInterval(5000);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { close(); });
        m_cpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        m_count = m_events();
        m_timer.start();
    }
    void print(const char *what) const
    {
        std::vector<double> sorted = m_perEventUs;
        std::sort(sorted.begin(), sorted.end());
        if (sorted.empty())
            return;
        std::printf("  %s in %zu windows of 5 s: quietest %.1f us, median %.1f us, most %.1f us\n",
                    what, sorted.size(), sorted.front(), sorted[sorted.size() / 2], sorted.back());
    }

private:
    void close()
    {
        const double cpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        const std::size_t count = m_events();
        if (count > m_count)
            m_perEventUs.push_back((cpu - m_cpu) / double(count - m_count) * 1e6);
        m_cpu = cpu;
        m_count = count;
    }

    std::function<std::size_t()> m_events;
    QTimer m_timer;
    double m_cpu = 0;
    std::size_t m_count = 0;
    std::vector<double> m_perEventUs;
};

double residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0.0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) : 0.0;
}

// quxsim on a pseudo-terminal; the port's name once it serves.
class Simulator
{
public:
    explicit Simulator(int baud)
    {
        m_port = BenchQuxsim::start(m_process,
                                    { "--baud", QString::number(baud), "--temperature", "180",
                                      "--target", "220", "--ramp", "0.1", "--noise", "0.3" });
    }
    ~Simulator()
    {
        m_process.terminate();
        m_process.waitForFinished(3000);
    }
    QString port() const { return m_port; }

private:
    QProcess m_process;
    QString m_port;
};

// The serial connection, with the time each transaction was queued and finished.
class TimedLine : public CommunicationInterface
{
public:
    struct Poll
    {
        Clock::time_point queued, finished;
        std::size_t answerLength = 0;
        std::size_t requestLength = 0;
        quint32 characterDelay = 0;
        bool answered = false;
    };

    explicit TimedLine(ExtensionSystem::SerialCommunication &line)
        : m_line(line)
    {
        connect(&line, &CommunicationInterface::emitFinished, this, [this](unsigned int id) {
            if (id == m_id && m_frame) {
                m_current.finished = Clock::now();
                m_current.answerLength = m_frame->front().answer.size();
                m_current.answered = m_frame->front().status == 1;
                polls.push_back(m_current);
                m_frame = nullptr;
            }
            emit emitFinished(id);
        });
    }

    void vSendRawData(std::string data) override { m_line.vSendRawData(data); }
    unsigned int uiSendDataFrame(DataFrame *frame) override
    {
        m_current = Poll();
        m_current.queued = Clock::now();
        m_current.requestLength = frame->front().frame.size();
        m_current.characterDelay = frame->front().characterDelay;
        m_frame = frame;
        m_id = m_line.uiSendDataFrame(frame);
        return m_id;
    }
    void vSetPortSettings(const ExtensionSystem::PortSettings &s) override
    {
        m_line.vSetPortSettings(s);
    }
    ExtensionSystem::PortSettings getPortSettings() override { return m_line.getPortSettings(); }
    void vClose() override { m_line.vClose(); }

    std::vector<Poll> polls;

private:
    ExtensionSystem::SerialCommunication &m_line;
    Poll m_current;
    DataFrame *m_frame = nullptr;
    unsigned int m_id = 0;
};

// Cycle times of consecutive polls against their floors. Over this pseudo-terminal the request
// arrives as fast as the host paces it (character delay × (length − 1)), then quxsim sends its
// answer at the line's speed, then the restart delay. On a real line the request's characters
// travel while the host waits between them: per request the larger of its wire time and its
// pacing plus one character, then the answer and the restart delay.
void reportCycles(const std::vector<TimedLine::Poll> &polls, int baud, double cpuProcess,
                  double cpuThread)
{
    const double characterMs = 10.0 * 1000.0 / baud;
    std::vector<double> cycle, aboveFloor, transaction, restart, ptyFloor, lineFloor;
    int unanswered = 0;
    for (std::size_t i = 0; i < polls.size(); ++i) {
        if (!polls[i].answered)
            ++unanswered;
        if (i + 1 == polls.size())
            break;
        const double wire = double(polls[i].answerLength) * characterMs;
        const double requestCharacters = double(polls[i].requestLength);
        const double pacing = double(polls[i].characterDelay) * qMax(0.0, requestCharacters - 1);
        const double ms = msBetween(polls[i].queued, polls[i + 1].queued);
        ptyFloor.push_back(pacing + wire + restartDelayMs);
        lineFloor.push_back(std::max(requestCharacters * characterMs, pacing + characterMs) + wire
                            + restartDelayMs);
        cycle.push_back(ms);
        aboveFloor.push_back(ms - ptyFloor.back());
        transaction.push_back(msBetween(polls[i].queued, polls[i].finished) - pacing - wire);
        restart.push_back(msBetween(polls[i].finished, polls[i + 1].queued) - restartDelayMs);
    }
    std::printf("  polls %zu, unanswered %d\n", polls.size(), unanswered);
    printStats("cycle time", cycle);
    printStats("floor on this pseudo-terminal", ptyFloor);
    printStats("floor on a real line", lineFloor);
    printStats("cycle above the pseudo-terminal's floor", aboveFloor);
    printStats("  transaction above pacing and the answer's wire", transaction);
    printStats("  restart above 65 ms", restart);
    const double n = double(std::max<std::size_t>(1, cycle.size()));
    std::printf("  CPU per cycle: process %.1f us, GUI thread %.1f us\n", cpuProcess / n * 1e6,
                cpuThread / n * 1e6);
}

bool openLine(ExtensionSystem::SerialCommunication &line, const QString &port, int baud)
{
    ExtensionSystem::PortSettings settings;
    settings.vInit();
    settings.portName = port;
    settings.baudrate = baud;
    QString error;
    if (!line.open(settings, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    return true;
}

void runFor(double minutes)
{
    QEventLoop loop;
    QTimer progress;
    int elapsed = 0;
    QObject::connect(&progress, &QTimer::timeout,
                     [&] { std::fprintf(stderr, "  ... %d min\n", ++elapsed); });
    progress.start(60000);
    QTimer::singleShot(int(minutes * 60000), &loop, &QEventLoop::quit);
    loop.exec();
}

int pollerPhase(double minutes, int baud)
{
    std::printf("\nLivePoller without a window, %.1f min at %d baud\n", minutes, baud);
    Simulator simulator(baud);
    ExtensionSystem::SerialCommunication serial;
    if (simulator.port().isEmpty() || !openLine(serial, simulator.port(), baud))
        return 1;
    TimedLine line(serial);
    SessionState state;
    LivePoller poller(state);
    poller.setConnection(&line);

    const double cpu0 = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double thread0 = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    poller.setLiveData(true);
    poller.poll();
    CpuWindows windows([&] { return line.polls.size(); });
    runFor(minutes);
    poller.setLiveData(false);
    while (poller.pendingTransactionId() != 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    reportCycles(line.polls, baud, cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0,
                 cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - thread0);
    windows.print("CPU per cycle");
    return 0;
}

using BenchProbe::ProbeEvent;
using BenchProbe::ProbeReceiver;

// Posts a ProbeEvent to the receiver every probeMs (none when 0) until destroyed.
class Poster
{
public:
    Poster(ProbeReceiver &receiver, int probeMs)
        : m_thread([this, &receiver, probeMs] {
            while (!m_stop && probeMs > 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(probeMs));
                QCoreApplication::postEvent(&receiver, new ProbeEvent);
            }
        })
    {
    }
    ~Poster()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop { false };
    std::thread m_thread;
};

// What the GUI thread spends on waking up alone in this machine: a bare precise timer
// restarted 65 ms after it fired, with the same probe posting as the window phase. A poll
// cannot cost less than one such wake-up. Measured once before the window exists and once
// beside the shown, connected window that is not polling: the difference is what the idle
// window itself costs per 65 ms.
void wakeUpFloor(const char *where, double minutes, int probeMs)
{
    ProbeReceiver receiver;
    Poster poster(receiver, probeMs);
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    timer.setInterval(int(restartDelayMs));
    int wakeUps = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++wakeUps;
        timer.start();
    });
    const double cpu0 = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double thread0 = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    timer.start();
    CpuWindows windows([&] { return std::size_t(wakeUps); });
    runFor(minutes);
    const double n = std::max(1, wakeUps);
    std::printf("  floor: a bare 65 ms timer %s, %.1f min, %d wake-ups: CPU per wake-up process "
                "%.1f us, GUI thread %.1f us\n",
                where, minutes, wakeUps, (cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0) / n * 1e6,
                (cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - thread0) / n * 1e6);
    windows.print("    CPU per wake-up");
}

// What a live poll costs this machine with nothing of the program's in it: the same request to
// the same quxsim over the same pseudo-terminal, by plain system calls on this thread (discard
// the input, write the frame, wait for the answer's last character, read it, sleep 65 ms). Two
// sleeps and a handful of calls per cycle, as the program's poll has; its CPU per cycle in 5 s
// windows, measured like the program's, is the floor a poll cannot go below here.
void barePollFloor(const QString &port, double minutes)
{
    const int fd = ::open(QFile::encodeName(port).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios attributes {};
    if (fd < 0 || ::tcgetattr(fd, &attributes) != 0) {
        std::fprintf(stderr, "bare poll: cannot open %s\n", qPrintable(port));
        return;
    }
    ::cfmakeraw(&attributes);
    ::tcsetattr(fd, TCSANOW, &attributes); // the rate stays quxsim's: it answers at its own
    static const char request[] = "/020D0e0C.";
    int cycles = 0;
    int answered = 0;
    std::vector<double> windows;
    const auto windowLength = std::chrono::seconds(5);
    const auto end = Clock::now() + std::chrono::milliseconds(qint64(minutes * 60000));
    auto windowStart = Clock::now();
    double windowCpu = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    int windowCycles = 0;
    while (Clock::now() < end) {
        ::tcflush(fd, TCIFLUSH);
        if (::write(fd, request, sizeof request - 1) != ssize_t(sizeof request - 1))
            break;
        char answer[64];
        int length = 0;
        pollfd input { fd, POLLIN, 0 };
        while (length < int(sizeof answer) && ::poll(&input, 1, 200) == 1) {
            const ssize_t n = ::read(fd, answer + length, sizeof answer - std::size_t(length));
            if (n <= 0)
                break;
            length += int(n);
            if (answer[length - 1] == '.') {
                ++answered;
                break;
            }
        }
        ::poll(nullptr, 0, int(restartDelayMs));
        ++cycles;
        ++windowCycles;
        if (Clock::now() - windowStart >= windowLength) {
            const double cpu = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
            windows.push_back((cpu - windowCpu) / windowCycles * 1e6);
            windowStart = Clock::now();
            windowCpu = cpu;
            windowCycles = 0;
        }
    }
    ::close(fd);
    std::sort(windows.begin(), windows.end());
    if (windows.empty())
        return;
    std::printf("  floor: a bare poll by system calls, %.1f min, %d cycles (%d answered): CPU per "
                "cycle in %zu windows of 5 s: quietest %.1f us, median %.1f us, most %.1f us\n",
                minutes, cycles, answered, windows.size(), windows.front(),
                windows[windows.size() / 2], windows.back());
}

int windowPhase(double minutes, int baud, int probeMs)
{
    std::printf("\nSensor window polling, shown, %.1f min at %d baud\n", minutes, baud);
    const double floorMinutes = std::max(0.25, minutes / 4);
    wakeUpFloor("alone", floorMinutes, probeMs);
    Simulator simulator(baud);
    if (!simulator.port().isEmpty())
        barePollFloor(simulator.port(), floorMinutes);
    ExtensionSystem::SerialCommunication serial;
    if (simulator.port().isEmpty() || !openLine(serial, simulator.port(), baud))
        return 1;
    TimedLine line(serial);
    SensorWindow window(findSensorInCatalogue("QUX-T40 D"));
    window.resize(1280, 800);
    window.show();
    window.setConnection(&line);
    // The window's first layout and paint run in the event loop after show(): tens of ms that
    // would otherwise be counted against the first floor's wake-ups.
    runFor(2.0 / 60);
    wakeUpFloor("beside the idle window", floorMinutes, probeMs);

    ProbeReceiver receiver;
    auto poster = std::make_unique<Poster>(receiver, probeMs);

    const double cpu0 = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double thread0 = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    auto *live = window.findChild<QAction *>(QStringLiteral("actionEnable_live_data"));
    live->setChecked(true);
    CpuWindows windows([&] { return line.polls.size(); });
    runFor(minutes);
    live->setChecked(false);
    const double cpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
    const double thread = cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - thread0;
    poster.reset();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);

    const auto *chart = window.findChild<Utils::SimpleTimeChart *>();
    std::printf("  samples on the chart %d\n", chart ? chart->poData()->size() : -1);
    printStats("posted event handled after", receiver.latencies);
    reportCycles(line.polls, baud, cpu, thread);
    windows.print("CPU per cycle");
    window.setConnection(nullptr);
    return 0;
}

int memoryPhase(int samples)
{
    std::printf("\nA sensor window's chart with %d samples\n", samples);
    SensorWindow window(findSensorInCatalogue("QUX-T40 D"));
    window.resize(1280, 800);
    window.show();
    QCoreApplication::processEvents();
    auto *chart = window.findChild<Utils::SimpleTimeChart *>();
    // Drawing set up and warm (fonts, backing store, direct painter) before the count starts.
    for (int i = 0; i < 1000; ++i)
        chart->vAppend(200.0, 5.0);
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const double before = residentBytes();
    for (int i = 0; i < samples; ++i) {
        chart->vAppend(200.0 + (i % 1000) * 0.1, 5.0);
        if (i % 10000 == 0)
            QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    const double after = residentBytes();
    std::printf("  resident memory per sample %.2f bytes (%.1f MiB for %d; the store reserves "
                "%d)\n",
                (after - before) / samples, (after - before) / 1048576.0, samples,
                chart->poData()->capacity());
    // What the heap keeps of the blocks the store outgrew before its columns moved to mappings
    // of their own: free for the process to reuse, but resident until trimmed.
    malloc_trim(0);
    const double trimmed = residentBytes();
    std::printf("  after returning free heap pages  %.2f bytes per sample\n",
                (trimmed - before) / samples);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    double minutes = 10.0;
    int baud = 38400;
    int samples = 1000000;
    int probeMs = 10;
    QString phase = QStringLiteral("all");
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--minutes")
            minutes = args[i + 1].toDouble();
        else if (args[i] == "--baud")
            baud = args[i + 1].toInt();
        else if (args[i] == "--samples")
            samples = args[i + 1].toInt();
        else if (args[i] == "--probe-ms")
            probeMs = args[i + 1].toInt();
        else if (args[i] == "--phase")
            phase = args[i + 1];
    }
    const bool all = phase == "all";
    int result = 0;
    if (all || phase == "poller")
        result |= pollerPhase(minutes, baud);
    if (all || phase == "window")
        result |= windowPhase(minutes, baud, probeMs);
    if (all || phase == "memory")
        result |= memoryPhase(samples);
    return result;
}
