#include "window/factoryreset.h"

#include "parameters/attempts.h"
#include "parameters/sensorsession.h"
#include "window/chartpresenter.h"
#include "window/connectcontroller.h"
#include "window/treehandling.h"
#include "window/windowtexts.h"

#include <QAction>
#include <QMessageBox>
#include <QPointer>

namespace DrumoSensorPlugin {
namespace Core {

FactoryReset::FactoryReset(SensorSession &session, TreeHandling &treeHandling, const Parts &parts)
    : m_session(session)
    , m_treeHandling(treeHandling)
    , m_parts(parts)
{
}

bool FactoryReset::resetOnce()
{
    TreeHandlingGuard quiet(m_treeHandling);
    return m_session.bulk().factoryReset();
}

void FactoryReset::run()
{
    // The question spins an event loop in which the host may destroy the window and with it
    // this object; the action belongs to the window, so it tells.
    QPointer<QAction> alive(m_parts.liveData);
    const int answer = m_parts.view->showMessage(
        QMessageBox::Warning, WindowTexts::tr("Restore factory defaults"),
        WindowTexts::tr("All settings will be restored to factory defaults, continue ?"),
        QMessageBox::Ok | QMessageBox::Cancel);
    if (!alive)
        return;
    if (answer == QMessageBox::Ok) {
        const bool liveData = suspendPolling();
        if (!attempt(5, "BUCLA ON RESET", [this] { return resetOnce(); }))
            m_parts.connector->checkConnection();
        restoreLiveData(liveData);
    }
    if (m_session.state().connected)
        m_session.poller().setStatusChecking(true);
}

bool FactoryReset::suspendPolling()
{
    m_session.poller().setStatusChecking(false);
    const bool liveData = m_parts.liveData->isChecked();
    // Unchecked, the action switches the poller off; the chain of polls ends at its next
    // completion.
    if (liveData)
        m_parts.liveData->setChecked(false);
    return liveData;
}

// Checking the action restarts the live data; an action checked again meanwhile (a connection
// check reconnected) only needs the chain of polls started.
void FactoryReset::restoreLiveData(bool on)
{
    if (on && m_parts.liveData->isChecked())
        m_parts.chart->startLiveData();
    else
        m_parts.liveData->setChecked(on);
}

} // namespace Core
} // namespace DrumoSensorPlugin
