// The property tree built from a sensor description into its own editors, without a window: row
// kinds, names by language, read-only rows, defaults and lenient numbers, lookups, shown and
// hidden rows, and the memory rows' agreement with it.

#include "model/memoryrows.h"
#include "window/propertyeditors.h"
#include "window/propertytree.h"
#include "window/treehandling.h"
#include "window/treerows.h"
#include "windowprobe.h"

#include <buttonmanager.h>
#include <globals.h>
#include <qtpropertymanager.h>
#include <qttreepropertybrowser.h>

#include <QDockWidget>
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

// The tree's editors, the tree and the rows over them, as a window makes them.
struct TreeRig
{
    explicit TreeRig(const Sensor &record = sensorWithDescription(description))
        : editors(browser)
        , handling(new TreeHandling(editors.boolManager, editors.intManager, editors.doubleManager,
                                    editors.enumManager, editors.dock))
        , tree(editors, browser)
        , rows(editors, *handling)
    {
        tree.build(record, QStringLiteral("Test window"));
    }
    ~TreeRig() { delete editors.dock; }

    QtProperty *find(const std::string &id) const { return tree.find(id); }
    QString button(const std::string &id) const { return editors.buttonManager->value(find(id)); }
    bool shown(const std::string &id) const
    {
        const QList<QtBrowserItem *> items = browser->items(find(id));
        return !items.isEmpty() && browser->isItemVisible(items.first());
    }

    QtTreePropertyBrowser *browser = nullptr;
    PropertyEditors editors;
    TreeHandling *handling;
    PropertyTree tree;
    TreeRows rows;
};

} // namespace

class tst_PropertyTree : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { ExtensionSystem::Globals::setLanguage("en"); }

    void rows_data();
    void rows();
    void germanTexts_data();
    void germanTexts();
    void valuesInsteadOfDefaults();
    void lookupsAndVisibility();
    void shownRows_data();
    void shownRows();
    void memoryRowsMatchTheTree_data();
    void memoryRowsMatchTheTree();
};

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

    const TreeRig rig;
    const ParameterRows &rows = rig.rows;
    QtProperty *property = rig.find(id.toStdString());
    QVERIFY(property);
    QCOMPARE(property->propertyId(), id);
    QCOMPARE(rows.kind(id), kind);
    QCOMPARE(property->propertyName(), name);
    QCOMPARE(property->isEnabled(), enabled);
    QCOMPARE(kind == Kind::Action ? QVariant(rig.button(id.toStdString())) : rows.value(id), value);
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
    TreeRig rig;
    if (retranslate) {
        rig.rows.setValue("mode", 2);
        ExtensionSystem::Globals::setLanguage("de");
        rig.tree.retranslate(sensorWithDescription(description));
    }
    QCOMPARE(rig.find("grp")->propertyName(), QString("Gruppe"));
    QCOMPARE(rig.find("ratio")->propertyName(), QString::fromUtf8("Verhältnis"));
    QCOMPARE(rig.find("lenient")->propertyName(), QString("Lenient"));
    QCOMPARE(rig.rows.enumNames("mode"), QStringList({ "Aus", "On", "Automatik" }));
    QCOMPARE(rig.rows.value("mode").toInt(), retranslate ? 2 : 1);
    QCOMPARE(rig.button("start"), QString("Start"));
    QCOMPARE(rig.button("plainAction"), QString("action"));
    QCOMPARE(rig.rows.value("count").toInt(), 20);
    QVERIFY(!rig.find("count")->isEnabled());
}

void tst_PropertyTree::valuesInsteadOfDefaults()
{
    TreeRig rig { Sensor() };
    const Sensor record = sensorWithDescription(description);
    for (const auto &child : record.getPropertyTreeGui())
        rig.tree.addDescriptionNode(child.second, rig.tree.root(), false);
    QCOMPARE(rig.rows.value("mode").toInt(), 2);
    QCOMPARE(rig.rows.value("count").toInt(), 7);
    // No "value" element: 0.
    QCOMPARE(rig.rows.value("flagNumber").toBool(), false);
}
// Pre-order; the unknown kind and everything below it, the foreign child element and the empty
// element give no rows; top-level elements count whatever their tag. Of two rows with one id,
// the first is found, shown and hidden. Removing rows detaches them: the managers keep them.
void tst_PropertyTree::lookupsAndVisibility()
{
    TreeRig rig;
    const QList<QtProperty *> rows = rig.tree.allRows();
    QCOMPARE(rows.size(), 13);
    QCOMPARE(rig.rows.ids(),
             QStringList({ "grp", "mode", "count", "ratio", "flagWord", "flagNumber", "lenient",
                           "noRange", "plainAction", "start", "count", "nameless", "unit" }));
    for (const char *id : { "mystery", "hidden", "notARow", "root", "Mode" })
        QVERIFY2(!rig.find(id), id);
    QCOMPARE(rig.find("count"), rows.at(2));

    rig.tree.setRowVisible("count", false);
    rig.tree.setRowVisible("no such id", false);
    QVERIFY(!rig.browser->isItemVisible(rig.browser->items(rows.at(2)).first()));
    QVERIFY(rig.browser->isItemVisible(rig.browser->items(rows.at(10)).first()));

    QtEnumPropertyManager *enums = rig.editors.enumManager;
    const int managed = enums->properties().size();
    PropertyTree::removeSubProperties(rig.tree.root());
    PropertyTree::removeSubProperties(nullptr);
    QVERIFY(rig.tree.root()->subProperties().isEmpty());
    QVERIFY(rows.first()->subProperties().isEmpty());
    QCOMPARE(enums->properties().size(), managed);
    QCOMPARE(enums->value(rows.at(1)), 1);
    QCOMPARE(rig.browser->topLevelItems().size(), 1);
}

void tst_PropertyTree::shownRows_data()
{
    QTest::addColumn<bool>("expert");
    QTest::addColumn<bool>("analog");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("hidden");
    const QStringList expertRows { "time", "emisivity", "unit", "laser", "readTemp" };
    const QStringList contactRows { "2type", "2operateOutputs", "2switchingOn" };
    const QStringList signalRows { "2analogoutput", "2teach" };
    QTest::newRow("expert, pin 2 analog")
        << true << true << expertRows + signalRows + QStringList("1type") << contactRows;
    QTest::newRow("no expert, pin 2 output")
        << false << false << contactRows + QStringList("1type") << expertRows + signalRows;
}

// The expert rows follow the flag; pin 2 shows either its contact rows or its signal rows. The
// rows of output 1 always show.
void tst_PropertyTree::shownRows()
{
    QFETCH(bool, expert);
    QFETCH(bool, analog);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, hidden);
    TreeRig rig { findSensorInCatalogue("QUX-T40 D") };
    rig.tree.showExpertRows(!expert);
    rig.tree.showPin2Rows(!analog);
    rig.tree.showExpertRows(expert);
    rig.tree.showPin2Rows(analog);
    for (const QString &id : shown)
        QVERIFY2(rig.shown(id.toStdString()), qPrintable(id));
    for (const QString &id : hidden)
        QVERIFY2(!rig.shown(id.toStdString()), qPrintable(id));
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
                                           : findSensorInCatalogue(sensor.toUtf8().constData());
    const TreeRig rig(record);
    const ParameterRows &tree = rig.rows;
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
