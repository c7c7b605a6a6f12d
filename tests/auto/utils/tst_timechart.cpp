// The chart: its samples and their text, following and zooming, markers and threshold lines
// dragged with the mouse, and what it draws.

#include <simpletimechart.h>
#include <thresholddatamanager.h>
#include <thresholdwindowwidget.h>
#include <valueovertime.h>

#include <qwt_plot.h>
#include <qwt_scale_div.h>
#include <qwt_scale_draw.h>
#include <qwt_scale_map.h>
#include <qwt_scale_widget.h>
#include <qwt_text.h>

#include <QScreen>
#include <QtTest>

using Utils::SimpleTimeChart;
using Utils::ThresholdDataManager;
using Utils::ThresholdWindowWidget;
using Utils::ValueOverTime;

// Sends mouse events straight to a plot canvas, so that drags do not depend on the cursor
// position of the (offscreen) platform.
namespace CanvasMouse {

inline void send(QWidget *canvas, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
                 Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(type, pos, canvas->mapToGlobal(pos), button, buttons, modifiers);
    QApplication::sendEvent(canvas, &event);
}

inline void drag(QWidget *canvas, const QPoint &from, const QPoint &to,
                 Qt::MouseButton button = Qt::LeftButton)
{
    send(canvas, QEvent::MouseButtonPress, from, button, button);
    const QPoint middle = (from + to) / 2;
    send(canvas, QEvent::MouseMove, middle, Qt::NoButton, button);
    send(canvas, QEvent::MouseMove, to, Qt::NoButton, button);
    send(canvas, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}

} // namespace CanvasMouse

class tst_TimeChart : public QObject
{
    Q_OBJECT

private slots:
    void valueOverTimeGrowsAndShares();
    void appendKeepsTimesSorted();
    void readingText_data();
    void readingText();
    void dragsAreLimitedAndReportedOnRelease_data();
    void dragsAreLimitedAndReportedOnRelease();
    void followingAndLeavingIt();
    void panStaysInsideTimelineScale();
    void denseDataKeepsSpikes_data();
    void denseDataKeepsSpikes();
    void timeLabelsNeverOverlap_data();
    void timeLabelsNeverOverlap();
    void thresholdBandAndLifetime();
    void thresholdHexString_data();
    void thresholdHexString();

private:
    static QString text(const SimpleTimeChart &chart)
    {
        QString s;
        chart.dataToString(s, QStringLiteral(";"));
        return s;
    }
    static int pixelOf(SimpleTimeChart &chart, double value)
    {
        return qRound(chart.poPlot()->canvasMap(QwtPlot::yLeft).transform(value));
    }
    static void wheel(QwtPlot *plot, QPoint at, int delta,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWheelEvent event(at, plot->canvas()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(plot->canvas(), &event);
    }
    static void showChart(SimpleTimeChart &chart)
    {
        chart.resize(800, 500);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        chart.poPlot()->replot();
    }
};

void tst_TimeChart::valueOverTimeGrowsAndShares()
{
    // Large enough for the columns to move into mappings of their own while growing.
    ValueOverTime large;
    for (int i = 0; i < 400000; ++i)
        large.append(i, i * 2.0, -i);
    QCOMPARE(large.lowerBound(2500.5), 2501);
    QCOMPARE(large.lowerBound(-1.0), 0);
    QCOMPARE(large.lowerBound(1e9), 400000);
    ValueOverTime largeCopy = large; // shares until changed
    largeCopy.append(1e9, 1, 1); // detaches: a full copy of mapped columns
    for (int i : { 0, 1023, 1024, 131071, 131072, 399999 }) {
        QCOMPARE(large.pxData()[i], double(i));
        QCOMPARE(largeCopy.pyData()[i], i * 2.0);
        QCOMPARE(largeCopy.pyRightData()[i], -double(i));
    }
    QCOMPARE(largeCopy.size(), 400001);
    largeCopy.clear();
    QCOMPARE(large.pyRightData()[10], -10.0);
    large.clear();
    large.append(7, 8, 9);
    QCOMPARE(large.pyRightData()[0], 9.0);
}

void tst_TimeChart::appendKeepsTimesSorted()
{
    SimpleTimeChart chart;
    chart.appendAt(1000.0, 1, 2);
    chart.appendAt(900.0, 3, 4); // a clock set back counts as no time passing
    chart.vAppend(5, 6);
    const ValueOverTime *data = chart.poData();
    QCOMPARE(data->size(), 3);
    QCOMPARE(data->pxData()[1], 1000.0);
    QVERIFY(data->pxData()[2] >= 1000.0);
    chart.setCurrendValuePrecision(2);
    QTRY_COMPARE(chart.currentValueText(), QStringLiteral("Current value: 5.00"));
    chart.clear();
    QCOMPARE(data->size(), 0);
    QCOMPARE(chart.currentValueText(), QStringLiteral("Current value: -"));
}

void tst_TimeChart::readingText_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("expected"); // written back with ";"; null: refused
    const char *rows[][4] = {
        // The chart writes the shortest text that reads back bit for bit ("=": the input comes
        // back unchanged, down to the last digit).
        { "exact", "2.5,0.3333333333333333,1e+300;1733400000000.5,0.30000000000000004,5e-324", ";",
          "=" },
        { "negative", "1,-200,-200;2,-0.1,-1e-300", ";", "=" },
        { "empty", "", ";", "" },
        { "unsorted", "30,3,0.5;10,1,0.25;20,2,0.75;", ";", "10,1,0.25;20,2,0.75;30,3,0.5" },
        { "comma between samples", "20,2,0.5,10,1,0.25", ",", "10,1,0.25;20,2,0.5" },
        { "comma, four fields", "1,2,3,4", ",", nullptr },
        { "words", "temperature", ";", nullptr },
        { "two fields", "1,2", ";", nullptr },
        { "four fields", "1,2,3,4", ";", nullptr },
        { "second item short", "1,2,3;4,5", ";", nullptr },
        { "empty item inside", "1,2,3;;4,5,6", ";", nullptr },
        { "letter in number", "1,2x,3", ";", nullptr },
        { "decimal comma", "1;2,5;3", ";", nullptr },
        { "not a number", "1,nan,3", ";", nullptr },
        { "infinite", "1,2,inf", ";", nullptr },
        { "two-character separator", "1,2,3\r\n4,5,6\r\n", "\r\n", "1,2,3;4,5,6" },
        { "separator split", "1,2,3\r\n4,5\r\n6", "\r\n", nullptr },
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << row[1] << row[2]
                              << QString(row[3] && *row[3] == '=' ? row[1] : row[3]);
}

// Reading is all or nothing: a refused text leaves the chart as it was, an accepted one replaces
// its samples. The same text arriving in pieces reads alike: fuzz_chartdata's, for any text and
// separator.
void tst_TimeChart::readingText()
{
    QFETCH(QString, input);
    QFETCH(QString, separator);
    QFETCH(QString, expected);
    SimpleTimeChart chart;
    chart.appendAt(1000.0, -12.5, 0.25);
    chart.appendAt(2000.0, 13.5, 0.5);
    const QString before = text(chart);
    QCOMPARE(chart.setDataFromString(input, separator), !expected.isNull());
    QCOMPARE(text(chart), expected.isNull() ? before : expected);
}

void tst_TimeChart::dragsAreLimitedAndReportedOnRelease_data()
{
    // The markers "on" and "off" or the threshold lines "lower" and "upper".
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("state");
    QTest::addColumn<double>("target");
    QTest::addColumn<double>("expected"); // the start value: nothing moves or is reported
    const struct
    {
        const char *name, *item, *state;
        double target, expected;
    } rows[] = {
        { "on inside", "on", "", 42, 42 },
        { "on above range", "on", "", 90, 50 },
        { "off below range", "off", "", 5, 60 },
        { "off inside", "off", "", 75, 75 },
        { "fixed markers stay", "on", "fixed", 45, 30 },
        { "marker clicked without a move", "on", "", 30, 30 },
        { "lower inside", "lower", "", 150, 150 },
        { "lower stops at upper", "lower", "", 300, 200 },
        { "upper stops at lower", "upper", "", 20, 100 },
        { "lower passes upper when overlapping", "lower", "overlapping", 300, 300 },
        { "upper passes lower when overlapping", "upper", "overlapping", 20, 20 },
        { "upper stops at range end", "upper", "overlapping", 390, 350 },
        { "lower stops at range start", "lower", "", -45, -25 },
        { "line clicked without a move", "lower", "", 100, 100 },
        { "read only", "lower", "readOnly", 150, 100 },
        { "hidden line stays", "upper", "upperHidden", 250, 200 },
        { "hidden line holds nothing back", "lower", "upperHidden", 300, 300 },
    };
    for (const auto &row : rows)
        QTest::newRow(row.name) << row.item << row.state << row.target << row.expected;
}

// Markers and threshold lines (never both on one chart) follow the mouse within their limits and
// report the new value, at pixel resolution rounded to one decimal, once on release. Grabbing
// one is no pan; where nothing can be grabbed, the drag pans.
void tst_TimeChart::dragsAreLimitedAndReportedOnRelease()
{
    QFETCH(QString, item);
    QFETCH(QString, state);
    QFETCH(double, target);
    QFETCH(double, expected);
    SimpleTimeChart chart;
    const bool marker = item == "on" || item == "off";
    ThresholdWindowWidget *lines = nullptr;
    if (marker) {
        chart.vSetYScale(0.0, 100.0);
        chart.setOnMarkerRange(10.0, 50.0);
        chart.setOffMarkerRange(60.0, 95.0);
        chart.vSetOnMarker(30.0);
        chart.vSetOffMarker(80.0);
        chart.vSetMarkersMoveable(state != "fixed");
    } else {
        chart.vSetYScale(-50.0, 400.0);
        lines = new ThresholdWindowWidget(chart.poPlot(), 1);
        lines->setThresholdsRange(-25.0, 350.0);
        lines->formatText(true);
        lines->setLowerMarkerValue(100.0, QStringLiteral("A1: "));
        lines->setUpperMarkerValue(200.0, QStringLiteral("A2: "));
        lines->enableLowerMark(true);
        lines->enableUpperMark(state != "upperHidden");
        lines->allowOverlapping(state == "overlapping");
        lines->setReadOnly(state == "readOnly");
    }
    showChart(chart);
    QList<QPair<QString, double>> reports;
    connect(&chart, &SimpleTimeChart::vOnMarkerChanged, this, [&](double value) {
        reports.append({ "on", value });
    });
    connect(&chart, &SimpleTimeChart::vOffMarkerChanged, this, [&](double value) {
        reports.append({ "off", value });
    });
    if (lines)
        connect(lines, &ThresholdWindowWidget::emitValueChanged, this,
                [&](unsigned output, double value) {
                    reports.append({ output ? "upper" : "lower", value });
                });
    const auto position = [&] {
        return item == "on"   ? chart.onMarker()
            : item == "off"   ? chart.offMarker()
            : item == "lower" ? lines->lowerMark()
                              : lines->upperMark();
    };

    QWidget *canvas = chart.poPlot()->canvas();
    const double start = position();
    const QPoint from(300, pixelOf(chart, start));
    const QPoint to(target == start ? 300 : 320, pixelOf(chart, target));
    CanvasMouse::send(canvas, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    CanvasMouse::send(canvas, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    QVERIFY(reports.isEmpty());
    CanvasMouse::send(canvas, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    if (expected == start) {
        QVERIFY(reports.isEmpty());
        QCOMPARE(position(), start);
        return;
    }

    QCOMPARE(reports.size(), 1);
    QCOMPARE(reports.first().first, item);
    const double reported = reports.first().second;
    QVERIFY2(qAbs(reported - expected) <= (marker ? 0.5 : 1.0),
             qPrintable(QString::number(reported)));
    QCOMPARE(reported, qRound(reported * 10.0) / 10.0);
    QCOMPARE(position(), reported);
    QVERIFY(chart.isFollowing());
    if (lines)
        QCOMPARE(item == "lower" ? lines->lowerLabel() : lines->upperLabel(),
                 (item == "lower" ? "A1: " : "A2: ") + QString::number(reported, 'f', 1));
}

// Following moves the time window on with new samples. Wheel zoom, pan and rubber band leave it,
// and new samples then leave the view alone; jumping back or a double click return to it.
void tst_TimeChart::followingAndLeavingIt()
{
    SimpleTimeChart chart;
    chart.vSetYScale(-50.0, 400.0);
    chart.setVisibleTimeSpan(10000.0);
    const double t0 = 1.7e12;
    chart.appendAt(t0, 1, 1);
    showChart(chart);
    QwtPlot *plot = chart.poPlot();
    const auto shown = [plot] { return plot->axisInterval(QwtPlot::xBottom); };
    QVERIFY(shown().contains(t0));
    QCOMPARE(shown().width(), 10000.0);
    chart.appendAt(t0 + 25000.0, 2, 2); // beyond the right edge: the window moves on
    QVERIFY(shown().contains(t0 + 25000.0));
    QVERIFY(shown().maxValue() > t0 + 25000.0); // room for the next samples
    QCOMPARE(shown().width(), 10000.0);

    wheel(plot, QPoint(400, 200), 120);
    QVERIFY(!chart.isFollowing());
    const QwtInterval zoomed = shown();
    QVERIFY(zoomed.width() < 10000.0);
    chart.appendAt(t0 + 60000.0, 3, 3);
    QCOMPARE(shown(), zoomed);
    chart.jumpToPlottingArea();
    QVERIFY(chart.isFollowing());
    QVERIFY(shown().contains(t0 + 60000.0));
    QCOMPARE(plot->axisInterval(QwtPlot::yLeft).minValue(), -50.0);

    const QwtInterval before = shown();
    CanvasMouse::drag(plot->canvas(), QPoint(400, 200), QPoint(500, 250));
    QVERIFY(!chart.isFollowing());
    QVERIFY(shown().minValue() < before.minValue());

    // Right button: rubber band zoom into the marked rectangle.
    chart.jumpToPlottingArea();
    CanvasMouse::drag(plot->canvas(), QPoint(100, 100), QPoint(300, 300), Qt::RightButton);
    QVERIFY(plot->axisInterval(QwtPlot::yLeft).width() < 450.0 * 0.6);
    CanvasMouse::send(plot->canvas(), QEvent::MouseButtonDblClick, QPoint(10, 10), Qt::LeftButton,
                      Qt::LeftButton);
    QVERIFY(chart.isFollowing());
}

void tst_TimeChart::panStaysInsideTimelineScale()
{
    SimpleTimeChart chart;
    chart.setAllowNegativeValues(false);
    chart.vSetYScale(0.0, 100.0);
    chart.setTimelineScale(-25.0, 200.0);
    chart.appendAt(1.7e12, 1, 1);
    showChart(chart);
    QwtPlot *plot = chart.poPlot();
    // Pull the curve up a long way: the view would go far below zero.
    CanvasMouse::drag(plot->canvas(), QPoint(300, 450), QPoint(300, 50));
    QCOMPARE(plot->axisInterval(QwtPlot::yLeft).minValue(), 0.0);
    QCOMPARE(plot->axisInterval(QwtPlot::yLeft).maxValue(), 100.0);
    // Zooming out stops at the timeline scale.
    for (int i = 0; i < 20; ++i)
        wheel(plot, QPoint(300, 200), -120, Qt::ControlModifier);
    QCOMPARE(plot->axisInterval(QwtPlot::yLeft).minValue(), 0.0);
    QCOMPARE(plot->axisInterval(QwtPlot::yLeft).maxValue(), 200.0);
}

void tst_TimeChart::denseDataKeepsSpikes_data()
{
    QTest::addColumn<int>("samples");
    QTest::addColumn<bool>("live");
    QTest::newRow("sparse") << 500 << false;
    QTest::newRow("dense") << 200000 << false; // hundreds of samples per pixel column: reduced
    // Appended one by one while shown, each drawn on its own; read from what reached the screen.
    QTest::newRow("live") << 300 << true;
}

// Reducing a column to a few points must keep its extremes: a single spike among many flat
// samples stays visible, in both directions.
void tst_TimeChart::denseDataKeepsSpikes()
{
    QFETCH(int, samples);
    QFETCH(bool, live);
    SimpleTimeChart chart;
    chart.vSetYScale(-100.0, 400.0);
    chart.setVisibleTimeSpan(samples * 10.0 / 0.7);
    if (live)
        showChart(chart);
    for (int i = 0; i < samples; ++i) {
        const double value = i == samples / 3 ? 300.0 : (i == 2 * samples / 3 ? -80.0 : 0.0);
        chart.appendAt(1.7e12 + i * 10.0, value, 0.0);
        if (live)
            QCoreApplication::processEvents();
    }
    if (!live) {
        showChart(chart);
        chart.jumpToPlottingArea();
    }
    QWidget *canvas = chart.poPlot()->canvas();
    const QRect area(canvas->mapTo(&chart, QPoint()), canvas->size());
    const QImage image = live ? chart.screen()->grabWindow(chart.winId()).toImage().copy(area)
                              : canvas->grab().toImage();
    const QColor curve(0x2d, 0x6c, 0xdf);
    auto rowHasCurve = [&](double value) {
        const int row = pixelOf(chart, value);
        for (int y = row - 1; y <= row + 1; ++y)
            for (int x = 0; x < image.width(); ++x)
                if (y >= 0 && y < image.height() && image.pixelColor(x, y) == curve)
                    return true;
        return false;
    };
    QVERIFY(rowHasCurve(0.0));
    QVERIFY(rowHasCurve(299.0));
    QVERIFY(rowHasCurve(-79.0));
    QVERIFY(!rowHasCurve(350.0));
}

void tst_TimeChart::timeLabelsNeverOverlap_data()
{
    QTest::addColumn<int>("width");
    for (int width : { 300, 360, 480, 640, 1000, 1600 })
        QTest::addRow("%d px", width) << width;
}

// However wide the chart, the time labels it draws keep apart, and there are at least two. (The
// chart is divided at its default width first: a narrow one shows it divides anew on resize.)
void tst_TimeChart::timeLabelsNeverOverlap()
{
    QFETCH(int, width);
    SimpleTimeChart chart;
    chart.resize(width, 300);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    QCoreApplication::processEvents();

    QwtPlot *plot = chart.poPlot();
    const QwtScaleDraw *draw = plot->axisScaleDraw(QwtPlot::xBottom);
    const QFontMetrics metrics(plot->axisWidget(QwtPlot::xBottom)->font());
    const QList<double> ticks = plot->axisScaleDiv(QwtPlot::xBottom).ticks(QwtScaleDiv::MajorTick);
    QVERIFY2(ticks.size() >= 2, qPrintable(QString::number(ticks.size())));
    QRectF previous;
    for (double tick : ticks) {
        const QString text = draw->label(tick).text();
        const double centre = plot->transform(QwtPlot::xBottom, tick);
        const QRectF rect(centre - metrics.horizontalAdvance(text) / 2.0, 0,
                          metrics.horizontalAdvance(text), metrics.height());
        QVERIFY2(
            previous.isNull() || rect.left() > previous.right(),
            qPrintable(QString("'%1' touches the label before it at %2 px").arg(text).arg(width)));
        previous = rect;
    }
}

// The band between the lines needs both lines; the widget's items go with it or with the plot.
void tst_TimeChart::thresholdBandAndLifetime()
{
    auto plot = new QwtPlot;
    QPointer<ThresholdWindowWidget> widget = new ThresholdWindowWidget(plot);
    widget->setWindowSizeVisible(true);
    QVERIFY(!widget->isWindowSizeVisible());
    widget->enableLowerMark(true);
    widget->enableUpperMark(true);
    QVERIFY(widget->isWindowSizeVisible());
    delete plot; // deletes the widget and its lines exactly once
    QVERIFY(widget.isNull());

    QwtPlot other;
    const int items = other.itemList().size();
    delete new ThresholdWindowWidget(&other);
    QCOMPARE(other.itemList().size(), items);
}

void tst_TimeChart::thresholdHexString_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("hex");
    const QList<QPair<double, const char *>> rows { { 350.0, "0DAC" }, { 0.1, "0001" },
                                                    { -0.1, "FFFF" },  { -3276.8, "8000" },
                                                    { 12.34, "007B" }, { -12.36, "FF84" } };
    for (const auto &row : rows)
        QTest::addRow("%g", row.first) << row.first << QString(row.second);
}

// Tenths as 16-bit two's complement; outputs and components the manager does not have are
// ignored and read zero.
void tst_TimeChart::thresholdHexString()
{
    QFETCH(double, value);
    QFETCH(QString, hex);
    ThresholdDataManager manager;
    manager.setOutputs(2);
    manager.setLow(2, 4, value, true, true);
    manager.setHigh(2, 4, 999.0, true, true);
    QCOMPARE(manager.toHexString(2, 4), hex);
    QCOMPARE(manager.low(2, 4), value);
    QCOMPARE(manager.high(2, 4), 999.0);

    manager.setLow(3, 4, 12.0, true, true);
    manager.setHigh(1, 6, 12.0, true, true);
    QCOMPARE(manager.low(3, 4), 0.0);
    QCOMPARE(manager.high(1, 6), 0.0);
    QCOMPARE(manager.toHexString(0, 1), QStringLiteral("0000"));
    QCOMPARE(manager.low(1, 4), 0.0); // never set
    manager.setLow(1, 5, 1.0, true, false);
    QVERIFY(!manager.isLowEnabled(1, 5));
}

QTEST_MAIN(tst_TimeChart)
#include "tst_timechart.moc"
