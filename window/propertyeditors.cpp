#include "window/propertyeditors.h"

#include "window/windowtexts.h"

#include <buttonmanager.h>
#include <qteditorfactory.h>
#include <qtpropertymanager.h>
#include <qttreepropertybrowser.h>

#include <QAction>
#include <QDockWidget>
#include <QIcon>

namespace DrumoSensorPlugin {
namespace Core {

PropertyEditors::PropertyEditors(QtTreePropertyBrowser *&browser)
    : dock(new QDockWidget())
{
    dock->setWindowTitle(WindowTexts::tr("Property tree"));
    dock->setObjectName(QStringLiteral("propertyTree"));
    dock->setAllowedAreas(Qt::AllDockWidgetAreas);
    dock->toggleViewAction()->setIcon(QIcon(QStringLiteral(":/newPrefix/icons/Menuebaum.svg")));

    boolManager = new QtBoolPropertyManager(dock);
    intManager = new QtIntPropertyManager(dock);
    doubleManager = new QtDoublePropertyManager(dock);
    stringManager = new QtStringPropertyManager(dock);
    enumManager = new QtEnumPropertyManager(dock);
    groupManager = new QtGroupPropertyManager(dock);
    checkBoxFactory = new QtCheckBoxFactory(dock);
    spinBoxFactory = new QtSpinBoxFactory(dock);
    doubleSpinBoxFactory = new QtDoubleSpinBoxFactory(dock);
    lineEditFactory = new QtLineEditFactory(dock);
    enumEditorFactory = new QtEnumEditorFactory(dock);

    browser = new QtTreePropertyBrowser(dock);
    browser->setResizeMode(QtTreePropertyBrowser::ResizeToContents);
    browser->setStyleSheet(QStringLiteral(" QTreeView {selection-background-color:  #00619E;}"));
    browser->setFactoryForManager(boolManager, checkBoxFactory);
    browser->setFactoryForManager(intManager, spinBoxFactory);
    browser->setFactoryForManager(doubleManager, doubleSpinBoxFactory);
    browser->setFactoryForManager(stringManager, lineEditFactory);
    browser->setFactoryForManager(enumManager, enumEditorFactory);

    buttonManager = new Utils::ButtonManager(dock);
    buttonFactory = new Utils::ButtonFactory(dock);
    browser->setFactoryForManager(buttonManager, buttonFactory);
}

} // namespace Core
} // namespace DrumoSensorPlugin
