#pragma once

// How late the GUI thread handles an event posted from another thread, as input from the window
// system would be: a thread posts ProbeEvents to a ProbeReceiver living in the GUI thread, which
// records the delay of each while it records.

#include <QEvent>
#include <QObject>

#include <chrono>
#include <vector>

namespace BenchProbe {

using Clock = std::chrono::steady_clock;

// An event stamped when it was posted.
class ProbeEvent : public QEvent
{
public:
    static QEvent::Type type()
    {
        static const int t = QEvent::registerEventType();
        return QEvent::Type(t);
    }
    ProbeEvent()
        : QEvent(type())
        , posted(Clock::now())
    {
    }
    const Clock::time_point posted;
};

class ProbeReceiver : public QObject
{
public:
    bool event(QEvent *e) override
    {
        if (e->type() != ProbeEvent::type())
            return QObject::event(e);
        if (recording)
            latencies.push_back(std::chrono::duration<double, std::milli>(
                                    Clock::now() - static_cast<ProbeEvent *>(e)->posted)
                                    .count());
        return true;
    }
    bool recording = true;
    std::vector<double> latencies; // ms
};

} // namespace BenchProbe
