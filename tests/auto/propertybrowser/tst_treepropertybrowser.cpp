#include <qteditorfactory.h>
#include <qtpropertymanager.h>
#include <qttreepropertybrowser.h>

#include <QtCore/QLocale>
#include <QtCore/QTranslator>
#include <QtTest/QSignalSpy>
#include <QtTest/QtTest>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTreeWidget>

#include <memory>

// "G[a,b],c": names of the rows below `item` with their children, as the tree shows them.
static QString dump(const QTreeWidgetItem *item)
{
    QStringList rows;
    for (int i = 0; i < item->childCount(); ++i) {
        const QString children = dump(item->child(i));
        rows << item->child(i)->text(0) + (children.isEmpty() ? QString() : '[' + children + ']');
    }
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
    void rowsShowNameAndValue();
    void hiddenAndDisabledRows();
    void currentItem();
    void resizeToContentsKeepsValuesVisible_data();
    void resizeToContentsKeepsValuesVisible();
};

void tst_TreePropertyBrowser::structureFollowsProperties_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("expected");

    const char *rows[][3] = {
        { "sub-properties added later appear", "add G; sub G a; sub G c; ins G b a", "G[a,b,c]" },
        { "insert at the front", "add G; sub G a; ins G b -", "G[b,a]" },
        { "remove and re-add", "add G; sub G a; sub G b; rm G a; sub G a", "G[b,a]" },
        { "inserted twice ignored", "add G; sub G a; ins G a -", "G[a]" },
        { "cycle refused", "add G; sub G H; sub H G", "G[H]" },
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
    QCOMPARE(dump(tree->invisibleRootItem()), expected);
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

// Rows show name and value text and follow both, in every row of a property shown twice and in
// the language of the moment; labels of their own are not translated.
void tst_TreePropertyBrowser::rowsShowNameAndValue()
{
    QtGroupPropertyManager groups;
    QtBoolPropertyManager bools;
    QtDoublePropertyManager doubles;
    QtIntPropertyManager ints;
    QtProperty *group = groups.addProperty("group");
    QtProperty *plain = bools.addProperty("plain");
    QtProperty *labelled = bools.addProperty("labelled");
    QtProperty *number = doubles.addProperty("number");
    QtProperty *value = ints.addProperty("value");
    for (QtProperty *property : { plain, labelled, number, value })
        group->addSubProperty(property);
    bools.setValue(labelled, true, "off", "on");
    doubles.setDecimals(number, 1);
    doubles.setValue(number, 0.25);

    QtTreePropertyBrowser browser;
    browser.addProperty(group);
    browser.addProperty(value);
    browser.show();
    auto *tree = browser.findChild<QTreeWidget *>();
    QTreeWidgetItem *groupRow = findRow(tree, "group");
    QVERIFY(groupRow->text(1).isEmpty() && groupRow->isFirstColumnSpanned());
    QVERIFY(!(groupRow->flags() & Qt::ItemIsEditable));
    QVERIFY(findRow(tree, "number")->flags() & Qt::ItemIsEditable);
    QCOMPARE(findRow(tree, "number")->text(1), "0.3");
    QCOMPARE(findRow(tree, "labelled")->text(1), "on");
    QVERIFY(!findRow(tree, "labelled")->icon(1).isNull());
    ints.setValue(value, 17);
    value->setPropertyName("renamed");
    QCOMPARE(findRow(tree, "renamed", 0)->text(1), "17");
    QCOMPARE(findRow(tree, "renamed", 1)->text(1), "17");

    QTranslator german;
    QVERIFY(german.load("propertybrowser_de",
                        QCoreApplication::applicationDirPath() + "/translations"));
    QCoreApplication::installTranslator(&german);
    QCoreApplication::processEvents();
    QCOMPARE(tree->headerItem()->text(1), "Wert");
    QCOMPARE(findRow(tree, "plain")->text(1), "Falsch");
    QCOMPARE(findRow(tree, "labelled")->text(1), "on");
    QCoreApplication::removeTranslator(&german);
    QCoreApplication::processEvents();
    QCOMPARE(tree->headerItem()->text(1), "Value");
    QCOMPARE(findRow(tree, "plain")->text(1), "False");
}

// Hidden rows stay hidden across value changes. A disabled row cannot be edited; a disabled
// group takes the rows below it along, and gives them back.
void tst_TreePropertyBrowser::hiddenAndDisabledRows()
{
    QtGroupPropertyManager groups;
    QtIntPropertyManager ints;
    QtSpinBoxFactory factory;
    QtProperty *group = groups.addProperty("group");
    QtProperty *inner = ints.addProperty("inner");
    QtProperty *hidden = ints.addProperty("hidden");
    QtProperty *lone = ints.addProperty("lone");
    group->addSubProperty(inner);
    group->addSubProperty(hidden);

    QtTreePropertyBrowser browser;
    browser.setFactoryForManager(&ints, &factory);
    browser.addProperty(group);
    browser.addProperty(lone);
    browser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&browser));
    auto *tree = browser.findChild<QTreeWidget *>();

    QtBrowserItem *hiddenItem = browser.items(hidden).value(0);
    QVERIFY(browser.isItemVisible(hiddenItem));
    browser.setItemVisible(hiddenItem, false);
    ints.setValue(hidden, 5);
    QVERIFY(!browser.isItemVisible(hiddenItem) && findRow(tree, "hidden")->isHidden());
    QVERIFY(!findRow(tree, "inner")->isHidden());
    browser.setItemVisible(hiddenItem, true);
    QVERIFY(!findRow(tree, "hidden")->isHidden());
    QVERIFY(!browser.isItemVisible(nullptr));

    lone->setEnabled(false);
    QVERIFY(!(findRow(tree, "lone")->flags() & Qt::ItemIsEnabled));
    browser.editItem(browser.topLevelItem(lone));
    QVERIFY(!tree->indexWidget(tree->currentIndex()));
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

void tst_TreePropertyBrowser::resizeToContentsKeepsValuesVisible_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("nameFits");

    const QString longName = "A rather long property name that no narrow dock can show whole";
    QTest::newRow("narrow, long name") << 300 << longName << false;
    QTest::newRow("wide, long name") << 900 << longName << false;
    QTest::newRow("narrow, short name") << 300 << "Gain" << true;
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

QTEST_MAIN(tst_TreePropertyBrowser)
#include "tst_treepropertybrowser.moc"
