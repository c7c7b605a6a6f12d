#pragma once

class QAction;

namespace DrumoSensorPlugin {
namespace Core {

class ChartPresenter;
class ConnectController;
class ConnectView;
class SensorSession;
class TreeHandling;

// Restoring the sensor's factory settings from the window: the question, the live data resting
// while the reset runs, five attempts, and the status checking back on afterwards.
//
// A reset that fails five times is followed by a connection check of its own: a sensor that no
// longer answers takes the window offline, without a message.
class FactoryReset
{
public:
    struct Parts
    {
        ConnectView *view = nullptr;
        ConnectController *connector = nullptr;
        ChartPresenter *chart = nullptr;
        // The live-data action: unchecking it ends the chain of polls, checking it restarts it.
        QAction *liveData = nullptr;
    };

    FactoryReset(SensorSession &session, TreeHandling &treeHandling, const Parts &parts);

    // Asks, then resets. The window may be let go of while the question is open.
    void run();
    // One reset command and the defaults that follow it, as the plug-in's own change of rows.
    bool resetOnce();

private:
    bool suspendPolling();
    void restoreLiveData(bool on);

    SensorSession &m_session;
    TreeHandling &m_treeHandling;
    Parts m_parts;
};

} // namespace Core
} // namespace DrumoSensorPlugin
