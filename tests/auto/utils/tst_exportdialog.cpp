#include <exportdialog.h>
#include <exporttext.h>
#include <valueovertime.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <ctime>

using Utils::ExportDialog;
using Utils::ValueOverTime;

class tst_ExportDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void text_data();
    void text();
    void delimiters_data();
    void delimiters();
    void previewShowsTenSamples();
    void fileIsReplacedOnlyWhenAccepted();

private:
    QStringList columns { QStringLiteral("Time"), QStringLiteral("Signal") };
};

void tst_ExportDialog::initTestCase()
{
    // Dates in the expected texts are UTC.
    qputenv("TZ", "UTC");
    tzset();
}

// Two decimals, epoch and millisecond dates through the window are tst_settingswindow's rows.
void tst_ExportDialog::text_data()
{
    QTest::addColumn<QVector<QPointF>>("samples"); // time, value
    QTest::addColumn<int>("precision");
    QTest::addColumn<int>("maxRows");
    QTest::addColumn<QString>("expected");
    const QString header = "Time;Signal\n";
    QTest::newRow("empty") << QVector<QPointF> {} << 2 << -1 << header;
    QTest::newRow("one decimal, negative")
        << QVector<QPointF> { { 1733407205123.9, -200.0 }, { 1733407205188.0, -0.04 } } << 1 << -1
        << header + "05-12-2024 14:00:05.123;-200.0\n05-12-2024 14:00:05.188;-0.0\n";
    QTest::newRow("no decimals") << QVector<QPointF> { { 0.0, 3.6 } } << 0 << -1
                                 << header + "01-01-1970 00:00:00.000;4\n";
    QTest::newRow("limited rows") << QVector<QPointF> { { 0.0, 1 }, { 1.0, 2 }, { 2.0, 3 } } << 2
                                  << 2
                                  << header
            + "01-01-1970 00:00:00.000;1.00\n01-01-1970 00:00:00.001;2.00\n";
}

void tst_ExportDialog::text()
{
    QFETCH(QVector<QPointF>, samples);
    QFETCH(int, precision);
    QFETCH(int, maxRows);
    QFETCH(QString, expected);
    ValueOverTime series;
    for (const QPointF &sample : samples)
        series.append(sample.x(), sample.y(), 99.0);
    QCOMPARE(Utils::exportText(series, columns, QStringLiteral(";"), precision, maxRows), expected);
}

void tst_ExportDialog::delimiters_data()
{
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<QString>("custom");
    QTest::addColumn<QString>("delimiter");
    // Boxes checked, custom text, resulting delimiter. Each box alone and semicolon with custom
    // text are tst_settingswindow's rows.
    const QStringList all { "custom", "space", "semicolon", "comma", "tab" };
    QTest::newRow("none") << QStringList {} << "" << QString();
    QTest::newRow("all in order") << all << "|" << QString("\t,; |");
    QTest::newRow("custom unchecked") << QStringList { "comma" } << "#" << QString(",");
}

void tst_ExportDialog::delimiters()
{
    QFETCH(QStringList, checked);
    QFETCH(QString, custom);
    QFETCH(QString, delimiter);
    ValueOverTime series;
    series.append(0.0, 1.5, 0.0);
    QList<const ValueOverTime *> list { &series };
    QList<QString> names = columns;
    ExportDialog dialog(&list, &names);
    dialog.setPrecision(2);
    for (const char *name : { "tab", "comma", "semicolon", "space", "custom" }) {
        auto box = dialog.findChild<QCheckBox *>(QString::fromLatin1(name) + "CheckBox");
        QVERIFY(box);
        box->setChecked(checked.contains(QLatin1String(name)));
    }
    dialog.findChild<QLineEdit *>("customLineEdit")->setText(custom);
    QCOMPARE(dialog.delimiter(), delimiter);
    QCOMPARE(dialog.previewText(),
             "Time" + delimiter + "Signal\n01-01-1970 00:00:00.000" + delimiter + "1.50\n");
}

void tst_ExportDialog::previewShowsTenSamples()
{
    ValueOverTime series;
    for (int i = 0; i < 25; ++i)
        series.append(i * 1000.0, i, 0.0);
    QList<const ValueOverTime *> list { &series };
    QList<QString> names = columns;
    ExportDialog dialog(&list, &names);
    dialog.setPrecision(2);
    const QString preview = dialog.previewText();
    const QStringList lines = preview.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 11); // header and ten samples
    QCOMPARE(lines.last(), QStringLiteral("01-01-1970 00:00:09.000;9.00"));
    QCOMPARE(preview, Utils::exportText(series, columns, QStringLiteral(";"), 2, 10));

    // The decimals field and setPrecision stay in step and both refresh the preview.
    auto decimals = dialog.findChild<QSpinBox *>("precisionSpinBox");
    QVERIFY(decimals);
    QCOMPARE(decimals->value(), 2);
    decimals->setValue(0);
    QCOMPARE(dialog.precision(), 0);
    QVERIFY(dialog.previewText().endsWith("00:00:09.000;9\n"));
    dialog.setPrecision(3);
    QCOMPARE(decimals->value(), 3);
}

void tst_ExportDialog::fileIsReplacedOnlyWhenAccepted()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("export.csv");
    const QByteArray old(5000, 'x');
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    auto contents = [&path] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };

    ValueOverTime series;
    for (int i = 0; i < 15; ++i)
        series.append(i * 1000.0, i * 0.5, 0.0);
    QList<const ValueOverTime *> list { &series };
    QList<QString> names { QStringLiteral("Zeit"), QStringLiteral("Signal °C") };
    ExportDialog dialog(&list, &names);
    dialog.setPrecision(2);
    dialog.setFileName(path);

    dialog.vFinished(QDialog::Rejected);
    QCOMPARE(contents(), old);

    dialog.vFinished(QDialog::Accepted);
    const QByteArray written = contents();
    QVERIFY(written.startsWith("Zeit;Signal \xc2\xb0"
                               "C\n")); // UTF-8
    QCOMPARE(written.count('\n'), 16); // all samples, not the preview
    QVERIFY(written.endsWith("01-01-1970 00:00:14.000;7.00\n"));
    QVERIFY(!written.contains('x'));
    QVERIFY(!written.contains('\r'));
}

QTEST_MAIN(tst_ExportDialog)
#include "tst_exportdialog.moc"
