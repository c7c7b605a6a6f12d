// The tree browser: rows that follow the properties' structure, names and values, hidden and
// disabled rows, column widths, and editing in place with every kind of editor.

#include <qteditorfactory.h>
#include <qtpropertymanager.h>
#include <qttreepropertybrowser.h>

#include <buttonmanager.h>

#include <QtCore/QDir>
#include <QtCore/QLocale>
#include <QtCore/QTranslator>
#include <QtTest/QSignalSpy>
#include <QtTest/QtTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDoubleSpinBox>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
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

static QTreeWidgetItem *findRow(QTreeWidget *tree, const QString &name, int occurrence = 0)
{
    const QList<QTreeWidgetItem *> found
        = tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.value(occurrence);
}

// A browser with one row of every editable kind below a group, wired as the sensor window
// wires its tree: the library's own kinds and the push-button rows another library adds on top
// of the factory template.
struct Fixture
{
    Fixture()
    {
        browser.setFactoryForManager(&bools, &checkBoxes);
        browser.setFactoryForManager(&ints, &spinBoxes);
        browser.setFactoryForManager(&doubles, &doubleSpinBoxes);
        browser.setFactoryForManager(&strings, &lineEdits);
        browser.setFactoryForManager(enums, enumEditors);
        browser.setFactoryForManager(&buttons, &buttonFactory);

        group = groups.addProperty("group");
        rows["bool"] = bools.addProperty("bool");
        rows["int"] = ints.addProperty("int");
        ints.setRange(rows["int"], 0, 100);
        ints.setValue(rows["int"], 10);
        rows["double"] = doubles.addProperty("double");
        doubles.setRange(rows["double"], 0, 10);
        doubles.setValue(rows["double"], 1.0);
        rows["string"] = strings.addProperty("string");
        strings.setValue(rows["string"], "old");
        rows["enum"] = enums->addProperty("enum");
        enums->setEnumNames(rows["enum"], { "zero", "one", "two" });
        rows["button"] = buttons.addProperty("button");
        buttons.setValue(rows["button"], "Press");
        for (const char *kind : { "bool", "int", "double", "string", "enum", "button" })
            group->addSubProperty(rows[kind]);
        browser.addProperty(group);
        browser.resize(400, 300);
        browser.show();
        browser.activateWindow();
        tree = browser.findChild<QTreeWidget *>();
    }

    ~Fixture()
    {
        delete enumEditors;
        delete enums;
    }

    // The model index of a row's value cell.
    QModelIndex valueIndex(const QString &kind)
    {
        QTreeWidgetItem *item = findRow(tree, kind);
        return tree->model()->index(item->parent()->indexOfChild(item), 1,
                                    tree->model()->index(0, 0));
    }

    QWidget *editor(const QString &kind) { return tree->indexWidget(valueIndex(kind)); }

    QtGroupPropertyManager groups;
    QtBoolPropertyManager bools;
    QtIntPropertyManager ints;
    QtDoublePropertyManager doubles;
    QtStringPropertyManager strings;
    QtEnumPropertyManager *enums = new QtEnumPropertyManager;
    QtCheckBoxFactory checkBoxes;
    QtSpinBoxFactory spinBoxes;
    QtDoubleSpinBoxFactory doubleSpinBoxes;
    QtLineEditFactory lineEdits;
    QtEnumEditorFactory *enumEditors = new QtEnumEditorFactory;
    Utils::ButtonManager buttons;
    Utils::ButtonFactory buttonFactory;
    QtTreePropertyBrowser browser;
    QTreeWidget *tree = nullptr;
    QtProperty *group = nullptr;
    QHash<QString, QtProperty *> rows;
};

// What an edit of the kind announces: every manager announces a change, a button row its click.
static const char *editSignal(const QString &kind)
{
    return kind == "button" ? SIGNAL(buttonClicked(QtProperty *))
                            : SIGNAL(propertyChanged(QtProperty *));
}

// Lets queued closes and deferred deletes of editors happen.
static void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Types into whatever editor the kind has, the way a user would.
static void typeInto(QWidget *editor, const QString &kind, const QString &text)
{
    if (text == "-")
        return;
    if (kind == "enum") {
        QTest::keyClick(editor, Qt::Key_Down);
    } else if (kind == "bool") {
        QTest::keyClick(editor->findChild<QCheckBox *>(), Qt::Key_Space);
    } else { // spin boxes and line edits
        QVERIFY(QMetaObject::invokeMethod(editor, "selectAll"));
        QTest::keyClicks(editor, text);
    }
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
    void resizeToContentsKeepsValuesVisible_data();
    void resizeToContentsKeepsValuesVisible();
    void editReachesManagerOnce_data();
    void editReachesManagerOnce();
    void managerChangesReachOpenEditor();
    void editorOutlivesNothing_data();
    void editorOutlivesNothing();
    void arrowKeysMoveBetweenRows();
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
    // The rows are made from the browser's own items: what they show is what it holds.
    QCOMPARE(dump(tree->invisibleRootItem()), expected);
}

// Rows show name and value text and follow both, in every row of a property shown twice and in
// the language of the moment; labels of their own are not translated.
void tst_TreePropertyBrowser::rowsShowNameAndValue()
{
    Fixture f;
    QTreeWidgetItem *groupRow = findRow(f.tree, "group");
    QVERIFY(groupRow->text(1).isEmpty() && groupRow->isFirstColumnSpanned());
    QVERIFY(!(groupRow->flags() & Qt::ItemIsEditable));
    QVERIFY(findRow(f.tree, "double")->flags() & Qt::ItemIsEditable);
    f.doubles.setDecimals(f.rows["double"], 1);
    f.doubles.setValue(f.rows["double"], 0.25);
    QCOMPARE(findRow(f.tree, "double")->text(1), "0.3");
    f.browser.addProperty(f.rows["int"]);
    f.ints.setValue(f.rows["int"], 17);
    f.rows["int"]->setPropertyName("renamed");
    QCOMPARE(findRow(f.tree, "renamed", 0)->text(1), "17");
    QCOMPARE(findRow(f.tree, "renamed", 1)->text(1), "17");

    QTranslator german;
    QVERIFY(german.load("propertybrowser_de",
                        QCoreApplication::applicationDirPath() + "/translations"));
    QCoreApplication::installTranslator(&german);
    QCoreApplication::processEvents();
    QCOMPARE(f.tree->headerItem()->text(1), "Wert");
    QCOMPARE(findRow(f.tree, "bool")->text(1), "Falsch");
    f.bools.setValue(f.rows["bool"], true, "off", "on");
    QCOMPARE(findRow(f.tree, "bool")->text(1), "on");
    QVERIFY(!findRow(f.tree, "bool")->icon(1).isNull());
    QCoreApplication::removeTranslator(&german);
    QCoreApplication::processEvents();
    QCOMPARE(f.tree->headerItem()->text(1), "Value");
    QCOMPARE(findRow(f.tree, "bool")->text(1), "on");
    f.bools.setValue(f.rows["bool"], false, QString(), QString());
    QCOMPARE(findRow(f.tree, "bool")->text(1), "False");
}

// Hidden rows stay hidden across value changes. A disabled row cannot be edited; a disabled
// group takes the rows below it along, and gives them back.
void tst_TreePropertyBrowser::hiddenAndDisabledRows()
{
    Fixture f;
    QVERIFY(QTest::qWaitForWindowExposed(&f.browser));
    QtBrowserItem *hidden = f.browser.items(f.rows["string"]).value(0);
    QVERIFY(f.browser.isItemVisible(hidden));
    f.browser.setItemVisible(hidden, false);
    f.strings.setValue(f.rows["string"], "x");
    QVERIFY(!f.browser.isItemVisible(hidden) && findRow(f.tree, "string")->isHidden());
    QVERIFY(!findRow(f.tree, "int")->isHidden());
    f.browser.setItemVisible(hidden, true);
    QVERIFY(!findRow(f.tree, "string")->isHidden());

    f.rows["double"]->setEnabled(false);
    QVERIFY(!(findRow(f.tree, "double")->flags() & Qt::ItemIsEnabled));
    f.browser.editItem(f.browser.items(f.rows["double"]).value(0));
    QVERIFY(!f.editor("double"));
    f.group->setEnabled(false);
    QVERIFY(!(findRow(f.tree, "int")->flags() & Qt::ItemIsEnabled));
    QVERIFY(f.rows["int"]->isEnabled());
    f.group->setEnabled(true);
    QVERIFY(findRow(f.tree, "int")->flags() & Qt::ItemIsEnabled);
    f.browser.editItem(f.browser.items(f.rows["int"]).value(0));
    QVERIFY(qobject_cast<QSpinBox *>(f.editor("int")));
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

    Fixture f;
    f.group->setPropertyName("Group heading that is longer than anything else here");
    QtProperty *value = f.rows["int"];
    value->setPropertyName(name);
    f.browser.setResizeMode(QtTreePropertyBrowser::ResizeToContents);
    f.browser.resize(width, 240);
    QVERIFY(QTest::qWaitForWindowExposed(&f.browser));
    QCoreApplication::processEvents();
    QTreeWidget *tree = f.tree;
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
    f.browser.resize(width / 2 + 40, 240);
    QCoreApplication::processEvents();
    const int narrowed = tree->viewport()->width();
    QVERIFY(header->sectionSize(0) <= narrowed * 3 / 5);
    QCOMPARE(header->sectionSize(0) + header->sectionSize(1), narrowed);
}

void tst_TreePropertyBrowser::editReachesManagerOnce_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("close");
    QTest::addColumn<QString>("expected");

    // Kind, how the editor opens, what is typed ("-": nothing), how it closes ("Return";
    // "Escape" or "disable" of the group drop what was typed), the value text afterwards.
    const char *rows[][5] = {
        { "int", "click", "42", "Return", "42" },
        { "double", "dblclick", "2.5", "Return", "2.50" },
        { "string", "Enter", "new text", "Return", "new text" },
        { "enum", "click", "", "Return", "one" },
        { "bool", "F2", "", "Return", "True" },
        { "bool", "click", "-", "Return", "True" },
        { "bool", "Space", "-", "Return", "True" },
        { "button", "click", "-", "Return", "Press" },
        { "button", "Space", "-", "Return", "Press" },
        { "int", "Space", "33", "Return", "33" },
        { "int", "F2", "55", "Escape", "10" },
        { "double", "click", "3.5", "Escape", "1.00" },
        { "string", "Enter", "abandoned", "Escape", "old" },
        { "int", "F2", "66", "disable", "10" },
    };
    for (const auto &row : rows)
        QTest::addRow("%s by %s, %s", row[0], row[1], row[3])
            << row[0] << row[1] << row[2] << row[3] << row[4];
}

void tst_TreePropertyBrowser::editReachesManagerOnce()
{
    QFETCH(QString, kind);
    QFETCH(QString, open);
    QFETCH(QString, input);
    QFETCH(QString, close);
    QFETCH(QString, expected);

    Fixture f;
    QVERIFY(QTest::qWaitForWindowExposed(&f.browser));
    const QModelIndex index = f.valueIndex(kind);
    const QRect cell = f.tree->visualRect(index);
    QSignalSpy spy(f.rows[kind]->propertyManager(), editSignal(kind));
    if (open == "click") {
        QTest::mouseClick(f.tree->viewport(), Qt::LeftButton, {}, cell.center());
    } else if (open == "dblclick") {
        // On the name: editing still happens in the value column.
        const QRect name = f.tree->visualRect(index.sibling(index.row(), 0));
        QTest::mousePress(f.tree->viewport(), Qt::LeftButton, {}, name.center());
        QTest::mouseDClick(f.tree->viewport(), Qt::LeftButton, {}, name.center());
        QTest::mouseRelease(f.tree->viewport(), Qt::LeftButton, {}, name.center());
    } else {
        f.tree->setCurrentIndex(index.sibling(index.row(), 0));
        const Qt::Key key = open == "F2" ? Qt::Key_F2
            : open == "Space"            ? Qt::Key_Space
                                         : Qt::Key_Return;
        QTest::keyClick(f.tree, key);
    }
    QWidget *editor = f.editor(kind);
    QVERIFY2(editor, qPrintable(open));

    typeInto(editor, kind, input);
    QWidget *focus = editor->focusProxy() ? editor->focusProxy() : editor;
    if (close == "disable")
        f.group->setEnabled(false);
    else
        QTest::keyClick(focus, close == "Escape" ? Qt::Key_Escape : Qt::Key_Return);
    settle();

    QCOMPARE(spy.count(), close == "Return" ? 1 : 0);
    QCOMPARE(f.rows[kind]->valueText(), expected);
    QVERIFY(!f.editor(kind));
}

void tst_TreePropertyBrowser::managerChangesReachOpenEditor()
{
    Fixture f;
    QVERIFY(QTest::qWaitForWindowExposed(&f.browser));
    for (const char *kind : { "bool", "int", "double", "string", "enum", "button" }) {
        // Editors are opened persistently here so that all of them are open at once.
        f.tree->QAbstractItemView::openPersistentEditor(f.valueIndex(kind));
        QVERIFY2(f.editor(kind), kind);
    }

    f.bools.setValue(f.rows["bool"], true, "no", "yes");
    f.ints.setRange(f.rows["int"], 0, 20);
    f.ints.setValue(f.rows["int"], 15);
    f.doubles.setDecimals(f.rows["double"], 3);
    f.doubles.setValue(f.rows["double"], 4.125);
    f.strings.setValue(f.rows["string"], "from elsewhere");
    f.enums->setEnumNames(f.rows["enum"], { "A", "B", "C", "D" });
    f.enums->setValue(f.rows["enum"], 3);
    QSignalSpy captions(&f.buttons, &Utils::ButtonManager::valueChanged);
    f.buttons.setValue(f.rows["button"], "Restore");
    f.buttons.setValue(f.rows["button"], "Restore");

    auto *check = f.editor("bool")->findChild<QCheckBox *>();
    QVERIFY(check->isChecked());
    QCOMPARE(check->text(), "yes");
    auto *spin = qobject_cast<QSpinBox *>(f.editor("int"));
    QCOMPARE(spin->value(), 15);
    QCOMPARE(spin->maximum(), 20);
    auto *doubleSpin = qobject_cast<QDoubleSpinBox *>(f.editor("double"));
    QCOMPARE(doubleSpin->decimals(), 3);
    QCOMPARE(doubleSpin->value(), 4.125);
    QCOMPARE(qobject_cast<QLineEdit *>(f.editor("string"))->text(), "from elsewhere");
    auto *combo = qobject_cast<QComboBox *>(f.editor("enum"));
    QCOMPARE(combo->count(), 4);
    QCOMPARE(combo->currentIndex(), 3);
    QCOMPARE(qobject_cast<QPushButton *>(f.editor("button"))->text(), "Restore");
    QCOMPARE(captions.count(), 1);

    // Showing a value is not an edit: no value came back through the editors.
    QCOMPARE(f.ints.value(f.rows["int"]), 15);
    QCOMPARE(f.doubles.value(f.rows["double"]), 4.125);

    // Closed editors are forgotten: later changes must not reach them.
    for (const char *kind : { "bool", "int", "double", "string", "enum", "button" })
        f.tree->QAbstractItemView::closePersistentEditor(f.valueIndex(kind));
    settle();
    f.bools.setValue(f.rows["bool"], false);
    f.ints.setValue(f.rows["int"], 16);
    f.doubles.setValue(f.rows["double"], 4.5);
    f.strings.setValue(f.rows["string"], "again");
    f.enums->setValue(f.rows["enum"], 2);
    f.buttons.setValue(f.rows["button"], "Again");
    QCOMPARE(f.rows["button"]->valueText(), "Again");
}

void tst_TreePropertyBrowser::editorOutlivesNothing_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("delete property") << "delete property";
    QTest::newRow("detach property") << "detach property";
    QTest::newRow("delete manager") << "delete manager";
    QTest::newRow("clear browser") << "clear browser";
    QTest::newRow("delete factory") << "delete factory";
}

// An open editor with typed but unconfirmed text, then its row, manager or factory goes.
void tst_TreePropertyBrowser::editorOutlivesNothing()
{
    QFETCH(QString, action);

    Fixture f;
    QVERIFY(QTest::qWaitForWindowExposed(&f.browser));
    QtProperty *property = f.rows["enum"];
    f.browser.editItem(f.browser.items(property).value(0));
    QPointer<QWidget> editor = f.editor("enum");
    QVERIFY(editor);
    QSignalSpy spy(f.enums, SIGNAL(valueChanged(QtProperty *, int)));

    if (action == "delete property") {
        delete property;
    } else if (action == "detach property") {
        f.group->removeSubProperty(property);
    } else if (action == "delete manager") {
        delete f.enums;
        f.enums = nullptr;
    } else if (action == "clear browser") {
        f.browser.clear();
    } else if (action == "delete factory") {
        QTest::keyClick(editor, Qt::Key_Down);
        QCOMPARE(spy.count(), 1);
        delete f.enumEditors;
        f.enumEditors = nullptr;
        // The orphaned editor must not write any more.
        QTest::keyClick(editor, Qt::Key_Down);
        QCOMPARE(spy.count(), 1);
        QTest::keyClick(editor, Qt::Key_Escape);
        spy.clear();
    }
    settle();
    QVERIFY(!editor);
    QCOMPARE(spy.count(), 0);

    // The browser keeps working afterwards.
    if (f.browser.properties().isEmpty())
        f.browser.addProperty(f.group);
    f.browser.editItem(f.browser.items(f.rows["int"]).value(0));
    QVERIFY(f.editor("int"));
}

void tst_TreePropertyBrowser::arrowKeysMoveBetweenRows()
{
    Fixture f;
    QVERIFY(QTest::qWaitForWindowExposed(&f.browser));
    f.rows["double"]->setEnabled(false);
    f.tree->setFocus();
    // Browser and tree agree on the current row, whichever of them sets it.
    QSignalSpy currentChanges(&f.browser, &QtAbstractPropertyBrowser::currentItemChanged);
    f.browser.setCurrentItem(f.browser.items(f.rows["bool"]).value(0));
    QCOMPARE(f.tree->currentItem(), findRow(f.tree, "bool"));
    QTest::keyClick(f.tree, Qt::Key_Down);
    QCOMPARE(currentChanges.count(), 2);
    QCOMPARE(f.browser.currentItem()->property(), f.rows["int"]);
    // The disabled row is passed over.
    QTest::keyClick(f.tree, Qt::Key_Down);
    QCOMPARE(f.browser.currentItem()->property(), f.rows["string"]);
    QTest::keyClick(f.tree, Qt::Key_Up);
    QCOMPARE(f.browser.currentItem()->property(), f.rows["int"]);

    // Moving away from an open editor closes it and keeps what was confirmed.
    QTest::keyClick(f.tree, Qt::Key_F2);
    QWidget *editor = f.editor("int");
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Up);
    QCOMPARE(f.ints.value(f.rows["int"]), 11);
    f.tree->setCurrentIndex(f.valueIndex("string"));
    settle();
    QVERIFY(!f.editor("int"));
    QCOMPARE(f.ints.value(f.rows["int"]), 11);

    // The current row goes with its property; browser and tree agree on what follows.
    f.group->removeSubProperty(f.rows["string"]);
    QtBrowserItem *current = f.browser.currentItem();
    QVERIFY(!current || current->property() != f.rows["string"]);
    QCOMPARE(current != nullptr, f.tree->currentItem() != nullptr);
}

// Renders every kind of row with an open editor, for a human to look at.
void tst_TreePropertyBrowser::screenshot()
{
    Fixture f;
    QVERIFY(QTest::qWaitForWindowExposed(&f.browser));
    f.rows["string"]->setEnabled(false);
    f.browser.editItem(f.browser.items(f.rows["double"]).value(0));
    const QString dir = QCoreApplication::applicationDirPath() + "/screenshots";
    QVERIFY(QDir().mkpath(dir));
    QVERIFY(f.browser.grab().save(dir + "/propertybrowser.png"));
}

QTEST_MAIN(tst_TreePropertyBrowser)
#include "tst_treepropertybrowser.moc"
