#include "window/editeffects.h"

#include "parameters/parametertable.h"
#include "parameters/sensorsession.h"
#include "window/chartpresenter.h"
#include "window/propertyeditors.h"
#include "window/propertytree.h"
#include "window/treehandling.h"

#include <qtproperty.h>
#include <qtpropertymanager.h>

namespace DrumoSensorPlugin {
namespace Core {

EditEffects::EditEffects(SensorSession &session, TreeHandling &treeHandling, Parts parts)
    : m_session(session)
    , m_treeHandling(treeHandling)
    , m_parts(std::move(parts))
{
}

void EditEffects::apply(QtProperty *property)
{
    const ParameterDefinition *row = property ? findParameter(property->propertyId()) : nullptr;
    if (!row)
        return;
    TreeHandlingGuard quiet(m_treeHandling);
    const int index = m_parts.editors->enumManager->value(property);
    ChartPresenter &chart = *m_parts.chart;

    // Without a sensor the tree is all there is to update; with one, the unit's write does it.
    if (!m_session.state().connected && row->has(UnitDisplay)) {
        chart.updateTemperatureCaption();
        chart.applyTemperatureUnit(index != 0);
        m_session.io().convertDisplayedTemperatures(index != 0);
    }

    if (row->has(ExpertRows)) {
        m_parts.setExpertMenu(index != 0);
    } else if (row->has(MeasuredTemperature)) {
        m_session.state().measuredTemp = index != 0;
    } else if (row->has(Pin2Layout)) {
        applyPin2Mode(index != 0);
        if (index == 1) {
            // Toggling the right axis' zoom makes the chart take the new right scale.
            chart.toggleRightAxisZoom();
        }
    } else if (row == &pin2SignalParameter()) {
        chart.showAnalogOutputMode(index);
    }
}

void EditEffects::applyPin2Mode(bool analog)
{
    m_parts.tree->showPin2Rows(analog);
    m_parts.chart->applyPin2Mode(analog);
}

} // namespace Core
} // namespace DrumoSensorPlugin
