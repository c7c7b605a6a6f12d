#pragma once

// A sensor session without a window, on rows kept in memory, for the tests of the parameter
// operations: either over an in-process simulated connection (requests and answers as on a
// line, the sensor's request log) or through a runner that answers at once from a sensor model
// and lets a test replace any answer (the answers a healthy line rarely gives).

#include "model/memoryrows.h"
#include "model/sensorcatalogue.h"
#include "parameters/attempts.h"
#include "parameters/sensorsession.h"
#include "parameters/sensorview.h"
#include "protocol/frame.h"

#include "../common/testline.h"
#include "messagerecorder.h"

#include <sensormodel.h>
#include <sensortype.h>
#include <simulatedcommunication.h>
#include <simulatedsensor.h>

#include <QRegularExpression>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace DrumoSensorPlugin {
namespace Core {

// Records what the operations tell (the events the tests look at, the live-data pauses) and ask of
// the view, one text per call, and answers its questions as told. A failed connection check takes
// the session offline, as the window does.
class RecordingView : public SensorView
{
public:
    QStringList calls;
    bool sensorThere = true; // checkConnection()'s answer
    bool acceptBaudRate = false;
    SessionState *state = nullptr;

    int count(const QString &call) const { return calls.count(call); }
    void attach(SessionEvents &events, LivePoller &poller)
    {
        using E = SessionEvents;
        QObject::connect(&events, &E::switchingPointChanged,
                         [this](int o, double v) { record("showSwitchingPoint", o, v); });
        QObject::connect(&events, &E::switchingPointRead,
                         [this](int o, double v) { record("showReadSwitchingPoint", o, v); });
        QObject::connect(&events, &E::thresholdsUnitChanged, [this](bool fahrenheit) {
            record("thresholdsUnitChanged", int(fahrenheit));
        });
        QObject::connect(&events, &E::outputStatesRead, [this](int s) { record("updateLeds", s); });
        QObject::connect(&events, &E::deferredWriteRequested, [this] { record("deferWrite"); });
        QObject::connect(&poller, &LivePoller::liveDataChanged, [this](bool on) {
            on ? record("resumePolling", on) : record("suspendPolling");
        });
    }

    static QString thresholdHex(int output, int component)
    {
        return QStringLiteral("%1%2")
            .arg(output, 2, 10, QLatin1Char('0'))
            .arg(component, 2, 16, QLatin1Char('0'));
    }
    bool checkConnection() override
    {
        record("checkConnection");
        if (!sensorThere && state)
            state->connected = false;
        return sensorThere;
    }
    bool confirmBaudRateChange() override
    {
        record("confirmBaudRateChange");
        return acceptBaudRate;
    }
    void baudRateWritten() override { }

private:
    // "name" for a call without arguments, "name(a,b)" with them.
    template<typename... Args> void record(const char *name, Args... args)
    {
        QStringList texts;
        (texts << ... << QString::number(args));
        calls << (texts.isEmpty() ? QLatin1String(name)
                                  : QStringLiteral("%1(%2)").arg(QLatin1String(name),
                                                                 texts.join(QLatin1Char(','))));
    }
};

// Answers every request at once: from `model`, or from `script` when set (an empty optional is
// silence). The status follows the answer pattern as the host's connection decides it.
class ScriptedRunner : public TransactionRunner
{
public:
    using Script = std::function<std::optional<std::string>(const QByteArray &body)>;

    explicit ScriptedRunner(const QuxSim::SensorType &type)
        : model(type)
    {
    }

    std::optional<std::string> modelAnswer(const QByteArray &body)
    {
        const std::optional<QByteArray> answer = model.answer(body);
        return answer ? std::optional(buildFrame(answer->toStdString())) : std::nullopt;
    }

    void runTransaction(DataFrame &frame) override
    {
        for (auto &entry : frame) {
            const QByteArray body = QByteArray::fromStdString(decodeFrame(entry.frame));
            requests << body;
            const std::optional<std::string> answer = script ? script(body) : modelAnswer(body);
            entry.answer = answer.value_or(std::string());
            const QRegularExpression pattern(
                QRegularExpression::anchoredPattern(QString::fromStdString(entry.answerPattern)));
            entry.status = !answer                                          ? 0
                : pattern.match(QString::fromStdString(*answer)).hasMatch() ? 1
                                                                            : 2;
        }
    }

    QuxSim::SensorModel model;
    Script script;
    QList<QByteArray> requests;
};

// Collects the operations' trace lines ("BUCLA ...") while it lives.
class TraceRecorder : public MessageRecorder
{
public:
    TraceRecorder()
        : MessageRecorder([](const QMessageLogContext &context, const QString &) {
            return context.category
                && qstrcmp(context.category, parametersLog().categoryName()) == 0;
        })
    {
        QLoggingCategory::setFilterRules(QStringLiteral("qux.parameters.debug=true"));
    }
    ~TraceRecorder() { QLoggingCategory::setFilterRules(QString()); }
};

// The session over one of the two runners, connected, on the rows of a catalogue type.
class SimulatedSession
{
public:
    enum Line { InProcessLine, Scripted };

    explicit SimulatedSession(const char *sensorName = "QUX-T40 D", Line line = InProcessLine,
                              double timeScale = 0.1)
        : record(findSensorInCatalogue(sensorName))
        , rows(record)
        , sensor(std::make_shared<QuxSim::SimulatedSensor>(TestLine::catalogueType(sensorName)))
        , scripted(TestLine::catalogueType(sensorName))
    {
        ExtensionSystem::PortSettings settings;
        settings.vInit();
        connection = std::make_unique<QuxSim::SimulatedCommunication>(
            sensor, settings, TestLine::quickOptions(timeScale));
        lineRunner.setConnection(connection.get());
        TransactionRunner &runner
            = line == Scripted ? static_cast<TransactionRunner &>(scripted) : lineRunner;
        session = std::make_unique<SensorSession>(record, runner, rows, view);
        session->setConnection(connection.get());
        session->state().connected = true;
        view.state = &session->state();
        view.attach(session->events(), session->poller());
        m_line = line;
    }

    ~SimulatedSession()
    {
        session.reset();
        connection.reset();
    }

    ParameterIo &io() { return session->io(); }
    // Live data on, as the user left it before an edit.
    void liveDataOn()
    {
        session->poller().setLiveData(true);
        view.calls.clear();
    }
    SessionState &state() { return session->state(); }
    // The sensor's parameters, whichever line the session runs on.
    QuxSim::SensorParameters &held()
    {
        return m_line == Scripted ? scripted.model.parameters() : sensor->model().parameters();
    }

    // The bodies of the requests sent since the last call.
    QList<QByteArray> takeRequests()
    {
        if (m_line == Scripted)
            return std::exchange(scripted.requests, {});
        return TestLine::takeRequests(*sensor);
    }

    // An edit as the window makes it: the row set, the dispatch, and a deferred row written
    // once the view's delay is over.
    void edit(const QString &id, const QVariant &value)
    {
        rows.setValue(id, value);
        const int before = view.count(QStringLiteral("deferWrite"));
        session->dispatcher().apply(id, value);
        if (view.count(QStringLiteral("deferWrite")) > before)
            session->dispatcher().writeDeferred(id);
    }

    Sensor record;
    MemoryRows rows;
    RecordingView view;
    std::shared_ptr<QuxSim::SimulatedSensor> sensor;
    std::unique_ptr<QuxSim::SimulatedCommunication> connection;
    EventLoopRunner lineRunner;
    ScriptedRunner scripted;
    std::unique_ptr<SensorSession> session;

private:
    Line m_line = InProcessLine;
};

} // namespace Core
} // namespace DrumoSensorPlugin
