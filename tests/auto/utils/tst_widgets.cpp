// The small widgets of the library: progress dialog, connection indicator, icons and the German
// translation. The button rows are tested in a property tree (tst_propertyeditors).

#include <connectionstatus.h>
#include <progressbarui.h>

#include <QCoreApplication>
#include <QDirIterator>
#include <QIcon>
#include <QPointer>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

using Utils::ConnectionStatus;
using Utils::ProgressBarUi;

class tst_Widgets : public QObject
{
    Q_OBJECT

private slots:
    void progressIgnoresForeignIds();
    void progressEndsWithItsParent();
    void progressAppearsOnlyWhenSlow_data();
    void progressAppearsOnlyWhenSlow();
    void connectionStatusTexts();
    void iconsLoad();
};

void tst_Widgets::progressIgnoresForeignIds()
{
    ProgressBarUi progress;
    progress.setShowUi(false);
    QStringList events;
    QTimer::singleShot(10, &progress, [&] {
        events << "foreign";
        progress.exit(8);
    });
    QTimer::singleShot(30, &progress, [&] {
        events << "zero";
        progress.exit(0);
    });
    QTimer::singleShot(60, &progress, [&] {
        events << "own";
        progress.exit(7);
    });
    QTimer::singleShot(5000, &progress, [&] { progress.exit(7); }); // safety against hangs
    QCOMPARE(progress.exec(7), int(QDialog::Accepted));
    QCOMPARE(events, (QStringList { "foreign", "zero", "own" }));
    QVERIFY(!progress.isVisible());

    // A completion after the wait has ended is harmless, and the dialog can wait again.
    progress.exit(7);
    QTimer::singleShot(0, &progress, [&] { progress.exit(9); });
    QCOMPARE(progress.exec(9), int(QDialog::Accepted));
}

void tst_Widgets::progressEndsWithItsParent()
{
    auto parent = new QWidget;
    QPointer<ProgressBarUi> progress = new ProgressBarUi(parent);
    QTimer::singleShot(20, [parent] { delete parent; });
    QCOMPARE(progress->exec(3), int(QDialog::Rejected));
    QVERIFY(progress.isNull());
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
    QVERIFY(!status.isConnected());
    QCOMPARE(status.text(), QStringLiteral("Disconnected"));
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

QTEST_MAIN(tst_Widgets)
#include "tst_widgets.moc"
