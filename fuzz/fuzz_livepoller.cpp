// The live polling on a connection that answers each poll with bytes and a status from the
// input, reported from the event loop like a real line, with completions of other transactions
// (and id 0) in between. Against a model of the polling rules, after every completion:
// - the rhythm: four temperature polls, then one for the output states;
// - answers are told apart by their length alone, whatever their status and whichever poll
//   they answer: 17 characters are temperatures, 11 output states, anything else is not read;
// - at most one sample; a sample from every 17-character answer whose checksum is right (its
//   chosen field read as the protocol reads it: a field that is no number is 0.0), with the
//   analog signal for it; for fewer than 4 characters the previous sample again;
// - missed answers: +1 for fewer than 4 characters, back to 0 on an 11-character answer, and
//   after more than 60 the next poll asks for a check instead of going out;
// - output states from every 11-character answer, 0 (outputs off) when it does not read.

#include "fuzzsupport.h"

#include "parameters/livepoller.h"
#include "parameters/sessionstate.h"
#include "protocol/commands.h"
#include "protocol/frame.h"

#include <simframe.h>

#include <QCoreApplication>

#include <cmath>
#include <deque>

using namespace DrumoSensorPlugin::Core;
using ExtensionSystem::CommunicationInterface;

namespace {

struct Completion
{
    std::string answer;
    quint32 status = 0;
    bool foreignFirst = false; // another transaction's completion arrives first
    unsigned int foreignId = 0;
    bool liveDataOff = false; // the user switches live data off during this poll
    // The answer is built at the send, in the shape of the polled command's answer, from `raw`.
    bool wellFormed = false;
    std::string raw;
};

class FuzzConnection : public CommunicationInterface
{
public:
    std::function<void(const std::string &body)> onSend;
    std::function<void(const Completion &, unsigned int id)> beforeFinish;
    std::function<void(const Completion &)> afterFinish;
    std::deque<Completion> script;
    unsigned int lastId = 0;

    void vSendRawData(std::string) override { }
    unsigned int uiSendDataFrame(DataFrame *frame) override
    {
        const unsigned int id = ++lastId;
        onSend(decodeFrame(frame->front().frame));
        if (script.empty())
            return id; // the end of the input: this one stays in flight
        const Completion completion = script.front();
        script.pop_front();
        QMetaObject::invokeMethod(
            this,
            [this, frame, id, completion] {
                frame->front().answer = completion.answer;
                frame->front().status = completion.status;
                beforeFinish(completion, id);
                emit emitFinished(id);
                afterFinish(completion);
            },
            Qt::QueuedConnection);
        return id;
    }
    void vSetPortSettings(const ExtensionSystem::PortSettings &) override { }
    ExtensionSystem::PortSettings getPortSettings() override { return {}; }
    void vClose() override { }
};

// What the poller hands on during one completion.
struct Signals
{
    std::vector<std::pair<double, double>> samples;
    int liveAnswers = 0;
    std::vector<int> states;
};

// Digits mostly, now and then anything: well-formed answers with the odd wrong character.
char mostlyDigit(std::uint8_t byte)
{
    return byte < 0xF0 ? char('0' + byte % 10) : char(byte);
}

// The body of an answer whose checksum is right, as the simulator decodes it (but for the 8-bit
// checksums).
std::string body(const std::string &answer)
{
    if (eightBitChecksum(answer))
        return std::string();
    return QuxSim::Frame::decode(QByteArray::fromStdString(answer)).toStdString();
}

double analogSignal(double temperature, const AnalogScale &scale)
{
    const double bottom = scale.mode == 0 ? 0.0 : 4.0;
    const double span = scale.mode == 0 ? 10.0 : 16.0;
    if (scale.low == scale.high) // a step at that temperature
        return temperature >= scale.low ? bottom + span : bottom;
    return (temperature - scale.low) / (scale.high - scale.low) * span + bottom;
}

bool near(double a, double b)
{
    return a == b || std::abs(a - b) <= 1e-12 * std::max(std::abs(a), std::abs(b));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    silenceLogging();
    new QCoreApplication(*argc, *argv); // lives as long as the process
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    SessionState state;
    state.measuredTemp = input.byte() & 1;
    AnalogScale scale;
    scale.low = static_cast<std::int8_t>(input.byte()) * 5;
    scale.high = static_cast<std::int8_t>(input.byte()) * 5;
    scale.mode = input.byte() & 1;

    // The script: per poll a control byte, then the answer.
    FuzzConnection connection;
    while (input.remaining() > 0) {
        const std::uint8_t control = input.byte();
        Completion completion;
        completion.status = control & 3;
        completion.foreignFirst = control & 4;
        completion.liveDataOff = control & 32;
        if (completion.foreignFirst)
            completion.foreignId = input.byte();
        if (control & 8) {
            // no answer at all
        } else if (control & 16) {
            completion.wellFormed = true;
            completion.raw = input.bytes(7);
            completion.raw.resize(7);
        } else {
            completion.answer = input.bytes(input.byte() % 32);
        }
        connection.script.push_back(completion);
    }
    LivePoller poller(state);
    poller.setAnalogScale(scale);
    poller.setRestartDelay(0);

    // The model.
    int missed = 0;
    int counter = 0;
    double temperature = LivePoller::noSample;
    double signal = LivePoller::noSample;
    Signals seen;
    int polls = 0;

    connection.onSend = [&](const std::string &sent) {
        FUZZ_CHECK(missed <= LivePoller::silentPollLimit, "a poll went out after %d misses",
                   missed);
        const bool states = ++counter == 5;
        if (states)
            counter = 0;
        FUZZ_CHECK(sent == (states ? "0WD" : "0D0e"), "poll %d asked for %s", polls, sent.c_str());
        ++polls;
        // A well-formed answer gets the shape of the command's answer now.
        if (!connection.script.empty() && connection.script.front().wellFormed) {
            const std::string &raw = connection.script.front().raw;
            std::string answerBody = states ? "0WD" : "0D0";
            for (std::size_t i = 0; i < (states ? 2u : 7u); ++i) {
                if (i == 3)
                    answerBody += ':';
                answerBody += mostlyDigit(std::uint8_t(raw[i]));
            }
            connection.script.front().answer
                = QuxSim::Frame::build(QByteArray::fromStdString(answerBody)).toStdString();
        }
    };
    connection.beforeFinish = [&](const Completion &completion, unsigned int id) {
        seen = Signals();
        if (completion.liveDataOff)
            poller.setLiveData(false);
        if (completion.foreignFirst) {
            emit connection.emitFinished(completion.foreignId == id ? 0 : completion.foreignId);
            FUZZ_CHECK(seen.samples.empty() && seen.states.empty() && seen.liveAnswers == 0
                           && poller.pendingTransactionId() == id,
                       "another transaction's completion was taken for the poll's");
        }
    };
    connection.afterFinish = [&](const Completion &completion) {
        const std::string &answer = completion.answer;
        FUZZ_CHECK(poller.pendingTransactionId() == 0, "the poll is still pending");
        FUZZ_CHECK(seen.samples.size() <= 1, "%zu samples from one poll", seen.samples.size());
        if (answer.size() < 4) {
            ++missed;
            FUZZ_CHECK(seen.samples.size() == 1 && seen.liveAnswers == 0,
                       "a silent poll gave %zu samples", seen.samples.size());
            FUZZ_CHECK(seen.samples[0].first == temperature && seen.samples[0].second == signal,
                       "a silent poll did not repeat the previous sample");
        } else if (answer.size() == 17) {
            const Command temperatures = Command::LiveTemperatures;
            const std::optional<double> value = state.measuredTemp
                ? readValue(temperatures, answer)
                : readSecondValue(temperatures, answer);
            if (!body(answer).empty())
                FUZZ_CHECK(value.has_value(), "no sample from %s, whose checksum is right",
                           answer.c_str());
            FUZZ_CHECK(seen.samples.size() == (value ? 1u : 0u),
                       "%zu samples from the answer %s of status %u", seen.samples.size(),
                       answer.c_str(), completion.status);
            FUZZ_CHECK(seen.liveAnswers == 1 && seen.states.empty(), "live answer signals");
            if (value) {
                temperature = *value;
                signal = analogSignal(*value, scale);
                FUZZ_CHECK(seen.samples[0].first == temperature, "sampled %g from %s",
                           seen.samples[0].first, answer.c_str());
                FUZZ_CHECK(near(seen.samples[0].second, signal), "signal %g, expected %g",
                           seen.samples[0].second, signal);
            }
        } else if (answer.size() == 11) {
            missed = 0;
            const std::optional<double> states = readValue(Command::LiveOutputStates, answer);
            FUZZ_CHECK(seen.samples.empty() && seen.liveAnswers == 0,
                       "a sample from an output-state answer");
            FUZZ_CHECK(seen.states.size() == 1 && seen.states[0] == (states ? int(*states) : 0),
                       "output states from %s", answer.c_str());
        } else {
            FUZZ_CHECK(seen.samples.empty() && seen.states.empty() && seen.liveAnswers == 0,
                       "an answer of %zu characters was read", answer.size());
        }
        FUZZ_CHECK(poller.missedAnswers() == missed, "missed %d, expected %d",
                   poller.missedAnswers(), missed);
        FUZZ_CHECK(poller.currentTemperature() == temperature, "current temperature");
    };

    QObject::connect(&poller, &LivePoller::sampleReady,
                     [&](double t, double s) { seen.samples.emplace_back(t, s); });
    QObject::connect(&poller, &LivePoller::liveAnswerArrived, [&] { ++seen.liveAnswers; });
    QObject::connect(&poller, &LivePoller::outputStatesRead,
                     [&](int states) { seen.states.push_back(states); });
    QObject::connect(&poller, &LivePoller::sensorSilent, [&] {
        FUZZ_CHECK(missed > LivePoller::silentPollLimit, "a check asked for after %d misses",
                   missed);
        missed = 0;
        // As the window does when the sensor is found again.
        poller.setStatusChecking(true);
    });

    poller.setConnection(&connection);
    poller.setLiveData(true);
    const int planned = int(connection.script.size());
    for (int rounds = 0; !connection.script.empty(); ++rounds) {
        FUZZ_CHECK(rounds < 8 * planned + 16, "the polling stopped with %zu answers left",
                   connection.script.size());
        QCoreApplication::processEvents();
        if (poller.pendingTransactionId() == 0 && !poller.isTimerActive()) {
            // The chain ended (live data off): the user switches it on again.
            poller.setLiveData(true);
            poller.poll();
        }
    }
    return 0;
}
