#include "window/pendingedit.h"

#include "parameters/rowdispatcher.h"
#include "parameters/sensorsession.h"
#include "window/treehandling.h"

#include <qtproperty.h>

namespace DrumoSensorPlugin {
namespace Core {

PendingEdit::PendingEdit(SensorSession &session, TreeHandling &treeHandling, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_treeHandling(treeHandling)
{
    m_settle.setInterval(10);
    m_settle.setSingleShot(true);
    connect(&m_settle, &QTimer::timeout, this, [this] {
        if (m_reachesSensor)
            applySettled();
    });
    m_typing.setInterval(600);
    m_typing.setSingleShot(true);
    connect(&m_typing, &QTimer::timeout, this, &PendingEdit::writeTyped);
}

void PendingEdit::take(QtProperty *row, const QVariant &value)
{
    m_row = row;
    m_value = value;
    m_settle.start();
}

void PendingEdit::setReachesSensor(bool on)
{
    m_reachesSensor = on;
}

void PendingEdit::deferWrite()
{
    m_typing.start();
}

void PendingEdit::applySettled()
{
    if (!m_row || !m_session.state().connected)
        return;
    TreeHandlingGuard quiet(m_treeHandling);
    m_session.dispatcher().apply(m_row->propertyId(), m_value);
}

void PendingEdit::writeTyped()
{
    SessionState &state = m_session.state();
    if (state.skipNextDelayedWrite) {
        // The rows were converted after a unit change: nothing the user typed.
        state.skipNextDelayedWrite = false;
        return;
    }
    if (!m_row || !state.connected)
        return;
    TreeHandlingGuard quiet(m_treeHandling);
    m_session.dispatcher().writeDeferred(m_row->propertyId());
}

} // namespace Core
} // namespace DrumoSensorPlugin
