#include "parameters/livepoller.h"

#include "parameters/sessionstate.h"

namespace DrumoSensorPlugin {
namespace Core {

namespace {

using ExtensionSystem::CommunicationInterface;

// Fewer characters than this are no answer at all: the sensor said nothing (or the line lost it).
constexpr std::size_t shortestAnswer = 4;
// A whole answer of each poll, "/xx0D0hhh:oooocc." and "/030WDsscc.": an answer is taken by its
// length alone, whatever status the connection gave it; any other length is not read.
constexpr std::size_t temperatureAnswerLength = 17;
constexpr std::size_t outputStatesAnswerLength = 11;
// Every fifth poll asks for the output states.
constexpr int outputStatesEvery = 5;

// A poll's request that its connection still holds after the poller let go of it (the port
// changed, the window closed): it lives as a child of the connection until the connection
// reports it finished, or goes with the connection when that is destroyed first.
class OrphanedPoll : public QObject
{
public:
    OrphanedPoll(std::unique_ptr<DataFrame> frame, unsigned int id,
                 CommunicationInterface *connection)
        : QObject(connection)
        , m_frame(std::move(frame))
    {
        connect(connection, &CommunicationInterface::emitFinished, this,
                [this, id](unsigned int finished) {
                    if (finished == id)
                        deleteLater();
                });
    }

private:
    std::unique_ptr<DataFrame> m_frame;
};

} // namespace

double analogOutputValue(double temperature, const AnalogScale &scale)
{
    const double bottom = scale.mode == 0 ? 0.0 : 4.0;
    const double span = scale.mode == 0 ? 10.0 : 16.0;
    if (scale.low == scale.high)
        return temperature >= double(scale.low) ? bottom + span : bottom;
    return (temperature - double(scale.low)) / double(scale.high - scale.low) * span + bottom;
}

LivePoller::LivePoller(SessionState &state, QObject *parent)
    : QObject(parent)
    , m_state(state)
{
    // A coarse timer may fire 5 % (3 ms) late, which the cycle would carry on every poll.
    m_statusTimer.setTimerType(Qt::PreciseTimer);
    m_statusTimer.setInterval(65);
    m_statusTimer.setSingleShot(true);
    connect(&m_statusTimer, &QTimer::timeout, this, &LivePoller::poll);
}

LivePoller::~LivePoller()
{
    abandonPending();
}

void LivePoller::setConnection(CommunicationInterface *connection)
{
    if (connection == m_connection)
        return;
    // A poll on the old line means nothing for the new one; the old line may still write into
    // its request, though.
    abandonPending();
    if (m_connection)
        disconnect(m_connection, nullptr, this, nullptr);
    m_connection = connection;
    if (!connection)
        return;
    connect(connection, &CommunicationInterface::emitFinished, this,
            &LivePoller::transactionFinished);
    connect(connection, &QObject::destroyed, this, &LivePoller::connectionDestroyed);
}

void LivePoller::setLiveData(bool on)
{
    if (m_liveData == on)
        return;
    m_liveData = on;
    emit liveDataChanged(on);
}

void LivePoller::setStatusChecking(bool on)
{
    m_statusChecking = on;
    if (!m_connection)
        return;
    if (on)
        m_statusTimer.start();
    else
        m_statusTimer.stop();
}

void LivePoller::poll()
{
    if (!m_connection)
        return;
    if (m_missedAnswers > silentPollLimit) {
        // Nothing of this poller is touched after the signal: the check runs transactions of
        // its own and may take the connection away.
        m_missedAnswers = 0;
        emit sensorSilent();
        return;
    }
    if (m_pending.frame)
        return;

    Command command = Command::LiveTemperatures;
    if (++m_pollCounter == outputStatesEvery) {
        command = Command::LiveOutputStates;
        m_pollCounter = 0;
    }
    // The live requests have fixed time-outs and no pacing: the line timing does not enter.
    m_pending.command = command;
    m_pending.frame = std::make_unique<DataFrame>(
        DataFrame { makeRequest(command, std::string(), LineTiming()) });
    m_pending.id = m_connection->uiSendDataFrame(m_pending.frame.get());
}

void LivePoller::transactionFinished(unsigned int id)
{
    if (id == 0 || id != m_pending.id || !m_pending.frame)
        return;
    const std::unique_ptr<DataFrame> frame = std::move(m_pending.frame);
    m_pending.id = 0;

    // The pause before the next poll counts from here, not from the end of what the samples
    // cost downstream (drawing them takes a good part of a millisecond).
    if (m_liveData)
        setStatusChecking(true);

    const DataFrameEntry &entry = frame->front();
    if (entry.answer.size() < shortestAnswer) {
        ++m_missedAnswers;
        emit sampleReady(m_currentTemperature, m_analogOutputSignal);
    } else if (entry.answer.size() == temperatureAnswerLength) {
        emit liveAnswerArrived();
        // Only a wrong checksum (an empty body) gives no sample; a field that is no number
        // reads as 0.0.
        const Command temperatures = Command::LiveTemperatures;
        const std::optional<double> temperature = m_state.measuredTemp
            ? readValue(temperatures, entry.answer)
            : readSecondValue(temperatures, entry.answer);
        if (temperature) {
            m_currentTemperature = *temperature;
            m_analogOutputSignal = analogOutputValue(*temperature, m_scale);
            emit sampleReady(m_currentTemperature, m_analogOutputSignal);
        }
    } else if (entry.answer.size() == outputStatesAnswerLength) {
        m_missedAnswers = 0;
        // An unreadable answer shows the outputs off.
        const std::optional<double> states = readValue(Command::LiveOutputStates, entry.answer);
        emit outputStatesRead(states ? int(*states) : 0);
    }
}

void LivePoller::connectionDestroyed(QObject *connection)
{
    Q_UNUSED(connection)
    // A connection reports every transaction finished before it goes; should one not have, it
    // cannot touch the request any more either.
    m_pending = Poll();
}

void LivePoller::abandonPending()
{
    if (!m_pending.frame)
        return;
    if (m_connection)
        new OrphanedPoll(std::move(m_pending.frame), m_pending.id, m_connection);
    m_pending = Poll();
}

} // namespace Core
} // namespace DrumoSensorPlugin
