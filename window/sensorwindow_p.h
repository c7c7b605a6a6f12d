#pragma once

#include "window/transactions.h"

#include <memory>

namespace DrumoSensorPlugin {
namespace Core {

class ChartPresenter;
class ConnectController;
class EditEffects;
class FactoryReset;
class LivePublishing;
class PendingEdit;
class PropertyEditors;
class PropertyTree;
class SensorSession;
class SettingsFileActions;
class TransactionRunner;
class TreeHandling;
class TreeRows;

// What a SensorWindow is made of besides its form: the property tree's editors and the
// collaborators the window's slots forward to. The window creates and releases them in its
// constructor and destructor.
class SensorWindowPrivate
{
public:
    SensorWindowPrivate();
    ~SensorWindowPrivate();

    // The dock with the managers and factories (children of the dock) and the root row.
    std::unique_ptr<PropertyEditors> editors;
    // The bool, int, double and enum managers' value signals, reported as edits while on.
    TreeHandling *treeHandling = nullptr;
    WindowWaits waits;

    // The sensor-facing work, on the tree's rows, through the window's transactions.
    std::unique_ptr<TreeRows> rows;
    std::unique_ptr<TransactionRunner> runner;
    std::unique_ptr<SensorSession> session;
    std::unique_ptr<ChartPresenter> presenter;
    std::unique_ptr<ConnectController> connector;
    std::unique_ptr<SettingsFileActions> files;
    std::unique_ptr<FactoryReset> reset;
    std::unique_ptr<EditEffects> effects;
    std::unique_ptr<PropertyTree> tree;
    std::unique_ptr<PendingEdit> edits;
    // The live data to a broker; goes before the session it follows.
    std::unique_ptr<LivePublishing> publishing;
};

} // namespace Core
} // namespace DrumoSensorPlugin
