#include "simclock.h"

#include <QElapsedTimer>

#include <memory>

namespace QuxSim {

Clock systemClock()
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return timer->elapsed(); };
}

} // namespace QuxSim
