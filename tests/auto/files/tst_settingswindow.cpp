// The window's settings files and chart export: saving and loading through the real file
// dialogs, the messages of refused files, what a load sends to a connected sensor, and the
// export file's text.

#include "../common/modalanswerer.h"
#include "../common/testfiles.h"
#include "../window/simulatedwindow.h"
#include "files/settingsfile.h"
#include "filesizelimit.h"
#include "plugin/sensorinterface.h"
#include "window/treehandling.h"
#include "window/treerows.h"

#include <exportdialog.h>
#include <simpletimechart.h>
#include <valueovertime.h>

#include <QFileDialog>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <ctime>
#include <memory>
#include <string>

using namespace DrumoSensorPlugin::Core;
using Kind = ParameterRows::Kind;

namespace {

// Rows of every kind the file holds, and some it does not.
const char everyKindDescription[]
    = "<p><id>group</id><type>category</type><text><en>Group</en></text>"
      "<property><id>mode</id><type>enumerator</type><text><en>Mode</en></text><items>"
      "<i><en>A</en></i><i><en>B</en></i><i><en>C</en></i></items></property>"
      "<property><id>count</id><type>int</type><min>-100</min><max>100</max>"
      "<defaultvalue>5</defaultvalue></property>"
      "<property><id>level</id><type>double</type><min>0.1</min><max>1000</max>"
      "<defaultvalue>1</defaultvalue></property>"
      "<property><id>flag</id><type>bool</type><defaultvalue>0</defaultvalue></property>"
      "<property><id>teach</id><type>action</type></property></p>";

// A window of a catalogue sensor on a simulated one; without a name, a window of a sensor with
// rows of every kind (a digital sensor simulated behind it).
struct Window : SimulatedWindow
{
    explicit Window(const QString &sensor = QString())
        : SimulatedWindow(sensor.isEmpty() ? "QUX-T40 D" : qPrintable(sensor), 0.1,
                          sensor.isEmpty()
                              ? std::optional(sensorWithDescription(everyKindDescription))
                              : std::nullopt)
    {
    }
    Utils::SimpleTimeChart &chart() { return *tester->chart().chart(); }
};

QMap<QString, QVariant> valuesOf(const ParameterRows &rows)
{
    QMap<QString, QVariant> values;
    for (const QString &id : rows.ids()) {
        const QVariant value = rows.value(id);
        values[id]
            = rows.kind(id) == Kind::Double ? QString::number(value.toDouble(), 'f', 6) : value;
    }
    return values;
}

// Every value away from where the description put it.
void changeEveryValue(ParameterRows &rows)
{
    for (const QString &id : rows.ids()) {
        switch (rows.kind(id)) {
        case Kind::Enumerator:
            rows.setValue(id, rows.enumNames(id).size() - 1);
            break;
        case Kind::Integer:
            rows.setValue(id, int(rows.maximum(id)) - 3);
            break;
        case Kind::Double:
            rows.setValue(id, (2 * rows.minimum(id) + rows.maximum(id)) / 3 + 0.0000004);
            break;
        case Kind::Bool:
            rows.setValue(id, !rows.value(id).toBool());
            break;
        default:
            break;
        }
    }
}

// The chart's first `count` samples (all when negative), every column.
QByteArray samplesOf(const Utils::SimpleTimeChart &chart, int count = -1)
{
    const Utils::ValueOverTime *data = chart.poData();
    const int size = count < 0 ? data->size() : qMin(count, data->size());
    QByteArray bytes;
    for (const double *column : { data->pxData(), data->pyData(), data->pyRightData() })
        bytes.append(reinterpret_cast<const char *>(column), int(sizeof(double)) * size);
    return bytes;
}

// The next dialog is a file dialog: choose `path` (no question about replacing a file).
void chooseFile(ModalAnswerer &answerer, const QString &path, QString *proposed = nullptr)
{
    answerer.answerWith([path, proposed](QWidget *widget) {
        auto *dialog = qobject_cast<QFileDialog *>(widget);
        if (!dialog) {
            widget->close();
            return;
        }
        if (proposed)
            *proposed = QFileInfo(dialog->selectedFiles().value(0)).fileName();
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept(); // the file dialog's own accept is protected
    });
}

QByteArray settings(const QByteArray &sensor, const QByteArray &inner)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root pluginid=\"QUXfamily\" sensorid=\""
        + sensor + "\">" + inner + "</root>\n";
}

void setTimeZone(const char *zone)
{
    qputenv("TZ", zone);
    tzset();
}

} // namespace

class tst_SettingsWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void roundTripIntoAFreshWindow_data();
    void roundTripIntoAFreshWindow();
    void refusedFilesChangeNothing_data();
    void refusedFilesChangeNothing();
    void messagesInGerman();
    void missingPartsAndForgivenValues();
    void loadingWhileConnected();
    void failedSaveKeepsTheOldFile();
    void longHistorySavesAndLoads();
    void exportText();
    void hostOpensThroughTheInterface();

private:
    QTemporaryDir m_dir;
    QString m_good; // a file of the catalogue's digital sensor with changed values
    QMap<QString, QVariant> m_goodValues;
};

void tst_SettingsWindow::initTestCase()
{
    QVERIFY(m_dir.isValid());
    Window source("QUX-T40 D");
    changeEveryValue(source.rows());
    source.chart().appendAt(1733400000000.0, 23.4, 4.68);
    m_goodValues = valuesOf(source.rows());
    m_good = m_dir.filePath("good.ovs");
    QVERIFY(TestFiles::write(
        m_good,
        settingsText(settingsDocument("QUX-T40 D", source.rows(), "1733400000000,23.4,4.68"))));
}

void tst_SettingsWindow::roundTripIntoAFreshWindow_data()
{
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<int>("samples");
    QTest::newRow("digital") << "QUX-T40 D" << 50;
    // Enough samples for the chart text's progress reports.
    QTest::newRow("every kind") << QString() << 40000;
}

// Saved through the window's dialog under the proposed name's folder, loaded through the open
// action's dialog into a new window of the same sensor: every value to six decimals, every
// sample bit for bit, nothing sent.
void tst_SettingsWindow::roundTripIntoAFreshWindow()
{
    QFETCH(QString, sensor);
    QFETCH(int, samples);
    Window saved(sensor);
    changeEveryValue(saved.rows());
    for (int i = 0; i < samples; ++i)
        saved.chart().appendAt(1733400000000.0 + 65.25 * i, 20.0 + i / 3.0, -i / 7.0);
    const QString path
        = m_dir.filePath(QStringLiteral("round %1.ovs").arg(QTest::currentDataTag()));

    ModalAnswerer answerer;
    QString proposed;
    chooseFile(answerer, path, &proposed);
    saved.window->vSaveSettings();
    QCOMPARE(answerer.seen().size(), 1);
    QCOMPARE(answerer.seen().first().title, QString("Save As..."));
    const QString name = QString::fromStdString(saved.window->sensorRecord().name());
    QCOMPARE(proposed, defaultSettingsFileName(name, QDate::currentDate()));

    Window loaded(sensor);
    chooseFile(answerer, path);
    loaded.tester->action("actionOpen_Settings")->trigger();
    QCOMPARE(answerer.seen().size(), 2);
    QCOMPARE(answerer.seen().last().className, QString("QFileDialog"));
    QCOMPARE(valuesOf(loaded.rows()), valuesOf(saved.rows()));
    QVERIFY(valuesOf(loaded.rows()) != valuesOf(Window(sensor).rows()));
    QCOMPARE(loaded.chart().poData()->size(), samples);
    QVERIFY(samplesOf(loaded.chart()) == samplesOf(saved.chart()));
    QVERIFY(loaded.tester->toolbar("chartToolbar")->isEnabled());
    QVERIFY(loaded.takeRequests().isEmpty());
}

void tst_SettingsWindow::refusedFilesChangeNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QString corrupted = "The selected settings are corupted";
    const QString other = "The selected settings are not for the current sensor";
    const QByteArray good = TestFiles::read(m_good);
    // Every cut of a file is the files layer's test, which root attributes make another
    // sensor's file fuzz_settingsfile's: here one file of each message.
    QTest::newRow("empty") << QByteArray() << corrupted;
    QTest::newRow("another kind of XML") << QByteArray("<svg/>") << corrupted;
    QTest::newRow("another sensor") << settings("QUX-T40 A", "") << other;
    QTest::newRow("too many properties")
        << settings("QUX-T40 D",
                    "<pluginsettings><propertytreedata data=\""
                        + QByteArray("laser=1;").repeated(20000) + "\"/></pluginsettings>")
        << "The selected settings hold too many properties (20001, at most 10000)";
    QTest::newRow("not a number") << QString::fromUtf8(good)
                                         .replace(QRegularExpression("emisivity=[0-9.]+"),
                                                  "emisivity=nan")
                                         .toUtf8()
                                  << corrupted;
}

// Refused with a critical box, the window as it was, nothing sent; connected, after the
// question, the same, and the tree's edits and live data are back on.
void tst_SettingsWindow::refusedFilesChangeNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const QString path = m_dir.filePath("refused.ovs");
    QVERIFY(TestFiles::write(path, bytes));
    for (const bool connected : { false, true }) {
        Window window("QUX-T40 D");
        window.chart().appendAt(1733400000000.0, 1.0, 2.0);
        const QMap<QString, QVariant> values = valuesOf(window.rows());
        const QByteArray samples = samplesOf(window.chart());
        if (connected) {
            window.markConnected();
            window.tester->action("actionEnable_live_data")->setChecked(true);
        }
        ModalAnswerer answerer;
        if (connected)
            answerer.answer(QMessageBox::Ok);
        answerer.answer(QMessageBox::Ok);
        const bool loaded = window.window->bOpenSettings(path);

        const bool corrupt = QByteArray(QTest::currentDataTag()) == "empty";
        QVERIFY(!loaded);
        // Writing all after a corrupt file asks about the baud rate (declined here).
        QCOMPARE(answerer.seen().size(), connected ? (corrupt ? 3 : 2) : 1);
        const ModalAnswerer::Seen &box = answerer.seen().at(connected ? 1 : 0);
        QCOMPARE(box.title, QString("Opening settings..."));
        QCOMPARE(box.text, message);
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(valuesOf(window.rows()), values);
        // Connected, the live data go on adding samples behind the old ones.
        QVERIFY(samplesOf(window.chart(), 1) == samples);
        QCOMPARE(window.window->treeHandling().isOn(), true);
        QCOMPARE(window.tester->action("actionEnable_live_data")->isChecked(), connected);
        // A file that is no XML at all is followed by writing every row as it stands when
        // connected; the other refusals send nothing.
        QCOMPARE(withoutPolls(window.takeRequests()).isEmpty(), !(connected && corrupt));
    }
}

// The window's refusals in German, with their figures.
void tst_SettingsWindow::messagesInGerman()
{
    QTranslator translator;
    QVERIFY(
        translator.load("QUXfamily_de", QCoreApplication::applicationDirPath() + "/translations"));
    QCoreApplication::installTranslator(&translator);
    const QString path = m_dir.filePath("german.ovs");
    QVERIFY(TestFiles::write(path,
                             settings("QUX-T40 D",
                                      "<pluginsettings><propertytreedata data=\""
                                          + QByteArray(";").repeated(10000)
                                          + "\"/></pluginsettings>")));
    Window window("QUX-T40 D");
    ModalAnswerer answerer;
    answerer.answer(QMessageBox::Ok);
    QVERIFY(!window.window->bOpenSettings(path));
    QCoreApplication::removeTranslator(&translator);

    QCOMPARE(answerer.texts(),
             QStringList("Die ausgewählten Einstellungen enthalten zu viele Eigenschaften "
                         "(10001, höchstens 10000)"));
    QCOMPARE(answerer.seen().first().title, QString("Einstellungen öffnen..."));
}

// Missing parts: the rest is loaded, the load is incomplete, nobody is told. Values that are
// no numbers read as 0, unknown ids and items are passed over, an index that names no item
// leaves its row, a chart text that does not read leaves the chart empty: the load is
// complete.
void tst_SettingsWindow::missingPartsAndForgivenValues()
{
    const QString path = m_dir.filePath("parts.ovs");
    const QByteArray chart = "<chartdata data=\"5,6,7\"/>";
    const QByteArray properties = "<propertytreedata data=\"laser=0;\"/>";
    struct Case
    {
        QByteArray inner;
        bool complete;
        int laser; // before: 1
        int samples; // before: 2
    };
    const Case cases[] = {
        { "", false, 1, 2 },
        { "<pluginsettings>" + chart + "</pluginsettings>", false, 1, 1 },
        { "<pluginsettings>" + properties + "</pluginsettings>", false, 0, 2 },
        { "<pluginsettings>" + properties + chart + "</pluginsettings>", true, 0, 1 },
        { "<pluginsettings><propertytreedata data=\"laser=abc;=1;nothing=3;unit=9;emisivity=x;"
          "laser\"/><chartdata data=\"1,2\"/></pluginsettings>",
          true, 0, 0 },
    };
    for (const Case &c : cases) {
        QVERIFY(TestFiles::write(path, settings("QUX-T40 D", c.inner)));
        Window window("QUX-T40 D");
        window.rows().setValue("laser", 1);
        window.rows().setValue("unit", 1);
        window.chart().appendAt(1.0, 2.0, 3.0);
        window.chart().appendAt(2.0, 2.0, 3.0);
        const QByteArray before = samplesOf(window.chart());
        ModalAnswerer answerer;
        QCOMPARE(window.window->bOpenSettings(path), c.complete);
        QVERIFY(answerer.seen().isEmpty());
        QCOMPARE(window.rows().enumIndex("laser"), c.laser);
        QCOMPARE(window.chart().poData()->size(), c.samples);
        QCOMPARE(window.rows().enumIndex("unit"), 1);
        if (c.samples == 2)
            QVERIFY(samplesOf(window.chart()) == before);
    }
}

// While connected: the question first (Cancel changes and sends nothing), then one write of
// every row with the loaded values, live data put back. Writing all is the parameter layer's:
// until it sends anything, the part that needs it is skipped.
void tst_SettingsWindow::loadingWhileConnected()
{
    Window window("QUX-T40 D");
    window.markConnected();
    QAction *liveData = window.tester->action("actionEnable_live_data");
    liveData->setChecked(true);
    const QMap<QString, QVariant> before = valuesOf(window.rows());
    ModalAnswerer answerer;
    answerer.answer(QMessageBox::Cancel);
    QVERIFY(!window.window->bOpenSettings(m_good));
    QCOMPARE(answerer.seen().size(), 1);
    QCOMPARE(answerer.seen().first().title, QString("Open Settings"));
    QCOMPARE(answerer.seen().first().text,
             QString("Loaded settings will override the current project !"));
    QCOMPARE(valuesOf(window.rows()), before);
    QVERIFY(withoutPolls(window.takeRequests()).isEmpty());

    QSignalSpy toggled(liveData, &QAction::toggled);
    const QByteArray file
        = QString::fromUtf8(TestFiles::read(m_good))
              .replace(QRegularExpression("laser=\\d"), "laser=1")
              .replace(QRegularExpression("emisivity=[0-9.]+"), "emisivity=0.900000")
              .toUtf8();
    const QString path = m_dir.filePath("connected.ovs");
    QVERIFY(TestFiles::write(path, file));
    answerer.answer(QMessageBox::Ok);
    // The file holds another baud rate than the line's: writing all asks before it changes it.
    answerer.answer(QMessageBox::No);
    QVERIFY(window.window->bOpenSettings(path));
    QCOMPARE(answerer.seen().size(), 3);
    QVERIFY(answerer.seen().last().text.startsWith("The new baud rate is activated"));
    QCOMPARE(toggled.count(), 2);
    QVERIFY(liveData->isChecked());
    QVERIFY(window.tester->session().state().deferValueWrites);
    const QList<QByteArray> requests = withoutPolls(window.takeRequests());
    QVERIFY(requests.contains("0L01"));
    QVERIFY(requests.contains("0e090"));
    QCOMPARE(window.held().laser, 1);
    QCOMPARE(window.held().emissivity, 90);
}

// A save that cannot be completed leaves the old file as it was and says why; a cancelled
// dialog writes or loads nothing.
void tst_SettingsWindow::failedSaveKeepsTheOldFile()
{
    Window window("QUX-T40 D");
    for (int i = 0; i < 1000; ++i)
        window.chart().appendAt(1733400000000.0 + i, i, i);
    const QString path = m_dir.filePath("kept.ovs");
    QVERIFY(TestFiles::write(path, "old"));
    ModalAnswerer answerer;
    const auto reject = [](QWidget *dialog) { qobject_cast<QDialog *>(dialog)->reject(); };
    answerer.answerWith(reject);
    window.window->vSaveSettings();
    QCOMPARE(TestFiles::read(path), QByteArray("old"));
    const QMap<QString, QVariant> before = valuesOf(window.rows());
    answerer.answerWith(reject);
    QVERIFY(!window.window->bOpenSettings());
    QCOMPARE(valuesOf(window.rows()), before);

    {
        const FileSizeLimit limit(4096);
        QVERIFY(limit.isActive());
        chooseFile(answerer, path);
        answerer.answer(QMessageBox::Ok);
        window.window->vSaveSettings();
    }
    QCOMPARE(answerer.seen().size(), 4);
    const ModalAnswerer::Seen &box = answerer.seen().last();
    QCOMPARE(box.title, QString("Saving settings..."));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QVERIFY2(box.text.startsWith("The settings were not saved to " + path + ": "),
             qPrintable(box.text));
    QVERIFY(box.text.endsWith(". A file of that name is unchanged."));
    QCOMPARE(TestFiles::read(path), QByteArray("old"));
    QCOMPARE(QDir(m_dir.path()).entryList({ "kept*" }, QDir::Files), QStringList("kept.ovs"));
}

// More samples than any fixed cap would have let through (a day and a half of polling) save
// and load again.
void tst_SettingsWindow::longHistorySavesAndLoads()
{
    Window saved;
    // Filled in one go: two million appends would redraw the chart some 20,000 times.
    std::string history;
    history.reserve(2000001 * 24);
    for (int i = 0; i < 2000001; ++i) {
        if (i > 0)
            history += ';';
        history += std::to_string(1733400000000LL + 65LL * i) + ',' + std::to_string(20 + i % 80)
            + '.' + std::to_string(i % 10) + ',' + std::to_string(i % 7);
    }
    QVERIFY(saved.chart().setDataFromText(history, ";"));
    history = std::string();
    const QString path = m_dir.filePath("long.ovs");
    ModalAnswerer answerer;
    chooseFile(answerer, path);
    saved.window->vSaveSettings();
    Window loaded;
    QVERIFY(loaded.window->bOpenSettings(path));
    for (const ModalAnswerer::Seen &seen : answerer.seen()) // file and progress dialogs only
        QVERIFY2(seen.className != "QMessageBox", qPrintable(seen.text));
    QCOMPARE(loaded.chart().poData()->size(), 2000001);
    QVERIFY(samplesOf(loaded.chart()) == samplesOf(saved.chart()));
}

// The file the window's export writes from its chart: the column names, local times (here
// across the end of summer time), two decimals. The dialog's delimiters are its own test's.
void tst_SettingsWindow::exportText()
{
    setTimeZone("Europe/Berlin");
    Window window;
    window.chart().appendAt(0.0, 23.456, 9.0);
    window.chart().appendAt(1729990799999.0, -200.0, 9.0);
    window.chart().appendAt(1729990800000.0, 0.125, 9.0);
    const QString path = m_dir.filePath("export.csv");
    ModalAnswerer answerer;
    answerer.answerWith([&](QWidget *widget) {
        if (auto *dialog = qobject_cast<Utils::ExportDialog *>(widget)) {
            dialog->setFileName(path);
            dialog->accept();
        } else {
            widget->close();
        }
    });
    window.tester->action("actionExport_chart_view")->trigger();
    setTimeZone("UTC");
    QCOMPARE(answerer.seen().size(), 1);
    QCOMPARE(TestFiles::read(path),
             QByteArray("Time;Signal\n01-01-1970 01:00:00.000;23.46\n27-10-2024 02:59:59.999;"
                        "-200.00\n27-10-2024 02:00:00.000;0.13\n"));
}

// The host opens a settings file through the interface object.
void tst_SettingsWindow::hostOpensThroughTheInterface()
{
    ExtensionSystem::SensorBasic sensor;
    sensor.setName("QUX-T40 D");
    QMdiSubWindow subWindow;
    auto *plugin = new SensorInterface(&sensor, &subWindow);
    static_cast<ExtensionSystem::PluginInterface *>(plugin)->vActionOpen(m_good);
    WindowProbe tester(plugin->sensorWindow());
    QCOMPARE(valuesOf(tester.rows()), m_goodValues);
    delete plugin;
}

QTEST_MAIN(tst_SettingsWindow)

#include "tst_settingswindow.moc"
