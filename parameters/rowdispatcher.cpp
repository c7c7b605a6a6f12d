// Not built yet: the row dispatch. Nothing is written.

#include "parameters/rowdispatcher.h"

#include "model/parameterrows.h"
#include "parameters/parameterio.h"
#include "parameters/sensorview.h"
#include "parameters/sessionstate.h"

namespace DrumoSensorPlugin {
namespace Core {

RowDispatcher::RowDispatcher(ParameterIo &io, ParameterRows &rows, SensorView &view,
                             SessionState &state)
    : m_io(io)
    , m_rows(rows)
    , m_view(view)
    , m_state(state)
{
}

void RowDispatcher::apply(const QString &, const QVariant &) { }

RowDispatcher::Outcome RowDispatcher::writeRow(const QString &, const QVariant &)
{
    return Outcome::Failed;
}

void RowDispatcher::writeDeferred(const QString &) { }

} // namespace Core
} // namespace DrumoSensorPlugin
