#include <qtpropertymanager.h>

#include <QtCore/QLocale>
#include <QtTest/QSignalSpy>
#include <QtTest/QtTest>

// Operations on a range manager, written as text so that the int and double rows share one
// table: "value 5", "min 3", "max 2", "range 9 1".
struct RangeStep
{
    QString op;
    double a = 0;
    double b = 0;
};
Q_DECLARE_METATYPE(QList<RangeStep>)
Q_DECLARE_METATYPE(QtProperty *)

static QList<RangeStep> steps(const QString &script)
{
    QList<RangeStep> result;
    for (const QString &part : script.split(';', Qt::SkipEmptyParts)) {
        const QStringList words = part.simplified().split(' ');
        result.append({ words.value(0), words.value(1).toDouble(), words.value(2).toDouble() });
    }
    return result;
}

template<class Manager>
static void apply(Manager &manager, QtProperty *property, const QList<RangeStep> &script)
{
    using Value = decltype(manager.value(property));
    for (const RangeStep &step : script) {
        if (step.op == "value")
            manager.setValue(property, Value(step.a));
        else if (step.op == "min")
            manager.setMinimum(property, Value(step.a));
        else if (step.op == "max")
            manager.setMaximum(property, Value(step.a));
        else if (step.op == "range")
            manager.setRange(property, Value(step.a), Value(step.b));
    }
}

class tst_PropertyManagers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        qRegisterMetaType<QtProperty *>();
    }
    void rangeClamping_data();
    void rangeClamping();
    void doubleDecimals_data();
    void doubleDecimals();
    void enumIndex_data();
    void enumIndex();
    void boolLabels_data();
    void boolLabels();
    void signalOnlyOnRealChange();
    void singleStep_data();
    void singleStep();
    void rangeSignalOrder();
    void managerDeletionDeletesProperties();
    void subPropertyStructure();
    void deletedPropertyLeavesAllParents();
};

void tst_PropertyManagers::rangeClamping_data()
{
    QTest::addColumn<QList<RangeStep>>("script");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("valueSignals");

    QTest::newRow("value above max") << steps("range 0 10; value 12") << 0.0 << 10.0 << 10.0 << 1;
    QTest::newRow("value below min") << steps("range 2 10; value -3") << 2.0 << 10.0 << 2.0 << 1;
    QTest::newRow("min above max moves max")
        << steps("range 0 10; value 5; min 20") << 20.0 << 20.0 << 20.0 << 2;
    QTest::newRow("max below min moves min")
        << steps("range 0 10; value 5; max -4") << -4.0 << -4.0 << -4.0 << 2;
    QTest::newRow("reversed range") << steps("range 9 1; value 4") << 1.0 << 9.0 << 4.0 << 2;
    QTest::newRow("narrower range pulls value")
        << steps("range 0 100; value 80; range 0 50") << 0.0 << 50.0 << 50.0 << 2;
    QTest::newRow("catalogue order min max value")
        << steps("min 3; max 7; value 5") << 3.0 << 7.0 << 5.0 << 2;
    QTest::newRow("no range gives zero")
        << steps("min 0; max 0; value 9") << 0.0 << 0.0 << 0.0 << 0;
}

void tst_PropertyManagers::rangeClamping()
{
    QFETCH(QList<RangeStep>, script);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, value);
    QFETCH(int, valueSignals);

    QtIntPropertyManager ints;
    QtProperty *intProperty = ints.addProperty("int");
    QSignalSpy intSpy(&ints, SIGNAL(valueChanged(QtProperty *, int)));
    apply(ints, intProperty, script);
    QCOMPARE(ints.minimum(intProperty), int(minimum));
    QCOMPARE(ints.maximum(intProperty), int(maximum));
    QCOMPARE(ints.value(intProperty), int(value));
    QCOMPARE(intSpy.count(), valueSignals);

    QtDoublePropertyManager doubles;
    QtProperty *doubleProperty = doubles.addProperty("double");
    QSignalSpy doubleSpy(&doubles, SIGNAL(valueChanged(QtProperty *, double)));
    apply(doubles, doubleProperty, script);
    QCOMPARE(doubles.minimum(doubleProperty), minimum);
    QCOMPARE(doubles.maximum(doubleProperty), maximum);
    QCOMPARE(doubles.value(doubleProperty), value);
    QCOMPARE(doubleSpy.count(), valueSignals);
}

void tst_PropertyManagers::doubleDecimals_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<int>("expectedDecimals");
    QTest::addColumn<QString>("text");

    QTest::newRow("default two") << 0.95 << -2 << 2 << "0.95";
    QTest::newRow("one rounds") << 0.96 << 1 << 1 << "1.0";
    QTest::newRow("none") << 12.4 << 0 << 0 << "12";
    QTest::newRow("three pads") << 2.5 << 3 << 3 << "2.500";
    QTest::newRow("negative clamps to zero") << 7.25 << -1 << 0 << "7";
    QTest::newRow("too many clamps to 13") << 1.0 << 20 << 13 << "1.0000000000000";
}

void tst_PropertyManagers::doubleDecimals()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(int, expectedDecimals);
    QFETCH(QString, text);

    QtDoublePropertyManager manager;
    QtProperty *property = manager.addProperty("d");
    if (decimals != -2)
        manager.setDecimals(property, decimals);
    manager.setValue(property, value);
    QCOMPARE(manager.decimals(property), expectedDecimals);
    QCOMPARE(property->valueText(), text);
    // The value itself is never rounded; only its text is.
    QCOMPARE(manager.value(property), value);
}

void tst_PropertyManagers::enumIndex_data()
{
    QTest::addColumn<QStringList>("firstNames");
    QTest::addColumn<int>("setTo");
    QTest::addColumn<QStringList>("laterNames");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("valueSignals");
    QTest::addColumn<QString>("text");

    const QStringList abc { "a", "b", "c" };
    QTest::newRow("no names") << QStringList() << 0 << QStringList() << -1 << 0 << "";
    QTest::newRow("names select first") << abc << -5 << abc << 0 << 1 << "a";
    QTest::newRow("valid index") << abc << 2 << abc << 2 << 2 << "c";
    QTest::newRow("index past end ignored") << abc << 3 << abc << 0 << 1 << "a";
    QTest::newRow("fewer names clamp") << abc << 2 << QStringList { "x", "y" } << 1 << 3 << "y";
    QTest::newRow("renamed keeps index")
        << abc << 1 << QStringList { "A", "B", "C" } << 1 << 2 << "B";
    QTest::newRow("names removed") << abc << 1 << QStringList() << -1 << 3 << "";
}

void tst_PropertyManagers::enumIndex()
{
    QFETCH(QStringList, firstNames);
    QFETCH(int, setTo);
    QFETCH(QStringList, laterNames);
    QFETCH(int, value);
    QFETCH(int, valueSignals);
    QFETCH(QString, text);

    QtEnumPropertyManager manager;
    QtProperty *property = manager.addProperty("e");
    QCOMPARE(manager.value(property), -1);
    QSignalSpy spy(&manager, SIGNAL(valueChanged(QtProperty *, int)));
    manager.setEnumNames(property, firstNames);
    manager.setValue(property, setTo);
    manager.setEnumNames(property, laterNames);
    QCOMPARE(manager.value(property), value);
    QCOMPARE(spy.count(), valueSignals);
    QCOMPARE(property->valueText(), text);
    QCOMPARE(manager.enumNames(property), laterNames);
}

void tst_PropertyManagers::boolLabels_data()
{
    QTest::addColumn<bool>("value");
    QTest::addColumn<QString>("falseText");
    QTest::addColumn<QString>("trueText");
    QTest::addColumn<QString>("text");

    const char *rows[][3] = { { "", "", "False" },
                              { "", "", "True" },
                              { "off", "on", "off" },
                              { "off", "on", "on" },
                              { "", "on", "False" } };
    for (int i = 0; i < 5; ++i) // even rows false, odd rows true
        QTest::addRow("%s %s/%s", i % 2 ? "true" : "false", rows[i][0], rows[i][1])
            << bool(i % 2) << rows[i][0] << rows[i][1] << rows[i][2];
}

void tst_PropertyManagers::boolLabels()
{
    QFETCH(bool, value);
    QFETCH(QString, falseText);
    QFETCH(QString, trueText);
    QFETCH(QString, text);

    QtBoolPropertyManager manager;
    QtProperty *property = manager.addProperty("b");
    QSignalSpy values(&manager, SIGNAL(valueChanged(QtProperty *, bool)));
    QSignalSpy changes(&manager, SIGNAL(propertyChanged(QtProperty *)));
    manager.setValue(property, value, falseText, trueText);
    QCOMPARE(manager.value(property), value);
    QCOMPARE(property->valueText(), text);
    QCOMPARE(values.count(), value ? 1 : 0);
    QCOMPARE(changes.count(), (value || !falseText.isEmpty() || !trueText.isEmpty()) ? 1 : 0);
    // The one-argument setValue keeps the labels.
    manager.setValue(property, !value);
    manager.setValue(property, value);
    QCOMPARE(property->valueText(), text);
}

void tst_PropertyManagers::signalOnlyOnRealChange()
{
    QtIntPropertyManager ints;
    QtDoublePropertyManager doubles;
    QtStringPropertyManager strings;
    QtEnumPropertyManager enums;
    QtBoolPropertyManager bools;
    QtProperty *i = ints.addProperty();
    QtProperty *d = doubles.addProperty();
    QtProperty *s = strings.addProperty();
    QtProperty *e = enums.addProperty();
    QtProperty *b = bools.addProperty();
    enums.setEnumNames(e, { "a", "b" });

    QSignalSpy intSpy(&ints, SIGNAL(valueChanged(QtProperty *, int)));
    QSignalSpy doubleSpy(&doubles, SIGNAL(valueChanged(QtProperty *, double)));
    QSignalSpy stringSpy(&strings, SIGNAL(valueChanged(QtProperty *, const QString &)));
    QSignalSpy enumSpy(&enums, SIGNAL(valueChanged(QtProperty *, int)));
    QSignalSpy boolSpy(&bools, SIGNAL(valueChanged(QtProperty *, bool)));
    QSignalSpy intRange(&ints, SIGNAL(rangeChanged(QtProperty *, int, int)));
    QSignalSpy intChanged(&ints, SIGNAL(propertyChanged(QtProperty *)));

    for (int round = 0; round < 2; ++round) {
        ints.setValue(i, 7);
        ints.setRange(i, -10, 10);
        doubles.setValue(d, 1.5);
        strings.setValue(s, "x");
        enums.setValue(e, 1);
        bools.setValue(b, true);
    }
    QCOMPARE(intSpy.count(), 1);
    QCOMPARE(intSpy.at(0).at(1).toInt(), 7);
    QCOMPARE(intRange.count(), 1);
    QCOMPARE(intChanged.count(), 1);
    QCOMPARE(doubleSpy.count(), 1);
    QCOMPARE(stringSpy.count(), 1);
    QCOMPARE(enumSpy.count(), 1);
    QCOMPARE(boolSpy.count(), 1);

    // Unknown properties are ignored rather than added.
    QtProperty *foreign = strings.addProperty();
    ints.setValue(foreign, 3);
    QCOMPARE(intSpy.count(), 1);
    QCOMPARE(ints.value(foreign), 0);
}

void tst_PropertyManagers::singleStep_data()
{
    QTest::addColumn<QList<double>>("steps");
    QTest::addColumn<double>("expected");
    QTest::addColumn<int>("stepSignals");

    QTest::newRow("default one") << QList<double>() << 1.0 << 0;
    QTest::newRow("set") << QList<double> { 5 } << 5.0 << 1;
    QTest::newRow("same again is silent") << QList<double> { 5, 5 } << 5.0 << 1;
    QTest::newRow("negative ignored") << QList<double> { 4, -2 } << 4.0 << 1;
    QTest::newRow("zero allowed") << QList<double> { 0 } << 0.0 << 1;
}

void tst_PropertyManagers::singleStep()
{
    QFETCH(QList<double>, steps);
    QFETCH(double, expected);
    QFETCH(int, stepSignals);

    QtIntPropertyManager ints;
    QtProperty *i = ints.addProperty();
    QSignalSpy intSpy(&ints, SIGNAL(singleStepChanged(QtProperty *, int)));
    QtDoublePropertyManager doubles;
    QtProperty *d = doubles.addProperty();
    QSignalSpy doubleSpy(&doubles, SIGNAL(singleStepChanged(QtProperty *, double)));
    for (double step : steps) {
        ints.setSingleStep(i, int(step));
        doubles.setSingleStep(d, step);
    }
    QCOMPARE(ints.singleStep(i), int(expected));
    QCOMPARE(intSpy.count(), stepSignals);
    QCOMPARE(doubles.singleStep(d), expected);
    QCOMPARE(doubleSpy.count(), stepSignals);
}

// Listeners to the range see the new bounds before the value that had to follow them.
void tst_PropertyManagers::rangeSignalOrder()
{
    QtDoublePropertyManager doubles;
    QtProperty *property = doubles.addProperty();
    doubles.setRange(property, 0, 10);
    doubles.setValue(property, 8);
    QStringList order;
    connect(&doubles, &QtDoublePropertyManager::rangeChanged, this,
            [&](QtProperty *, double minVal, double maxVal) {
                order << QString("range %1 %2").arg(minVal).arg(maxVal);
            });
    connect(&doubles, &QtDoublePropertyManager::propertyChanged, this,
            [&](QtProperty *) { order << "property"; });
    connect(&doubles, &QtDoublePropertyManager::valueChanged, this,
            [&](QtProperty *, double val) { order << QString("value %1").arg(val); });

    doubles.setMaximum(property, 6);
    doubles.setMaximum(property, 6);
    doubles.setMinimum(property, 2);
    QCOMPARE(order, QStringList({ "range 0 6", "property", "value 6", "range 2 6" }));
}

void tst_PropertyManagers::managerDeletionDeletesProperties()
{
    auto *groups = new QtGroupPropertyManager;
    auto *ints = new QtIntPropertyManager;
    QtProperty *group = groups->addProperty("group");
    QtProperty *a = ints->addProperty("a");
    QtProperty *b = ints->addProperty("b");
    group->addSubProperty(a);
    group->addSubProperty(b);
    QVERIFY(!group->hasValue());
    QVERIFY(a->hasValue());

    QSignalSpy destroyed(ints, SIGNAL(propertyDestroyed(QtProperty *)));
    QSignalSpy removed(groups, SIGNAL(propertyRemoved(QtProperty *, QtProperty *)));
    delete ints;
    QCOMPARE(destroyed.count(), 2);
    QCOMPARE(removed.count(), 2);
    QVERIFY(group->subProperties().isEmpty());

    QSignalSpy groupDestroyed(groups, SIGNAL(propertyDestroyed(QtProperty *)));
    groups->clear();
    QCOMPARE(groupDestroyed.count(), 1);
    QVERIFY(groups->properties().isEmpty());
    delete groups;
}

void tst_PropertyManagers::subPropertyStructure()
{
    QtGroupPropertyManager groups;
    QtStringPropertyManager strings;
    QtProperty *root = groups.addProperty("root");
    QtProperty *a = strings.addProperty("a");
    QtProperty *b = strings.addProperty("b");
    QtProperty *c = strings.addProperty("c");
    a->setPropertyId("idA");

    QSignalSpy inserted(&groups,
                        SIGNAL(propertyInserted(QtProperty *, QtProperty *, QtProperty *)));
    root->addSubProperty(a);
    root->addSubProperty(c);
    root->insertSubProperty(b, a);
    root->insertSubProperty(b, nullptr); // already there: nothing happens
    QCOMPARE(root->subProperties(), (QList<QtProperty *> { a, b, c }));
    QCOMPARE(inserted.count(), 3);
    QCOMPARE(inserted.at(2).at(2).value<QtProperty *>(), a);

    // A cycle is refused.
    QtProperty *inner = groups.addProperty("inner");
    root->addSubProperty(inner);
    inner->addSubProperty(root);
    QVERIFY(inner->subProperties().isEmpty());

    // Removing detaches only; the id travels with the property.
    root->removeSubProperty(a);
    QCOMPARE(root->subProperties(), (QList<QtProperty *> { b, c, inner }));
    QVERIFY(strings.properties().contains(a));
    inner->insertSubProperty(a, nullptr);
    QCOMPARE(inner->subProperties().value(0)->propertyId(), QString("idA"));
}

void tst_PropertyManagers::deletedPropertyLeavesAllParents()
{
    QtGroupPropertyManager groups;
    QtIntPropertyManager ints;
    QtProperty *first = groups.addProperty("first");
    QtProperty *second = groups.addProperty("second");
    QtProperty *shared = ints.addProperty("shared");
    QtProperty *child = ints.addProperty("child");
    first->addSubProperty(shared);
    second->addSubProperty(shared);
    shared->addSubProperty(child);

    delete shared;
    QVERIFY(first->subProperties().isEmpty());
    QVERIFY(second->subProperties().isEmpty());
    QCOMPARE(ints.properties(), (QSet<QtProperty *> { child }));
    // The child survives and may be used again.
    first->addSubProperty(child);
    QCOMPARE(first->subProperties().size(), 1);
}

QTEST_MAIN(tst_PropertyManagers)
#include "tst_propertymanagers.moc"
