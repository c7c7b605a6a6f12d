#pragma once

namespace DrumoSensorPlugin {
namespace Core {

// The state one opened sensor's operations share, owned by its SensorSession.
struct SessionState
{
    // A sensor was identified on the open port and has not been left since.
    bool connected = false;
    // True while connected and idle: the rows that are typed digit by digit (deferred in the
    // parameter table) wait 600 ms before they are written, and
    // analog range and pin 2 writes handle the °F display unit. Bulk transfers (writing all,
    // loading a settings file) clear it so that values go out at once and as they stand.
    bool deferValueWrites = true;
    // A threshold line dragged on the chart is being written: the unit writes around it leave
    // the caption and the chart scale alone.
    bool thresholdDragActive = false;
    // Rows were just converted after a unit change: the next delayed write is not the user's.
    bool skipNextDelayedWrite = false;
    // The port's line rate is set elsewhere (a serial device server on the network): the host
    // neither steps nor writes baud rates there.
    bool lineRateFixed = false;
    // The live chart plots the first temperature of the status answer (the row "readTemp").
    bool measuredTemp = true;
    // The temperatures last read for the ends of the analog output, display unit; the record's
    // chart range until the first read.
    double analogLow = 0.0;
    double analogHigh = 0.0;
};

} // namespace Core
} // namespace DrumoSensorPlugin
