#include "canvasmouse.h"

#include <simpletimechart.h>
#include <valueovertime.h>

#include <qwt_plot.h>
#include <qwt_scale_div.h>
#include <qwt_scale_draw.h>
#include <qwt_scale_map.h>
#include <qwt_scale_widget.h>
#include <qwt_text.h>

#include <QDir>
#include <QSignalSpy>
#include <QtTest>

#include <cstring>

using Utils::SimpleTimeChart;
using Utils::ValueOverTime;

struct Sample
{
    double x, y, r;
};
Q_DECLARE_METATYPE(QVector<Sample>)

class tst_TimeChart : public QObject
{
    Q_OBJECT

private slots:
    void valueOverTimeGrowsAndShares();
    void appendKeepsTimesSorted();
    void dataRoundTrip_data();
    void dataRoundTrip();
    void readingText_data();
    void readingText();
    void markerDragIsClampedAndReportedOnRelease_data();
    void markerDragIsClampedAndReportedOnRelease();
    void followingAndLeavingIt();
    void panStaysInsideTimelineScale();
    void denseDataKeepsSpikes_data();
    void denseDataKeepsSpikes();
    void timeLabelsNeverOverlap_data();
    void timeLabelsNeverOverlap();

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
    ValueOverTime a;
    for (int i = 0; i < 5000; ++i)
        a.append(i, -i, i * 0.5);
    QCOMPARE(a.size(), 5000);
    QCOMPARE(a.pyData()[4999], -4999.0);
    QCOMPARE(a.lowerBound(2500.5), 2501);
    QCOMPARE(a.lowerBound(-1.0), 0);
    QCOMPARE(a.lowerBound(1e9), 5000);

    ValueOverTime b = a; // shares until changed
    QCOMPARE(b.pxData(), a.pxData());
    b.append(5000, 1, 2);
    QVERIFY(b.pxData() != a.pxData());
    QCOMPARE(a.size(), 5000);
    QCOMPARE(b.size(), 5001);
    b.clear();
    QCOMPARE(b.size(), 0);
    QCOMPARE(a.pyRightData()[10], 5.0);

    // Large enough for the columns to move into mappings of their own while growing.
    ValueOverTime large;
    for (int i = 0; i < 400000; ++i)
        large.append(i, i * 2.0, -i);
    ValueOverTime largeCopy = large;
    largeCopy.append(1e9, 1, 1); // detaches: a full copy of mapped columns
    for (int i : { 0, 1023, 1024, 131071, 131072, 399999 }) {
        QCOMPARE(large.pxData()[i], double(i));
        QCOMPARE(largeCopy.pyData()[i], i * 2.0);
        QCOMPARE(largeCopy.pyRightData()[i], -double(i));
    }
    QCOMPARE(large.size(), 400000);
    QCOMPARE(largeCopy.size(), 400001);
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
    QCOMPARE(data->pyData()[2], 5.0);
    QCOMPARE(data->pyRightData()[2], 6.0);
    chart.setCurrendValuePrecision(2);
    QTRY_COMPARE(chart.currentValueText(), QStringLiteral("Current value: 5.00"));
    chart.clear();
    QCOMPARE(data->size(), 0);
    QCOMPARE(chart.currentValueText(), QStringLiteral("Current value: -"));
}

void tst_TimeChart::dataRoundTrip_data()
{
    QTest::addColumn<QVector<Sample>>("samples");
    QTest::newRow("empty") << QVector<Sample> {};
    QTest::newRow("one") << QVector<Sample> { { 1733400000123.0, 23.5, 4.7 } };
    QTest::newRow("negative") << QVector<Sample> { { 1.0, -200.0, -200.0 },
                                                   { 2.0, -0.1, -1e-300 } };
    QTest::newRow("fractional") << QVector<Sample> { { 1733400000000.5, 1.0 / 3.0, 2.0 / 3.0 },
                                                     { 1733400000065.25, 0.1 + 0.2, 1e300 },
                                                     { 1733400000130.0, 123456.789012345,
                                                       4.9e-324 } };
}

void tst_TimeChart::dataRoundTrip()
{
    QFETCH(QVector<Sample>, samples);
    SimpleTimeChart chart;
    for (const Sample &s : samples)
        chart.appendAt(s.x, s.y, s.r);
    const QString written = text(chart);

    SimpleTimeChart loaded;
    loaded.appendAt(5.0, 5.0, 5.0); // replaced by the text
    QVERIFY(loaded.setDataFromString(written, QStringLiteral(";")));
    const ValueOverTime *data = loaded.poData();
    QCOMPARE(data->size(), samples.size());
    for (int i = 0; i < samples.size(); ++i) {
        // Bit for bit, not just close.
        QVERIFY(std::memcmp(&data->pxData()[i], &samples[i].x, sizeof(double)) == 0);
        QVERIFY(std::memcmp(&data->pyData()[i], &samples[i].y, sizeof(double)) == 0);
        QVERIFY(std::memcmp(&data->pyRightData()[i], &samples[i].r, sizeof(double)) == 0);
    }
    QCOMPARE(text(loaded), written);
}

void tst_TimeChart::readingText_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("expected"); // written back with ";"; empty: refused
    const char *rows[][4] = {
        { "unsorted", "30,3,0.5;10,1,0.25;20,2,0.75;", ";", "10,1,0.25;20,2,0.75;30,3,0.5" },
        { "comma between samples", "20,2,0.5,10,1,0.25", ",", "10,1,0.25;20,2,0.5" },
        { "comma, four fields", "1,2,3,4", ",", "" },
        { "words", "temperature", ";", "" },
        { "two fields", "1,2", ";", "" },
        { "four fields", "1,2,3,4", ";", "" },
        { "second item short", "1,2,3;4,5", ";", "" },
        { "empty item inside", "1,2,3;;4,5,6", ";", "" },
        { "letter in number", "1,2x,3", ";", "" },
        { "decimal comma", "1;2,5;3", ";", "" },
        { "not a number", "1,nan,3", ";", "" },
        { "infinite", "1,2,inf", ";", "" },
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << row[1] << row[2] << row[3];
}

// Reading is all or nothing: a refused text leaves the chart as it was.
void tst_TimeChart::readingText()
{
    QFETCH(QString, input);
    QFETCH(QString, separator);
    QFETCH(QString, expected);
    SimpleTimeChart chart;
    chart.appendAt(1000.0, -12.5, 0.25);
    chart.appendAt(2000.0, 13.5, 0.5);
    const QString before = text(chart);
    QCOMPARE(chart.setDataFromString(input, separator), !expected.isEmpty());
    QCOMPARE(text(chart), expected.isEmpty() ? before : expected);
}

void tst_TimeChart::markerDragIsClampedAndReportedOnRelease_data()
{
    QTest::addColumn<int>("marker");
    QTest::addColumn<double>("target");
    QTest::addColumn<double>("expected");
    QTest::addColumn<bool>("moveable");
    QTest::newRow("on inside") << 0 << 42.0 << 42.0 << true;
    QTest::newRow("on above range") << 0 << 90.0 << 50.0 << true;
    QTest::newRow("off below range") << 1 << 5.0 << 60.0 << true;
    QTest::newRow("off inside") << 1 << 75.0 << 75.0 << true;
    QTest::newRow("fixed markers stay") << 0 << 45.0 << 30.0 << false;
    QTest::newRow("click without a move") << 0 << 30.0 << 30.0 << true;
}

void tst_TimeChart::markerDragIsClampedAndReportedOnRelease()
{
    QFETCH(int, marker);
    QFETCH(double, target);
    QFETCH(double, expected);
    QFETCH(bool, moveable);
    SimpleTimeChart chart;
    chart.vSetYScale(0.0, 100.0);
    chart.setOnMarkerRange(10.0, 50.0);
    chart.setOffMarkerRange(60.0, 95.0);
    chart.vSetOnMarker(30.0);
    chart.vSetOffMarker(80.0);
    chart.vSetMarkersMoveable(moveable);
    showChart(chart);
    QSignalSpy onSpy(&chart, &SimpleTimeChart::vOnMarkerChanged);
    QSignalSpy offSpy(&chart, &SimpleTimeChart::vOffMarkerChanged);

    QWidget *canvas = chart.poPlot()->canvas();
    const double start = marker == 0 ? 30.0 : 80.0;
    const QPoint from(300, pixelOf(chart, start));
    const QPoint to(target == start ? 300 : 320, pixelOf(chart, target));
    CanvasMouse::send(canvas, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    CanvasMouse::send(canvas, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    QCOMPARE(onSpy.count() + offSpy.count(), 0); // nothing before the release
    CanvasMouse::send(canvas, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    if (!moveable || target == start) {
        QCOMPARE(onSpy.count() + offSpy.count(), 0);
        QCOMPARE(chart.onMarker(), 30.0);
        return;
    }

    QSignalSpy &spy = marker == 0 ? onSpy : offSpy;
    QCOMPARE(spy.count(), 1);
    QCOMPARE((marker == 0 ? offSpy : onSpy).count(), 0);
    // Pixel resolution: within one pixel of the target, rounded to one decimal.
    const double reported = spy.first().first().toDouble();
    QVERIFY2(qAbs(reported - expected) <= 0.5, qPrintable(QString::number(reported)));
    QCOMPARE(reported, qRound(reported * 10.0) / 10.0);
    QCOMPARE(marker == 0 ? chart.onMarker() : chart.offMarker(), reported);
    QVERIFY(chart.isFollowing()); // a marker drag is no pan
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
    QTest::newRow("sparse") << 500;
    QTest::newRow("dense") << 200000; // hundreds of samples per pixel column: reduced
}

// Reducing a column to a few points must keep its extremes: a single spike among many flat
// samples stays visible, in both directions.
void tst_TimeChart::denseDataKeepsSpikes()
{
    QFETCH(int, samples);
    SimpleTimeChart chart;
    chart.vSetYScale(-100.0, 400.0);
    chart.setVisibleTimeSpan(samples * 10.0 / 0.7);
    for (int i = 0; i < samples; ++i) {
        const double value = i == samples / 3 ? 300.0 : (i == 2 * samples / 3 ? -80.0 : 0.0);
        chart.appendAt(1.7e12 + i * 10.0, value, 0.0);
    }
    showChart(chart);
    chart.jumpToPlottingArea();
    QWidget *canvas = chart.poPlot()->canvas();
    const QImage image = canvas->grab().toImage();
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

// However wide the chart, the time labels it draws keep apart, and there are at least two.
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

    // Growing the chart afterwards gives the axis more labels, not wider gaps only.
    const int before = ticks.size();
    chart.resize(width * 2, 300);
    QCoreApplication::processEvents();
    QVERIFY(plot->axisScaleDiv(QwtPlot::xBottom).ticks(QwtScaleDiv::MajorTick).size() >= before);
}

QTEST_MAIN(tst_TimeChart)
#include "tst_timechart.moc"
