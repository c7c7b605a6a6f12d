#include <qteditorfactory.h>
#include <qtpropertymanager.h>
#include <qttreepropertybrowser.h>

#include <QtCore/QDir>
#include <QtCore/QLocale>
#include <QtCore/QTranslator>
#include <QtTest/QSignalSpy>
#include <QtTest/QtTest>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTreeWidget>

#include <memory>

// "G[a,b],c": names of the rows with their children, as the tree shows them.
static QString dump(const QTreeWidgetItem *item)
{
    QStringList children;
    for (int i = 0; i < item->childCount(); ++i)
        children << dump(item->child(i));
    return item->text(0) + (children.isEmpty() ? QString() : '[' + children.join(',') + ']');
}

static QString dump(const QTreeWidget *tree)
{
    QStringList rows;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        rows << dump(tree->topLevelItem(i));
    return rows.join(',');
}

// The same notation for the browser's own items.
static QString dump(const QList<QtBrowserItem *> &items)
{
    QStringList rows;
    for (const QtBrowserItem *item : items) {
        const QString children = dump(item->children());
        rows << item->property()->propertyName()
                + (children.isEmpty() ? QString() : '[' + children + ']');
    }
    return rows.join(',');
}

static QTreeWidgetItem *findRow(QTreeWidget *tree, const QString &name, int occurrence = 0)
{
    const QList<QTreeWidgetItem *> found
        = tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.value(occurrence);
}

class tst_TreePropertyBrowser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void structureFollowsProperties_data();
    void structureFollowsProperties();
    void propertyShownTwice();
    void rowsShowNameAndValue();
    void itemVisibility();
    void disabledRows();
    void currentItem();
    void languageChange();
    void resizeToContentsKeepsValuesVisible_data();
    void resizeToContentsKeepsValuesVisible();
    void screenshot();
};

void tst_TreePropertyBrowser::structureFollowsProperties_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("expected");

    const char *rows[][3] = {
        { "sub-properties added later appear", "add G; sub G a; sub G c; ins G b a", "G[a,b,c]" },
        { "insert at the front", "add G; sub G a; ins G b -", "G[b,a]" },
        { "remove and re-add", "add G; sub G a; sub G b; rm G a; sub G a", "G[b,a]" },
        { "nested before adding", "sub H c; sub G H; add G", "G[H[c]]" },
        { "nested after adding", "add G; sub G H; sub H c; sub H a", "G[H[c,a]]" },
        { "moved between groups keeps children",
          "add G; sub G H; sub H a; sub G b; rm G H; sub G H", "G[b,H[a]]" },
        { "top-level order", "add a; add c; top b a; top G -", "G,a,b,c" },
        { "top-level remove", "add a; add b; toprm a", "b" },
        { "top-level twice ignored", "add a; add a", "a" },
        { "deleted property vanishes everywhere", "add G; sub G a; add a; del a", "G" },
        { "shown twice", "add G; sub G a; add a", "G[a],a" },
        { "shown twice, top-level copy removed", "add G; sub G a; add a; toprm a", "G[a]" },
        { "group manager deleted", "add G; sub G a; add a; delgroups", "a" },
        { "clear", "add G; sub G a; add b; clear", "" },
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << row[1] << row[2];
}

void tst_TreePropertyBrowser::structureFollowsProperties()
{
    QFETCH(QString, script);
    QFETCH(QString, expected);

    auto groups = std::make_unique<QtGroupPropertyManager>();
    QtIntPropertyManager ints;
    QHash<QString, QtProperty *> properties { { "G", groups->addProperty("G") },
                                              { "H", groups->addProperty("H") },
                                              { "a", ints.addProperty("a") },
                                              { "b", ints.addProperty("b") },
                                              { "c", ints.addProperty("c") } };
    for (auto it = properties.cbegin(); it != properties.cend(); ++it)
        it.value()->setPropertyId("id-" + it.key());

    QtTreePropertyBrowser browser;
    for (const QString &step : script.split(';')) {
        const QStringList w = step.simplified().split(' ');
        QtProperty *first = properties.value(w.value(1));
        QtProperty *second = properties.value(w.value(2));
        if (w[0] == "add")
            browser.addProperty(first);
        else if (w[0] == "sub")
            first->addSubProperty(second);
        else if (w[0] == "ins")
            first->insertSubProperty(second, properties.value(w.value(3)));
        else if (w[0] == "rm")
            first->removeSubProperty(second);
        else if (w[0] == "top")
            browser.insertProperty(first, second);
        else if (w[0] == "toprm")
            browser.removeProperty(first);
        else if (w[0] == "del")
            delete properties.take(w.value(1));
        else if (w[0] == "clear")
            browser.clear();
        else if (w[0] == "delgroups") { // its properties go with it
            groups.reset();
            properties.remove("G");
            properties.remove("H");
        }
    }

    auto *tree = browser.findChild<QTreeWidget *>();
    QVERIFY(tree);
    QCOMPARE(dump(tree), expected);
    QCOMPARE(dump(browser.topLevelItems()), expected);
    QCOMPARE(browser.properties().size(), browser.topLevelItems().size());

    // Every item belongs to its property and to this browser, and ids travel with properties.
    for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
        for (QtBrowserItem *item : browser.items(it.value())) {
            QCOMPARE(item->browser(), &browser);
            QCOMPARE(item->property()->propertyId(), "id-" + it.key());
            if (item->parent())
                QVERIFY(item->parent()->children().contains(item));
            else
                QCOMPARE(browser.topLevelItem(it.value()), item);
        }
    }
}

// Both rows of a property shown twice follow its value and name.
void tst_TreePropertyBrowser::propertyShownTwice()
{
    QtGroupPropertyManager groups;
    QtIntPropertyManager ints;
    QtProperty *group = groups.addProperty("group");
    QtProperty *value = ints.addProperty("value");
    group->addSubProperty(value);

    QtTreePropertyBrowser browser;
    browser.addProperty(group);
    browser.addProperty(value);
    auto *tree = browser.findChild<QTreeWidget *>();
    ints.setValue(value, 17);
    value->setPropertyName("renamed");
    QCOMPARE(findRow(tree, "renamed", 0)->text(1), "17");
    QCOMPARE(findRow(tree, "renamed", 1)->text(1), "17");
}

void tst_TreePropertyBrowser::rowsShowNameAndValue()
{
    QtGroupPropertyManager groups;
    QtBoolPropertyManager bools;
    QtDoublePropertyManager doubles;
    QtProperty *group = groups.addProperty("group");
    QtProperty *flag = bools.addProperty("flag");
    QtProperty *number = doubles.addProperty("number");
    group->addSubProperty(flag);
    group->addSubProperty(number);
    bools.setValue(flag, true, "off", "on");
    doubles.setDecimals(number, 1);
    doubles.setValue(number, 0.25);

    QtTreePropertyBrowser browser;
    browser.addProperty(group);
    auto *tree = browser.findChild<QTreeWidget *>();
    QCOMPARE(tree->columnCount(), 2);
    QCOMPARE(tree->headerItem()->text(0), "Property");
    QCOMPARE(tree->headerItem()->text(1), "Value");

    QTreeWidgetItem *groupRow = findRow(tree, "group");
    QVERIFY(groupRow->text(1).isEmpty());
    QVERIFY(groupRow->isFirstColumnSpanned());
    QVERIFY(!(groupRow->flags() & Qt::ItemIsEditable));
    QCOMPARE(findRow(tree, "flag")->text(1), "on");
    QVERIFY(!findRow(tree, "flag")->icon(1).isNull());
    QCOMPARE(findRow(tree, "number")->text(1), "0.3");
    QVERIFY(findRow(tree, "number")->flags() & Qt::ItemIsEditable);
}

void tst_TreePropertyBrowser::itemVisibility()
{
    QtGroupPropertyManager groups;
    QtStringPropertyManager strings;
    QtProperty *root = groups.addProperty("root");
    QtProperty *expert = strings.addProperty("expert");
    QtProperty *plain = strings.addProperty("plain");
    root->addSubProperty(expert);
    root->addSubProperty(plain);

    QtTreePropertyBrowser browser;
    browser.addProperty(root);
    auto *tree = browser.findChild<QTreeWidget *>();
    QtBrowserItem *expertItem = browser.items(expert).value(0);
    QVERIFY(browser.isItemVisible(expertItem));

    browser.setItemVisible(expertItem, false);
    QVERIFY(!browser.isItemVisible(expertItem));
    QVERIFY(findRow(tree, "expert")->isHidden());
    QVERIFY(!findRow(tree, "plain")->isHidden());

    // Hidden rows stay hidden across value changes and come back when asked.
    strings.setValue(expert, "x");
    QVERIFY(findRow(tree, "expert")->isHidden());
    browser.setItemVisible(expertItem, true);
    QVERIFY(!findRow(tree, "expert")->isHidden());
    QVERIFY(!browser.isItemVisible(nullptr));
}

void tst_TreePropertyBrowser::disabledRows()
{
    QtGroupPropertyManager groups;
    QtIntPropertyManager ints;
    QtSpinBoxFactory factory;
    QtProperty *group = groups.addProperty("group");
    QtProperty *inner = ints.addProperty("inner");
    QtProperty *lone = ints.addProperty("lone");
    group->addSubProperty(inner);

    QtTreePropertyBrowser browser;
    browser.setFactoryForManager(&ints, &factory);
    browser.addProperty(group);
    browser.addProperty(lone);
    browser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&browser));
    auto *tree = browser.findChild<QTreeWidget *>();

    lone->setEnabled(false);
    QVERIFY(!(findRow(tree, "lone")->flags() & Qt::ItemIsEnabled));
    browser.editItem(browser.topLevelItem(lone));
    QVERIFY(!tree->indexWidget(tree->currentIndex()));

    // A disabled group takes the rows below it along, and gives them back.
    group->setEnabled(false);
    QVERIFY(!(findRow(tree, "inner")->flags() & Qt::ItemIsEnabled));
    QVERIFY(inner->isEnabled());
    group->setEnabled(true);
    QVERIFY(findRow(tree, "inner")->flags() & Qt::ItemIsEnabled);

    browser.editItem(browser.items(inner).value(0));
    QVERIFY(qobject_cast<QSpinBox *>(tree->indexWidget(tree->currentIndex())));
}

void tst_TreePropertyBrowser::currentItem()
{
    QtStringPropertyManager strings;
    QtProperty *a = strings.addProperty("a");
    QtProperty *b = strings.addProperty("b");
    QtTreePropertyBrowser browser;
    browser.addProperty(a);
    browser.addProperty(b);
    auto *tree = browser.findChild<QTreeWidget *>();
    QSignalSpy spy(&browser, &QtAbstractPropertyBrowser::currentItemChanged);

    browser.setCurrentItem(browser.topLevelItem(b));
    QCOMPARE(tree->currentItem(), findRow(tree, "b"));
    tree->setCurrentItem(findRow(tree, "a"));
    QCOMPARE(browser.currentItem(), browser.topLevelItem(a));
    QCOMPARE(spy.count(), 2);

    // The current row goes with its property; browser and tree agree on what follows.
    browser.removeProperty(a);
    QtBrowserItem *current = browser.currentItem();
    QVERIFY(!current || current == browser.topLevelItem(b));
    QCOMPARE(current != nullptr, tree->currentItem() != nullptr);
}

void tst_TreePropertyBrowser::languageChange()
{
    QtBoolPropertyManager bools;
    QtProperty *plain = bools.addProperty("plain");
    QtProperty *labelled = bools.addProperty("labelled");
    bools.setValue(labelled, false, "off", "on");
    QtTreePropertyBrowser browser;
    browser.addProperty(plain);
    browser.addProperty(labelled);
    browser.show();
    auto *tree = browser.findChild<QTreeWidget *>();

    QTranslator german;
    QVERIFY(german.load("propertybrowser_de",
                        QCoreApplication::applicationDirPath() + "/translations"));
    QCoreApplication::installTranslator(&german);
    QCoreApplication::processEvents();
    QCOMPARE(tree->headerItem()->text(0), "Eigenschaft");
    QCOMPARE(tree->headerItem()->text(1), "Wert");
    QCOMPARE(findRow(tree, "plain")->text(1), "Falsch");
    QCOMPARE(findRow(tree, "labelled")->text(1), "off");

    QCoreApplication::removeTranslator(&german);
    QCoreApplication::processEvents();
    QCOMPARE(tree->headerItem()->text(0), "Property");
    QCOMPARE(findRow(tree, "plain")->text(1), "False");
}

void tst_TreePropertyBrowser::resizeToContentsKeepsValuesVisible_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("nameFits");

    const QString longName = "A rather long property name that no narrow dock can show whole";
    QTest::newRow("narrow, long name") << 300 << longName << false;
    QTest::newRow("very narrow, long name") << 160 << longName << false;
    QTest::newRow("wide, long name") << 900 << longName << false;
    QTest::newRow("narrow, short name") << 300 << "Gain" << true;
    QTest::newRow("wide, short name") << 900 << "Gain" << true;
}

// The name column fits its names but never squeezes the values out of sight; the value
// column takes the rest of the width, so there is nothing to scroll sideways.
void tst_TreePropertyBrowser::resizeToContentsKeepsValuesVisible()
{
    QFETCH(int, width);
    QFETCH(QString, name);
    QFETCH(bool, nameFits);

    QtGroupPropertyManager groups;
    QtIntPropertyManager ints;
    QtProperty *group = groups.addProperty("Group heading that is longer than anything else here");
    QtProperty *value = ints.addProperty(name);
    QtProperty *other = ints.addProperty("x");
    group->addSubProperty(value);
    group->addSubProperty(other);

    QtTreePropertyBrowser browser;
    browser.setResizeMode(QtTreePropertyBrowser::ResizeToContents);
    browser.addProperty(group);
    browser.resize(width, 240);
    browser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&browser));
    QCoreApplication::processEvents();

    auto *tree = browser.findChild<QTreeWidget *>();
    QHeaderView *header = tree->header();
    const int viewport = tree->viewport()->width();
    QTRY_COMPARE(header->sectionSize(0) + header->sectionSize(1), viewport);
    QVERIFY2(
        header->sectionSize(1) >= viewport * 2 / 5,
        qPrintable(QString("value column %1 of %2").arg(header->sectionSize(1)).arg(viewport)));
    QVERIFY(!tree->horizontalScrollBar()->isVisible());
    // The name sits two levels in (root decoration and group).
    const int nameNeeds = tree->fontMetrics().horizontalAdvance(name) + 2 * tree->indentation();
    QCOMPARE(header->sectionSize(0) >= nameNeeds, nameFits);

    // A longer name turns up later: the column grows, within its share.
    value->setPropertyName(name + name);
    QTRY_VERIFY(header->sectionSize(0) >= qMin(nameNeeds, viewport * 3 / 5));
    QCOMPARE(header->sectionSize(0) + header->sectionSize(1), viewport);

    // Narrowing the browser narrows the name column with it.
    browser.resize(width / 2 + 40, 240);
    QCoreApplication::processEvents();
    const int narrowed = tree->viewport()->width();
    QVERIFY(header->sectionSize(0) <= narrowed * 3 / 5);
    QCOMPARE(header->sectionSize(0) + header->sectionSize(1), narrowed);
}

// Renders a tree with every kind of row, for a human to look at.
void tst_TreePropertyBrowser::screenshot()
{
    QtGroupPropertyManager groups;
    QtBoolPropertyManager bools;
    QtIntPropertyManager ints;
    QtDoublePropertyManager doubles;
    QtStringPropertyManager strings;
    QtEnumPropertyManager enums;
    QtCheckBoxFactory checkBoxes;
    QtSpinBoxFactory spinBoxes;
    QtDoubleSpinBoxFactory doubleSpinBoxes;
    QtLineEditFactory lineEdits;
    QtEnumEditorFactory enumEditors;

    QtTreePropertyBrowser browser;
    browser.setFactoryForManager(&bools, &checkBoxes);
    browser.setFactoryForManager(&ints, &spinBoxes);
    browser.setFactoryForManager(&doubles, &doubleSpinBoxes);
    browser.setFactoryForManager(&strings, &lineEdits);
    browser.setFactoryForManager(&enums, &enumEditors);
    browser.setResizeMode(QtTreePropertyBrowser::ResizeToContents);
    browser.setRootIsDecorated(true);
    // As the sensor window styles it.
    browser.setStyleSheet(" QTreeView {selection-background-color:  #00619E;}");

    QtProperty *root = groups.addProperty("Sensor QUX-1 (Offline)");
    QtProperty *settings = groups.addProperty("Settings");
    QtProperty *unit = enums.addProperty("Temperature unit");
    enums.setEnumNames(unit, { "°C", "°F" });
    QtProperty *time = ints.addProperty("Response time [ms]");
    ints.setRange(time, 0, 999);
    ints.setValue(time, 150);
    QtProperty *emissivity = doubles.addProperty("Emissivity");
    doubles.setRange(emissivity, 0.1, 1.0);
    doubles.setValue(emissivity, 0.95);
    QtProperty *laser = bools.addProperty("Laser");
    bools.setValue(laser, true, QString(), QString());
    QtProperty *hold = bools.addProperty("Hold");
    bools.setValue(hold, false, "off", "on");
    QtProperty *name = strings.addProperty("Name");
    strings.setValue(name, "Furnace 2");
    QtProperty *firmware = strings.addProperty("Firmware (read only)");
    strings.setValue(firmware, "8A");
    firmware->setEnabled(false);
    QtProperty *outputs = groups.addProperty("Outputs");
    QtProperty *mode = enums.addProperty("Output 1 mode");
    enums.setEnumNames(mode, { "Off", "Alarm", "Window" });
    enums.setValue(mode, 1);
    root->addSubProperty(settings);
    for (QtProperty *property : { unit, time, emissivity, laser, hold, name, firmware })
        settings->addSubProperty(property);
    root->addSubProperty(outputs);
    outputs->addSubProperty(mode);
    browser.addProperty(root);

    browser.resize(420, 360);
    browser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&browser));
    browser.setCurrentItem(browser.items(emissivity).value(0));
    browser.editItem(browser.items(emissivity).value(0));
    QCoreApplication::processEvents();

    const QString dir = QCoreApplication::applicationDirPath() + "/screenshots";
    QVERIFY(QDir().mkpath(dir));
    const QPixmap shot = browser.grab();
    QVERIFY(!shot.isNull());
    QVERIFY(shot.save(dir + "/propertybrowser.png"));
}

QTEST_MAIN(tst_TreePropertyBrowser)
#include "tst_treepropertybrowser.moc"
