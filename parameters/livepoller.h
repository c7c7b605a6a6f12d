#pragma once

#include <communicationinterface.h>

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QTimer>

namespace DrumoSensorPlugin {
namespace Core {

struct SessionState;

// The analog output's range and type, taken from the rows "0v", "10v" and "2analogoutput".
struct AnalogScale
{
    int low = 0; // temperature at 0 V / 4 mA
    int high = 0; // temperature at 10 V / 20 mA
    int mode = 0; // 0 voltage, any other current
};

// The signal the analog output gives for a temperature: 0..10 V or 4..20 mA over the scale,
// not limited to the range.
double analogOutputValue(double temperature, const AnalogScale &scale);

// The live polling of one sensor, asynchronous so that the user keeps working: each cycle asks
// for the temperatures ("0D0e"), every fifth for the output states ("0WD") instead. At most one
// poll is in flight; the next starts 65 ms after the last one finished while live data is on.
// Every cycle gives one sample, also when no answer came (then the previous values again), so
// the chart keeps moving. More than 60 polls without an answer since the last output-state
// answer ask for a connection check.
class LivePoller : public QObject
{
    Q_OBJECT

public:
    // The temperature and signal before the first answer.
    static constexpr double noSample = -200.0;

    explicit LivePoller(SessionState &state, QObject *parent = nullptr);
    ~LivePoller() override;

    // The port's connection, null when none is open (a pending tick then does nothing).
    void setConnection(ExtensionSystem::CommunicationInterface *connection);

    // Whether the chain goes on after a completion (the live-data action is checked).
    void setLiveData(bool on);
    bool liveData() const { return m_liveData; }

    // The status polling switch: with a connection, starts the 65 ms timer when on and stops it
    // when off.
    void setStatusChecking(bool on);
    bool statusChecking() const { return m_statusChecking; }

    void setAnalogScale(const AnalogScale &scale) { m_scale = scale; }
    const AnalogScale &analogScale() const { return m_scale; }

    // Starts one poll now (queryAnalogStatusData(0)).
    void poll();
    // A completion reported by the connection; completions of other transactions are ignored.
    void transactionFinished(unsigned int id);

    double currentTemperature() const { return m_currentTemperature; }
    double analogOutputSignal() const { return m_analogOutputSignal; }
    int missedAnswers() const { return m_missedAnswers; }
    int pollCounter() const { return m_pollCounter; }
    unsigned int pendingTransactionId() const { return m_pendingTransactionId; }

signals:
    // One sample for the chart: the left-axis temperature and the right-axis signal.
    void sampleReady(double temperature, double analogSignal);
    // A temperature answer arrived (the chart's toolbar has something to work on).
    void liveAnswerArrived();
    void outputStatesRead(int states);
    // More than 60 polls went unanswered: the view checks the connection.
    void sensorSilent();

private:
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
    unsigned int m_pendingTransactionId = 0;
    QMap<unsigned int, ExtensionSystem::CommunicationInterface::DataFrame *> m_transactions;
};

} // namespace Core
} // namespace DrumoSensorPlugin
