#include <qteditorfactory.h>
#include <qtpropertymanager.h>
#include <qttreepropertybrowser.h>

#include <buttonmanager.h>

#include <QtCore/QDir>
#include <QtCore/QLocale>
#include <QtTest/QSignalSpy>
#include <QtTest/QtTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDoubleSpinBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTreeWidget>

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
        QTreeWidgetItem *item
            = tree->findItems(kind, Qt::MatchExactly | Qt::MatchRecursive).value(0);
        const QModelIndex nameIndex = tree->model()->index(item->parent()->indexOfChild(item), 0,
                                                           tree->model()->index(0, 0));
        return nameIndex.sibling(nameIndex.row(), 1);
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

class tst_PropertyEditors : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void editReachesManagerOnce_data();
    void editReachesManagerOnce();
    void managerChangesReachOpenEditor();
    void editorOutlivesNothing_data();
    void editorOutlivesNothing();
    void arrowKeysMoveBetweenRows();
    void screenshot();
};

void tst_PropertyEditors::editReachesManagerOnce_data()
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
        { "int", "F2", "7", "Return", "7" },
        { "int", "Enter", "100", "Return", "100" },
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

void tst_PropertyEditors::editReachesManagerOnce()
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

void tst_PropertyEditors::managerChangesReachOpenEditor()
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

void tst_PropertyEditors::editorOutlivesNothing_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("delete property") << "delete property";
    QTest::newRow("detach property") << "detach property";
    QTest::newRow("delete manager") << "delete manager";
    QTest::newRow("clear browser") << "clear browser";
    QTest::newRow("delete factory") << "delete factory";
}

// An open editor with typed but unconfirmed text, then its row, manager or factory goes.
void tst_PropertyEditors::editorOutlivesNothing()
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

void tst_PropertyEditors::arrowKeysMoveBetweenRows()
{
    Fixture f;
    QVERIFY(QTest::qWaitForWindowExposed(&f.browser));
    f.rows["double"]->setEnabled(false);
    f.tree->setFocus();
    f.tree->setCurrentIndex(f.valueIndex("bool").sibling(f.valueIndex("bool").row(), 0));
    QTest::keyClick(f.tree, Qt::Key_Down);
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
}

// Renders every kind of row with an open editor, for a human to look at.
void tst_PropertyEditors::screenshot()
{
    Fixture f;
    QVERIFY(QTest::qWaitForWindowExposed(&f.browser));
    f.rows["string"]->setEnabled(false);
    f.browser.editItem(f.browser.items(f.rows["double"]).value(0));
    const QString dir = QCoreApplication::applicationDirPath() + "/screenshots";
    QVERIFY(QDir().mkpath(dir));
    QVERIFY(f.browser.grab().save(dir + "/propertybrowser.png"));
}

QTEST_MAIN(tst_PropertyEditors)
#include "tst_propertyeditors.moc"
