#include "qteditorfactory.h"

#include "booledit_p.h"
#include "editortracker_p.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QDoubleSpinBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QSpinBox>

using PropertyBrowser::Internal::BoolEdit;
using PropertyBrowser::Internal::EditorTracker;

namespace {

// Every editor follows the enabled state of its property, whoever changes it.
template<class Editor>
void followEnabledState(QObject *factory, QtAbstractPropertyManager *manager,
                        EditorTracker<Editor> &tracker)
{
    QObject::connect(manager, &QtAbstractPropertyManager::propertyChanged, factory,
                     [&tracker](QtProperty *property) {
                         for (Editor *editor : tracker.editors(property))
                             editor->setEnabled(property->isEnabled());
                     });
    QObject::connect(manager, &QtAbstractPropertyManager::propertyDestroyed, factory,
                     [&tracker](QtProperty *property) { tracker.propertyDestroyed(property); });
}

} // namespace

// Check box

class QtCheckBoxFactoryPrivate
{
public:
    explicit QtCheckBoxFactoryPrivate(QObject *factory)
        : tracker(factory)
    {
    }
    EditorTracker<BoolEdit> tracker;
};

QtCheckBoxFactory::QtCheckBoxFactory(QObject *parent)
    : QtAbstractEditorFactory<QtBoolPropertyManager>(parent)
    , d(new QtCheckBoxFactoryPrivate(this))
{
}

QtCheckBoxFactory::~QtCheckBoxFactory() = default;

void QtCheckBoxFactory::connectPropertyManager(QtBoolPropertyManager *manager)
{
    followEnabledState(this, manager, d->tracker);
    // The labels may change without the value, so every change refreshes the editors.
    connect(manager, &QtAbstractPropertyManager::propertyChanged, this,
            [this, manager](QtProperty *property) {
                for (BoolEdit *editor : d->tracker.editors(property)) {
                    editor->setChecked(manager->value(property));
                    editor->setText(property->valueText());
                }
            });
}

QWidget *QtCheckBoxFactory::createEditor(QtBoolPropertyManager *manager, QtProperty *property,
                                         QWidget *parent)
{
    auto *editor = new BoolEdit(parent);
    editor->setChecked(manager->value(property));
    editor->setText(property->valueText());
    editor->setEnabled(property->isEnabled());
    d->tracker.add(property, editor);
    connect(editor, &BoolEdit::toggled, this, [this, editor](bool checked) {
        QtProperty *property = d->tracker.property(editor);
        if (QtBoolPropertyManager *manager = propertyManager(property))
            manager->setValue(property, checked);
    });
    return editor;
}

void QtCheckBoxFactory::disconnectPropertyManager(QtBoolPropertyManager *manager)
{
    disconnect(manager, nullptr, this, nullptr);
}

// Spin box

class QtSpinBoxFactoryPrivate
{
public:
    explicit QtSpinBoxFactoryPrivate(QObject *factory)
        : tracker(factory)
    {
    }
    EditorTracker<QSpinBox> tracker;
};

QtSpinBoxFactory::QtSpinBoxFactory(QObject *parent)
    : QtAbstractEditorFactory<QtIntPropertyManager>(parent)
    , d(new QtSpinBoxFactoryPrivate(this))
{
}

QtSpinBoxFactory::~QtSpinBoxFactory() = default;

void QtSpinBoxFactory::connectPropertyManager(QtIntPropertyManager *manager)
{
    followEnabledState(this, manager, d->tracker);
    connect(manager, &QtIntPropertyManager::valueChanged, this,
            [this](QtProperty *property, int value) {
                for (QSpinBox *editor : d->tracker.editors(property)) {
                    const QSignalBlocker blocker(editor);
                    editor->setValue(value);
                }
            });
    connect(manager, &QtIntPropertyManager::rangeChanged, this,
            [this, manager](QtProperty *property, int minimum, int maximum) {
                for (QSpinBox *editor : d->tracker.editors(property)) {
                    const QSignalBlocker blocker(editor);
                    editor->setRange(minimum, maximum);
                    editor->setValue(manager->value(property));
                }
            });
    connect(manager, &QtIntPropertyManager::singleStepChanged, this,
            [this](QtProperty *property, int step) {
                for (QSpinBox *editor : d->tracker.editors(property))
                    editor->setSingleStep(step);
            });
}

QWidget *QtSpinBoxFactory::createEditor(QtIntPropertyManager *manager, QtProperty *property,
                                        QWidget *parent)
{
    auto *editor = new QSpinBox(parent);
    // Typed digits are one edit, written when confirmed, not one write per key.
    editor->setKeyboardTracking(false);
    editor->setRange(manager->minimum(property), manager->maximum(property));
    editor->setSingleStep(manager->singleStep(property));
    editor->setValue(manager->value(property));
    editor->setEnabled(property->isEnabled());
    d->tracker.add(property, editor);
    connect(editor, QOverload<int>::of(&QSpinBox::valueChanged), this, [this, editor](int value) {
        QtProperty *property = d->tracker.property(editor);
        if (QtIntPropertyManager *manager = propertyManager(property))
            manager->setValue(property, value);
    });
    return editor;
}

void QtSpinBoxFactory::disconnectPropertyManager(QtIntPropertyManager *manager)
{
    disconnect(manager, nullptr, this, nullptr);
}

// Double spin box

class QtDoubleSpinBoxFactoryPrivate
{
public:
    explicit QtDoubleSpinBoxFactoryPrivate(QObject *factory)
        : tracker(factory)
    {
    }

    // Decimals first: the spin box rounds its range and value to them.
    static void show(QDoubleSpinBox *editor, QtDoublePropertyManager *manager, QtProperty *property)
    {
        const QSignalBlocker blocker(editor);
        editor->setDecimals(manager->decimals(property));
        editor->setRange(manager->minimum(property), manager->maximum(property));
        editor->setSingleStep(manager->singleStep(property));
        editor->setValue(manager->value(property));
    }

    EditorTracker<QDoubleSpinBox> tracker;
};

QtDoubleSpinBoxFactory::QtDoubleSpinBoxFactory(QObject *parent)
    : QtAbstractEditorFactory<QtDoublePropertyManager>(parent)
    , d(new QtDoubleSpinBoxFactoryPrivate(this))
{
}

QtDoubleSpinBoxFactory::~QtDoubleSpinBoxFactory() = default;

void QtDoubleSpinBoxFactory::connectPropertyManager(QtDoublePropertyManager *manager)
{
    followEnabledState(this, manager, d->tracker);
    const auto refresh = [this, manager](QtProperty *property) {
        for (QDoubleSpinBox *editor : d->tracker.editors(property))
            QtDoubleSpinBoxFactoryPrivate::show(editor, manager, property);
    };
    connect(manager, &QtDoublePropertyManager::valueChanged, this, refresh);
    connect(manager, &QtDoublePropertyManager::rangeChanged, this, refresh);
    connect(manager, &QtDoublePropertyManager::singleStepChanged, this, refresh);
    connect(manager, &QtDoublePropertyManager::decimalsChanged, this, refresh);
}

QWidget *QtDoubleSpinBoxFactory::createEditor(QtDoublePropertyManager *manager,
                                              QtProperty *property, QWidget *parent)
{
    auto *editor = new QDoubleSpinBox(parent);
    editor->setKeyboardTracking(false);
    QtDoubleSpinBoxFactoryPrivate::show(editor, manager, property);
    editor->setEnabled(property->isEnabled());
    d->tracker.add(property, editor);
    connect(editor, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
            [this, editor](double value) {
                QtProperty *property = d->tracker.property(editor);
                if (QtDoublePropertyManager *manager = propertyManager(property))
                    manager->setValue(property, value);
            });
    return editor;
}

void QtDoubleSpinBoxFactory::disconnectPropertyManager(QtDoublePropertyManager *manager)
{
    disconnect(manager, nullptr, this, nullptr);
}

// Line edit

class QtLineEditFactoryPrivate
{
public:
    explicit QtLineEditFactoryPrivate(QObject *factory)
        : tracker(factory)
    {
    }
    EditorTracker<QLineEdit> tracker;
};

QtLineEditFactory::QtLineEditFactory(QObject *parent)
    : QtAbstractEditorFactory<QtStringPropertyManager>(parent)
    , d(new QtLineEditFactoryPrivate(this))
{
}

QtLineEditFactory::~QtLineEditFactory() = default;

void QtLineEditFactory::connectPropertyManager(QtStringPropertyManager *manager)
{
    followEnabledState(this, manager, d->tracker);
    connect(manager, &QtStringPropertyManager::valueChanged, this,
            [this](QtProperty *property, const QString &value) {
                for (QLineEdit *editor : d->tracker.editors(property)) {
                    if (editor->text() != value) {
                        const QSignalBlocker blocker(editor);
                        editor->setText(value);
                    }
                }
            });
}

QWidget *QtLineEditFactory::createEditor(QtStringPropertyManager *manager, QtProperty *property,
                                         QWidget *parent)
{
    auto *editor = new QLineEdit(parent);
    editor->setText(manager->value(property));
    editor->setEnabled(property->isEnabled());
    d->tracker.add(property, editor);
    connect(editor, &QLineEdit::editingFinished, this, [this, editor] {
        QtProperty *property = d->tracker.property(editor);
        if (QtStringPropertyManager *manager = propertyManager(property))
            manager->setValue(property, editor->text());
    });
    return editor;
}

void QtLineEditFactory::disconnectPropertyManager(QtStringPropertyManager *manager)
{
    disconnect(manager, nullptr, this, nullptr);
}

// Enum editor

class QtEnumEditorFactoryPrivate
{
public:
    explicit QtEnumEditorFactoryPrivate(QObject *factory)
        : tracker(factory)
    {
    }

    static void show(QComboBox *editor, QtEnumPropertyManager *manager, QtProperty *property)
    {
        const QSignalBlocker blocker(editor);
        const QStringList names = manager->enumNames(property);
        bool sameNames = editor->count() == names.size();
        for (int i = 0; sameNames && i < names.size(); ++i)
            sameNames = editor->itemText(i) == names.at(i);
        if (!sameNames) {
            editor->clear();
            editor->addItems(names);
        }
        editor->setCurrentIndex(manager->value(property));
    }

    EditorTracker<QComboBox> tracker;
};

QtEnumEditorFactory::QtEnumEditorFactory(QObject *parent)
    : QtAbstractEditorFactory<QtEnumPropertyManager>(parent)
    , d(new QtEnumEditorFactoryPrivate(this))
{
}

QtEnumEditorFactory::~QtEnumEditorFactory() = default;

void QtEnumEditorFactory::connectPropertyManager(QtEnumPropertyManager *manager)
{
    followEnabledState(this, manager, d->tracker);
    const auto refresh = [this, manager](QtProperty *property) {
        for (QComboBox *editor : d->tracker.editors(property))
            QtEnumEditorFactoryPrivate::show(editor, manager, property);
    };
    connect(manager, &QtEnumPropertyManager::valueChanged, this, refresh);
    connect(manager, &QtEnumPropertyManager::enumNamesChanged, this, refresh);
}

QWidget *QtEnumEditorFactory::createEditor(QtEnumPropertyManager *manager, QtProperty *property,
                                           QWidget *parent)
{
    auto *editor = new QComboBox(parent);
    // Keeps the list as wide as the cell even for long entries.
    editor->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    editor->setMinimumContentsLength(1);
    QtEnumEditorFactoryPrivate::show(editor, manager, property);
    editor->setEnabled(property->isEnabled());
    d->tracker.add(property, editor);
    connect(editor, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this, editor](int index) {
                QtProperty *property = d->tracker.property(editor);
                if (QtEnumPropertyManager *manager = propertyManager(property))
                    manager->setValue(property, index);
            });
    return editor;
}

void QtEnumEditorFactory::disconnectPropertyManager(QtEnumPropertyManager *manager)
{
    disconnect(manager, nullptr, this, nullptr);
}
