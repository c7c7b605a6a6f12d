#include "parameters/bulktransfer.h"

#include "model/parameterrows.h"
#include "parameters/attempts.h"
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

// The order is fixed: pin 2's function decides which rows exist for the user, and the unit must
// be known before any temperature is read; the temperatures are read with the sensor in °C.
void BulkTransfer::readAll()
{
    ParameterIo &io = m_io;
    attempt(5, "BUCLA PIN", [&] { return io.bReadPin2Mode(); });
    attempt(5, "BUCLA ON THR", [&] { return io.bReadUnit(); });
    io.vSwitchSensorUnit(false);
    for (int output : { 1, 2 })
        attempt(5, "BUCLA ON THR", [&] { return io.bReadSwitchingPoint(output); });
    for (int output : { 1, 2 })
        attempt(5, "BUCLA NO", [&] { return io.bReadType(output); });
    for (int output : { 1, 2 })
        attempt(5, "BUCLA PNP", [&] { return io.bReadOperateOutputs(output); });
    attempt(5, "BUCLA ANA MOD", [&] { return io.bReadAnalogOutput(); });
    attempt(5, "BUCLA OV", [&] { return io.bReadAnalogLow(); });
    attempt(5, "BUCLA 10V", [&] { return io.bReadAnalogHigh(); });
    attempt(5, "BUCLA EMISIVITY", [&] { return io.bReadEmissivity(); });
    attempt(2, nullptr, [&] { return io.bReadTime(); });
    io.bReadLaser();
    if (io.unitIndex() == 1)
        attempt(5, nullptr, [&] { return io.bWriteUnit(1); });

    m_view.refreshAnalogChart();
    m_view.updateUpperMark();
}

void BulkTransfer::writeAll()
{
    for (const QString &id : m_rows.ids()) {
        switch (m_rows.kind(id)) {
        case ParameterRows::Kind::Enumerator:
        case ParameterRows::Kind::Integer:
        case ParameterRows::Kind::Double:
        case ParameterRows::Kind::Bool:
            // Does nothing once the view went offline.
            m_dispatcher.apply(id, m_rows.value(id));
            break;
        default:
            break;
        }
    }
}

bool BulkTransfer::factoryReset()
{
    if (!m_io.sendFactoryReset())
        return false;
    readAll();

    // The host's own settings: the analog range's upper end, the chart's temperature and the
    // expert rows; the sensor's factory emissivity is written once more.
    const QString high = QStringLiteral("10v");
    if (m_rows.contains(high)) {
        m_rows.setMaximum(high, 350.0);
        m_rows.setMinimum(high, -25.0);
        m_rows.setValue(high, 350.0);
    }
    m_state.measuredTemp = true;
    m_view.setExpertMenu(false);
    m_rows.setValue(QStringLiteral("ExpertMenu"), 0);
    attempt(5, nullptr, [this] { return m_io.bWriteEmissivity(0.95); });
    return true;
}

} // namespace Core
} // namespace DrumoSensorPlugin
