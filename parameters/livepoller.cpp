// Not built yet: the live polling. Nothing is polled.

#include "parameters/livepoller.h"

#include "parameters/sessionstate.h"

namespace DrumoSensorPlugin {
namespace Core {

double analogOutputValue(double, const AnalogScale &)
{
    return 0.0;
}

LivePoller::LivePoller(SessionState &state, QObject *parent)
    : QObject(parent)
    , m_state(state)
{
    m_statusTimer.setInterval(65);
    m_statusTimer.setSingleShot(true);
}

LivePoller::~LivePoller()
{
    qDeleteAll(m_transactions);
}

void LivePoller::setConnection(ExtensionSystem::CommunicationInterface *connection)
{
    m_connection = connection;
}

void LivePoller::setLiveData(bool on)
{
    m_liveData = on;
}

void LivePoller::setStatusChecking(bool on)
{
    m_statusChecking = on;
}

void LivePoller::poll() { }

void LivePoller::transactionFinished(unsigned int) { }

} // namespace Core
} // namespace DrumoSensorPlugin
