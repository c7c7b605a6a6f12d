// The small widgets of the library: progress dialog, connection indicator, button rows and
// the German translation.

#include <buttonmanager.h>
#include <connectionstatus.h>
#include <progressbarui.h>

#include <QCoreApplication>
#include <QFile>
#include <QIcon>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

Q_DECLARE_METATYPE(QtProperty *)

using Utils::ButtonFactory;
using Utils::ButtonManager;
using Utils::ConnectionStatus;
using Utils::ProgressBarUi;

// Reaches the protected createEditor of the factory base as a browser would.
class EditorHost : public QtAbstractEditorFactoryBase
{
public:
    static QWidget *create(QtAbstractEditorFactoryBase *factory, QtProperty *property,
                           QWidget *parent)
    {
        return factory->createEditor(property, parent);
    }
};

class tst_Widgets : public QObject
{
    Q_OBJECT

private slots:
    void progressIgnoresForeignIds();
    void progressEndsWithItsParent();
    void progressAppearsOnlyWhenSlow_data();
    void progressAppearsOnlyWhenSlow();
    void connectionStatusTexts();
    void buttonRows();
    void iconsLoad_data();
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

void tst_Widgets::buttonRows()
{
    qRegisterMetaType<QtProperty *>();
    ButtonManager manager;
    ButtonFactory factory;
    factory.addPropertyManager(&manager);
    QtProperty *row = manager.addProperty(QStringLiteral("Reset"));
    QSignalSpy valueSpy(&manager, &ButtonManager::valueChanged);
    QSignalSpy clickSpy(&manager, &ButtonManager::buttonClicked);
    manager.setValue(row, QStringLiteral("Factory defaults"));
    manager.setValue(row, QStringLiteral("Factory defaults")); // no change, no signal
    QCOMPARE(valueSpy.count(), 1);
    QCOMPARE(manager.value(row), QStringLiteral("Factory defaults"));
    QCOMPARE(row->valueText(), QStringLiteral("Factory defaults"));

    QWidget parent;
    auto button = qobject_cast<QPushButton *>(EditorHost::create(&factory, row, &parent));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("Factory defaults"));
    manager.setValue(row, QStringLiteral("Restore"));
    QCOMPARE(button->text(), QStringLiteral("Restore"));
    button->click();
    QCOMPARE(clickSpy.count(), 1);
    QCOMPARE(clickSpy.first().first().value<QtProperty *>(), row);

    delete button; // the factory forgets it; later changes must not touch it
    manager.setValue(row, QStringLiteral("Again"));
    manager.clear();
    QCOMPARE(manager.properties().size(), 0);
}

void tst_Widgets::iconsLoad_data()
{
    QTest::addColumn<QString>("path");
    const QString names = "file_save file_open Reset connect_sensor_pc recorder_play "
                          "halvorn-tool-measure-point-line led_state_2_1 led_state_2_2 "
                          "halvorn-tool-load-reference-image Verlauf_Loeschen file_print Export "
                          "halvorn-tool-configure libary color-yellow Menuebaum button connect_yes "
                          "edit_delete_all";
    for (const QString &name : names.split(' '))
        QTest::newRow(qPrintable(name)) << ":/newPrefix/icons/" + name + ".svg";
    QTest::newRow("arrow_down.png") << QStringLiteral(":/icons/icons/arrow_down.png");
}

void tst_Widgets::iconsLoad()
{
    QFETCH(QString, path);
    QVERIFY(QFile::exists(path));
    const QPixmap pixmap = QIcon(path).pixmap(24, 24);
    QVERIFY(!pixmap.isNull());
    // Not blank: some pixel is drawn.
    const QImage image = pixmap.toImage();
    bool drawn = false;
    for (int y = 0; y < image.height() && !drawn; ++y)
        for (int x = 0; x < image.width() && !drawn; ++x)
            drawn = qAlpha(image.pixel(x, y)) > 0;
    QVERIFY(drawn);
}

QTEST_MAIN(tst_Widgets)
#include "tst_widgets.moc"
