// quxctl with many ports at once: `quxctl read` and `quxctl apply` on 1, 4 and 16 quxsim sensors
// over pseudo-terminals at 38400 baud, and on 4 over TCP (quxsim --tcp, loopback).
//
//   bench_ports [--runs N] [--counts 1,4,16] [--tcp-counts 4]
//
// Each configuration runs N times (default 3) and reports the median wall time, its ratio to
// the one-port run of the same medium and command (the target is at most 1.3 for 16 ports), the
// CPU time quxctl used per port (user + system) and quxctl's peak resident memory, both from
// wait4. quxsim paces
// every answer at the line's speed, on TCP as a serial device server relays it; the floor of a
// run is that of its slowest port, which equals the one-port run, so no ratio falls below 1.

#include "quxsimprocess.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

namespace {

struct Sample
{
    double wallMs = 0;
    double cpuMs = 0;
    long peakKb = 0;
    int status = -1;
};

double cpuMsOf(const rusage &usage)
{
    return usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 + usage.ru_stime.tv_sec * 1e3
        + usage.ru_stime.tv_usec / 1e3;
}

// One quxctl run, its output dropped. Waited for with wait4, so its CPU time and peak memory
// are its own.
Sample runQuxctl(const QStringList &arguments)
{
    const QByteArray program
        = QFile::encodeName(QCoreApplication::applicationDirPath() + QStringLiteral("/quxctl"));
    std::vector<QByteArray> texts { program };
    for (const QString &argument : arguments)
        texts.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Sample sample;
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.constData(), &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage {};
        if (::wait4(pid, &status, 0, &usage) == pid) {
            sample.wallMs = clock.nsecsElapsed() / 1e6;
            sample.cpuMs = cpuMsOf(usage);
            sample.peakKb = usage.ru_maxrss;
            sample.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    return sample;
}

QList<int> numbers(const QString &text)
{
    QList<int> result;
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        result << part.toInt();
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({ { "runs", "Runs per configuration (default 3).", "n" },
                        { "counts", "Pseudo-terminal port counts (default 1,4,16).", "list" },
                        { "tcp-counts", "TCP port counts (default 4).", "list" } });
    parser.process(app);
    const int runs = std::max(1, parser.value("runs").isEmpty() ? 3 : parser.value("runs").toInt());
    const QList<int> ptyCounts
        = numbers(parser.isSet("counts") ? parser.value("counts") : QStringLiteral("1,4,16"));
    const QList<int> tcpCounts
        = numbers(parser.isSet("tcp-counts") ? parser.value("tcp-counts") : QStringLiteral("4"));
    const QString quxsim = QCoreApplication::applicationDirPath() + QStringLiteral("/quxsim");

    QTemporaryDir work;
    const QString reference = work.filePath(QStringLiteral("reference.ovs"));
    std::printf("%-5s %6s %-6s %10s %7s %12s %10s\n", "line", "ports", "cmd", "median ms", "ratio",
                "cpu ms/port", "peak KiB");

    QHash<QString, double> onePort;
    for (const bool tcp : { false, true }) {
        const QList<int> counts = tcp ? tcpCounts : ptyCounts;
        // The one-port figure of this medium first, for the ratio.
        QList<int> order = counts;
        if (!order.contains(1))
            order.prepend(1);
        for (int count : order) {
            std::vector<std::unique_ptr<QTemporaryDir>> dirs;
            std::vector<std::unique_ptr<QuxsimProcess>> sims;
            QStringList ports;
            for (int i = 0; i < count; ++i) {
                dirs.push_back(std::make_unique<QTemporaryDir>());
                sims.push_back(std::make_unique<QuxsimProcess>(quxsim, dirs.back()->path()));
                const bool started = tcp ? sims.back()->startTcp({ "--baud", "38400" })
                                         : sims.back()->start({ "--baud", "38400" });
                if (!started) {
                    std::fprintf(stderr, "bench_ports: quxsim did not start\n");
                    return 1;
                }
                ports << QStringLiteral("--port") << sims.back()->port();
            }
            if (!QFile::exists(reference)
                && runQuxctl({ "save", "--port", sims.front()->port(), reference }).status != 0) {
                std::fprintf(stderr, "bench_ports: no reference file\n");
                return 1;
            }
            for (const QString &command : { QStringLiteral("read"), QStringLiteral("apply") }) {
                QStringList arguments = QStringList { command } + ports;
                if (command == QLatin1String("apply"))
                    arguments << reference;
                std::vector<Sample> samples;
                for (int run = 0; run < runs; ++run) {
                    samples.push_back(runQuxctl(arguments));
                    if (samples.back().status != 0) {
                        std::fprintf(stderr, "bench_ports: quxctl %s ended with %d\n",
                                     qPrintable(command), samples.back().status);
                        return 1;
                    }
                }
                std::sort(samples.begin(), samples.end(),
                          [](const Sample &a, const Sample &b) { return a.wallMs < b.wallMs; });
                const Sample &median = samples[samples.size() / 2];
                double cpu = 0;
                long peak = 0;
                for (const Sample &sample : samples) {
                    cpu += sample.cpuMs;
                    peak = std::max(peak, sample.peakKb);
                }
                const QString key = (tcp ? "tcp " : "pty ") + command;
                if (count == 1)
                    onePort[key] = median.wallMs;
                if (!counts.contains(count))
                    continue;
                std::printf("%-5s %6d %-6s %10.0f %7.2f %12.1f %10ld\n", tcp ? "tcp" : "pty", count,
                            qPrintable(command), median.wallMs,
                            median.wallMs / onePort.value(key, median.wallMs),
                            cpu / samples.size() / count, peak);
                std::fflush(stdout);
            }
        }
    }
    return 0;
}
