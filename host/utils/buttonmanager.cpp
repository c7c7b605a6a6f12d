#include "buttonmanager.h"

#include <QPushButton>

namespace Utils {

ButtonManager::ButtonManager(QObject *parent)
    : QtAbstractPropertyManager(parent)
{
}

ButtonManager::~ButtonManager()
{
    clear();
}

QString ButtonManager::value(const QtProperty *property) const
{
    return m_captions.value(property);
}

void ButtonManager::setValue(QtProperty *property, const QString &caption)
{
    const auto it = m_captions.find(property);
    if (it == m_captions.end() || it.value() == caption)
        return;
    it.value() = caption;
    emit propertyChanged(property);
    emit valueChanged(property, caption);
}

void ButtonManager::click(QtProperty *property)
{
    if (m_captions.contains(property))
        emit buttonClicked(property);
}

QString ButtonManager::valueText(const QtProperty *property) const
{
    return m_captions.value(property);
}

void ButtonManager::initializeProperty(QtProperty *property)
{
    m_captions.insert(property, QString());
}

void ButtonManager::uninitializeProperty(QtProperty *property)
{
    m_captions.remove(property);
}

ButtonFactory::ButtonFactory(QObject *parent)
    : QtAbstractEditorFactory<ButtonManager>(parent)
{
}

ButtonFactory::~ButtonFactory()
{
    // The editors belong to the browser's rows; only stop listening to them.
    for (auto it = m_propertyOfEditor.cbegin(); it != m_propertyOfEditor.cend(); ++it)
        disconnect(it.key(), nullptr, this, nullptr);
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
    m_editors[property].append(button);
    m_propertyOfEditor.insert(button, property);
    connect(button, &QPushButton::clicked, manager,
            [manager, property] { manager->click(property); });
    connect(button, &QObject::destroyed, this, &ButtonFactory::editorDestroyed);
    return button;
}

void ButtonFactory::updateCaption(QtProperty *property, const QString &caption)
{
    for (QPushButton *button : m_editors.value(property))
        button->setText(caption);
}

void ButtonFactory::editorDestroyed(QObject *editor)
{
    QtProperty *property = m_propertyOfEditor.take(editor);
    if (!property)
        return;
    auto it = m_editors.find(property);
    if (it == m_editors.end())
        return;
    it.value().removeAll(static_cast<QPushButton *>(editor));
    if (it.value().isEmpty())
        m_editors.erase(it);
}

} // namespace Utils
