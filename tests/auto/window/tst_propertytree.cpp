// The property tree built from a sensor description: row kinds, names by language, read-only
// rows, defaults and lenient numbers, lookups, expert rows and retranslation.

#include "model/memoryrows.h"
#include "window/treerows.h"
#include "windowprobe.h"

#include <buttonmanager.h>
#include <globals.h>

#include <QtTest>

using namespace DrumoSensorPlugin::Core;
using Kind = ParameterRows::Kind;
Q_DECLARE_METATYPE(Kind)

namespace {

const char description[] = R"(
<group><id>grp</id><type>category</type><text><en>Group</en><de>Gruppe</de></text>
  <property><id>mode</id><type>enumerator</type><text><en>Mode</en><de>Modus</de></text>
    <readonly>false</readonly><defaultvalue>1</defaultvalue><value>2</value>
    <items><a><en>Off</en><de>Aus</de></a><b><en>On</en><de></de></b>
      <c><en>Auto</en><de>Automatik</de></c></items></property>
  <property><id>count</id><type>int</type><text><en>Count</en></text><readonly>true</readonly>
    <min>5</min><max>50</max><defaultvalue> 20 </defaultvalue><value>7</value></property>
  <property><id>ratio</id><type>double</type><text><en>Ratio</en><de>Verhältnis</de></text>
    <readonly>False</readonly><min>0.1</min><max>1.0</max><defaultvalue>0.95</defaultvalue>
  </property>
  <property><id>flagWord</id><type>bool</type><text><en>Word flag</en></text>
    <defaultvalue>true</defaultvalue></property>
  <property><id>flagNumber</id><type>bool</type><text><en>Number flag</en></text>
    <defaultvalue>2</defaultvalue></property>
  <property><id>lenient</id><type>int</type><text><en>Lenient</en></text>
    <min>0</min><max>100</max><defaultvalue>12abc</defaultvalue></property>
  <property><id>noRange</id><type>double</type><text><en>No range</en></text>
    <defaultvalue>3.5</defaultvalue></property>
  <property><id>plainAction</id><type>action</type><text><en>Plain</en></text></property>
  <property><id>start</id><type>action</type><text><en>Start row</en></text>
    <caption><text><en>Start</en><de></de></text></caption></property>
  <property><id>mystery</id><type>slider</type><text><en>Mystery</en></text>
    <property><id>hidden</id><type>int</type><text><en>Hidden</en></text></property></property>
  <property><id>count</id><type>int</type><text><en>Second count</en></text></property>
  <other><id>notARow</id><type>int</type><text><en>Not a row</en></text></other>
</group>
<empty/>
<second><id>nameless</id><type>category</type>
  <property><id>unit</id><type>enumerator</type><text><en>Unit</en></text>
    <items><i><en>C</en></i><i><en>F</en></i></items></property></second>
)";

QStringList ids(const QList<QtProperty *> &properties)
{
    QStringList result;
    for (QtProperty *property : properties)
        result << property->propertyId();
    return result;
}

} // namespace

class tst_PropertyTree : public QObject
{
    Q_OBJECT

private slots:
    void init() { ExtensionSystem::Globals::setLanguage("en"); }
    void cleanup();

    void rows_data();
    void rows();
    void germanTexts_data();
    void germanTexts();
    void valuesInsteadOfDefaults();
    void lookupsAndVisibility();
    void expertRows();
    void memoryRowsMatchTheTree_data();
    void memoryRowsMatchTheTree();

private:
    WindowProbe makeWindow(const Sensor &record = sensorWithDescription(description));

    SensorWindow *m_window = nullptr;
};

void tst_PropertyTree::cleanup()
{
    delete m_window;
    m_window = nullptr;
    ExtensionSystem::Globals::setLanguage("en");
}

WindowProbe tst_PropertyTree::makeWindow(const Sensor &record)
{
    m_window = new SensorWindow(record);
    return WindowProbe(m_window);
}

void tst_PropertyTree::rows_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QVariant>("value"); // an action's: its button text
    QTest::addColumn<QString>("limits"); // "min..max", or an enumerator's items

    auto row = [](const char *tag, const char *id, Kind kind, const char *name, bool enabled,
                  const QVariant &value, const char *limits = "") {
        QTest::newRow(tag) << QString(id) << kind << QString(name) << enabled << value
                           << QString(limits);
    };
    row("category", "grp", Kind::Group, "Group", true, {});
    row("enum default index", "mode", Kind::Enumerator, "Mode", true, 1, "Off|On|Auto");
    row("read-only int, blanks around the number", "count", Kind::Integer, "Count", false, 20,
        "5..50");
    row("readonly False is not false", "ratio", Kind::Double, "Ratio", false, 0.95, "0.1..1");
    row("bool word is no number", "flagWord", Kind::Bool, "Word flag", true, false);
    row("bool non-zero number", "flagNumber", Kind::Bool, "Number flag", true, true);
    row("unreadable number is 0", "lenient", Kind::Integer, "Lenient", true, 0, "0..100");
    row("double without range", "noRange", Kind::Double, "No range", true, 0.0, "0..0");
    row("action without caption", "plainAction", Kind::Action, "Plain", true, "action");
    row("action caption", "start", Kind::Action, "Start row", true, "Start");
    row("group without names", "nameless", Kind::Group, "", true, {});
    row("enum of a second top-level element", "unit", Kind::Enumerator, "Unit", true, 0, "C|F");
}

void tst_PropertyTree::rows()
{
    QFETCH(QString, id);
    QFETCH(Kind, kind);
    QFETCH(QString, name);
    QFETCH(bool, enabled);
    QFETCH(QVariant, value);
    QFETCH(QString, limits);

    WindowProbe tester = makeWindow();
    const ParameterRows &rows = tester.rows();
    QtProperty *property = tester.find(id.toStdString());
    QVERIFY(property);
    QCOMPARE(property->propertyId(), id);
    QCOMPARE(rows.kind(id), kind);
    QCOMPARE(property->propertyName(), name);
    QCOMPARE(property->isEnabled(), enabled);
    QCOMPARE(kind == Kind::Action ? QVariant(
                 qobject_cast<Utils::ButtonManager *>(property->propertyManager())->value(property))
                                  : rows.value(id),
             value);
    if (kind == Kind::Enumerator)
        QCOMPARE(rows.enumNames(id).join('|'), limits);
    else if (kind == Kind::Integer || kind == Kind::Double)
        QCOMPARE(QStringLiteral("%1..%2").arg(rows.minimum(id)).arg(rows.maximum(id)), limits);
}

void tst_PropertyTree::germanTexts_data()
{
    QTest::addColumn<bool>("retranslate");
    QTest::newRow("built in German") << false;
    QTest::newRow("English, then a language change") << true;
}

// Texts of the language, English where a German one is missing or empty. A language change
// renames rows only: choices, values and read-only states stay as building made them.
void tst_PropertyTree::germanTexts()
{
    QFETCH(bool, retranslate);
    ExtensionSystem::Globals::setLanguage(retranslate ? "en" : "de");
    WindowProbe tester = makeWindow();
    if (retranslate) {
        tester.edit("mode", 2);
        ExtensionSystem::Globals::setLanguage("de");
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(m_window, &change);
    }
    QCOMPARE(tester.find("grp")->propertyName(), QString("Gruppe"));
    QCOMPARE(tester.find("ratio")->propertyName(), QString::fromUtf8("Verhältnis"));
    QCOMPARE(tester.find("lenient")->propertyName(), QString("Lenient"));
    QCOMPARE(tester.rows().enumNames("mode"), QStringList({ "Aus", "On", "Automatik" }));
    QCOMPARE(tester.enumIndex("mode"), retranslate ? 2 : 1);
    QCOMPARE(tester.manager<Utils::ButtonManager>("start")->value(tester.find("start")),
             QString("Start"));
    QCOMPARE(tester.manager<Utils::ButtonManager>("plainAction")->value(tester.find("plainAction")),
             QString("action"));
    QCOMPARE(tester.rows().value("count").toInt(), 20);
    QVERIFY(!tester.find("count")->isEnabled());
}

void tst_PropertyTree::valuesInsteadOfDefaults()
{
    WindowProbe tester = makeWindow(Sensor());
    tester.populate(sensorWithDescription(description), false);
    QCOMPARE(tester.enumIndex("mode"), 2);
    QCOMPARE(tester.rows().value("count").toInt(), 7);
    // No "value" element: 0.
    QCOMPARE(tester.rows().value("flagNumber").toBool(), false);
}

// Pre-order; the unknown kind and everything below it, the foreign child element and the empty
// element give no rows; top-level elements count whatever their tag. Of two rows with one id,
// the first is found, shown and hidden. Removing rows detaches them: the managers keep them.
void tst_PropertyTree::lookupsAndVisibility()
{
    WindowProbe tester = makeWindow();
    const QList<QtProperty *> rows = tester.all();
    QCOMPARE(ids(rows),
             QStringList({ "grp", "mode", "count", "ratio", "flagWord", "flagNumber", "lenient",
                           "noRange", "plainAction", "start", "count", "nameless", "unit" }));
    for (const char *id : { "mystery", "hidden", "notARow", "root", "Mode" })
        QVERIFY2(!tester.find(id), id);
    QCOMPARE(tester.find("count"), rows.at(2));

    tester.setPropertyVisible("count", false);
    tester.setPropertyVisible("no such id", false);
    QVERIFY(!tester.browser()->isItemVisible(tester.items(rows.at(2)).first()));
    QVERIFY(tester.browser()->isItemVisible(tester.items(rows.at(10)).first()));

    auto *enums = tester.manager<QtEnumPropertyManager>("mode");
    const int managed = enums->properties().size();
    PropertyTree::removeSubProperties(tester.root());
    PropertyTree::removeSubProperties(nullptr);
    QVERIFY(tester.root()->subProperties().isEmpty());
    QVERIFY(rows.first()->subProperties().isEmpty());
    QCOMPARE(enums->properties().size(), managed);
    QCOMPARE(enums->value(rows.at(1)), 1);
    QCOMPARE(tester.browser()->topLevelItems().size(), 1);
}

// The expert rows follow the flag, whether set directly or through the "ExpertMenu" row; the
// "readTemp" row sets the chart's temperature choice.
void tst_PropertyTree::expertRows()
{
    WindowProbe tester = makeWindow(catalogueRecord("QUX-T40 D"));
    auto expertShown = [&](bool shown) {
        for (const char *id : { "time", "emisivity", "unit", "laser", "readTemp" })
            QVERIFY2(tester.rowVisible(id) == shown, id);
        QVERIFY(tester.rowVisible("1type"));
        QCOMPARE(tester.expertMenu(), shown);
    };
    for (const bool byRow : { false, true }) {
        for (const bool on : { true, false }) {
            byRow ? tester.edit("ExpertMenu", int(on)) : tester.setExpertMenu(on);
            expertShown(on);
        }
    }
    tester.edit("readTemp", 1);
    QVERIFY(tester.measuredTemp());
    tester.edit("readTemp", 0);
    QVERIFY(!tester.measuredTemp());
}

void tst_PropertyTree::memoryRowsMatchTheTree_data()
{
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<QString>("language");
    QTest::newRow("test description") << QString() << QString("en");
    QTest::newRow("digital, German") << QString("QUX-T40 D") << QString("de");
    QTest::newRow("analog") << QString("QUX-T40 A") << QString("en");
}

// Tools without a window work on rows kept in memory; they must be the window's rows: the same
// ids in the same order, kinds, names, items, limits and initial values.
void tst_PropertyTree::memoryRowsMatchTheTree()
{
    QFETCH(QString, sensor);
    QFETCH(QString, language);
    ExtensionSystem::Globals::setLanguage(language.toStdString());
    const Sensor record = sensor.isEmpty() ? sensorWithDescription(description)
                                           : catalogueRecord(sensor.toUtf8().constData());
    const ParameterRows &tree = makeWindow(record).rows();
    const MemoryRows memory(record, language.toStdString());

    QCOMPARE(memory.ids(), tree.ids());
    QVERIFY(!tree.ids().isEmpty());
    for (const QString &id : tree.ids()) {
        QCOMPARE(memory.kind(id), tree.kind(id));
        QCOMPARE(memory.caption(id), tree.caption(id));
        QCOMPARE(memory.enumNames(id), tree.enumNames(id));
        QCOMPARE(memory.value(id), tree.value(id));
        QCOMPARE(memory.minimum(id), tree.minimum(id));
        QCOMPARE(memory.maximum(id), tree.maximum(id));
    }
}

QTEST_MAIN(tst_PropertyTree)
#include "tst_propertytree.moc"
