#pragma once

namespace DrumoSensorPlugin {
namespace Core {

// What the sensor operations must ask whoever shows the sensor: the decisions only a user
// makes, and the messages only a window shows. Everything else flows out as SessionEvents.
// The defaults answer as a program without a user would.
class SensorView
{
public:
    virtual ~SensorView() = default;

    // A write failed five times: is the sensor still there? A false answer means the view
    // went offline.
    virtual bool checkConnection() { return false; }
    // The user changes the baud rate: may the new rate be written?
    virtual bool confirmBaudRateChange() { return false; }
    // The port's line rate is its server's: the user learns why nothing was written (the
    // window also shows the port's rate in the row again, a tool keeps what was asked for).
    virtual void refuseBaudRateChange() { }
    // The new baud rate was written: the sensor changes its rate at its next power-up, so the
    // view leaves it.
    virtual void baudRateWritten() { }
};

} // namespace Core
} // namespace DrumoSensorPlugin
