// The real plug-in inside the real host: a sensor window opened from the sensor list shows its
// tree in the host's language, and switching the "ExpertMenu" row on, as a user would, shows
// the expert rows at once (which rows those are is tst_propertytree's test). With
// QUX_SCREENSHOT_DIR set, the main window is saved there per language
// (orbexa-expert-<lang>.png), which is how the documentation screenshots are made.

#include <mainwindow.h>
#include <sensorsubwindow.h>

#include <qtpropertybrowser.h>
#include <qtpropertymanager.h>
#include <qttreepropertybrowser.h>

#include <QMdiArea>
#include <QtTest>

using namespace Orbexa::Internal;

static QtProperty *findById(const QList<QtProperty *> &properties, const QString &id)
{
    for (QtProperty *property : properties) {
        if (property->propertyId() == id)
            return property;
        if (QtProperty *found = findById(property->subProperties(), id))
            return found;
    }
    return nullptr;
}

class tst_HostSensorWindow : public QObject
{
    Q_OBJECT

private slots:
    void expertRows_data();
    void expertRows();
};

void tst_HostSensorWindow::expertRows_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("emissivityName");

    QTest::newRow("English") << "en"
                             << "Emissivity";
    QTest::newRow("German") << "de"
                            << "Emissionsgrad";
}

void tst_HostSensorWindow::expertRows()
{
    QFETCH(QString, language);
    QFETCH(QString, emissivityName);

    MainWindow window;
    window.resize(1360, 860);
    window.loadPlugins();
    window.setLanguage(language);
    window.show();

    SensorSubWindow *sub = window.openSensorByName(QStringLiteral("QUX-T40 D"));
    QVERIFY(sub);
    auto *browser = sub->widget()->findChild<QtTreePropertyBrowser *>();
    QVERIFY(browser);
    QtProperty *expertMenu = findById(browser->properties(), QStringLiteral("ExpertMenu"));
    QtProperty *emissivity = findById(browser->properties(), QStringLiteral("emisivity"));
    QVERIFY(expertMenu && emissivity);
    QCOMPARE(emissivity->propertyName(), emissivityName);
    QtBrowserItem *emissivityRow = browser->items(emissivity).value(0);
    QVERIFY(!browser->isItemVisible(emissivityRow));
    auto *enumManager = qobject_cast<QtEnumPropertyManager *>(expertMenu->propertyManager());
    QVERIFY(enumManager);
    enumManager->setValue(expertMenu, 1);
    QVERIFY(browser->isItemVisible(emissivityRow));

    const QString shots = qEnvironmentVariable("QUX_SCREENSHOT_DIR");
    if (!shots.isEmpty()) {
        QDir().mkpath(shots);
        window.mdiArea()->setActiveSubWindow(sub);
        sub->showMaximized();
        QTest::qWait(200);
        const QString file = shots + "/orbexa-expert-" + language + ".png";
        QVERIFY2(window.grab().save(file), qPrintable(file));
        qInfo().noquote() << "Screenshot:" << file;
    }
    QVERIFY(window.close());
}

QTEST_MAIN(tst_HostSensorWindow)
#include "tst_hostsensorwindow.moc"
