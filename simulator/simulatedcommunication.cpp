#include "simulatedcommunication.h"

#include "simulatorlog.h"

#include <extensionsystem/answercollector.h>

#include <QPointer>
#include <QTimer>

#include <cmath>
#include <deque>
#include <random>

namespace QuxSim {

using ExtensionSystem::CommunicationInterface;
using ExtensionSystem::PortSettings;

class SimulatedCommunication::Private
{
public:
    struct Transaction
    {
        unsigned int id = 0;
        DataFrame *frame = nullptr;
    };

    Private(SimulatedCommunication *q, std::shared_ptr<SimulatedSensor> sensor,
            const PortSettings &settings, const Options &options)
        : q(q)
        , sensor(std::move(sensor))
        , settings(settings)
        , options(options)
        , random(options.seed)
    {
        timeoutTimer.setSingleShot(true);
        timeoutTimer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timeoutTimer, &QTimer::timeout, q, [this] { timedOut(); });
    }

    int scaled(double ms) const { return int(std::lround(std::max(0.0, ms * options.timeScale))); }
    int lineTime(int characters) const;
    void scheduleStart();
    void startNext();
    void startEntry();
    void deliver(quint64 generation);
    void arrive(quint64 generation, const QByteArray &bytes);
    void timedOut();
    void completeEntry(const QByteArray &answer, quint32 status);
    void finishTransaction();
    void finishAll();
    void scheduleOutputs(const QList<SimulatedSensor::Output> &outputs);

    SimulatedCommunication *q;
    std::shared_ptr<SimulatedSensor> sensor;
    PortSettings settings;
    Options options;
    std::mt19937 random;
    bool open = true;
    unsigned int lastId = 0;
    std::deque<Transaction> queue; // the front one runs while `running`
    bool running = false;
    bool startScheduled = false;
    DataFrame::iterator entry;
    ExtensionSystem::AnswerCollector collector;
    // Changes with every entry, so that timers of an earlier entry find they are out of date.
    quint64 generation = 0;
    QTimer timeoutTimer;
};

int SimulatedCommunication::Private::lineTime(int characters) const
{
    if (!options.lineSpeed || settings.baudrate <= 0)
        return 0;
    return int(std::lround(characters * 10000.0 / settings.baudrate));
}

void SimulatedCommunication::Private::scheduleStart()
{
    if (startScheduled || running)
        return;
    startScheduled = true;
    QTimer::singleShot(0, q, [this] {
        startScheduled = false;
        startNext();
    });
}

void SimulatedCommunication::Private::startNext()
{
    if (running || queue.empty())
        return;
    running = true;
    if (!queue.front().frame) {
        finishTransaction();
        return;
    }
    entry = queue.front().frame->begin();
    startEntry();
}

void SimulatedCommunication::Private::startEntry()
{
    DataFrame *frame = queue.front().frame;
    if (entry == frame->end() || !open) {
        for (; entry != frame->end(); ++entry)
            entry->status = 0;
        finishTransaction();
        return;
    }
    // Whatever is still in the receive buffer belongs to an earlier request.
    collector.start(entry->answerPattern);
    const quint64 current = ++generation;
    const int characters = int(entry->frame.size());
    const int sending = scaled(double(entry->characterDelay) * std::max(0, characters - 1))
        + lineTime(characters);
    QTimer::singleShot(sending, Qt::PreciseTimer, q, [this, current] { deliver(current); });
}

void SimulatedCommunication::Private::deliver(quint64 current)
{
    if (current != generation)
        return;
    const QList<SimulatedSensor::Output> outputs
        = sensor->receive(QByteArray::fromStdString(entry->frame), settings.baudrate);
    if (sensor->isUnplugged()) {
        qCDebug(simulatorLog) << "simulated port" << settings.portName << "unplugged";
        open = false;
        finishAll();
        return;
    }
    scheduleOutputs(outputs);
    timeoutTimer.start(scaled(entry->timeout));
}

void SimulatedCommunication::Private::scheduleOutputs(const QList<SimulatedSensor::Output> &outputs)
{
    std::uniform_int_distribution<int> latency(
        options.latencyMinMs, std::max(options.latencyMinMs, options.latencyMaxMs));
    for (const SimulatedSensor::Output &output : outputs) {
        const int delay = output.delayMs + latency(random) + lineTime(output.bytes.size());
        const quint64 current = generation;
        QTimer::singleShot(delay, Qt::PreciseTimer, q,
                           [this, current, bytes = output.bytes] { arrive(current, bytes); });
    }
}

void SimulatedCommunication::Private::arrive(quint64 current, const QByteArray &bytes)
{
    if (current != generation || !running)
        return;
    if (collector.feed(bytes))
        completeEntry(collector.answer(), collector.status());
}

void SimulatedCommunication::Private::timedOut()
{
    if (!running)
        return;
    completeEntry(collector.answer(), 0);
}

void SimulatedCommunication::Private::completeEntry(const QByteArray &answer, quint32 status)
{
    timeoutTimer.stop();
    ++generation;
    entry->answer = answer.toStdString();
    entry->status = status;
    ++entry;
    startEntry();
}

void SimulatedCommunication::Private::finishTransaction()
{
    const unsigned int id = queue.front().id;
    queue.pop_front();
    running = false;
    scheduleStart();
    emit q->emitFinished(id);
}

void SimulatedCommunication::Private::finishAll()
{
    timeoutTimer.stop();
    ++generation;
    std::deque<Transaction> pending;
    pending.swap(queue);
    const bool wasRunning = running && !pending.empty();
    running = false;
    for (size_t i = 0; i < pending.size(); ++i) {
        DataFrame *frame = pending[i].frame;
        if (!frame)
            continue;
        auto it = i == 0 && wasRunning ? entry : frame->begin();
        if (i == 0 && wasRunning && it != frame->end()) {
            // The entry in progress keeps what arrived of its answer.
            it->answer = collector.answer().toStdString();
        }
        for (; it != frame->end(); ++it)
            it->status = 0;
    }
    QPointer<SimulatedCommunication> guard(q);
    for (const Transaction &transaction : pending) {
        if (!guard)
            return;
        emit q->emitFinished(transaction.id);
    }
}

SimulatedCommunication::SimulatedCommunication(std::shared_ptr<SimulatedSensor> sensor,
                                               const PortSettings &settings, const Options &options,
                                               QObject *parent)
    : CommunicationInterface(parent)
    , d(std::make_unique<Private>(this, std::move(sensor), settings, options))
{
}

SimulatedCommunication::SimulatedCommunication(std::shared_ptr<SimulatedSensor> sensor,
                                               const PortSettings &settings, QObject *parent)
    : SimulatedCommunication(std::move(sensor), settings, Options(), parent)
{
}

SimulatedCommunication::~SimulatedCommunication()
{
    vClose();
}

void SimulatedCommunication::vSendRawData(std::string data)
{
    if (!d->open)
        return;
    d->scheduleOutputs(d->sensor->receive(QByteArray::fromStdString(data), d->settings.baudrate));
    if (d->sensor->isUnplugged()) {
        d->open = false;
        QTimer::singleShot(0, this, [this] { d->finishAll(); });
    }
}

unsigned int SimulatedCommunication::uiSendDataFrame(DataFrame *frame)
{
    const unsigned int id = ++d->lastId;
    d->queue.push_back({ id, frame });
    d->scheduleStart();
    return id;
}

void SimulatedCommunication::vSetPortSettings(const PortSettings &settings)
{
    d->settings = settings;
}

PortSettings SimulatedCommunication::getPortSettings()
{
    return d->settings;
}

void SimulatedCommunication::vClose()
{
    d->open = false;
    d->finishAll();
}

bool SimulatedCommunication::isOpen() const
{
    return d->open;
}

SimulatedSensor *SimulatedCommunication::sensor() const
{
    return d->sensor.get();
}

ExtensionSystem::ConnectionManager::Factory
SimulatedCommunication::factory(std::shared_ptr<SimulatedSensor> sensor, const QStringList &ports,
                                const Options &options)
{
    return [sensor, ports, options](const PortSettings &settings,
                                    QString *errorMessage) -> CommunicationInterface * {
        if ((!ports.isEmpty() && !ports.contains(settings.portName)) || sensor->isUnplugged()) {
            if (errorMessage)
                *errorMessage = QStringLiteral("No such port: %1").arg(settings.portName);
            return nullptr;
        }
        return new SimulatedCommunication(sensor, settings, options);
    };
}

} // namespace QuxSim
