#include "../common/testfiles.h"
#include "model/sensor.h"
#include "model/sensorcatalogue.h"

#include <globals.h>

#include <QtTest>

#include <sys/stat.h>

#include <boost/property_tree/xml_parser.hpp>

#include <set>
#include <sstream>

using namespace DrumoSensorPlugin::Core;
namespace pt = boost::property_tree;

namespace {

// One catalogue entry as the record reader gets it, with a valid base record in front.
Sensor loadedSensor(const QString &extraElements)
{
    std::stringstream in(QString("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                                 "<name>QUX-T40 D</name><group>18</group><types>1</types>%1")
                             .arg(extraElements)
                             .toStdString());
    Sensor sensor;
    sensor.fromXMLStream(in);
    return sensor;
}

QString sensorEntry(const QString &name, int lineDelay)
{
    return QString("<sensor><name>%1</name><group>18</group><types>1</types>"
                   "<portsettings><linedelay>%2</linedelay></portsettings></sensor>")
        .arg(name)
        .arg(lineDelay);
}

QByteArray catalogue(const QString &entries, const QString &documentId = "QUXfamily")
{
    return QString("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<document>"
                   "<documentId>%1</documentId><sensorList>%2</sensorList></document>\n")
        .arg(documentId, entries)
        .toUtf8();
}

QStringList names(const std::list<ExtensionSystem::SensorBasic> &sensors)
{
    QStringList result;
    for (const auto &sensor : sensors)
        result << QString::fromStdString(sensor.name());
    return result;
}

int getterValue(const Sensor &sensor, const QString &getter)
{
    if (getter == "lineDelay")
        return sensor.getLineDelay();
    if (getter == "characterDelay")
        return sensor.getCharacterDelay();
    if (getter == "rangeMin")
        return sensor.getChartRangeMin();
    if (getter == "rangeMax")
        return sensor.getChartRangeMax();
    if (getter == "readOnly")
        return sensor.getThresholdsReadOnly();
    if (getter == "overlapping")
        return sensor.getThresholdsOverlapping();
    if (getter == "digital")
        return sensor.isDigital();
    qFatal("unknown getter");
    return -1;
}

// Every property element below `node`, depth first, with the path of texts leading to it.
void collectProperties(const pt::ptree &node, bool topLevel, std::vector<const pt::ptree *> &out)
{
    for (const auto &child : node) {
        if (!topLevel && child.first != "property")
            continue;
        out.push_back(&child.second);
        collectProperties(child.second, false, out);
    }
}

QString shippedCataloguePath()
{
    const QByteArray sourceDir = qgetenv("QUX_SOURCE_DIR");
    if (!sourceDir.isEmpty())
        return QString::fromLocal8Bit(sourceDir) + "/catalogue/QUXfamily.xml";
    return sensorCataloguePath();
}

} // namespace

class tst_Catalogue : public QObject
{
    Q_OBJECT

private slots:
    void numericGetters_data();
    void numericGetters();
    void baudrates_data();
    void baudrates();
    void propertyTreeGui();

    void list_data();
    void list();
    void find_data();
    void find();

    void shippedCatalogue();

private:
    QString writeCatalogue(const QByteArray &content);
    QTemporaryDir m_dir;
    int m_files = 0;
};

QString tst_Catalogue::writeCatalogue(const QByteArray &content)
{
    const QString path = m_dir.filePath(QString("catalogue%1.xml").arg(++m_files));
    if (!TestFiles::write(path, content))
        qFatal("cannot write a test catalogue");
    return path;
}

void tst_Catalogue::numericGetters_data()
{
    QTest::addColumn<QString>("elements");
    QTest::addColumn<QString>("getter");
    QTest::addColumn<int>("expected");

    const QString chart = "<chartsettings>%1</chartsettings>",
                  port = "<portsettings>%1</portsettings>";
    const QString min = chart.arg("<range><min>%1</min></range>");
    QTest::newRow("minus twenty") << min.arg("-20") << "rangeMin" << -20;
    QTest::newRow("blanks around") << min.arg("  35 \n") << "rangeMin" << 35;
    QTest::newRow("trailing letters") << min.arg("12abc") << "rangeMin" << 0;
    QTest::newRow("missing") << QString() << "rangeMin" << 0;
    QTest::newRow("range max") << chart.arg("<range><max>350</max></range>") << "rangeMax" << 350;
    QTest::newRow("line delay") << port.arg("<linedelay>150</linedelay>") << "lineDelay" << 150;
    QTest::newRow("character delay")
        << port.arg("<characterdelay>2</characterdelay>") << "characterDelay" << 2;
    QTest::newRow("digital 2 is true") << QString("<isdigital>2</isdigital>") << "digital" << 1;
    QTest::newRow("digital word true") << QString("<isdigital>true</isdigital>") << "digital" << 0;
    QTest::newRow("thresholds read-only")
        << chart.arg("<thresholdsreadonly>1</thresholdsreadonly>") << "readOnly" << 1;
    // The element's name is spelt with one "p"; the correct spelling is not read.
    QTest::newRow("thresholds overlapping")
        << chart.arg("<thresholdsoverlaping>1</thresholdsoverlaping>") << "overlapping" << 1;
    QTest::newRow("overlapping spelt with two p")
        << chart.arg("<thresholdsoverlapping>1</thresholdsoverlapping>") << "overlapping" << 0;
}

void tst_Catalogue::numericGetters()
{
    QFETCH(QString, elements);
    QFETCH(QString, getter);
    QFETCH(int, expected);

    QCOMPARE(getterValue(loadedSensor(elements), getter), expected);

    // The catalogue reader trims text before the record sees it; the rules stay the same.
    const QString path = writeCatalogue(catalogue(
        QString("<s><name>X</name><group>1</group><types>1</types>%1</s>").arg(elements)));
    QCOMPARE(getterValue(findSensorInCatalogue("X", path), getter), expected);
}

void tst_Catalogue::baudrates_data()
{
    QTest::addColumn<QString>("elements");
    QTest::addColumn<QList<int>>("expected");

    const QString rates = "<portsettings><baudrate>%1</baudrate></portsettings>";
    QTest::newRow("trailing separator") << rates.arg("9600;") << QList<int> { 9600 };
    QTest::newRow("empty piece") << rates.arg("9600;;19200") << QList<int> { 9600, 0, 19200 };
    QTest::newRow("unreadable piece") << rates.arg("fast;9600") << QList<int> { 0, 9600 };
    QTest::newRow("missing") << QString() << QList<int> {};
    QTest::newRow("family default") << rates.arg("38400;9600;19200;57600;115200")
                                    << QList<int> { 38400, 9600, 19200, 57600, 115200 };
}

void tst_Catalogue::baudrates()
{
    QFETCH(QString, elements);
    QFETCH(QList<int>, expected);
    QCOMPARE(loadedSensor(elements).getBaudrates(),
             std::vector<int>(expected.begin(), expected.end()));
}

// Without a description the whole entry stands in for it; a description's rows are the
// property tree's test.
void tst_Catalogue::propertyTreeGui()
{
    const Sensor without = loadedSensor("<isdigital>1</isdigital>");
    QCOMPARE(without.getPropertyTreeGui().get<std::string>("name"), std::string("QUX-T40 D"));
}

// Which entries a well-formed catalogue lists (identity, sensorList, rejected and duplicate
// entries, comments, attributes, nesting) and what a lookup of a listed name finds are
// fuzz_catalogue's, against the host's record reader on what Qt's XML reader finds; here the
// files that are not read at all.
void tst_Catalogue::list_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("expected");

    const QString a = sensorEntry("QUX-T40 D", 150);
    const QString b = sensorEntry("QUX-T40 A", 100);
    QTest::newRow("two entries") << catalogue(a + b) << QStringList { "QUX-T40 D", "QUX-T40 A" };
    QTest::newRow("malformed") << catalogue(a).left(120) << QStringList {};
    QTest::newRow("absent file") << QByteArray() << QStringList {};
    // Not opened at all: a FIFO would block the start. (A device or a folder is refused the
    // same way: what is no regular file is not read.)
    QTest::newRow("fifo") << QByteArray("@fifo") << QStringList {};
    // Nested deeper than a stack could take in the recursive readers (700 KB; a few thousand levels
    // already overflow the stack of a sanitized build): refused as a whole before anything is
    // parsed, instead of taking the host down.
    QTest::newRow("nested 100000 deep")
        << catalogue(a + "<sensor>" + QString("<x>").repeated(100000)
                     + QString("</x>").repeated(100000) + "</sensor>")
        << QStringList {};
}

void tst_Catalogue::list()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, expected);

    QString path = content.isNull() ? m_dir.filePath("absent.xml") : writeCatalogue(content);
    if (content == "@fifo") {
        path = m_dir.filePath("fifo.xml");
        QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    }
    QCOMPARE(names(readSensorCatalogue(path)), expected);
}

// The document itself (identity, absent or unreadable file) is read as for the list.
void tst_Catalogue::find_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("lineDelay");

    const QString one = "QUX-T40 D", two = "QUX-T40 A", none;
    const QString a = sensorEntry(one, 150), b = sensorEntry(two, 100);
    QTest::newRow("second entry") << catalogue(a + b) << two << two << 100;
    QTest::newRow("name in other case") << catalogue(a + b) << two.toLower() << none << 0;
    QTest::newRow("rejected by base reader still carries its description")
        << catalogue("<sensor><name>Odd</name><group>300</group><types>1</types>"
                     "<portsettings><linedelay>7</linedelay></portsettings></sensor>")
        << QString("Odd") << none << 7;
}

void tst_Catalogue::find()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, wanted);
    QFETCH(QString, name);
    QFETCH(int, lineDelay);

    const Sensor sensor = findSensorInCatalogue(wanted.toStdString(), writeCatalogue(content));
    QCOMPARE(QString::fromStdString(sensor.name()), name);
    QCOMPARE(sensor.getLineDelay(), lineDelay);
}

// The catalogue we ship: every entry is accepted, found by name, and describes every row that
// the plug-in reacts to, with texts in both languages.
void tst_Catalogue::shippedCatalogue()
{
    const QString path = shippedCataloguePath();
    QVERIFY2(QFile::exists(path), qPrintable(path));

    pt::ptree document;
    pt::read_xml(path.toStdString(), document,
                 pt::xml_parser::trim_whitespace | pt::xml_parser::no_comments);
    const std::size_t entries = document.get_child("document.sensorList").size();

    const auto sensors = readSensorCatalogue(path);
    QCOMPARE(sensors.size(), entries);
    QVERIFY(sensors.size() >= 3);

    // The rows the plug-in reacts to.
    const std::set<std::string> common { "unit",       "laser",    "time", "emisivity", "readTemp",
                                         "ExpertMenu", "baudrate", "0v",   "10v" };
    const std::set<std::string> digitalOnly {
        "1type", "2type", "1operateOutputs", "2operateOutputs", "1switchingOn", "2switchingOn",
        "2A",    "1A",    "2analogoutput",   "2teach"
    };
    const std::set<std::string> analogOnly { "analogoutput" };
    std::set<std::string> seenNames;
    std::set<int> seenTypes;
    for (const auto &basic : sensors) {
        QVERIFY(seenNames.insert(basic.name()).second);
        QCOMPARE(basic.group(), 18);
        // The identification answer's type number picks the entry.
        for (int type : basic.type())
            QVERIFY2(seenTypes.insert(type).second, "type numbers must be distinct");

        const Sensor sensor = findSensorInCatalogue(basic.name(), path);
        const QByteArray context = QByteArray::fromStdString(basic.name());
        QVERIFY(sensor.getLineDelay() > 0);
        QVERIFY(sensor.getChartRangeMin() < sensor.getChartRangeMax());

        std::vector<const pt::ptree *> properties;
        collectProperties(sensor.getPropertyTreeGui(), true, properties);
        std::set<std::string> ids;
        for (const pt::ptree *property : properties) {
            const std::string id = property->get<std::string>("id", "");
            const QByteArray where = context + " / " + QByteArray::fromStdString(id);
            QVERIFY2(ids.insert(id).second, where + " appears twice");
            QVERIFY2(!property->get<std::string>("text.en", "").empty()
                         && !property->get<std::string>("text.de", "").empty(),
                     where);
            if (property->get<std::string>("type", "") == "enumerator") {
                const auto &items = property->get_child("items");
                for (const auto &item : items)
                    QVERIFY2(!item.second.get<std::string>("en", "").empty()
                                 && !item.second.get<std::string>("de", "").empty(),
                             where);
                const int index = property->get<int>("defaultvalue", -1);
                QVERIFY2(index >= 0 && index < int(items.size()), where);
            }
        }

        for (const std::string &id : common)
            QVERIFY2(ids.count(id), context + " lacks " + QByteArray::fromStdString(id));
        for (const std::string &id : sensor.isDigital() ? digitalOnly : analogOnly)
            QVERIFY2(ids.count(id), context + " lacks " + QByteArray::fromStdString(id));
    }
}

QTEST_GUILESS_MAIN(tst_Catalogue)

#include "tst_catalogue.moc"
