#include <qtpropertymanager.h>

#include <QtCore/QLocale>
#include <QtTest/QSignalSpy>
#include <QtTest/QtTest>

Q_DECLARE_METATYPE(QtProperty *)

// Runs "value 5; min 3; max 2; range 9 1" on an int or a double manager, so that both share one
// table.
template<class Manager>
static void apply(Manager &manager, QtProperty *property, const QString &script)
{
    using Value = decltype(manager.value(property));
    for (const QString &step : script.split(';')) {
        const QStringList w = step.simplified().split(' ');
        const Value a = Value(w.value(1).toDouble());
        if (w[0] == "value")
            manager.setValue(property, a);
        else if (w[0] == "min")
            manager.setMinimum(property, a);
        else if (w[0] == "max")
            manager.setMaximum(property, a);
        else if (w[0] == "range")
            manager.setRange(property, a, Value(w.value(2).toDouble()));
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
    void boolLabels();
    void signalOnlyOnRealChange();
    void rangeSignalOrder();
    void deletion();
};

void tst_PropertyManagers::rangeClamping_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("valueSignals");

    QTest::newRow("value above max") << "range 0 10; value 12" << 0.0 << 10.0 << 10.0 << 1;
    QTest::newRow("min above max moves max")
        << "range 0 10; value 5; min 20" << 20.0 << 20.0 << 20.0 << 2;
    QTest::newRow("max below min moves min")
        << "range 0 10; value 5; max -4" << -4.0 << -4.0 << -4.0 << 2;
    QTest::newRow("reversed range") << "range 9 1; value 4" << 1.0 << 9.0 << 4.0 << 2;
    QTest::newRow("narrower range pulls value")
        << "range 0 100; value 80; range 0 50" << 0.0 << 50.0 << 50.0 << 2;
    QTest::newRow("catalogue order min max value")
        << "min 3; max 7; value 5" << 3.0 << 7.0 << 5.0 << 2;
    QTest::newRow("no range gives zero") << "min 0; max 0; value 9" << 0.0 << 0.0 << 0.0 << 0;
}

void tst_PropertyManagers::rangeClamping()
{
    QFETCH(QString, script);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, value);
    QFETCH(int, valueSignals);

    const auto check = [&](auto &manager, const char *valueSignal) {
        using Value = decltype(manager.value(nullptr));
        QtProperty *property = manager.addProperty();
        QSignalSpy spy(&manager, valueSignal);
        apply(manager, property, script);
        QCOMPARE(manager.minimum(property), Value(minimum));
        QCOMPARE(manager.maximum(property), Value(maximum));
        QCOMPARE(manager.value(property), Value(value));
        QCOMPARE(spy.count(), valueSignals);
    };
    QtIntPropertyManager ints;
    check(ints, SIGNAL(valueChanged(QtProperty *, int)));
    QtDoublePropertyManager doubles;
    check(doubles, SIGNAL(valueChanged(QtProperty *, double)));
}

void tst_PropertyManagers::doubleDecimals_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<int>("expectedDecimals");
    QTest::addColumn<QString>("text");

    QTest::newRow("default two") << 0.95 << -2 << 2 << "0.95";
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

// An empty label falls back to "False" or "True", the one-argument setValue keeps labels of
// their own. A change of labels alone is announced, but is no value change. (Labels shown in
// the tree, untranslated, are the tree browser's test.)
void tst_PropertyManagers::boolLabels()
{
    QtBoolPropertyManager manager;
    QtProperty *property = manager.addProperty("b");
    QSignalSpy values(&manager, SIGNAL(valueChanged(QtProperty *, bool)));
    QSignalSpy changes(&manager, SIGNAL(propertyChanged(QtProperty *)));
    manager.setValue(property, false, "", "on");
    QCOMPARE(property->valueText(), "False");
    manager.setValue(property, true);
    QCOMPARE(property->valueText(), "on");
    manager.setValue(property, true, "", "");
    QCOMPARE(property->valueText(), "True");
    QCOMPARE(values.count(), 1);
    QCOMPARE(changes.count(), 3);
}

// Each real change is announced once, in the order made; setting the same again is silent.
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
    QStringList changes;
    for (QtAbstractPropertyManager *manager : std::initializer_list<QtAbstractPropertyManager *> {
             &ints, &doubles, &strings, &enums, &bools })
        connect(manager, &QtAbstractPropertyManager::propertyChanged, this,
                [&](QtProperty *property) { changes << property->valueText(); });
    QSignalSpy intValues(&ints, SIGNAL(valueChanged(QtProperty *, int)));
    QSignalSpy intRange(&ints, SIGNAL(rangeChanged(QtProperty *, int, int)));
    QSignalSpy stringValues(&strings, SIGNAL(valueChanged(QtProperty *, const QString &)));
    QSignalSpy steps(&doubles, SIGNAL(singleStepChanged(QtProperty *, double)));

    for (int round = 0; round < 2; ++round) {
        ints.setValue(i, 7);
        ints.setRange(i, -10, 10);
        doubles.setValue(d, 1.5);
        doubles.setSingleStep(d, 0.5);
        doubles.setSingleStep(d, -2); // negative steps are ignored
        strings.setValue(s, "x");
        enums.setValue(e, 1);
        bools.setValue(b, true);
    }
    QCOMPARE(changes, QStringList({ "7", "1.50", "x", "b", "True" }));
    QCOMPARE(intValues.count(), 1);
    QCOMPARE(intValues.at(0).at(1).toInt(), 7);
    QCOMPARE(intRange.count(), 1);
    QCOMPARE(stringValues.count(), 1);
    QCOMPARE(steps.count(), 1);
    QCOMPARE(doubles.singleStep(d), 0.5);
    QCOMPARE(ints.singleStep(i), 1);

    // Unknown properties are ignored rather than added.
    ints.setValue(s, 3);
    QCOMPARE(intValues.count(), 1);
    QCOMPARE(ints.value(s), 0);
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

// A deleted property leaves every parent; its sub-properties survive. A manager takes its
// properties along, announced and detached.
void tst_PropertyManagers::deletion()
{
    QtGroupPropertyManager groups;
    auto *ints = new QtIntPropertyManager;
    QtProperty *first = groups.addProperty("first");
    QtProperty *second = groups.addProperty("second");
    QtProperty *shared = ints->addProperty("shared");
    QtProperty *child = ints->addProperty("child");
    QtProperty *other = ints->addProperty("other");
    first->addSubProperty(shared);
    first->addSubProperty(other);
    second->addSubProperty(shared);
    shared->addSubProperty(child);
    QVERIFY(!first->hasValue() && shared->hasValue());

    delete shared;
    QCOMPARE(first->subProperties(), QList<QtProperty *> { other });
    QVERIFY(second->subProperties().isEmpty());
    QCOMPARE(ints->properties(), (QSet<QtProperty *> { child, other }));
    second->addSubProperty(child);

    QSignalSpy destroyed(ints, SIGNAL(propertyDestroyed(QtProperty *)));
    QSignalSpy removed(&groups, SIGNAL(propertyRemoved(QtProperty *, QtProperty *)));
    delete ints;
    QCOMPARE(destroyed.count(), 2);
    QCOMPARE(removed.count(), 2);
    QVERIFY(first->subProperties().isEmpty() && second->subProperties().isEmpty());

    QSignalSpy groupDestroyed(&groups, SIGNAL(propertyDestroyed(QtProperty *)));
    groups.clear();
    QCOMPARE(groupDestroyed.count(), 2);
    QVERIFY(groups.properties().isEmpty());
}

QTEST_MAIN(tst_PropertyManagers)
#include "tst_propertymanagers.moc"
