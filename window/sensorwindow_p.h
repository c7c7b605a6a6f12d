#pragma once

#include <QString>

#include <memory>
#include <string>

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

namespace Utils {
class ButtonFactory;
class ButtonManager;
} // namespace Utils

namespace DrumoSensorPlugin {
namespace Core {

class ChartPresenter;
class ConnectController;
class PropertyTree;
class LivePublishing;
class PendingEdit;
class SensorSession;
class SettingsFileActions;
class TransactionRunner;
class TreeHandling;
class TreeRows;

// The widgets and state a SensorWindow shares between its files. A plain structure: the window
// creates and releases what it points to (see the window's constructor and destructor).
class SensorWindowPrivate
{
public:
    SensorWindowPrivate();
    ~SensorWindowPrivate();

    // Managers and factories are children of propertyDock.
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
    // The bool, int, double and enum managers' value signals, reported as edits while on.
    TreeHandling *treeHandling = nullptr;

    QDockWidget *propertyDock = nullptr;
    // Language of the texts read from the sensor description.
    std::string language = "en";
    QtProperty *rootProperty = nullptr;
    // Nested waits running (transactions, the connect sequence's questions and messages).
    int nestedWaits = 0;
    // The owner let go of the window inside a wait: it finishes without asking or telling.
    bool abandoned = false;

    // The sensor-facing work, on the tree's rows, through the window's transactions.
    std::unique_ptr<TreeRows> rows;
    std::unique_ptr<TransactionRunner> runner;
    std::unique_ptr<SensorSession> session;
    std::unique_ptr<ChartPresenter> presenter;
    std::unique_ptr<ConnectController> connector;
    std::unique_ptr<SettingsFileActions> files;
    std::unique_ptr<PropertyTree> tree;
    std::unique_ptr<PendingEdit> edits;
    // The live data to a broker; goes before the session it follows.
    std::unique_ptr<LivePublishing> publishing;
};

} // namespace Core
} // namespace DrumoSensorPlugin
