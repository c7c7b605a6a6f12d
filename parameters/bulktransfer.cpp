// Not built yet: the bulk transfers. Nothing is read or written.

#include "parameters/bulktransfer.h"

#include "model/parameterrows.h"
#include "parameters/parameterio.h"
#include "parameters/rowdispatcher.h"
#include "parameters/sensorview.h"
#include "parameters/sessionstate.h"

namespace DrumoSensorPlugin {
namespace Core {

BulkTransfer::BulkTransfer(ParameterIo &io, RowDispatcher &dispatcher, ParameterRows &rows,
                           SensorView &view, SessionState &state)
    : m_io(io)
    , m_dispatcher(dispatcher)
    , m_rows(rows)
    , m_view(view)
    , m_state(state)
{
}

void BulkTransfer::readAll() { }
void BulkTransfer::writeAll() { }
bool BulkTransfer::factoryReset()
{
    return false;
}

} // namespace Core
} // namespace DrumoSensorPlugin
