#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>

// Runs the event loop until `done` holds, at most `timeoutMs`. Unlike QTest::qWaitFor, which
// sleeps 10 ms between rounds, it wakes for every event, so a chain of 1 ms timers runs at its
// own pace.
inline bool waitUntil(const std::function<bool()> &done, int timeoutMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    QTimer tick; // wakes the loop when nothing else is pending
    tick.start(20);
    while (!done()) {
        if (clock.hasExpired(timeoutMs))
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}
