#pragma once

#include <QString>

namespace DrumoSensorPlugin {
namespace Core {

// What the sensor-facing operations ask of whatever shows the sensor: the window's widget
// effects, and its decisions around a write. Every call has a default that does nothing (or
// answers as a program without a user would), so a tool on the command line overrides only
// what it needs. The operations call these at the moments the window's behaviour needs them;
// the comments name the window operation each one stands for.
class SensorView
{
public:
    virtual ~SensorView() = default;

    // --- Effects of values read or written -----------------------------------------------
    // Rows, LEDs, axes and lines of pin 2's function (applyPin2Mode).
    virtual void applyPin2Mode(bool analog) { Q_UNUSED(analog) }
    // The caption above the chart follows the "unit" row.
    virtual void updateTemperatureCaption() { }
    // Chart scales after a unit change.
    virtual void applyTemperatureUnitToChart(bool toFahrenheit) { Q_UNUSED(toFahrenheit) }
    // Names of the "0v"/"10v" rows and the right axis for voltage (0) or current (other).
    virtual void showAnalogOutputMode(int mode) { Q_UNUSED(mode) }
    // A switching point onto the store and its line; output 2 only while pin 2 switches.
    virtual void showSwitchingPoint(int output, double value)
    {
        Q_UNUSED(output)
        Q_UNUSED(value)
    }
    // A switching point just read: onto its line whatever pin 2 does, the window-size display
    // of the lines hidden.
    virtual void showReadSwitchingPoint(int output, double value)
    {
        Q_UNUSED(output)
        Q_UNUSED(value)
    }
    virtual void setThresholdsRange(double low, double high)
    {
        Q_UNUSED(low)
        Q_UNUSED(high)
    }
    // The chart after an analog range or type change (refreshAnalogChart).
    virtual void refreshAnalogChart() { }
    // After reading all: the upper line is shown exactly while output 2 is a switching output.
    virtual void updateUpperMark() { }
    // Output LEDs from the two state bits.
    virtual void updateLeds(int states) { Q_UNUSED(states) }
    // The stored threshold of `output` and `component` as a command's hex text.
    virtual QString thresholdHex(int output, int component) const
    {
        Q_UNUSED(output)
        Q_UNUSED(component)
        return QString();
    }
    virtual void setExpertMenu(bool on) { Q_UNUSED(on) }

    // --- Around a write ------------------------------------------------------------------
    // Stops the status polling and the live data; returns whether live data was on.
    virtual bool suspendPolling() { return false; }
    // Puts the polling and the live data back as they were.
    virtual void resumePolling(bool liveData) { Q_UNUSED(liveData) }
    // A deferred row was edited: (re)start the 600 ms wait before it is written.
    virtual void deferWrite() { }
    // A write failed five times: is the sensor still there? A false answer means the view
    // went offline.
    virtual bool checkConnection() { return false; }
    // The user changes the baud rate: may the new rate be written?
    virtual bool confirmBaudRateChange() { return false; }
    // The baud rate was not written: the "baudrate" row shows the port's rate again.
    virtual void showCurrentBaudRate() { }
    // The item of the "baudrate" row that the port runs at now; -1 when unknown.
    virtual int currentBaudRateIndex() const { return -1; }
    // The port's line rate is its server's: the baud rate row shows the port's rate again and
    // the user learns why nothing was written.
    virtual void refuseBaudRateChange() { showCurrentBaudRate(); }
    // The new baud rate was written: the sensor changes its rate at its next power-up, so the
    // view leaves it.
    virtual void baudRateWritten() { }
};

} // namespace Core
} // namespace DrumoSensorPlugin
