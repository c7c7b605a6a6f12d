#pragma once

#include <functional>

class QtProperty;

namespace DrumoSensorPlugin {
namespace Core {

class ChartPresenter;
class PropertyEditors;
class PropertyTree;
class SensorSession;
class TreeHandling;

// What an edit of a row does to the window at once, before it reaches the sensor: the parameter
// table's follow-ups of the row that concern only the view (the expert rows, the chart's
// temperature choice, pin 2's layout, the analog output's units, and while no sensor is
// connected the temperature unit).
class EditEffects
{
public:
    struct Parts
    {
        PropertyEditors *editors = nullptr;
        PropertyTree *tree = nullptr;
        ChartPresenter *chart = nullptr;
        // Shows or hides the expert rows; the window keeps the choice for its state file.
        std::function<void(bool)> setExpertMenu;
    };

    EditEffects(SensorSession &session, TreeHandling &treeHandling, Parts parts);

    void apply(QtProperty *property);
    // Pin 2 is either output 2 (its contact rows, its LED, the upper threshold line) or the
    // analog output (its signal rows, the right axis with the output's signal).
    void applyPin2Mode(bool analog);

private:
    SensorSession &m_session;
    TreeHandling &m_treeHandling;
    Parts m_parts;
};

} // namespace Core
} // namespace DrumoSensorPlugin
