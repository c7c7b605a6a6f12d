// The widgets of the library besides the chart: progress dialog, connection indicator, icons,
// the export dialog and the German translation. The button rows are tested in a property tree
// (tst_treepropertybrowser).

#include <connectionstatus.h>
#include <exportdialog.h>
#include <exporttext.h>
#include <progressbarui.h>
#include <valueovertime.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDirIterator>
#include <QIcon>
#include <QLineEdit>
#include <QPointer>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <ctime>

using Utils::ConnectionStatus;
using Utils::ExportDialog;
using Utils::ProgressBarUi;
using Utils::ValueOverTime;

class tst_Widgets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void progressWaitsForItsIdOrParent();
    void progressAppearsOnlyWhenSlow_data();
    void progressAppearsOnlyWhenSlow();
    void connectionStatusTexts();
    void iconsLoad();
    void exportDelimiters_data();
    void exportDelimiters();
    void exportPreviewAndFile();

private:
    QStringList columns { QStringLiteral("Time"), QStringLiteral("Signal") };
};

void tst_Widgets::initTestCase()
{
    // Dates in the expected export texts are UTC.
    qputenv("TZ", "UTC");
    tzset();
}

void tst_Widgets::progressWaitsForItsIdOrParent()
{
    ProgressBarUi progress;
    progress.setShowUi(false);
    // Another wait's id, zero, then its own id; and a safety against hangs.
    QList<int> completed;
    for (const auto &[delay, id] : { std::pair(10, 8), std::pair(30, 0), std::pair(60, 7) })
        QTimer::singleShot(delay, &progress, [&, id = id] {
            completed << id;
            progress.exit(id);
        });
    QTimer::singleShot(5000, &progress, [&] { progress.exit(7); });
    QCOMPARE(progress.exec(7), int(QDialog::Accepted));
    QCOMPARE(completed, (QList<int> { 8, 0, 7 }));
    QVERIFY(!progress.isVisible());

    // A completion after the wait has ended is harmless, and the dialog can wait again.
    progress.exit(7);
    QTimer::singleShot(0, &progress, [&] { progress.exit(9); });
    QCOMPARE(progress.exec(9), int(QDialog::Accepted));

    // A parent deleted during the wait ends it, and the dialog with it.
    auto parent = new QWidget;
    QPointer<ProgressBarUi> orphan = new ProgressBarUi(parent);
    QTimer::singleShot(20, [parent] { delete parent; });
    QCOMPARE(orphan->exec(3), int(QDialog::Rejected));
    QVERIFY(orphan.isNull());
}

void tst_Widgets::progressAppearsOnlyWhenSlow_data()
{
    QTest::addColumn<bool>("showUi");
    QTest::addColumn<int>("duration");
    QTest::addColumn<bool>("seen");
    QTest::newRow("fast") << true << 50 << false;
    QTest::newRow("slow") << true << 600 << true;
    QTest::newRow("slow, hidden") << false << 600 << false;
}

void tst_Widgets::progressAppearsOnlyWhenSlow()
{
    QFETCH(bool, showUi);
    QFETCH(int, duration);
    QFETCH(bool, seen);
    QWidget parent;
    ProgressBarUi progress(&parent);
    progress.setModal(showUi);
    progress.setShowUi(showUi);
    bool wasVisible = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] { wasVisible = wasVisible || progress.isVisible(); });
    poll.start(10);
    bool stayedAfterEscape = true;
    QTimer::singleShot(duration - 40, &progress, [&] {
        progress.reject(); // Escape must not hide a running wait
        stayedAfterEscape = progress.isVisible() == seen;
    });
    QTimer::singleShot(duration, &progress, [&] { progress.exit(1); });
    QCOMPARE(progress.exec(1), int(QDialog::Accepted));
    QCOMPARE(wasVisible, seen);
    QVERIFY(stayedAfterEscape);
    QVERIFY(!progress.isVisible());
}

void tst_Widgets::connectionStatusTexts()
{
    ConnectionStatus status;
    status.setConnected(true);
    QCOMPARE(status.text(), QStringLiteral("Connected"));

    // The compiled German texts lie next to the executables.
    QTranslator german;
    QVERIFY(german.load(QStringLiteral("utils_de"),
                        QCoreApplication::applicationDirPath() + "/translations"));
    QCoreApplication::installTranslator(&german);
    QTRY_COMPARE(status.text(), QStringLiteral("Verbunden")); // the change event retranslated
    QCoreApplication::removeTranslator(&german);
    QTRY_COMPARE(status.text(), QStringLiteral("Connected"));
}

// Every icon the library carries draws something.
void tst_Widgets::iconsLoad()
{
    int icons = 0;
    for (const char *dir : { ":/newPrefix/icons", ":/icons/icons" }) {
        for (QDirIterator it(dir); it.hasNext(); ++icons) {
            const QImage image = QIcon(it.next()).pixmap(24, 24).toImage();
            bool drawn = false;
            for (int y = 0; y < image.height() && !drawn; ++y)
                for (int x = 0; x < image.width() && !drawn; ++x)
                    drawn = qAlpha(image.pixel(x, y)) > 0;
            QVERIFY2(drawn, qPrintable(it.filePath()));
        }
    }
    QVERIFY(icons > 1);
}

void tst_Widgets::exportDelimiters_data()
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

void tst_Widgets::exportDelimiters()
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

// The preview shows ten samples in the chosen decimals; the file, written only when the dialog
// is accepted, holds all of them.
void tst_Widgets::exportPreviewAndFile()
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
        series.append(i * 1000.0 + 0.9, -i * 0.5, 0.0); // milliseconds cut, not rounded
    QList<const ValueOverTime *> list { &series };
    QList<QString> names { QStringLiteral("Zeit"), QStringLiteral("Signal °C") };
    ExportDialog dialog(&list, &names);
    dialog.setPrecision(2);
    const QStringList lines = dialog.previewText().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 11); // header and ten samples
    QCOMPARE(lines.last(), QStringLiteral("01-01-1970 00:00:09.000;-4.50"));
    QCOMPARE(Utils::exportText(ValueOverTime(), columns, QStringLiteral(";"), 2, -1),
             QStringLiteral("Time;Signal\n"));

    // The decimals field and setPrecision stay in step and both refresh the preview.
    auto decimals = dialog.findChild<QSpinBox *>("precisionSpinBox");
    QVERIFY(decimals);
    QCOMPARE(decimals->value(), 2);
    decimals->setValue(1);
    QCOMPARE(dialog.precision(), 1);
    QVERIFY(dialog.previewText().endsWith("00:00:09.000;-4.5\n"));
    dialog.setPrecision(2);
    QCOMPARE(decimals->value(), 2);

    dialog.setFileName(path);
    dialog.vFinished(QDialog::Rejected);
    QCOMPARE(contents(), old);
    dialog.vFinished(QDialog::Accepted);
    const QByteArray written = contents();
    QVERIFY(written.startsWith("Zeit;Signal \xc2\xb0"
                               "C\n")); // UTF-8
    QVERIFY(written.endsWith("01-01-1970 00:00:14.000;-7.00\n"));
    QVERIFY(!written.contains('x'));
    QVERIFY(!written.contains('\r'));
}

QTEST_MAIN(tst_Widgets)
#include "tst_widgets.moc"
