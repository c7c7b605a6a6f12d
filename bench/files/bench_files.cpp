// Measures the settings file and the chart export with a chart of ten million samples (a week
// of polling is about 8.5 million): saving as the window saves (the chart text made as the
// file is written, synced and renamed) and its number formatting alone, loading through the
// window's own bOpenSettings and its reading of the file into samples, and the CSV export
// through the export dialog; next to them tinyxml2's own parse of the same file. Prints medians of
// several runs, the file sizes, and the peak memory each operation adds to what the process held
// before it, also as a multiple of the file's size.
//
//     bench_files [samples] [folder]      (defaults: 10000000, a temporary folder)

#include "files/settingsfile.h"
#include "model/memoryrows.h"
#include "model/sensorcatalogue.h"
#include "window/chartpresenter.h"
#include "window/sensorwindow.h"

#include <charttextreader.h>
#include <exportdialog.h>
#include <simpletimechart.h>
#include <valueovertime.h>

#include <tinyxml2.h>

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

Figure measure(int runs, const std::function<void()> &work,
               const std::function<void()> &prepare = {})
{
    std::vector<double> times;
    std::vector<double> cpuTimes;
    double peak = 0.0;
    for (int run = 0; run < runs; ++run) {
        if (prepare)
            prepare();
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
    chart.setDataFromText(text, ";");
}

double g_fileMiB = 0.0; // the file the peaks are compared with

void print(const char *what, const Figure &figure)
{
    std::printf("%-50s %8.1f %8.1f %8.1f %6.2fx\n", what, figure.ms, figure.cpuMs, figure.peakMiB,
                g_fileMiB > 0 ? figure.peakMiB / g_fileMiB : 0.0);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int samples = argc > 1 ? std::atoi(argv[1]) : 10000000;
    QTemporaryDir temporary;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path();
    const QString path = QDir(folder).filePath(QStringLiteral("bench.ovs"));
    const QString empty = QDir(folder).filePath(QStringLiteral("empty.ovs"));
    const QString csv = QDir(folder).filePath(QStringLiteral("bench.csv"));
    const int runs = 3;
    const std::string sensorName = "QUX-T40 D";

    SensorWindow window(findSensorInCatalogue(sensorName));
    Utils::SimpleTimeChart chart;
    fill(chart, samples);
    std::printf("%d samples, %d runs, medians; peak: memory added during the operation, and as a "
                "multiple of the settings file's size\n\n%-50s %8s %8s %8s %7s\n",
                samples, runs, "", "wall ms", "cpu ms", "peak MiB", "x file");

    // Saving as the window saves; the property text is the window's rows' own, a few hundred
    // bytes.
    const MemoryRows rows(findSensorInCatalogue(sensorName));
    const TextWriter chartWriter
        = [&chart](const TextPieces &out) { return chart.dataToText(out, ";"); };
    const auto saveAll
        = [&] { writeSettingsFile(path, settingsDocument(sensorName, rows, chartWriter)); };
    saveAll();
    g_fileMiB = QFileInfo(path).size() / 1048576.0;
    print("save: chart text alone (numbers formatted)",
          measure(runs, [&] { chartWriter([](std::string_view) { return true; }); }));
    print("save: all (text made as written, synced, renamed)", measure(runs, saveAll));
    std::printf("settings file: %.1f MB, %.1f bytes per sample\n\n", QFileInfo(path).size() / 1e6,
                double(QFileInfo(path).size()) / qMax(samples, 1));

    // Loading: tinyxml2's own parse of the same file next to it.
    print("load: tinyxml2's own parse (XMLDocument::LoadFile)", measure(runs, [&] {
              tinyxml2::XMLDocument xml(true, tinyxml2::PRESERVE_WHITESPACE);
              xml.LoadFile(QFile::encodeName(path).constData());
          }));
    print("load: file read into samples (readSettingsFile)", measure(runs, [&] {
              Utils::ChartTextReader reader(";");
              const ChartTextSink sink { [&reader](std::string_view piece) {
                                            return reader.append(piece);
                                        },
                                         [&reader] { reader.restart(); } };
              readSettingsFile(path, sensorName, FileProgress(), &sink);
              reader.finish();
          }));
    // Each run into an empty chart, as into a new window.
    writeSettingsFile(empty, settingsDocument(sensorName, rows, std::string()));
    print("load: all (SensorWindow::bOpenSettings)",
          measure(
              runs, [&] { window.bOpenSettings(path); }, [&] { window.bOpenSettings(empty); }));
    // No cap may refuse what the window saved: the file loads whole.
    const bool loaded = window.bOpenSettings(path);
    const qint64 loadedSamples = qint64(window.chartPresenter().chart()->poData()->size());
    std::printf("loaded again: %s, %lld samples\n\n", loaded ? "yes" : "no",
                static_cast<long long>(loadedSamples));
    if (!loaded || loadedSamples != samples)
        return 1;

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
