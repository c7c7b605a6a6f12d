// Measures the settings file and the chart export with a chart of a million samples: saving
// (chart text, Latin-1 copy, writing through the save file), loading through the window's own
// bOpenSettings (and its parts: reading and parsing the file, the chart text into the chart),
// and the CSV export through the export dialog. Prints medians of several runs, the file sizes,
// and the peak memory each operation adds to what the process held before it.
//
//     bench_files [samples] [folder]      (defaults: 1000000, a temporary folder)

#include "files/settingsfile.h"
#include "model/memoryrows.h"
#include "model/sensorcatalogue.h"
#include "window/sensorwindow.h"

#include <exportdialog.h>
#include <simpletimechart.h>
#include <valueovertime.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

using namespace DrumoSensorPlugin::Core;

namespace {

using Clock = std::chrono::steady_clock;

double elapsedMs(Clock::time_point since)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A field of /proc/self/status in MiB ("VmRSS", "VmHWM").
double statusMiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0.0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field)) + 1).trimmed().split(' ').first().toDouble()
                / 1024.0;
    }
    return 0.0;
}

// Runs `work` `runs` times; the median time and the largest peak above the resident memory
// before each run (the kernel's peak is reset before each).
struct Figure
{
    double ms;
    double cpuMs;
    double peakMiB;
};

// CPU time of this thread: the figure that other work on the machine does not stretch.
double cpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

Figure measure(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    std::vector<double> cpuTimes;
    double peak = 0.0;
    for (int run = 0; run < runs; ++run) {
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5");
        clear.close();
        const double before = statusMiB("VmRSS:");
        const Clock::time_point start = Clock::now();
        const double cpuStart = cpuMs();
        work();
        cpuTimes.push_back(cpuMs() - cpuStart);
        times.push_back(elapsedMs(start));
        peak = std::max(peak, statusMiB("VmHWM:") - before);
    }
    return { median(times), median(cpuTimes), peak };
}

void fill(Utils::SimpleTimeChart &chart, int samples)
{
    // As the live chart gets them: a sample every 65 ms, temperatures in tenths of a degree,
    // the analog output computed from them (0..10 V over 0..350 °C). Read in as one text: a
    // chart that follows its samples replots whenever its time window moves on.
    std::string text;
    char item[128];
    for (int i = 0; i < samples; ++i) {
        const double temperature
            = std::round((200.0 + 150.0 * std::sin(i * 0.001) + (qint64(i) * 7919 % 101) * 0.2)
                         * 10.0)
            / 10.0;
        text.append(
            item,
            size_t(std::snprintf(item, sizeof item, "%s%.17g,%.17g,%.17g", i ? ";" : "",
                                 1.7e12 + 65.0 * i, temperature, temperature / 350.0 * 10.0)));
    }
    chart.setDataFromString(QString::fromLatin1(text.data(), int(text.size())),
                            QStringLiteral(";"));
}

void print(const char *what, const Figure &figure)
{
    std::printf("%-50s %8.1f %8.1f %8.1f\n", what, figure.ms, figure.cpuMs, figure.peakMiB);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int samples = argc > 1 ? std::atoi(argv[1]) : 1000000;
    QTemporaryDir temporary;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path();
    const QString path = QDir(folder).filePath(QStringLiteral("bench.ovs"));
    const QString csv = QDir(folder).filePath(QStringLiteral("bench.csv"));
    const int runs = 5;
    const std::string sensorName = "QUX-T40 D";

    SensorWindow window(findSensorInCatalogue(sensorName));
    Utils::SimpleTimeChart chart;
    fill(chart, samples);
    std::printf("%d samples, %d runs, medians; peak: memory added during the operation\n\n"
                "%-50s %8s %8s %8s\n",
                samples, runs, "", "wall ms", "cpu ms", "peak MiB");

    // Saving, in the window's steps (the window adds its file dialog around them); the
    // property text is the window's rows' own, a few hundred bytes.
    const MemoryRows rows(findSensorInCatalogue(sensorName));
    std::string chartText;
    print("save: chart text (dataToString)", measure(runs, [&] {
              QString text;
              chart.dataToString(text, QStringLiteral(";"));
              const QByteArray bytes = text.toLatin1();
              text = QString();
              chartText.assign(bytes.constData(), size_t(bytes.size()));
          }));
    const SettingsDocument document = settingsDocument(sensorName, rows, chartText);
    print("save: document written (print, write, commit)",
          measure(runs, [&] { writeSettingsFile(path, document); }));
    print("save: all", measure(runs, [&] {
              QString text;
              chart.dataToString(text, QStringLiteral(";"));
              const QByteArray bytes = text.toLatin1();
              text = QString();
              writeSettingsFile(
                  path,
                  settingsDocument(sensorName, rows,
                                   std::string(bytes.constData(), size_t(bytes.size()))));
          }));
    std::printf("settings file: %.1f MB\n\n", QFileInfo(path).size() / 1e6);

    // Loading, through the window.
    print("load: file read and parsed (readSettingsFile)",
          measure(runs, [&] { readSettingsFile(path, sensorName); }));
    const QString text = QString::fromLatin1(chartText.data(), int(chartText.size()));
    print("load: chart text into a chart (setDataFromString)", measure(runs, [&] {
              Utils::SimpleTimeChart loaded;
              loaded.setDataFromString(text, QStringLiteral(";"));
          }));
    print("load: all (SensorWindow::bOpenSettings)",
          measure(runs, [&] { window.bOpenSettings(path); }));
    std::printf("\n");

    // The export, as the export dialog writes it when accepted.
    const Utils::ValueOverTime *data = chart.poData();
    print("export: text and file (ExportDialog accepted)", measure(runs, [&] {
              QList<const Utils::ValueOverTime *> series { data };
              QList<QString> columns { QStringLiteral("Time"), QStringLiteral("Signal") };
              Utils::ExportDialog dialog(&series, &columns);
              dialog.setPrecision(2);
              dialog.setFileName(csv);
              dialog.done(QDialog::Accepted);
          }));
    std::printf("export file: %.1f MB\n", QFileInfo(csv).size() / 1e6);
    return 0;
}
