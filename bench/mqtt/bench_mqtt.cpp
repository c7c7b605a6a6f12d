// Many simulated sensors streamed by quxctl to a local broker:
// - delay from the moment quxctl has a sample off the line (the payload's time) to its arrival
//   at a subscriber, median and 99th percentile;
// - quxctl's CPU time per published sample, and the same run without a broker for comparison;
// - quxctl's resident memory while the broker is down, against the queue's bound.

#include "../../tests/auto/common/brokerprocess.h"
#include "../../tests/auto/common/quxsimprocess.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <mosquitto.h>

#include <algorithm>
#include <csignal>
#include <memory>
#include <mutex>
#include <vector>

namespace {

QTextStream out(stdout);

qint64 nowMicroseconds()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

// Subscribes to qux/# with the client library and notes each sample's delay.
class DelayProbe
{
public:
    explicit DelayProbe(int port)
    {
        mosquitto_lib_init();
        m_client = mosquitto_new(nullptr, true, this);
        mosquitto_message_callback_set(
            m_client, [](mosquitto *, void *self, const mosquitto_message *message) {
                static_cast<DelayProbe *>(self)->received(message);
            });
        mosquitto_connect_callback_set(m_client, [](mosquitto *client, void *, int) {
            mosquitto_subscribe(client, nullptr, "qux/#", 0);
        });
        mosquitto_connect(m_client, "127.0.0.1", port, 30);
        mosquitto_loop_start(m_client);
    }
    ~DelayProbe()
    {
        mosquitto_disconnect(m_client);
        mosquitto_loop_stop(m_client, false);
        mosquitto_destroy(m_client);
    }
    void reset()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_delays.clear();
        m_messages = 0;
    }
    std::vector<double> delays()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_delays;
    }
    int messages()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_messages;
    }

private:
    void received(const mosquitto_message *message)
    {
        const qint64 arrival = nowMicroseconds();
        const QByteArray payload(static_cast<const char *>(message->payload), message->payloadlen);
        const QString time = QJsonDocument::fromJson(payload).object().value("time").toString();
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_messages;
        if (time.isEmpty() || !QByteArray(message->topic).endsWith("/temperature"))
            return;
        const qint64 sampled
            = QDateTime::fromString(time, Qt::ISODateWithMs).toMSecsSinceEpoch() * 1000;
        m_delays.push_back((arrival - sampled) / 1000.0);
    }

    mosquitto *m_client = nullptr;
    std::mutex m_mutex;
    std::vector<double> m_delays;
    int m_messages = 0;
};

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values.at(std::min(values.size() - 1, size_t(p * double(values.size()))));
}

// CPU seconds (user + system) of a process, from /proc.
double cpuSeconds(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return 0.0;
    const QByteArray text = file.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / sysconf(_SC_CLK_TCK);
}

// Resident memory in KiB.
long residentKiB(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

struct Streams
{
    std::vector<std::unique_ptr<QProcess>> processes;
    double cpu() const
    {
        double total = 0.0;
        for (const auto &process : processes)
            total += cpuSeconds(process->processId());
        return total;
    }
    long memory() const
    {
        long total = 0;
        for (const auto &process : processes)
            total += residentKiB(process->processId());
        return total;
    }
    void stop()
    {
        for (const auto &process : processes)
            ::kill(pid_t(process->processId()), SIGTERM);
        for (const auto &process : processes)
            process->waitForFinished(15000);
        processes.clear();
    }
};

// One quxctl for all ports, or one per port (while quxctl streams its ports one after another).
Streams startStreams(const QStringList &ports, const QStringList &options, bool onePerPort)
{
    Streams streams;
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/quxctl");
    const QList<QStringList> groups = [&] {
        QList<QStringList> result;
        if (onePerPort) {
            for (const QString &port : ports)
                result << QStringList { port };
        } else {
            result << ports;
        }
        return result;
    }();
    for (const QStringList &group : groups) {
        QStringList arguments { QStringLiteral("stream") };
        for (const QString &port : group)
            arguments << QStringLiteral("--port") << port;
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->setStandardOutputFile(QStringLiteral("/dev/null"));
        process->start(program, arguments + options);
        process->waitForStarted();
        streams.processes.push_back(std::move(process));
    }
    return streams;
}

// Sleeps in the event loop, leaving the cores to quxctl, quxsim and the broker.
void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({ { "sensors", "simulated sensors", "n", "16" },
                        { "seconds", "length of the measured stream", "s", "60" },
                        { "outage", "seconds with the broker down", "s", "300" },
                        { "queue", "quxctl's --mqtt-queue", "n", "2000" },
                        { "one-per-port", "one quxctl per sensor instead of one for all" } });
    parser.process(app);
    const int sensors = parser.value("sensors").toInt();
    const int seconds = parser.value("seconds").toInt();
    const int outage = parser.value("outage").toInt();
    const QString queue = parser.value("queue");
    const bool onePerPort = parser.isSet("one-per-port");

    if (!BrokerProcess::available()) {
        out << "bench_mqtt: mosquitto is not installed\n";
        return 1;
    }
    QTemporaryDir dir;
    BrokerProcess broker(dir.path());
    if (!broker.prepare() || !broker.start()) {
        out << "bench_mqtt: the broker did not start\n";
        return 1;
    }
    std::vector<std::unique_ptr<QTemporaryDir>> simDirs;
    std::vector<std::unique_ptr<QuxsimProcess>> sims;
    QStringList ports;
    for (int i = 0; i < sensors; ++i) {
        simDirs.push_back(std::make_unique<QTemporaryDir>());
        sims.push_back(std::make_unique<QuxsimProcess>(
            QCoreApplication::applicationDirPath() + "/quxsim", simDirs.back()->path()));
        if (!sims.back()->start({ "--temperature", "20", "--target", "300", "--ramp", "1",
                                  "--noise", "0.3", "--seed", QString::number(i + 1) })) {
            out << "bench_mqtt: quxsim did not start\n";
            return 1;
        }
        ports << sims.back()->link();
    }
    out << "bench_mqtt: " << sensors << " sensors, " << (onePerPort ? sensors : 1) << " quxctl, "
        << seconds << " s per run, " << outage << " s outage, queue " << queue << "\n";
    out.flush();

    // Without a broker, for the cost of polling alone.
    Streams csv = startStreams(ports, { "--seconds", QString::number(seconds + 30) }, onePerPort);
    wait(15000); // identified and read
    const double csvStart = csv.cpu();
    wait(seconds * 1000);
    const double csvCpu = csv.cpu() - csvStart;
    csv.stop();

    DelayProbe probe(broker.plainPort());
    const QStringList mqttOptions { "--mqtt", broker.plainUrl(), "--mqtt-queue", queue };
    Streams streams = startStreams(ports, mqttOptions, onePerPort);
    wait(15000);
    probe.reset();
    const double cpuStart = streams.cpu();
    wait(seconds * 1000);
    const double cpu = streams.cpu() - cpuStart;
    const std::vector<double> delays = probe.delays();
    const int messages = probe.messages();
    out << "published messages: " << messages << " (" << delays.size() << " temperatures), "
        << messages / double(seconds) << " per s\n";
    out << "delay, sample to subscriber: median " << percentile(delays, 0.5) << " ms, p99 "
        << percentile(delays, 0.99) << " ms, max " << percentile(delays, 1.0)
        << " ms (the payload's time is in whole ms: +0.5 ms on average)\n";
    out << "CPU per published message: " << cpu / messages * 1e6 << " us with the broker, "
        << csvCpu / messages * 1e6 << " us for the same polling without it (CPU " << cpu
        << " s and " << csvCpu << " s over " << seconds << " s)\n";
    out.flush();

    // Broker down: the queue fills to its bound and stays there.
    const long before = streams.memory();
    broker.stop();
    out << "broker down; resident memory of quxctl (KiB):\n  0 s: " << before << "\n";
    out.flush();
    for (int t = 30; t <= outage; t += 30) {
        wait(30000);
        out << "  " << t << " s: " << streams.memory() << "\n";
        out.flush();
    }
    broker.start();
    probe.reset();
    wait(40000);
    out << "broker back: " << probe.messages() << " messages within 40 s (queue and live)\n";
    streams.stop();
    return 0;
}
