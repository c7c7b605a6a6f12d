#pragma once

namespace DrumoSensorPlugin {
namespace Core {

class LivePoller;

// The status polling and the live data rest while one write runs: every transaction of the
// write waits in a nested event loop, in which a poll must not start. Both come back as they
// were when the pause ends, also when the sensor went offline meanwhile (without a connection
// the polls do nothing, and the next connection finds the user's choice).
class LivePause
{
public:
    explicit LivePause(LivePoller &poller);
    ~LivePause();
    LivePause(const LivePause &) = delete;
    LivePause &operator=(const LivePause &) = delete;

private:
    LivePoller &m_poller;
    bool m_liveData;
};

} // namespace Core
} // namespace DrumoSensorPlugin
