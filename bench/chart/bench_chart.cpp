// Measures the time chart: appending samples, a full redraw into a 1280x800 image with every
// sample in view, appending with incremental painting on a shown chart, and the memory per
// sample; and, as the baseline, a plain QwtPlotCurve drawing the same samples unreduced.
// Prints medians of several runs. Run on any platform; it defaults to "offscreen".

#include <simpletimechart.h>
#include <valueovertime.h>

#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_renderer.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
const double start = 1.7e12;
const double step = 65.0; // ms between samples, as the live polling delivers them

double elapsedMs(Clock::time_point since)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0.0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) : 0.0;
}

double sampleValue(int i)
{
    return 200.0 + 150.0 * std::sin(i * 0.001) + (qint64(i) * 7919 % 101) * 0.2;
}

double renderMs(QwtPlot *plot, int runs)
{
    QImage image(1280, 800, QImage::Format_ARGB32_Premultiplied);
    QwtPlotRenderer renderer;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        image.fill(Qt::white);
        QPainter painter(&image);
        const auto t0 = Clock::now();
        renderer.render(plot, &painter, QRectF(0, 0, 1280, 800));
        painter.end();
        times.push_back(elapsedMs(t0));
    }
    return median(times);
}

void benchChart(int n)
{
    Utils::SimpleTimeChart chart;
    chart.vSetYScale(-50.0, 400.0);
    chart.vEnableYRightAxis(true);
    chart.setYRightAxisScale(0.0, 10.0, 2.0);
    // Everything in view, with room for the appended samples measured below.
    chart.setVisibleTimeSpan(qMax(n, 1000) * step / 0.7);

    const double rssBefore = residentBytes();
    auto t0 = Clock::now();
    for (int i = 0; i < n; ++i)
        chart.appendAt(start + i * step, sampleValue(i), sampleValue(i) / 40.0);
    const double appendNs = elapsedMs(t0) * 1e6 / qMax(1, n);
    const double rssPerSample = (residentBytes() - rssBefore) / qMax(1, n);
    const double reservedPerSample = chart.poData()->capacity() * 24.0 / qMax(1, n);
    chart.jumpToPlottingArea();

    const double leftOnly = renderMs(chart.poPlot(), 7);
    chart.setCustomSignal(true);
    const double withRight = renderMs(chart.poPlot(), 7);
    chart.setCustomSignal(false);

    // Appending on a shown, following chart: each sample is painted on its own.
    chart.resize(1280, 800);
    chart.show();
    QApplication::processEvents();
    std::vector<double> appendTimes;
    for (int i = 0; i < 2000; ++i) {
        const auto t1 = Clock::now();
        chart.appendAt(start + (n + i) * step, sampleValue(n + i), 1.0);
        appendTimes.push_back(elapsedMs(t1));
    }
    std::printf("%9d | %9.1f ns | %8.3f ms | %8.3f ms | %8.4f ms | %6.1f B | %6.1f B\n", n,
                appendNs, leftOnly, withRight, median(appendTimes), rssPerSample,
                reservedPerSample);
    std::fflush(stdout);
}

void benchPlainQwt(int n)
{
    std::vector<double> x(n), y(n);
    for (int i = 0; i < n; ++i) {
        x[i] = start + i * step;
        y[i] = sampleValue(i);
    }
    QwtPlot plot;
    plot.setAxisScale(QwtPlot::xBottom, x.front(), x.back());
    plot.setAxisScale(QwtPlot::yLeft, -50.0, 400.0);
    auto curve = new QwtPlotCurve;
    curve->setRawSamples(x.data(), y.data(), n);
    curve->attach(&plot);
    std::printf("plain Qwt curve, %d samples, no reduction: full redraw %.1f ms\n", n,
                renderMs(&plot, 3));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    std::printf(
        "  samples |    append |    redraw |  redraw+R | append+paint |    RSS/s | reserved/s\n");
    const bool quick = qEnvironmentVariableIsSet("BENCH_QUICK");
    for (int n : { 0, 10000, 100000, 1000000, 10000000 }) {
        if (quick && n < 1000000)
            continue;
        benchChart(n);
    }
    if (!quick)
        benchPlainQwt(1000000);
    return 0;
}
