#include "buttonmanager.h"

#include <QMap>
#include <QPushButton>

namespace Utils {

class ButtonManagerPrivate
{
public:
    QMap<const QtProperty *, QString> captions;
};

class ButtonFactoryPrivate
{
public:
    // Editors are kept as QObject: one that reports its destruction is no QPushButton any more,
    // and converting its pointer to one would be undefined.
    QMap<QtProperty *, QList<QObject *>> editors;
    QMap<QObject *, QtProperty *> propertyOfEditor;
};

ButtonManager::ButtonManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
    , d(new ButtonManagerPrivate)
{
}

ButtonManager::~ButtonManager()
{
    clear();
    delete d;
}

QString ButtonManager::value(const QtProperty *property) const
{
    return d->captions.value(property);
}

void ButtonManager::setValue(QtProperty *property, const QString &caption)
{
    const auto it = d->captions.find(property);
    if (it == d->captions.end() || it.value() == caption)
        return;
    it.value() = caption;
    emit propertyChanged(property);
    emit valueChanged(property, caption);
}

void ButtonManager::click(QtProperty *property)
{
    if (d->captions.contains(property))
        emit buttonClicked(property);
}

QString ButtonManager::valueText(const QtProperty *property) const
{
    return d->captions.value(property);
}

void ButtonManager::initializeProperty(QtProperty *property)
{
    d->captions.insert(property, QString());
}

void ButtonManager::uninitializeProperty(QtProperty *property)
{
    d->captions.remove(property);
}

ButtonFactory::ButtonFactory(QObject *parent)
    : QtAbstractEditorFactory<ButtonManager>(parent)
    , d(new ButtonFactoryPrivate)
{
}

ButtonFactory::~ButtonFactory()
{
    // The editors belong to the browser's rows; only stop listening to them.
    for (auto it = d->propertyOfEditor.cbegin(); it != d->propertyOfEditor.cend(); ++it)
        disconnect(it.key(), nullptr, this, nullptr);
    delete d;
}

void ButtonFactory::connectPropertyManager(ButtonManager *manager)
{
    connect(manager, &ButtonManager::valueChanged, this, &ButtonFactory::updateCaption);
}

void ButtonFactory::disconnectPropertyManager(ButtonManager *manager)
{
    disconnect(manager, &ButtonManager::valueChanged, this, &ButtonFactory::updateCaption);
}

QWidget *ButtonFactory::createEditor(ButtonManager *manager, QtProperty *property, QWidget *parent)
{
    auto button = new QPushButton(manager->value(property), parent);
    button->setAutoFillBackground(true);
    d->editors[property].append(static_cast<QObject *>(button));
    d->propertyOfEditor.insert(button, property);
    connect(button, &QPushButton::clicked, manager,
            [manager, property] { manager->click(property); });
    connect(button, &QObject::destroyed, this, &ButtonFactory::editorDestroyed);
    return button;
}

void ButtonFactory::updateCaption(QtProperty *property, const QString &caption)
{
    for (QObject *editor : d->editors.value(property)) {
        if (auto button = qobject_cast<QPushButton *>(editor))
            button->setText(caption);
    }
}

void ButtonFactory::editorDestroyed(QObject *editor)
{
    QtProperty *property = d->propertyOfEditor.take(editor);
    if (!property)
        return;
    auto it = d->editors.find(property);
    if (it == d->editors.end())
        return;
    it.value().removeAll(editor);
    if (it.value().isEmpty())
        d->editors.erase(it);
}

} // namespace Utils
