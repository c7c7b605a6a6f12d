// The window state file: where it lives, its five keys, their defaults, and the layout. This test
// runs from its own application directory, so the file it writes and removes is not the one that
// other tests' windows share.

#include "windowprobe.h"

#include <QFile>
#include <QSettings>
#include <QtTest>

using namespace DrumoSensorPlugin::Core;

class tst_WindowState : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void savedAndRestored();
    void defaultsWhenMissing();

private:
    SensorWindow *makeWindow();
    QString m_file;
    SensorWindow *m_window = nullptr;
};

void tst_WindowState::init()
{
    m_file = QCoreApplication::applicationDirPath() + "/QUXfamily.ini";
    QFile::remove(m_file);
}

void tst_WindowState::cleanup()
{
    delete m_window;
    m_window = nullptr;
    QFile::remove(m_file);
}

SensorWindow *tst_WindowState::makeWindow()
{
    m_window = new SensorWindow(findSensorInCatalogue("QUX-T40 D"));
    return m_window;
}

// Five keys saved at the end; the layout and the publishing choice come back with the next
// window.
void tst_WindowState::savedAndRestored()
{
    {
        WindowProbe tester(makeWindow());
        emit tester.session().events().expertMenuChanged(true);
        tester.setMeasuredTemp(false);
        tester.action("actionPublish_live_data")->setChecked(true);
        m_window->addToolBar(Qt::BottomToolBarArea, tester.toolbar("chartToolbar"));
        delete m_window;
        m_window = nullptr;
    }
    {
        QSettings file(m_file, QSettings::IniFormat);
        QCOMPARE(file.childGroups(), QStringList("SensorWindow"));
        QCOMPARE(file.allKeys().size(), 5);
        QVERIFY(!file.value("SensorWindow/geometry").toByteArray().isEmpty());
        QVERIFY(!file.value("SensorWindow/state").toByteArray().isEmpty());
        QCOMPARE(file.value("SensorWindow/expertMenu").toBool(), true);
        QCOMPARE(file.value("SensorWindow/mesuredTemp").toBool(), false);
        QCOMPARE(file.value("SensorWindow/publishLiveData").toBool(), true);
    }
    WindowProbe tester(makeWindow());
    QCOMPARE(m_window->toolBarArea(tester.toolbar("chartToolbar")), Qt::BottomToolBarArea);
    QCOMPARE(m_window->toolBarArea(tester.toolbar("fileToolBar")), Qt::TopToolBarArea);
    QVERIFY(tester.action("actionPublish_live_data")->isChecked());

    // Loading into the rows at connect time is the connect sequence's test; a window without
    // those rows only takes the values.
    SensorWindow bare { Sensor() };
    WindowProbe(&bare).view().loadExpertMenuSetting();
    WindowProbe(&bare).view().loadMeasuredTempSetting();
    QVERIFY(WindowProbe(&bare).expertMenu());
    QVERIFY(!WindowProbe(&bare).measuredTemp());
}

void tst_WindowState::defaultsWhenMissing()
{
    WindowProbe tester(makeWindow());
    QVERIFY(!tester.action("actionPublish_live_data")->isChecked());
    // Shown by the row, as a user would.
    tester.edit("ExpertMenu", 1);
    tester.edit("readTemp", 1);
    QVERIFY(tester.expertMenu());
    QVERIFY(tester.measuredTemp());

    QFile::remove(m_file);
    tester.view().loadExpertMenuSetting();
    QVERIFY(!tester.expertMenu());
    QVERIFY(!tester.rowVisible("laser"));
    // Hiding leaves the row's choice alone.
    QCOMPARE(tester.enumIndex("ExpertMenu"), 1);

    tester.view().loadMeasuredTempSetting();
    QVERIFY(!tester.measuredTemp());
    QCOMPARE(tester.enumIndex("readTemp"), 0);
}

QTEST_MAIN(tst_WindowState)
#include "tst_windowstate.moc"
