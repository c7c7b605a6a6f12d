#include "canvasmouse.h"

#include <simpletimechart.h>
#include <thresholddatamanager.h>
#include <thresholdwindowwidget.h>

#include <qwt_plot.h>
#include <qwt_scale_map.h>

#include <QDir>
#include <QSignalSpy>
#include <QtTest>

#include <cmath>

using Utils::SimpleTimeChart;
using Utils::ThresholdDataManager;
using Utils::ThresholdWindowWidget;

class tst_Thresholds : public QObject
{
    Q_OBJECT

private slots:
    void labels_data();
    void labels();
    void dragIsLimited_data();
    void dragIsLimited();
    void windowSizeBand();
    void diesWithThePlot();
    void hexString_data();
    void hexString();
    void unknownOutputsReadZero();
    void screenshot();

private:
    struct Setup
    {
        SimpleTimeChart chart;
        ThresholdWindowWidget *widget = nullptr;
    };
    static void prepare(Setup &s)
    {
        s.chart.vSetYScale(-50.0, 400.0);
        s.widget = new ThresholdWindowWidget(s.chart.poPlot(), 1);
        s.widget->setThresholdsRange(-25.0, 350.0);
        s.widget->formatText(true);
        s.widget->setLowerMarkerValue(100.0, QStringLiteral("A1: "));
        s.widget->setUpperMarkerValue(200.0, QStringLiteral("A2: "));
        s.widget->enableLowerMark(true);
        s.widget->enableUpperMark(true);
        s.chart.resize(800, 500);
        s.chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.chart));
        s.chart.poPlot()->replot();
    }
    static QPoint at(Setup &s, double value)
    {
        return QPoint(400, qRound(s.chart.poPlot()->canvasMap(QwtPlot::yLeft).transform(value)));
    }
};

void tst_Thresholds::labels_data()
{
    QTest::addColumn<bool>("oneDecimal");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("label");
    QTest::newRow("fixed") << true << 250.0 << "A1: 250.0";
    QTest::newRow("fixed rounds") << true << 12.345 << "A1: 12.3";
    QTest::newRow("fixed negative") << true << -7.0 << "A1: -7.0";
    QTest::newRow("free") << false << 250.0 << "A1: 250";
    QTest::newRow("free fraction") << false << 12.25 << "A1: 12.25";
}

void tst_Thresholds::labels()
{
    QFETCH(bool, oneDecimal);
    QFETCH(double, value);
    QFETCH(QString, label);
    QwtPlot plot;
    ThresholdWindowWidget widget(&plot);
    widget.formatText(oneDecimal);
    widget.setLowerMarkerValue(value, QStringLiteral("A1: "));
    QCOMPARE(widget.lowerLabel(), label);
    QCOMPARE(widget.lowerMark(), value);
}

void tst_Thresholds::dragIsLimited_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("output");
    QTest::addColumn<double>("target");
    QTest::addColumn<double>("expected"); // the start value: nothing moves or is reported
    QTest::newRow("lower inside") << "" << 0 << 150.0 << 150.0;
    QTest::newRow("lower stops at upper") << "" << 0 << 300.0 << 200.0;
    QTest::newRow("upper stops at lower") << "" << 1 << 20.0 << 100.0;
    QTest::newRow("lower passes upper when overlapping") << "overlapping" << 0 << 300.0 << 300.0;
    QTest::newRow("upper passes lower when overlapping") << "overlapping" << 1 << 20.0 << 20.0;
    QTest::newRow("upper stops at range end") << "overlapping" << 1 << 390.0 << 350.0;
    QTest::newRow("lower stops at range start") << "" << 0 << -45.0 << -25.0;
    QTest::newRow("click without a move") << "" << 0 << 100.0 << 100.0;
    QTest::newRow("read only") << "readOnly" << 0 << 150.0 << 100.0;
    QTest::newRow("hidden line stays") << "upperHidden" << 1 << 250.0 << 200.0;
    QTest::newRow("hidden line holds nothing back") << "upperHidden" << 0 << 300.0 << 300.0;
}

void tst_Thresholds::dragIsLimited()
{
    QFETCH(QString, state);
    QFETCH(int, output);
    QFETCH(double, target);
    QFETCH(double, expected);
    Setup s;
    prepare(s);
    s.widget->allowOverlapping(state == "overlapping");
    s.widget->setReadOnly(state == "readOnly");
    s.widget->enableUpperMark(state != "upperHidden");
    QSignalSpy spy(s.widget, &ThresholdWindowWidget::emitValueChanged);
    QWidget *canvas = s.chart.poPlot()->canvas();
    const double start = output == 0 ? 100.0 : 200.0;
    CanvasMouse::send(canvas, QEvent::MouseButtonPress, at(s, start), Qt::LeftButton,
                      Qt::LeftButton);
    CanvasMouse::send(canvas, QEvent::MouseMove, at(s, target), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(spy.count(), 0);
    CanvasMouse::send(canvas, QEvent::MouseButtonRelease, at(s, target), Qt::LeftButton,
                      Qt::NoButton);
    if (expected == start) {
        QCOMPARE(spy.count(), 0);
        QCOMPARE(output == 0 ? s.widget->lowerMark() : s.widget->upperMark(), start);
        return;
    }

    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().at(0).toUInt(), unsigned(output));
    const double value = spy.first().at(1).toDouble();
    QVERIFY2(std::fabs(value - expected) <= 1.0, qPrintable(QString::number(value)));
    QCOMPARE(value, std::round(value * 10.0) / 10.0); // one decimal, as the label shows
    QCOMPARE(output == 0 ? s.widget->lowerMark() : s.widget->upperMark(), value);
    const QString label = output == 0 ? s.widget->lowerLabel() : s.widget->upperLabel();
    QCOMPARE(label, (output == 0 ? "A1: " : "A2: ") + QString::number(value, 'f', 1));
    QVERIFY(s.chart.isFollowing()); // grabbing a line does not pan the chart
}

void tst_Thresholds::windowSizeBand()
{
    QwtPlot plot;
    ThresholdWindowWidget widget(&plot);
    widget.setWindowSizeVisible(true);
    QVERIFY(!widget.isWindowSizeVisible()); // needs both lines
    widget.enableLowerMark(true);
    widget.enableUpperMark(true);
    QVERIFY(widget.isWindowSizeVisible());
    widget.setWindowSizeVisible(false);
    QVERIFY(!widget.isWindowSizeVisible());
}

void tst_Thresholds::diesWithThePlot()
{
    auto plot = new QwtPlot;
    QPointer<ThresholdWindowWidget> widget = new ThresholdWindowWidget(plot);
    widget->enableLowerMark(true);
    delete plot; // deletes the widget and its lines exactly once
    QVERIFY(widget.isNull());

    QwtPlot other;
    auto owned = new ThresholdWindowWidget(&other);
    const int items = other.itemList().size();
    delete owned;
    QCOMPARE(other.itemList().size(), items - 3);
}

void tst_Thresholds::hexString_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("hex");
    QTest::newRow("zero") << 0.0 << "0000";
    QTest::newRow("positive") << 350.0 << "0DAC";
    QTest::newRow("one tenth") << 0.1 << "0001";
    QTest::newRow("minus one tenth") << -0.1 << "FFFF";
    QTest::newRow("negative") << -25.0 << "FF06";
    QTest::newRow("most negative") << -3276.8 << "8000";
    QTest::newRow("rounded") << 12.34 << "007B";
    QTest::newRow("rounded negative") << -12.36 << "FF84";
}

void tst_Thresholds::hexString()
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
}

void tst_Thresholds::unknownOutputsReadZero()
{
    ThresholdDataManager manager;
    manager.setOutputs(2);
    QCOMPARE(manager.outputs(), 2);
    manager.setLow(3, 4, 12.0, true, true); // no output 3: ignored
    manager.setHigh(1, 6, 12.0, true, true); // no component 6: ignored
    QCOMPARE(manager.low(3, 4), 0.0);
    QCOMPARE(manager.high(1, 6), 0.0);
    QCOMPARE(manager.toHexString(0, 1), QStringLiteral("0000"));
    QCOMPARE(manager.toHexString(1, 0), QStringLiteral("0000"));
    QCOMPARE(manager.low(2, 4), 0.0); // never set
    manager.setLow(1, 5, 1.0, true, false);
    QVERIFY(!manager.isLowEnabled(1, 5));
}

// The picture a reviewer looks at: a chart with a few thousand samples on both axes, two
// threshold lines and the two markers.
void tst_Thresholds::screenshot()
{
    SimpleTimeChart chart;
    chart.setCurrendValuePrecision(2);
    chart.vSetYScale(-50.0, 400.0);
    chart.vEnableYRightAxis(true);
    chart.setYRightAxisScale(0.0, 10.0, 2.0);
    chart.setCustomSignal(true);
    chart.setBaselineTo(0.0);
    chart.setVisibleTimeSpan(6 * 60 * 1000.0);
    const double start = QDateTime(QDate(2026, 12, 5), QTime(14, 0)).toMSecsSinceEpoch();
    for (int i = 0; i < 3000; ++i) {
        const double t = i * 0.1;
        const double temperature = 180.0 + 120.0 * std::sin(t / 20.0) + 15.0 * std::sin(t * 1.7)
            + ((i * 7919) % 13) - 6.0;
        chart.appendAt(start + i * 100.0, temperature, temperature / 50.0);
    }
    chart.setOnMarkerRange(-50.0, 400.0);
    chart.setOffMarkerRange(-50.0, 400.0);
    chart.vSetOnMarker(20.0);
    chart.vSetOffMarker(360.0);
    ThresholdWindowWidget widget(chart.poPlot());
    widget.formatText(true);
    widget.setLowerMarkerValue(120.0, QStringLiteral("A1: "));
    widget.setUpperMarkerValue(250.0, QStringLiteral("A2: "));
    widget.enableLowerMark(true);
    widget.enableUpperMark(true);
    widget.setWindowSizeVisible(true);
    chart.resize(1000, 560);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    chart.jumpToPlottingArea();
    QTRY_VERIFY(chart.currentValueText().contains(QLatin1String("|")));

    const QString dir = QDir::currentPath() + QStringLiteral("/screenshots");
    QVERIFY(QDir().mkpath(dir));
    const QImage image = chart.grab().toImage();
    QVERIFY(image.save(dir + QStringLiteral("/chart.png")));
    // Something was drawn in the curve's colour.
    int curvePixels = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            curvePixels += image.pixelColor(x, y) == QColor(0x2d, 0x6c, 0xdf);
    QVERIFY(curvePixels > 50);
}

QTEST_MAIN(tst_Thresholds)
#include "tst_thresholds.moc"
