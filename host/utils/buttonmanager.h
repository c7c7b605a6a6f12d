#pragma once

#include "utils_global.h"

#include <qtpropertybrowser.h>

namespace Utils {

class ButtonManagerPrivate;
class ButtonFactoryPrivate;

// Property manager for push-button rows: the value of a row is the button's caption.
class UTILS_EXPORT ButtonManager : public QtAbstractPropertyManager
{
    Q_OBJECT

public:
    explicit ButtonManager(QObject *parent = nullptr);
    ~ButtonManager() override;

    QString value(const QtProperty *property) const;

public slots:
    void setValue(QtProperty *property, const QString &caption);
    // Reports a click on the row's button; called by the editors of ButtonFactory.
    void click(QtProperty *property);

signals:
    void valueChanged(QtProperty *property, const QString &caption);
    void buttonClicked(QtProperty *property);

protected:
    QString valueText(const QtProperty *property) const override;
    void initializeProperty(QtProperty *property) override;
    void uninitializeProperty(QtProperty *property) override;

private:
    ButtonManagerPrivate *d;
};

// Editor factory that puts a push button into each row of a ButtonManager; a click makes the
// manager emit buttonClicked.
class UTILS_EXPORT ButtonFactory : public QtAbstractEditorFactory<ButtonManager>
{
    Q_OBJECT

public:
    explicit ButtonFactory(QObject *parent = nullptr);
    ~ButtonFactory() override;

protected:
    void connectPropertyManager(ButtonManager *manager) override;
    QWidget *createEditor(ButtonManager *manager, QtProperty *property, QWidget *parent) override;
    void disconnectPropertyManager(ButtonManager *manager) override;

private:
    void updateCaption(QtProperty *property, const QString &caption);
    void editorDestroyed(QObject *editor);

    ButtonFactoryPrivate *d;
};

} // namespace Utils
