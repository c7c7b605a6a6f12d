#pragma once

#include "qtpropertymanager.h"

class QtCheckBoxFactoryPrivate;
class QtSpinBoxFactoryPrivate;
class QtDoubleSpinBoxFactoryPrivate;
class QtLineEditFactoryPrivate;
class QtEnumEditorFactoryPrivate;

// Each factory creates in-place editors that show the current value, write edits back through
// the manager and follow changes made elsewhere. Editors are owned by the widget they were
// created in; the factory only tracks them and forgets them when they or their property go.

// A check box; Space toggles it, every toggle is written at once.
class PROPERTYBROWSER_EXPORT QtCheckBoxFactory
    : public QtAbstractEditorFactory<QtBoolPropertyManager>
{
    Q_OBJECT
public:
    explicit QtCheckBoxFactory(QObject *parent = nullptr);
    ~QtCheckBoxFactory() override;

protected:
    void connectPropertyManager(QtBoolPropertyManager *manager) override;
    QWidget *createEditor(QtBoolPropertyManager *manager, QtProperty *property,
                          QWidget *parent) override;
    void disconnectPropertyManager(QtBoolPropertyManager *manager) override;

private:
    std::unique_ptr<QtCheckBoxFactoryPrivate> d;
};

// A spin box; typed text is written when it is confirmed (Enter, focus leaves), steps at once.
class PROPERTYBROWSER_EXPORT QtSpinBoxFactory : public QtAbstractEditorFactory<QtIntPropertyManager>
{
    Q_OBJECT
public:
    explicit QtSpinBoxFactory(QObject *parent = nullptr);
    ~QtSpinBoxFactory() override;

protected:
    void connectPropertyManager(QtIntPropertyManager *manager) override;
    QWidget *createEditor(QtIntPropertyManager *manager, QtProperty *property,
                          QWidget *parent) override;
    void disconnectPropertyManager(QtIntPropertyManager *manager) override;

private:
    std::unique_ptr<QtSpinBoxFactoryPrivate> d;
};

class PROPERTYBROWSER_EXPORT QtDoubleSpinBoxFactory
    : public QtAbstractEditorFactory<QtDoublePropertyManager>
{
    Q_OBJECT
public:
    explicit QtDoubleSpinBoxFactory(QObject *parent = nullptr);
    ~QtDoubleSpinBoxFactory() override;

protected:
    void connectPropertyManager(QtDoublePropertyManager *manager) override;
    QWidget *createEditor(QtDoublePropertyManager *manager, QtProperty *property,
                          QWidget *parent) override;
    void disconnectPropertyManager(QtDoublePropertyManager *manager) override;

private:
    std::unique_ptr<QtDoubleSpinBoxFactoryPrivate> d;
};

// A line edit; the text is written when it is confirmed (Enter, focus leaves).
class PROPERTYBROWSER_EXPORT QtLineEditFactory
    : public QtAbstractEditorFactory<QtStringPropertyManager>
{
    Q_OBJECT
public:
    explicit QtLineEditFactory(QObject *parent = nullptr);
    ~QtLineEditFactory() override;

protected:
    void connectPropertyManager(QtStringPropertyManager *manager) override;
    QWidget *createEditor(QtStringPropertyManager *manager, QtProperty *property,
                          QWidget *parent) override;
    void disconnectPropertyManager(QtStringPropertyManager *manager) override;

private:
    std::unique_ptr<QtLineEditFactoryPrivate> d;
};

// A drop-down list of the enum names; choosing an entry writes it at once.
class PROPERTYBROWSER_EXPORT QtEnumEditorFactory
    : public QtAbstractEditorFactory<QtEnumPropertyManager>
{
    Q_OBJECT
public:
    explicit QtEnumEditorFactory(QObject *parent = nullptr);
    ~QtEnumEditorFactory() override;

protected:
    void connectPropertyManager(QtEnumPropertyManager *manager) override;
    QWidget *createEditor(QtEnumPropertyManager *manager, QtProperty *property,
                          QWidget *parent) override;
    void disconnectPropertyManager(QtEnumPropertyManager *manager) override;

private:
    std::unique_ptr<QtEnumEditorFactoryPrivate> d;
};
