#pragma once

#include "parameters/sessionstate.h"
#include "parameters/transactionrunner.h"
#include "protocol/commands.h"

#include <QVariant>

#include <functional>
#include <optional>
#include <string>

namespace DrumoSensorPlugin {
namespace Core {

class ParameterRows;
struct ParameterDefinition;
class SessionEvents;

// The reads and writes of single parameters, each one synchronous transaction of one request
// from the command table. A read sets its row from the answer (from the sensor's side: never
// written back) and does the read's follow-up on the view; a write sends the value it is given
// and reports whether the sensor acknowledged it.
//
// Temperatures: the sensor is always addressed in °C. Rows show the display unit of the "unit"
// row; reads convert on the way in, and writes of temperatures switch the sensor's own unit to
// °C around them when it shows °F (see the temperature writes below). Values outside the
// sensor's range are limited before they are encoded, never sent.
//
// A read of a row that the description lacks still succeeds (the value is dropped), except the
// switching points. A read fails, and its row keeps its value, only when the answer did not
// match or its body is empty (a wrong checksum; the unit's raw answer is taken as it is); value
// characters that are no number read as 0, and an item the enumerator row lacks leaves the row
// as it was. Nothing here shows a message; callers retry and trace.
//
// Where the sensor's unit is switched to °C for a write, it is switched back to °F after the
// write; after a failed write only when the switch to °C itself was acknowledged (the sensor
// answers, so it is left in the unit the rows show). The pin 2 write likewise.
class ParameterIo
{
public:
    ParameterIo(TransactionRunner &runner, ParameterRows &rows, SessionEvents &events,
                SessionState &state, const LineTiming &timing);

    // One request; true when its answer matched (status 1). `entry` receives the answer.
    bool transact(Command command, const std::string &argument, DataFrameEntry *entry = nullptr);

    // A row's read or write as the parameter table describes it, follow-ups on the view
    // included. A read sets the row; a write sends `value` and reports the acknowledgement.
    bool read(const ParameterDefinition &row);
    bool write(const ParameterDefinition &row, const QVariant &value);
    // The row read or written by `command` for `output` (0: none).
    bool read(Command command, int output = 0);
    bool write(Command command, int output, const QVariant &value);

    bool bReadPin2Mode() { return read(Command::ReadPin2Mode); }
    bool bReadUnit() { return read(Command::ReadUnit); }
    bool bReadLaser() { return read(Command::ReadLaser); }
    bool bReadTime() { return read(Command::ReadTime); }
    bool bReadEmissivity() { return read(Command::ReadEmissivity); }
    bool bReadAnalogOutput() { return read(Command::ReadAnalogOutput); }
    bool bReadAnalogLow() { return read(Command::ReadAnalogLow); }
    bool bReadAnalogHigh() { return read(Command::ReadAnalogHigh); }
    bool bReadSwitchingPoint(int output) { return read(Command::ReadSwitchingPoint, output); }
    bool bReadType(int output) { return read(Command::ReadType, output); }
    bool bReadOperateOutputs(int output) { return read(Command::ReadOperateOutputs, output); }

    bool bWritePin2Mode(int value) { return write(Command::WritePin2Mode, 0, value); }
    bool bWriteUnit(int value) { return write(Command::WriteUnit, 0, value); }
    bool bWriteLaser(int value) { return write(Command::WriteLaser, 0, value); }
    bool bWriteTime(int value) { return write(Command::WriteTime, 0, value); }
    bool bWriteEmissivity(double value) { return write(Command::WriteEmissivity, 0, value); }
    bool bWriteAnalogOutput(int value) { return write(Command::WriteAnalogOutput, 0, value); }
    bool bWriteAnalogLow(double value) { return write(Command::WriteAnalogLow, 0, value); }
    bool bWriteAnalogHigh(double value) { return write(Command::WriteAnalogHigh, 0, value); }
    bool bWriteSwitchingPoint(int output, double value)
    {
        return write(Command::WriteSwitchingPoint, output, value);
    }
    bool bWriteType(int output, int value) { return write(Command::WriteType, output, value); }
    bool bWriteOperateOutputs(int output, int value)
    {
        return write(Command::WriteOperateOutputs, output, value);
    }

    // Up to five unit writes, stopping at the first success.
    void vSwitchSensorUnit(bool fahrenheit);
    // The synchronous "0WD": LEDs from the output states.
    bool readOutputStates();
    // "0R"; only the request: reading back is the bulk transfer's.
    bool sendFactoryReset();
    // "0?BR" + (index + 2); the rate applies at the sensor's next power-up.
    bool writeBaudRate(int index);
    // The "0O0a" family: one request per component of `type`, in one transaction. `output` is
    // the character code of the output digit ('1' or '2'); `hexOf` gives the stored threshold
    // of an output and component as the command's hex text. Always true.
    using ThresholdHex = std::function<QString(int output, int component)>;
    bool setThresholds(int output, int type, const ThresholdHex &hexOf);

    // After a successful unit write from the tree: converts the temperature rows and lines.
    void convertDisplayedTemperatures(bool toFahrenheit);
    // The temperature rows accept values of either unit (a settings file is being loaded).
    void widenTemperatureRanges();
    // Item index of "unit" (1 = °F) and of "2A" (not 0 = analog); 0 when the row is missing.
    int unitIndex() const;
    int pin2Analog() const;

private:
    std::optional<double> readNumber(Command command, const std::string &argument = {});
    bool readItemRow(Command command, const QString &rowId, const std::string &argument = {},
                     int *item = nullptr);
    // A temperature read: °C on the wire, the display unit in the row. `analogEnd` limits the
    // value to -25.0..662.0 first (the ends of the analog output). `shown` receives the value
    // in the display unit before the row's limits apply. `valueFirst`: the value is set before
    // the limits (which then clamp it), otherwise after them.
    bool readTemperatureRow(Command command, const QString &rowId, const std::string &argument,
                            bool analogEnd, double *shown, bool valueFirst = false);
    // Pin 2's function, with the switching points read again (the sensor may move them).
    bool writePin2Mode(Command command, int value);
    bool writeTemperature(Command command, const std::string &prefix, double value,
                          bool handleUnit);

    TransactionRunner &m_runner;
    ParameterRows &m_rows;
    SessionEvents &m_events;
    SessionState &m_state;
    LineTiming m_timing;
};

} // namespace Core
} // namespace DrumoSensorPlugin
