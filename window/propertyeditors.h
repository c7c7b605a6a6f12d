#pragma once

class QDockWidget;
class QtBoolPropertyManager;
class QtCheckBoxFactory;
class QtDoublePropertyManager;
class QtDoubleSpinBoxFactory;
class QtEnumEditorFactory;
class QtEnumPropertyManager;
class QtGroupPropertyManager;
class QtIntPropertyManager;
class QtLineEditFactory;
class QtProperty;
class QtSpinBoxFactory;
class QtStringPropertyManager;
class QtTreePropertyBrowser;

namespace Utils {
class ButtonFactory;
class ButtonManager;
} // namespace Utils

namespace DrumoSensorPlugin {
namespace Core {

// The property tree's dock with the browser's managers and editor factories, bound to each other
// in the browser: enumerators get a drop-down list, integers a spin box, doubles a double spin
// box, bools a check box, actions a push button; category rows have a manager and no editor. The
// string manager and its line edit exist, but no row of a description is a string.
//
// The managers and factories are children of the dock: deleting the dock deletes them, and with
// them every row of the tree.
class PropertyEditors
{
public:
    // The dock and everything in it; `browser` is made inside the dock.
    explicit PropertyEditors(QtTreePropertyBrowser *&browser);

    QDockWidget *dock = nullptr;
    QtBoolPropertyManager *boolManager = nullptr;
    QtIntPropertyManager *intManager = nullptr;
    QtDoublePropertyManager *doubleManager = nullptr;
    QtStringPropertyManager *stringManager = nullptr;
    QtEnumPropertyManager *enumManager = nullptr;
    QtGroupPropertyManager *groupManager = nullptr;
    QtCheckBoxFactory *checkBoxFactory = nullptr;
    QtSpinBoxFactory *spinBoxFactory = nullptr;
    QtDoubleSpinBoxFactory *doubleSpinBoxFactory = nullptr;
    QtLineEditFactory *lineEditFactory = nullptr;
    QtEnumEditorFactory *enumEditorFactory = nullptr;
    Utils::ButtonManager *buttonManager = nullptr;
    Utils::ButtonFactory *buttonFactory = nullptr;
    // The tree's root row, named with the window title (PropertyTree::build); null before.
    QtProperty *rootProperty = nullptr;
};

} // namespace Core
} // namespace DrumoSensorPlugin
