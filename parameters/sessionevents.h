#pragma once

#include <QObject>

namespace DrumoSensorPlugin {
namespace Core {

// What the sensor operations tell whatever shows the sensor, as the live poller tells its
// samples: values read or written flow out as signals, nothing is asked back. The window
// connects them to its chart, lines, rows and LEDs; a tool connects what it needs.
class SessionEvents : public QObject
{
    Q_OBJECT

signals:
    // Pin 2 is the analog output (true) or switching output 2.
    void pin2ModeRead(bool analog);
    // The caption above the chart follows the unit row.
    void temperatureCaptionChanged();
    // Chart scales after a unit change.
    void temperatureUnitChanged(bool fahrenheit);
    // The analog output gives voltage (0) or current (other).
    void analogOutputModeChanged(int mode);
    // A switching point onto its line; output 2 only while pin 2 switches.
    void switchingPointChanged(int output, double value);
    // A switching point just read: onto its line whatever pin 2 does.
    void switchingPointRead(int output, double value);
    // The displayed temperatures changed unit: the lines take the unit's range.
    void thresholdsUnitChanged(bool fahrenheit);
    // The analog range or signal type changed.
    void analogChartChanged();
    // After reading all or a pin 2 write: the upper line is shown exactly while output 2
    // switches.
    void upperMarkChanged();
    // Output LEDs from the two state bits.
    void outputStatesRead(int states);
    void expertMenuChanged(bool on);
    // A deferred row was edited: its write waits until the typing pauses.
    void deferredWriteRequested();
};

} // namespace Core
} // namespace DrumoSensorPlugin
