#include "parameters/livepause.h"

#include "parameters/livepoller.h"

namespace DrumoSensorPlugin {
namespace Core {

LivePause::LivePause(LivePoller &poller)
    : m_poller(poller)
    , m_liveData(poller.liveData())
{
    m_poller.setStatusChecking(false);
    m_poller.setLiveData(false);
}

LivePause::~LivePause()
{
    m_poller.setStatusChecking(m_liveData);
    m_poller.setLiveData(m_liveData);
}

} // namespace Core
} // namespace DrumoSensorPlugin
