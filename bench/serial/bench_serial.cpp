// Round trips of the live request through SerialCommunication over a pseudo-terminal, against
// a peer thread that behaves like a sensor on a real line: the request takes its wire time to
// "arrive", the answer goes out at once, one character per character time.
//
//   bench_serial [--cycles N] [--baud B] [--timeout-cycles N] [--quxsim]
//
// With --quxsim the round trips are repeated against the simulator program next to this one.
// Reports the cycle time against the line's own limit, how late time-outs fire, and how long
// the end of an answer takes to be noticed.

#include "../common/quxsimstart.h"
#include <serialcommunication.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

using namespace ExtensionSystem;
using Clock = std::chrono::steady_clock;

namespace {

const char request[] = "/020D0e0C.";
const char answer[] = "/090D0251:02346B."; // 25.1 and 23.4 degrees, 17 characters
const char pattern[] = "/[0-9A-F]{2,2}0D0[0-9A-Z]{3,3}:[0-9A-Z]{6,6}\\.";

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

void sleepUntil(Clock::time_point when)
{
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(when.time_since_epoch());
    timespec t { time_t(ns.count() / 1000000000), long(ns.count() % 1000000000) };
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) { }
}

// The sensor end of the line, in its own thread.
class LinePeer
{
public:
    explicit LinePeer(int baud)
        : m_characterTime(std::chrono::nanoseconds(10LL * 1000000000LL / baud))
    {
        char name[128] = {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            return;
        m_name = name;
        termios mode {};
        tcgetattr(m_slave, &mode);
        cfmakeraw(&mode);
        tcsetattr(m_slave, TCSANOW, &mode);
        m_thread = std::thread([this] { run(); });
    }

    ~LinePeer()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        close(m_master);
        close(m_slave);
    }

    QString portName() const { return QString::fromLocal8Bit(m_name.c_str()); }
    void setSilent(bool silent) { m_silent = silent; }

    // When the first character of the last request arrived, when its "." arrived, and when the
    // answer's "." was handed to the line.
    struct Times
    {
        Clock::time_point requestStart, requestEnd, answerEnd;
    };
    Times lastTimes()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_times;
    }

private:
    void run()
    {
        std::string pending;
        Times times;
        while (!m_stop) {
            pollfd descriptor { m_master, POLLIN, 0 };
            if (poll(&descriptor, 1, 20) <= 0)
                continue;
            char buffer[64];
            const ssize_t n = read(m_master, buffer, sizeof buffer);
            const Clock::time_point now = Clock::now();
            for (ssize_t i = 0; i < n; ++i) {
                if (buffer[i] == '/') {
                    pending = "/";
                    times.requestStart = now;
                } else if (!pending.empty()) {
                    pending += buffer[i];
                }
                if (buffer[i] != '.' || pending.empty())
                    continue;
                times.requestEnd = now;
                const std::size_t length = pending.size();
                pending.clear();
                if (!m_silent)
                    times.answerEnd = answerAfterWire(times.requestStart, length);
                std::lock_guard<std::mutex> lock(m_mutex);
                m_times = times;
            }
        }
    }

    // The request needs its wire time to arrive; then each answer character leaves when its
    // stop bit would be done.
    Clock::time_point answerAfterWire(Clock::time_point requestStart, std::size_t requestLength)
    {
        Clock::time_point due = requestStart + m_characterTime * requestLength;
        Clock::time_point sent;
        for (const char *c = answer; *c; ++c) {
            due += m_characterTime;
            sleepUntil(due);
            (void)write(m_master, c, 1);
            sent = Clock::now();
        }
        return sent;
    }

    int m_master = -1;
    int m_slave = -1;
    std::string m_name;
    const std::chrono::nanoseconds m_characterTime;
    std::thread m_thread;
    std::atomic<bool> m_stop { false };
    std::atomic<bool> m_silent { false };
    std::mutex m_mutex;
    Times m_times;
};

struct Stats
{
    double median, p99, max;
};

Stats stats(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) { return values[std::size_t(q * double(values.size() - 1))]; };
    return { at(0.5), at(0.99), values.back() };
}

// The floor under every figure above: how long the pseudo-terminal itself takes to deliver one
// character from the master to a reader blocked on the slave (the kernel passes pty data on
// through a worker thread, which competes with everything else on the machine).
std::vector<double> ptyDeliveryMs(int samples)
{
    int master = -1, slave = -1;
    std::vector<double> delays;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        return delays;
    termios mode {};
    tcgetattr(slave, &mode);
    cfmakeraw(&mode);
    tcsetattr(slave, TCSANOW, &mode);
    std::atomic<bool> stop { false };
    std::atomic<long long> sentAt { 0 };
    std::thread writer([&] {
        while (!stop) {
            sleepUntil(Clock::now() + std::chrono::microseconds(500));
            sentAt = Clock::now().time_since_epoch().count();
            (void)write(master, ".", 1);
            sleepUntil(Clock::now() + std::chrono::microseconds(500));
        }
    });
    char c;
    while (int(delays.size()) < samples && read(slave, &c, 1) == 1) {
        const long long now = Clock::now().time_since_epoch().count();
        delays.push_back(double(now - sentAt) / 1e6);
    }
    stop = true;
    writer.join();
    close(master);
    close(slave);
    return delays;
}

// Runs `cycles` transactions back to back; after each, `record` sees the entry and the time the
// transaction was queued and finished.
template<typename Record>
void runCycles(SerialCommunication &serial, int cycles, double timeout, Record record)
{
    CommunicationInterface::DataFrame frame { {} };
    auto &entry = frame.front();
    entry.frame = request;
    entry.answerPattern = pattern;
    entry.timeout = timeout;
    int done = 0;
    Clock::time_point queued;
    QEventLoop loop;
    const auto connection = QObject::connect(&serial, &CommunicationInterface::emitFinished, &loop,
                                             [&](unsigned int) {
                                                 const Clock::time_point finished = Clock::now();
                                                 record(entry, queued, finished);
                                                 if (++done == cycles) {
                                                     loop.quit();
                                                     return;
                                                 }
                                                 queued = Clock::now();
                                                 serial.uiSendDataFrame(&frame);
                                             });
    QTimer::singleShot(0, &loop, [&] {
        queued = Clock::now();
        serial.uiSendDataFrame(&frame);
    });
    loop.exec();
    QObject::disconnect(connection);
}

// The same round trips against the simulator program, which paces its answers at the line's
// speed itself. Only the cycle time is visible from here.
int runAgainstQuxsim(int cycles, int baud)
{
    QProcess simulator;
    const QString port = BenchQuxsim::start(simulator, { "--baud", QString::number(baud) });
    if (port.isEmpty()) {
        std::fprintf(stderr, "quxsim did not start\n");
        return 1;
    }
    SerialCommunication serial;
    PortSettings settings;
    settings.portName = port;
    settings.baudrate = baud;
    if (!serial.open(settings))
        return 1;
    std::vector<double> cycleMs;
    int failures = 0;
    runCycles(serial, cycles, 120.0,
              [&](const CommunicationInterface::DataFrameEntry &entry, Clock::time_point queued,
                  Clock::time_point finished) {
                  if (entry.status == 1)
                      cycleMs.push_back(msBetween(queued, finished));
                  else
                      ++failures;
              });
    serial.vClose();
    simulator.terminate();
    simulator.waitForFinished(3000);
    if (cycleMs.empty())
        return 1;
    // The request reaches quxsim at once over the pseudo-terminal; only its answer is paced.
    const double wireMs = (sizeof answer - 1) * 10.0 * 1000.0 / baud;
    const Stats cycle = stats(cycleMs);
    std::printf("\nagainst quxsim: cycles %zu (failed %d)\n", cycleMs.size(), failures);
    std::printf("cycle time         median %7.3f ms  p99 %7.3f ms  max %7.3f ms\n", cycle.median,
                cycle.p99, cycle.max);
    std::printf("overhead above wire median %7.3f ms  p99 %7.3f ms (above the answer's own %.3f "
                "ms; host and simulator together)\n",
                cycle.median - wireMs, cycle.p99 - wireMs, wireMs);
    return failures == 0 ? 0 : 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int cycles = 5000;
    int timeoutCycles = 200;
    int baud = 38400;
    const QStringList args = app.arguments();
    const bool withQuxsim = args.contains("--quxsim");
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--cycles")
            cycles = args[i + 1].toInt();
        else if (args[i] == "--baud")
            baud = args[i + 1].toInt();
        else if (args[i] == "--timeout-cycles")
            timeoutCycles = args[i + 1].toInt();
    }

    LinePeer peer(baud);
    SerialCommunication serial;
    PortSettings settings;
    settings.portName = peer.portName();
    settings.baudrate = baud;
    QString error;
    if (!serial.open(settings, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }

    const int wireCharacters = int(sizeof request - 1 + sizeof answer - 1);
    const double wireMs = wireCharacters * 10.0 * 1000.0 / baud;

    std::vector<double> cycleMs, detectionMs, sendMs, ownMs, peerLateMs;
    int failures = 0;
    runCycles(serial, cycles, 120.0,
              [&](const CommunicationInterface::DataFrameEntry &entry, Clock::time_point queued,
                  Clock::time_point finished) {
                  const LinePeer::Times times = peer.lastTimes();
                  if (entry.status != 1) {
                      ++failures;
                      std::fprintf(stderr,
                                   "failed: status %u answer \"%s\" after %.3f ms, peer %.3f ms "
                                   "behind\n",
                                   entry.status, entry.answer.c_str(), msBetween(queued, finished),
                                   msBetween(times.requestStart, times.answerEnd) - wireMs);
                      return;
                  }
                  cycleMs.push_back(msBetween(queued, finished));
                  detectionMs.push_back(msBetween(times.answerEnd, finished));
                  sendMs.push_back(msBetween(queued, times.requestStart));
                  ownMs.push_back(sendMs.back() + detectionMs.back());
                  peerLateMs.push_back(msBetween(times.requestStart, times.answerEnd) - wireMs);
              });

    peer.setSilent(true);
    std::vector<double> lateMs;
    for (const double timeout : { 20.0, 120.0 }) {
        runCycles(serial, timeoutCycles, timeout,
                  [&](const CommunicationInterface::DataFrameEntry &entry, Clock::time_point,
                      Clock::time_point finished) {
                      if (entry.status != 0)
                          ++failures;
                      lateMs.push_back(msBetween(peer.lastTimes().requestEnd, finished) - timeout);
                  });
    }

    const Stats floor = stats(ptyDeliveryMs(2000));
    const Stats cycle = stats(cycleMs);
    const Stats detection = stats(detectionMs);
    const Stats late = stats(lateMs);
    const Stats send = stats(sendMs);
    const Stats own = stats(ownMs);
    const Stats peerLate = stats(peerLateMs);
    double load[3] = {};
    getloadavg(load, 3);
    std::printf("SerialCommunication over a pseudo-terminal, in-process line peer, %d baud\n",
                baud);
    std::printf("request %s + answer %s = %d characters on the wire: %.3f ms\n", request, answer,
                wireCharacters, wireMs);
    std::printf("cycles %zu (failed %d), load average %.2f\n", cycleMs.size(), failures, load[0]);
    std::printf("cycle time         median %7.3f ms  p99 %7.3f ms  max %7.3f ms\n", cycle.median,
                cycle.p99, cycle.max);
    std::printf("overhead above wire median %7.3f ms  p99 %7.3f ms   (targets < 2, < 5)\n",
                cycle.median - wireMs, cycle.p99 - wireMs);
    std::printf("  of which: queued -> request at the peer  median %7.3f ms  p99 %7.3f ms\n",
                send.median, send.p99);
    std::printf("  of which: peer behind its line schedule  median %7.3f ms  p99 %7.3f ms\n",
                peerLate.median, peerLate.p99);
    std::printf("own overhead (send + end detection) median %7.3f ms  p99 %7.3f ms\n", own.median,
                own.p99);
    std::printf("end-of-answer seen median %7.3f ms  p99 %7.3f ms  max %7.3f ms (target < 1)\n",
                detection.median, detection.p99, detection.max);
    std::printf("pty delivery floor median %7.3f ms  p99 %7.3f ms  max %7.3f ms (one character, "
                "no Qt)\n",
                floor.median, floor.p99, floor.max);
    std::printf(
        "time-out lateness  median %7.3f ms  p99 %7.3f ms  max %7.3f ms (%zu time-outs of 20 "
        "and 120 ms, target < 5)\n",
        late.median, late.p99, late.max, lateMs.size());
    const int simulatorResult = withQuxsim ? runAgainstQuxsim(cycles, baud) : 0;
    return failures == 0 ? simulatorResult : 2;
}
