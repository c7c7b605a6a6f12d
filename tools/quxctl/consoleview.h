#pragma once

#include "parameters/sensorview.h"

#include <QString>

#include <functional>

namespace QuxCtl {

// The sensor operations' view for a program without a window. A deferred row is remembered so that
// the caller writes it at once (a script does not type digit by digit); a lost sensor is looked for
// again; a new baud rate is written without a question, since the user asked for it on the command
// line.
class ConsoleView : public DrumoSensorPlugin::Core::SensorView
{
public:
    using Check = std::function<bool()>;

    // How the connection check finds the sensor again.
    void setConnectionCheck(Check check) { m_check = std::move(check); }

    // True once a deferred row waited for its write since the last call.
    bool takeDeferred();
    // True once a new baud rate was written: the sensor needs a power cycle.
    bool baudRateChanged() const { return m_baudRateChanged; }
    // True once a new baud rate was refused: a network port's rate is its server's.
    bool baudRateRefused() const { return m_baudRateRefused; }

    // A deferred row waits: the session's events tell.
    void markDeferred() { m_deferred = true; }
    bool checkConnection() override { return m_check && m_check(); }
    bool confirmBaudRateChange() override { return true; }
    void baudRateWritten() override { m_baudRateChanged = true; }
    void refuseBaudRateChange() override { m_baudRateRefused = true; }

private:
    Check m_check;
    bool m_deferred = false;
    bool m_baudRateChanged = false;
    bool m_baudRateRefused = false;
};

} // namespace QuxCtl
