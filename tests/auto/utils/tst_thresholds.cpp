#include "canvasmouse.h"

#include <simpletimechart.h>
#include <thresholddatamanager.h>
#include <thresholdwindowwidget.h>

#include <qwt_plot.h>
#include <qwt_scale_map.h>

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
    void bandAndLifetime();
    void hexString_data();
    void hexString();

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

// The band between the lines needs both lines; the widget's items go with it or with the plot.
void tst_Thresholds::bandAndLifetime()
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
    auto owned = new ThresholdWindowWidget(&other);
    const int items = other.itemList().size();
    delete owned;
    QCOMPARE(other.itemList().size(), items - 3);
}

void tst_Thresholds::hexString_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("hex");
    const QList<QPair<double, const char *>> rows { { 0.0, "0000" },   { 350.0, "0DAC" },
                                                    { 0.1, "0001" },   { -0.1, "FFFF" },
                                                    { -25.0, "FF06" }, { -3276.8, "8000" },
                                                    { 12.34, "007B" }, { -12.36, "FF84" } };
    for (const auto &row : rows)
        QTest::addRow("%g", row.first) << row.first << QString(row.second);
}

// Tenths as 16-bit two's complement; outputs and components the manager does not have are
// ignored and read zero.
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

    manager.setLow(3, 4, 12.0, true, true);
    manager.setHigh(1, 6, 12.0, true, true);
    QCOMPARE(manager.low(3, 4), 0.0);
    QCOMPARE(manager.high(1, 6), 0.0);
    QCOMPARE(manager.toHexString(0, 1), QStringLiteral("0000"));
    QCOMPARE(manager.low(1, 4), 0.0); // never set
    manager.setLow(1, 5, 1.0, true, false);
    QVERIFY(!manager.isLowEnabled(1, 5));
}

QTEST_MAIN(tst_Thresholds)
#include "tst_thresholds.moc"
