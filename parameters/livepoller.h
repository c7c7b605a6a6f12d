#pragma once

#include "parameters/transactionrunner.h"
#include "protocol/commands.h"

#include <communicationinterface.h>

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

namespace DrumoSensorPlugin {
namespace Core {

struct SessionState;

// The analog output's range and type, taken from its rows (analogScaleOf).
struct AnalogScale
{
    int low = 0; // temperature at 0 V / 4 mA
    int high = 0; // temperature at 10 V / 20 mA
    int mode = 0; // 0 voltage, any other current
};

// The signal the analog output gives for a temperature: 0..10 V or 4..20 mA over the scale,
// not limited to the range. A scale whose two ends are equal (both are 0 until the rows were
// read, and stay so on a sensor without them) has no slope: the output is then taken as a step
// at that temperature, the bottom of the range below it and the top at or above it, which is
// what a sensor with such a range drives.
double analogOutputValue(double temperature, const AnalogScale &scale);

// The live polling of one sensor, asynchronous so that the user keeps working: each cycle asks
// for the temperatures ("0D0e"), every fifth for the output states ("0WD") instead. At most one
// poll is in flight; the next starts 65 ms after the last one finished while live data is on.
//
// What a completion gives:
// - no answer (fewer than 4 characters): the previous sample once more (noSample on both axes
//   before the first answer), so the chart keeps moving, and one more missed answer;
// - a temperature answer (17 characters, whatever its status): the chart's toolbar has work,
//   and a sample of the temperature that `measuredTemp` selects, taken as the sensor sends it
//   (in its current unit, which between operations is the display unit), with the analog
//   signal for it. Only a wrong checksum gives no sample; a field that is no number reads 0.0;
// - an output-state answer (11 characters): the missed answers start again from 0 (the sensor
//   is there), and the states go to the LEDs (all off when the answer does not read);
// - an answer of any other length: nothing.
// More than 60 missed answers since the last output-state answer: the next poll is not sent,
// the view is asked to check the connection instead (sensorSilent).
//
// Completions of other transactions on the same connection (the synchronous reads and writes)
// are ignored by id. The request of a poll in flight is owned here until its connection has
// finished it: when the connection changes or the poller goes away first, it is released once
// the old connection reports it finished or is destroyed itself, never before.
class LivePoller : public QObject
{
    Q_OBJECT

public:
    // The temperature and signal before the first answer.
    static constexpr double noSample = -200.0;
    // Polls without an answer that are tolerated before the connection is checked.
    static constexpr int silentPollLimit = 60;

    explicit LivePoller(SessionState &state, QObject *parent = nullptr);
    ~LivePoller() override;

    // The port's connection, null when none is open (a pending tick then does nothing).
    void setConnection(ExtensionSystem::CommunicationInterface *connection);

    // Whether the chain goes on after a completion (the live-data action is checked).
    void setLiveData(bool on);
    bool liveData() const { return m_liveData; }

    // The status polling switch: with a connection, starts the timer when on and stops it when
    // off.
    void setStatusChecking(bool on);
    bool statusChecking() const { return m_statusChecking; }
    // The pause between the end of one poll and the start of the next, 65 ms; tests shorten it.
    void setRestartDelay(int ms) { m_statusTimer.setInterval(ms); }
    bool isTimerActive() const { return m_statusTimer.isActive(); }

    void setAnalogScale(const AnalogScale &scale) { m_scale = scale; }
    const AnalogScale &analogScale() const { return m_scale; }

    // Starts one poll now (queryAnalogStatusData(0)); nothing while one is in flight.
    void poll();
    // A completion reported by the connection; completions of other transactions are ignored.
    void transactionFinished(unsigned int id);

    double currentTemperature() const { return m_currentTemperature; }
    double analogOutputSignal() const { return m_analogOutputSignal; }
    int missedAnswers() const { return m_missedAnswers; }
    int pollCounter() const { return m_pollCounter; }
    unsigned int pendingTransactionId() const { return m_pending.id; }

signals:
    // One sample for the chart: the left-axis temperature and the right-axis signal.
    void sampleReady(double temperature, double analogSignal);
    // A temperature answer came (the chart's toolbar has something to work on).
    void liveAnswerArrived();
    void outputStatesRead(int states);
    // Live data was switched (also by a pause around a write): the live-data action follows.
    void liveDataChanged(bool on);
    // More than 60 polls went unanswered: the view checks the connection.
    void sensorSilent();

private:
    struct Poll
    {
        unsigned int id = 0;
        Command command = Command::LiveTemperatures;
        std::unique_ptr<DataFrame> frame;
    };

    void connectionDestroyed(QObject *connection);
    // Gives the request in flight up: it is freed once its connection is done with it.
    void abandonPending();

    SessionState &m_state;
    QPointer<ExtensionSystem::CommunicationInterface> m_connection;
    QTimer m_statusTimer;
    bool m_liveData = false;
    bool m_statusChecking = false;
    AnalogScale m_scale;
    int m_pollCounter = 0;
    int m_missedAnswers = 0;
    double m_currentTemperature = noSample;
    double m_analogOutputSignal = noSample;
    Poll m_pending;
};

} // namespace Core
} // namespace DrumoSensorPlugin
